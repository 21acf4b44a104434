#include "ui/pictures/PictureList.h"

#include "app/ErrorLog.h"
#include "app/Win1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ui {
namespace {

bool fitsAFileName(QChar c) {
    static const QString kForbidden = QStringLiteral("\\/:*?\"<>|");
    return c.unicode() >= 0x20 && !kForbidden.contains(c) && app::win1252Byte(c) != '?';
}

int errorNumberOf(const QFileDevice& file) {
    return file.error() == QFileDevice::PermissionsError ? app::kPermissionDenied
                                                         : app::kPathFileAccessError;
}

} // namespace

QString addPictureTitle() {
    return QStringLiteral("Add File");
}

QStringList addPictureFilters() {
    return {
        QStringLiteral(
            "All Picture Files|*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.TIF;*.TIFF;*.BMP;*.PNG"),
        QStringLiteral("JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)|*.JPG;*.JPEG;*.JPE;*.JFIF"),
        QStringLiteral("GIF (*.GIF)|*.GIF"),
        QStringLiteral("TIFF (*.TIF;*.TIFF)|*.TIF;*.TIFF"),
        QStringLiteral("BMP (*.BMP)|*.BMP"),
        QStringLiteral("PNG (*.PNG)|*.PNG"),
        QStringLiteral("All Files (*.*)|*.*"),
    };
}

QString copiedPictureName(const QDateTime& now, const QString& chosenPath) {
    QString ending = chosenPath.right(4);
    for (QChar& c : ending) {
        if (!fitsAFileName(c)) {
            c = u'_';
        }
    }
    return QStringLiteral("_data\\_userImages\\") + now.toString(QStringLiteral("yyyyMMddHHmmss")) +
           ending;
}

QStringList withPictureFirst(const QStringList& list, const QString& name) {
    QStringList out;
    out.reserve(list.size() + 1);
    out << name << list;
    return out;
}

QStringList withPictureRemoved(const QStringList& list, qsizetype index) {
    if (index < 0 || index >= list.size()) {
        return list;
    }
    QStringList out;
    out.reserve(list.size() - 1);
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i != index && !list[i].isEmpty()) {
            out << list[i];
        }
    }
    while (out.size() < list.size() - 1) {
        out << QString();
    }
    return out;
}

void copyPictureFile(const QString& source, const QString& target) {
    const QFileInfo from(source);
    if (!from.exists()) {
        app::raise(app::kFileNotFound);
    }
    QFile in(source);
    if (from.isDir() || !in.open(QIODevice::ReadOnly)) {
        app::raise(from.isDir() ? app::kPathFileAccessError : errorNumberOf(in));
    }
    if (!QFileInfo(target).absoluteDir().exists()) {
        app::raise(app::kPathNotFound);
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        const bool refused = out.error() == QFileDevice::PermissionsError ||
                             !QFileInfo(QFileInfo(target).absolutePath()).isWritable();
        app::raise(refused ? app::kPermissionDenied : app::kPathFileAccessError);
    }
    constexpr qint64 kChunk = qint64(1) << 20;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), kChunk);
        if (got < 0 || (got > 0 && out.write(buffer.constData(), got) != got)) {
            out.cancelWriting();
            app::raise(app::kPathFileAccessError);
        }
        if (got == 0) {
            break;
        }
    }
    if (!out.commit()) {
        app::raise(errorNumberOf(out));
    }
}

} // namespace ui
