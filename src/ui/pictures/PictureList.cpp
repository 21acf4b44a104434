#include "ui/pictures/PictureList.h"

#include "app/Win1252.h"
#include "ui/common/HeifPicture.h"

#include <algorithm>

namespace ui {
namespace {

bool fitsAFileName(QChar c) {
    static const QString kForbidden = QStringLiteral("\\/:*?\"<>|");
    return c.unicode() >= 0x20 && !kForbidden.contains(c) && app::win1252Byte(c) != '?';
}

} // namespace

QString addPictureTitle() {
    return QStringLiteral("Add File");
}

QStringList addPictureFilters() {
    QString all = QStringLiteral(
        "All Picture Files|*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.TIF;*.TIFF;*.BMP;*.PNG");
    for (const QString& pattern : heifPatterns()) {
        all += u';' + pattern;
    }
    return {
        all,
        QStringLiteral("JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)|*.JPG;*.JPEG;*.JPE;*.JFIF"),
        QStringLiteral("GIF (*.GIF)|*.GIF"),
        QStringLiteral("TIFF (*.TIF;*.TIFF)|*.TIF;*.TIFF"),
        QStringLiteral("BMP (*.BMP)|*.BMP"),
        QStringLiteral("PNG (*.PNG)|*.PNG"),
        QStringLiteral("All Files (*.*)|*.*"),
    };
}

QString copiedPictureEnding(const QString& chosenPath) {
    const qsizetype dot = chosenPath.lastIndexOf(u'.');
    const qsizetype separator =
        std::max(chosenPath.lastIndexOf(u'/'), chosenPath.lastIndexOf(u'\\'));
    const bool longExtension = dot > separator + 1 && chosenPath.size() - dot > 4;
    QString ending = longExtension ? chosenPath.mid(dot) : chosenPath.right(4);
    for (QChar& c : ending) {
        if (!fitsAFileName(c)) {
            c = u'_';
        }
    }
    return ending;
}

QString copiedPictureName(const QDateTime& now, const QString& ending, int suffix) {
    QString name =
        QStringLiteral("_data\\_userImages\\") + now.toString(QStringLiteral("yyyyMMddHHmmss"));
    if (suffix > 1) {
        name += u'-' + QString::number(suffix);
    }
    return name + ending;
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

} // namespace ui
