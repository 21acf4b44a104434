#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

struct iovec;

// Whole files written so that a kill or a power cut at any moment leaves the
// old content or the new, never half of it. Paths are native. Failures raise
// a runtime error carrying the errno behind it.
namespace store {

// The file system calls through which the program writes its files, so that
// tests can fail any of them (a full disk, an I/O error) and see each flush.
// Each returns what the POSIX call returns, with errno set on failure.
class Disk {
public:
    virtual ~Disk() = default;
    virtual int open(const QByteArray& path, int flags, int mode);
    virtual long write(int fd, const char* data, long size);
    virtual long writev(int fd, const iovec* pieces, int count);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const QByteArray& from, const QByteArray& to);
    virtual int link(const QByteArray& from, const QByteArray& to);
    virtual int unlink(const QByteArray& path);
};
Disk& disk();
// Tests; nullptr restores the real one. Ownership stays with the caller.
void install(Disk* replacement);

// New content for a file, written to a temporary file beside it and flushed
// to the disk; it takes the file's place only through replace(), which then
// flushes the folder, so that the rename itself survives a power cut. A
// failed flush stops before the rename. Dropped unused, the temporary file is
// removed.
class StagedFile {
public:
    StagedFile(const QString& nativeTarget, const QByteArray& bytes);
    // The file's content as pieces in order.
    StagedFile(const QString& nativeTarget, const std::vector<QByteArrayView>& pieces);
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    ~StagedFile();

    void replace();

private:
    QString m_target;
    QString m_temp;
};

// Both halves of a StagedFile at once.
void writeFileAtomically(const QString& nativePath, const QByteArray& bytes);

// Makes the target a second name (a hard link) for the source's bytes, or
// where the file system has no links a flushed copy; through a temporary name
// renamed over the target. Only for a source replaced whole, never written in
// place. With `replace` false an existing target is left as it is and the
// call raises (EEXIST).
void linkOrCopyFile(const QString& nativeSource, const QString& nativeTarget, bool replace = true);

// Flushes a folder's entries (new names, renames) to the disk.
void syncFolder(const QString& nativeFolder);

// The whole file, or a runtime error (53 when missing).
QByteArray readWholeFile(const QString& nativePath);

// A whole file's bytes, mapped into memory where the system allows it (no
// copy is made), else read. Raises like readWholeFile.
class FileBytes {
public:
    explicit FileBytes(const QString& nativePath);
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    QByteArrayView view() const { return {m_data, m_size}; }

private:
    void* m_map = nullptr;
    const char* m_data = nullptr;
    qsizetype m_size = 0;
    QByteArray m_read;
};

} // namespace store
