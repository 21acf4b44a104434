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

int errorForOpen(const QFile& file) {
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

void syncToDisk(QFile& file) {
#ifdef Q_OS_WIN
    _commit(file.handle());
#else
    ::fsync(file.handle());
#endif
}

std::filesystem::path fsPath(const QString& nativePath) {
    return std::filesystem::path(nativePath.toStdU16String());
}

void renameOver(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec) {
        QFile::remove(from);
        app::raise(app::kPathFileAccessError);
    }
}

QString tempPathFor(const QString& target) {
    return target + QStringLiteral(".tmp");
}

} // namespace

StagedFile::StagedFile(const QString& nativeTarget, const QByteArray& bytes)
    : m_target(nativeTarget), m_temp(tempPathFor(nativeTarget)) {
    QFile file(m_temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        app::raise(errorForOpen(file));
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        QFile::remove(m_temp);
        app::raise(app::kPathFileAccessError);
    }
    syncToDisk(file);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_target(std::move(other.m_target)), m_temp(std::exchange(other.m_temp, QString())) {}

StagedFile::~StagedFile() {
    if (!m_temp.isEmpty()) {
        QFile::remove(m_temp);
    }
}

void StagedFile::replace() {
    if (m_temp.isEmpty()) {
        app::raise(app::kPathFileAccessError);
    }
    renameOver(std::exchange(m_temp, QString()), m_target);
}

void writeFileAtomically(const QString& nativePath, const QByteArray& bytes) {
    StagedFile(nativePath, bytes).replace();
}

void copyFileAtomically(const QString& nativeSource, const QString& nativeTarget) {
    if (!QFileInfo::exists(nativeSource)) {
        app::raise(app::kFileNotFound);
    }
    const QString temp = tempPathFor(nativeTarget);
    QFile::remove(temp);
    if (!QFile::copy(nativeSource, temp)) {
        QFile::remove(temp);
        app::raise(app::kPathFileAccessError);
    }
    renameOver(temp, nativeTarget);
}

void linkOrCopyFileAtomically(const QString& nativeSource, const QString& nativeTarget) {
    const QString temp = tempPathFor(nativeTarget);
    QFile::remove(temp);
    std::error_code ec;
    std::filesystem::create_hard_link(fsPath(nativeSource), fsPath(temp), ec);
    if (ec) {
        // No hard links here, or none allowed to us: copy the bytes.
        copyFileAtomically(nativeSource, nativeTarget);
        return;
    }
    renameOver(temp, nativeTarget);
    // Renaming a name over another name of the same file leaves both in place.
    QFile::remove(temp);
}

QByteArray readWholeFile(const QString& nativePath) {
    QFile file(nativePath);
    if (!file.exists()) {
        app::raise(app::kFileNotFound);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        app::raise(errorForOpen(file));
    }
    return file.readAll();
}

} // namespace store
