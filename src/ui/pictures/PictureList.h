#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The open item's picture list and the copies of the user's pictures in the
// picture folder. Qt Core only.
namespace ui {

// Title and filters of the file dialog that chooses a picture to add.
QString addPictureTitle();
QStringList addPictureFilters();

// The list element, and the copy's path below the program folder:
// "_data\_userImages\" + the 14-digit local time + the chosen path's last four
// characters (".jpg", or "jpeg" without a dot). A character of those four that
// could not stand in a file name, or in the collection's files, becomes "_".
QString copiedPictureName(const QDateTime& now, const QString& chosenPath);

// The list with `name` in front.
QStringList withPictureFirst(const QStringList& list, const QString& name);

// The list one place shorter without element `index` (from 0): the other
// names in order first, empty names in the places left over. An index outside
// the list leaves it as it is.
QStringList withPictureRemoved(const QStringList& list, qsizetype index);

// Copies a file, streaming it, over whatever file `target` names. Raises 53
// when the source is missing, 76 when the target's folder is, 70 when either
// side is refused, 75 for any other failure; the target is then untouched.
void copyPictureFile(const QString& source, const QString& target);

} // namespace ui
