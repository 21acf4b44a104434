#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class QMimeData;

// Bringing pictures into the picture folder: files chosen, dropped or pasted,
// and pictures handed over by another program.
namespace ui {

struct PictureSource {
    QString file; // a native path; empty for a picture handed over
    QImage image;
};

// The local files a drop or the clipboard carries, in their order; without
// any, the picture it carries; otherwise nothing.
QList<PictureSource> picturesIn(const QMimeData& data);
// The same, without decoding a picture (while a drag passes over).
bool holdsPictures(const QMimeData& data);

struct ImportedPicture {
    QString name;    // the list element of the new copy
    QString refusal; // why the source is no picture to add, in plain words
};

// Copies a picture into the picture folder as a file of its own, under the
// time-stamped name with the smallest free suffix; a file of that name,
// whatever its letter case, is never replaced, nor a name in `listed`. A HEIF
// picture becomes an upright JPEG, a picture handed over a PNG. A source that
// is no picture the program can show is refused. A copy that cannot be
// written raises, with the system's error, and leaves no file behind.
ImportedPicture importPicture(const PictureSource& source, const QDateTime& now,
                              const QStringList& listed);

// The message about pictures that were not added: each one's name (empty for
// a picture handed over) and why, out of `tried` pictures.
QString notAddedText(const QList<std::pair<QString, QString>>& failures, qsizetype tried);

} // namespace ui
