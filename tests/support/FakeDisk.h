#pragma once

#include "store/AtomicFile.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>

// The real file system, but a call can be made to fail with an errno, and
// every flush is recorded with the path it flushed ("dir:" for a folder).
class FakeDisk : public store::Disk {
public:
    FakeDisk() { store::install(this); }
    ~FakeDisk() override { store::install(nullptr); }
    FakeDisk(const FakeDisk&) = delete;
    FakeDisk& operator=(const FakeDisk&) = delete;

    enum class Call { Write, Fsync, Rename, Link };
    // The next such call (a rename to a path ending so, when given) fails.
    void failNext(Call call, int error, const QString& renamedTo = {}) {
        m_fail = call;
        m_error = error;
        m_renamedTo = renamedTo;
    }

    QStringList events; // "fsync:<path>", "rename:<to>", in order

    int open(const QByteArray& path, int flags, int mode) override {
        const int fd = Disk::open(path, flags, mode);
        if (fd >= 0) {
            m_paths.insert(fd,
                           ((flags & O_DIRECTORY) ? "dir:" : "") + QString::fromLocal8Bit(path));
        }
        return fd;
    }
    long write(int fd, const char* data, long size) override {
        return failing(Call::Write) ? -1 : Disk::write(fd, data, size);
    }
    long writev(int fd, const iovec* pieces, int count) override {
        return failing(Call::Write) ? -1 : Disk::writev(fd, pieces, count);
    }
    int fsync(int fd) override {
        if (failing(Call::Fsync)) {
            return -1;
        }
        events << "fsync:" + m_paths.value(fd);
        return Disk::fsync(fd);
    }
    int close(int fd) override {
        m_paths.remove(fd);
        return Disk::close(fd);
    }
    int rename(const QByteArray& from, const QByteArray& to) override {
        if ((m_renamedTo.isEmpty() || QString::fromLocal8Bit(to).endsWith(m_renamedTo)) &&
            failing(Call::Rename)) {
            return -1;
        }
        events << "rename:" + QString::fromLocal8Bit(to);
        return Disk::rename(from, to);
    }
    int link(const QByteArray& from, const QByteArray& to) override {
        return failing(Call::Link) ? -1 : Disk::link(from, to);
    }

private:
    bool failing(Call call) {
        if (!m_fail || *m_fail != call) {
            return false;
        }
        m_fail.reset();
        errno = m_error;
        return true;
    }

    std::optional<Call> m_fail;
    int m_error = 0;
    QString m_renamedTo;
    QHash<int, QString> m_paths;
};
