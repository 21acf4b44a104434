#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

// Pictures are decoded at the size they are shown and kept in a small cache so
// that paging back and forth costs nothing. JPEG and opaque PNG are reduced
// while they are read; other pictures (HEIF through libheif) are read whole,
// up to 256 MB decoded, and reduced at once. A file that cannot be read as a picture, one whose
// header claims more than 16384 x 16384 pixels and one too large to read whole
// are NotAPicture.
namespace ui {

enum class PictureStatus {
    Loaded,
    NotAPicture, // missing, or not a picture the program can read
    OtherFailure,
};

struct LoadedPicture {
    QPixmap pixmap;
    PictureStatus status = PictureStatus::OtherFailure;
};

// shownSize in logical pixels; the picture is stretched to it. An empty
// shownSize gives the picture at its natural size.
LoadedPicture loadPictureScaled(const QString& nativePath, QSize shownSize, qreal devicePixelRatio);

// Decodes the pictures not yet cached side by side, so that the
// LoadPictureScaled calls that follow find them in the cache. GUI thread only.
void preloadPicturesScaled(const QStringList& nativePaths, QSize shownSize, qreal devicePixelRatio);

// The picture, or the program's invalid-picture image when the file is
// missing or not a picture it can read.
LoadedPicture loadPictureOrInvalid(const QString& nativePath, QSize shownSize,
                                   qreal devicePixelRatio);

// The size a picture has when shown upright, read from its header without
// decoding it; an invalid size when the file is missing or no picture.
QSize pictureNaturalSize(const QString& nativePath);

// Why a file is no picture the program can show, in plain words ("it is not
// a picture the program can read"); empty when it is one. Decodes it small.
QString pictureProblem(const QString& nativePath);

// Path texts of the program's own pictures.
QString programImagePath(const QString& fileName); // program folder + "\_images\" + name

} // namespace ui
