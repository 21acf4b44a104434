#pragma once

#include <QByteArray>
#include <QString>

namespace store {

// Writes bytes to a temporary file beside the target, flushes them to the disk
// and renames the file over the target, so that the target holds either its
// old or its new content whatever happens. Raises a runtime error on failure.
void WriteFileAtomically(const QString& nativePath, const QByteArray& bytes);

// The same for a copy of an existing file.
void CopyFileAtomically(const QString& nativeSource, const QString& nativeTarget);

// The whole file, or a runtime error (53 when missing).
QByteArray ReadWholeFile(const QString& nativePath);

} // namespace store
