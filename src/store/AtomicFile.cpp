#include "store/AtomicFile.h"

#include "app/ErrorLog.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace store {
namespace {

int ErrorForOpen(const QFile& file) {
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return app::kPermissionDenied;
    case QFileDevice::OpenError:
        return QFileInfo(QFileInfo(file.fileName()).absolutePath()).isDir()
                   ? app::kPermissionDenied
                   : app::kPathNotFound;
    default:
        return app::kPathFileAccessError;
    }
}

void SyncToDisk(QFile& file) {
#ifdef Q_OS_WIN
    _commit(file.handle());
#else
    ::fsync(file.handle());
#endif
}

void RenameOver(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), ec);
    if (ec) {
        QFile::remove(from);
        app::Raise(app::kPathFileAccessError);
    }
}

QString TempPathFor(const QString& target) { return target + QStringLiteral(".tmp"); }

} // namespace

void WriteFileAtomically(const QString& nativePath, const QByteArray& bytes) {
    const QString temp = TempPathFor(nativePath);
    {
        QFile file(temp);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            app::Raise(ErrorForOpen(file));
        }
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            file.close();
            QFile::remove(temp);
            app::Raise(app::kPathFileAccessError);
        }
        SyncToDisk(file);
    }
    RenameOver(temp, nativePath);
}

void CopyFileAtomically(const QString& nativeSource, const QString& nativeTarget) {
    if (!QFileInfo::exists(nativeSource)) {
        app::Raise(app::kFileNotFound);
    }
    const QString temp = TempPathFor(nativeTarget);
    QFile::remove(temp);
    if (!QFile::copy(nativeSource, temp)) {
        QFile::remove(temp);
        app::Raise(app::kPathFileAccessError);
    }
    RenameOver(temp, nativeTarget);
}

QByteArray ReadWholeFile(const QString& nativePath) {
    QFile file(nativePath);
    if (!file.exists()) {
        app::Raise(app::kFileNotFound);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        app::Raise(ErrorForOpen(file));
    }
    return file.readAll();
}

} // namespace store
