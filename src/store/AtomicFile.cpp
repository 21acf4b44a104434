#include "store/AtomicFile.h"

#include "app/ErrorLog.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>

namespace store {
namespace {

Disk& realDisk() {
    static Disk real;
    return real;
}
// Tests put a disk that fails on demand in the real one's place.
Disk*& replacementDisk() {
    // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): the seam itself
    static Disk* replacement = nullptr;
    return replacement;
}

QByteArray encoded(const QString& nativePath) {
    return QFile::encodeName(nativePath);
}

QString tempPathFor(const QString& target) {
    return target + QStringLiteral(".tmp");
}

// The runtime error number the old runtime gave for such a failure.
int numberFor(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return app::kPermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return app::kPathNotFound;
    default:
        return app::kPathFileAccessError;
    }
}

[[noreturn]] void fail(int error) {
    app::raiseSystem(numberFor(error), error);
}

// Writes every piece in order and flushes them; errno of the first failure, else 0.
int writeAndSync(int fd, std::vector<QByteArrayView> pieces) {
    std::erase_if(pieces, [](QByteArrayView p) { return p.isEmpty(); });
    std::vector<iovec> io(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        io[i] = {const_cast<char*>(pieces[i].data()), static_cast<size_t>(pieces[i].size())};
    }
    std::size_t next = 0;
    while (next < io.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(io.size() - next, IOV_MAX));
        long n = disk().writev(fd, io.data() + next, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        // Past the pieces written whole, into the one written in part.
        while (next < io.size() && static_cast<size_t>(n) >= io[next].iov_len) {
            n -= static_cast<long>(io[next++].iov_len);
        }
        if (n > 0) {
            io[next].iov_base = static_cast<char*>(io[next].iov_base) + n;
            io[next].iov_len -= static_cast<size_t>(n);
        }
    }
    return disk().fsync(fd) == 0 ? 0 : errno;
}

// A new file with exactly these bytes on the disk, or a raise with nothing left behind.
void writeNewFile(const QString& nativePath, const std::vector<QByteArrayView>& pieces) {
    const QByteArray path = encoded(nativePath);
    const int fd = disk().open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(errno);
    }
    const int error = writeAndSync(fd, pieces);
    const int closed = disk().close(fd) == 0 ? 0 : errno;
    if (error != 0 || closed != 0) {
        disk().unlink(path);
        fail(error != 0 ? error : closed);
    }
}

void renameOver(const QString& from, const QString& to) {
    if (disk().rename(encoded(from), encoded(to)) != 0) {
        const int error = errno;
        disk().unlink(encoded(from));
        fail(error);
    }
}

QString folderOf(const QString& nativePath) {
    return QFileInfo(nativePath).absolutePath();
}

} // namespace

int Disk::open(const QByteArray& path, int flags, int mode) {
    return ::open(path.constData(), flags, mode);
}
long Disk::write(int fd, const char* data, long size) {
    return ::write(fd, data, static_cast<size_t>(size));
}
long Disk::writev(int fd, const iovec* pieces, int count) {
    return ::writev(fd, pieces, count);
}
int Disk::fsync(int fd) {
    return ::fsync(fd);
}
int Disk::close(int fd) {
    return ::close(fd);
}
int Disk::rename(const QByteArray& from, const QByteArray& to) {
    return ::rename(from.constData(), to.constData());
}
int Disk::link(const QByteArray& from, const QByteArray& to) {
    return ::link(from.constData(), to.constData());
}
int Disk::unlink(const QByteArray& path) {
    return ::unlink(path.constData());
}

Disk& disk() {
    return replacementDisk() != nullptr ? *replacementDisk() : realDisk();
}

void install(Disk* replacement) {
    replacementDisk() = replacement;
}

StagedFile::StagedFile(const QString& nativeTarget, const QByteArray& bytes)
    : StagedFile(nativeTarget, std::vector<QByteArrayView>{bytes}) {}

StagedFile::StagedFile(const QString& nativeTarget, const std::vector<QByteArrayView>& pieces)
    : m_target(nativeTarget), m_temp(tempPathFor(nativeTarget)) {
    try {
        writeNewFile(m_temp, pieces);
    } catch (...) {
        m_temp.clear();
        throw;
    }
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_target(std::move(other.m_target)), m_temp(std::exchange(other.m_temp, QString())) {}

StagedFile::~StagedFile() {
    if (!m_temp.isEmpty()) {
        disk().unlink(encoded(m_temp));
    }
}

void StagedFile::replace() {
    if (m_temp.isEmpty()) {
        app::raise(app::kPathFileAccessError);
    }
    renameOver(std::exchange(m_temp, QString()), m_target);
    syncFolder(folderOf(m_target));
}

void writeFileAtomically(const QString& nativePath, const QByteArray& bytes) {
    StagedFile(nativePath, bytes).replace();
}

void linkOrCopyFile(const QString& nativeSource, const QString& nativeTarget, bool replace) {
    if (!QFileInfo::exists(nativeSource)) {
        app::raise(app::kFileNotFound);
    }
    if (!replace && QFileInfo::exists(nativeTarget)) {
        fail(EEXIST);
    }
    const QString temp = tempPathFor(nativeTarget);
    disk().unlink(encoded(temp));
    if (disk().link(encoded(nativeSource), encoded(temp)) != 0) {
        // No hard links here, or none allowed to us: copy the bytes.
        const QByteArray bytes = readWholeFile(nativeSource);
        writeNewFile(temp, {bytes});
    }
    if (replace) {
        renameOver(temp, nativeTarget);
        // Renaming a name over another name of the same file leaves both in place.
        disk().unlink(encoded(temp));
        return;
    }
    // link() never replaces: the target is made only where no file stands.
    const int linked = disk().link(encoded(temp), encoded(nativeTarget)) == 0 ? 0 : errno;
    disk().unlink(encoded(temp));
    if (linked != 0) {
        fail(linked);
    }
}

void syncFolder(const QString& nativeFolder) {
    const int fd = disk().open(encoded(nativeFolder), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        fail(errno);
    }
    const int error = disk().fsync(fd) == 0 ? 0 : errno;
    disk().close(fd);
    // Some file systems cannot flush a folder; that is no failure of ours.
    if (error != 0 && error != EINVAL && error != ENOTSUP) {
        fail(error);
    }
}

QByteArray readWholeFile(const QString& nativePath) {
    QFile file(nativePath);
    if (!file.exists()) {
        app::raise(app::kFileNotFound);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        app::raise(file.error() == QFileDevice::PermissionsError ? app::kPermissionDenied
                                                                 : app::kPathFileAccessError);
    }
    return file.readAll();
}

FileBytes::FileBytes(const QString& nativePath) {
    const int fd = ::open(encoded(nativePath).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        // Populated at once: a page fault for each page would cost more than the copy.
        void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ,
                           MAP_SHARED | MAP_POPULATE, fd, 0);
        if (map != MAP_FAILED) {
            m_map = map;
            m_data = static_cast<const char*>(map);
            m_size = static_cast<qsizetype>(st.st_size);
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
    if (m_map == nullptr) {
        m_read = readWholeFile(nativePath);
        m_data = m_read.constData();
        m_size = m_read.size();
    }
}

FileBytes::~FileBytes() {
    if (m_map != nullptr) {
        ::munmap(m_map, static_cast<size_t>(m_size));
    }
}

} // namespace store
