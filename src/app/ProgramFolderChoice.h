#pragma once

#include <QString>
#include <functional>
#include <optional>

// Which folder holds the collection: a portable install keeps it beside the
// executable, a system install in the user's own data folder, and --folder
// names any other.
namespace app {

struct Installation {
    QString executableFolder;
    // Where a system install keeps the shipped _images/ and _reference/.
    QString sharedFilesFolder;
    QString perUserFolder;
    // Whether this user may write into an existing folder; writes nothing.
    std::function<bool(const QString&)> canWrite;

    // This process; sharedFilesRelative is taken from the executable's folder.
    static Installation ofThisProgram(const QString& sharedFilesRelative);
};

struct FolderChoice {
    // Absolute; when not usable, the folder that could not be made or written.
    QString folder;
    bool usable = false;
    // A folder holding the shipped files, to give the chosen one those it
    // lacks; empty when the installation has none.
    QString shippedFilesFrom;
};

// The folder the program keeps its collection in, made when missing. When it
// cannot be made or written, nothing is written.
FolderChoice chooseProgramFolder(const std::optional<QString>& requested,
                                 const Installation& installation);

// Copies those files of _images/ and _reference/ below `from` that `to`
// lacks. Guarded: a file that cannot be copied is logged.
void copyMissingShippedFiles(const QString& from, const QString& to);

} // namespace app
