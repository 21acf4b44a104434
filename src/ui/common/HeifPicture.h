#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Pictures in a HEIF container (HEIC from phones, HEIF, AVIF), read through
// libheif, which Qt's own readers do not know.
namespace ui {

// Whether a file's first bytes (at least 12) open a HEIF container.
bool isHeif(const QByteArray& head);
bool isHeifFile(const QString& nativePath);

// File-dialog patterns ("*.HEIC") of the kinds this system's libheif decodes.
QStringList heifPatterns();

struct HeifPicture {
    QImage image;    // upright, turned and mirrored as the file says, 8 bits a channel
    QString problem; // why there is no image, in plain words
};

// Decodes the file's primary picture with its colour profile, unless it would
// take more than `maxDecodedBytes`.
HeifPicture readHeif(const QString& nativePath, qint64 maxDecodedBytes = qint64(256) << 20);

// The primary picture's upright size, read without decoding it; invalid when
// the file holds none.
QSize heifSize(const QString& nativePath);

} // namespace ui
