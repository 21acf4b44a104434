#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The open item's picture list and the names of the copies of the user's
// pictures in the picture folder.
namespace ui {

// Title and filters of the file dialog that chooses pictures to add; the
// first filter lists the phone formats this system's libheif can read.
QString addPictureTitle();
QStringList addPictureFilters();

// How a copy's name ends: the chosen path's last four characters (".jpg"),
// or the whole extension with its dot where it is longer (".jpeg"). A
// character that could not stand in a file name, or in the collection's
// files, becomes "_".
QString copiedPictureEnding(const QString& chosenPath);

// The list element, and the copy's path below the program folder:
// "_data\_userImages\" + the 14-digit local time, then "-2", "-3", ... for a
// suffix above 1, then the ending.
QString copiedPictureName(const QDateTime& now, const QString& ending, int suffix = 1);

// The list with `name` in front.
QStringList withPictureFirst(const QStringList& list, const QString& name);

// The list one place shorter without element `index` (from 0): the other
// names in order first, empty names in the places left over. An index outside
// the list leaves it as it is.
QStringList withPictureRemoved(const QStringList& list, qsizetype index);

} // namespace ui
