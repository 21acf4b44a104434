#include "app/ProgramFolderChoice.h"

#include "app/ErrorLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {
namespace {

// A folder that holds the program's own pictures is an installed program
// folder; a bin/ folder shared with other programs never is, even for root.
bool holdsShippedFiles(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(QStringLiteral("_images"))).isDir();
}

// The refusal must write nothing, so the nearest existing ancestor is checked
// before any folder is made.
bool makeUsable(const QString& folder, const Installation& installation) {
    const QFileInfo info(folder);
    if (info.exists()) {
        return info.isDir() && installation.canWrite(folder);
    }
    QString ancestor = folder;
    while (!QFileInfo::exists(ancestor)) {
        const QString parent = QFileInfo(ancestor).path();
        if (parent == ancestor) {
            return false;
        }
        ancestor = parent;
    }
    return QFileInfo(ancestor).isDir() && installation.canWrite(ancestor) &&
           QDir().mkpath(folder) && installation.canWrite(folder);
}

} // namespace

Installation Installation::ofThisProgram(const QString& sharedFilesRelative) {
    const QString executable = QCoreApplication::applicationDirPath();
    return {executable, QDir::cleanPath(executable + u'/' + sharedFilesRelative),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            [](const QString& folder) { return QFileInfo(folder).isWritable(); }};
}

FolderChoice chooseProgramFolder(const std::optional<QString>& requested,
                                 const Installation& installation) {
    const QString exe = installation.executableFolder;
    const QString shipped = holdsShippedFiles(exe) ? exe
                            : holdsShippedFiles(installation.sharedFilesFolder)
                                ? installation.sharedFilesFolder
                                : QString();
    QString folder;
    if (requested) {
        folder = *requested;
    } else if (holdsShippedFiles(exe) && installation.canWrite(exe)) {
        folder = exe;
    } else {
        folder = installation.perUserFolder;
    }
    if (folder.trimmed().isEmpty()) {
        return {};
    }
    // One folder has one spelling, so that two spellings never take two locks:
    // the stored paths' backslash is a separator here too, links are resolved.
    folder.replace(u'\\', u'/');
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const bool usable = makeUsable(folder, installation);
    if (const QString canonical = QFileInfo(folder).canonicalFilePath(); !canonical.isEmpty()) {
        folder = canonical;
    }
    return {folder, usable, shipped};
}

void copyMissingShippedFiles(const QString& from, const QString& to) {
    if (from.isEmpty()) {
        return;
    }
    const QDir source(from);
    const QDir target(to);
    Guard guard;
    for (const char* shipped : {"_images", "_reference"}) {
        QDirIterator it(source.filePath(QLatin1String(shipped)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString copy = target.filePath(source.relativeFilePath(file));
            if (QFileInfo::exists(copy)) {
                continue;
            }
            guard.step([&] {
                if (!QDir().mkpath(QFileInfo(copy).path()) || !QFile::copy(file, copy)) {
                    raise(kPathFileAccessError);
                }
                // A read-only installation's files stay the user's to replace.
                QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner);
            });
        }
    }
}

} // namespace app
