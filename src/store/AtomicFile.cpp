#include "store/AtomicFile.h"

#include "app/ErrorLog.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>
#include <utility>

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
        return QFileInfo(QFileInfo(file.fileName()).absolutePath()).isDir() ? app::kPermissionDenied
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

std::filesystem::path FsPath(const QString& nativePath) {
    return std::filesystem::path(nativePath.toStdU16String());
}

void RenameOver(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(FsPath(from), FsPath(to), ec);
    if (ec) {
        QFile::remove(from);
        app::Raise(app::kPathFileAccessError);
    }
}

QString TempPathFor(const QString& target) {
    return target + QStringLiteral(".tmp");
}

} // namespace

StagedFile::StagedFile(const QString& nativeTarget, const QByteArray& bytes)
    : m_target(nativeTarget), m_temp(TempPathFor(nativeTarget)) {
    QFile file(m_temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        app::Raise(ErrorForOpen(file));
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        QFile::remove(m_temp);
        app::Raise(app::kPathFileAccessError);
    }
    SyncToDisk(file);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_target(std::move(other.m_target)), m_temp(std::exchange(other.m_temp, QString())) {}

StagedFile::~StagedFile() {
    if (!m_temp.isEmpty()) {
        QFile::remove(m_temp);
    }
}

void StagedFile::Replace() {
    if (m_temp.isEmpty()) {
        app::Raise(app::kPathFileAccessError);
    }
    RenameOver(std::exchange(m_temp, QString()), m_target);
}

void WriteFileAtomically(const QString& nativePath, const QByteArray& bytes) {
    StagedFile(nativePath, bytes).Replace();
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

void LinkOrCopyFileAtomically(const QString& nativeSource, const QString& nativeTarget) {
    const QString temp = TempPathFor(nativeTarget);
    QFile::remove(temp);
    std::error_code ec;
    std::filesystem::create_hard_link(FsPath(nativeSource), FsPath(temp), ec);
    if (ec) {
        // No hard links here, or none allowed to us: copy the bytes.
        CopyFileAtomically(nativeSource, nativeTarget);
        return;
    }
    RenameOver(temp, nativeTarget);
    // Renaming a name over another name of the same file leaves both in place.
    QFile::remove(temp);
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
