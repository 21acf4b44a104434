#pragma once

#include <QByteArray>
#include <QString>

namespace store {

// New content for a file, written to a temporary file beside it and flushed
// to the disk; it takes the file's place only through Replace, so that the
// file holds either its old or its new content whatever happens. Dropped
// unused, the temporary file is removed. Raises a runtime error on failure.
class StagedFile {
public:
    StagedFile(const QString& nativeTarget, const QByteArray& bytes);
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

// Makes the target a complete copy of an existing file, through a temporary
// name renamed over it.
void copyFileAtomically(const QString& nativeSource, const QString& nativeTarget);

// The same, but where the file system allows the target becomes a second name
// (a hard link) for the source's bytes instead of a copy of them. Only for a
// source that is replaced whole and never written in place.
void linkOrCopyFileAtomically(const QString& nativeSource, const QString& nativeTarget);

// The whole file, or a runtime error (53 when missing).
QByteArray readWholeFile(const QString& nativePath);

} // namespace store
