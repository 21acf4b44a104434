#include "app/Launch.h"

#include "app/Constants.h"
#include "app/ProgramFolder.h"
#include "platform/Platform.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

namespace app {
namespace {

int tell(const QString& text, platform::Icon icon, int exitCode) {
    platform::messageBoxes().show({text, kTitle, platform::Buttons::Ok, icon});
    return exitCode;
}

QString unusableFolderText(const QString& folder) {
    return QStringLiteral("Corvantheil cannot keep a collection in this folder, because the "
                          "folder cannot be created or written:\n\n") +
           QDir::toNativeSeparators(folder) +
           QStringLiteral("\n\nStart Corvantheil with --folder and a folder you can write.");
}

QString folderInUseText(const QString& folder) {
    return QStringLiteral("The collection in this folder is open in Corvantheil already:\n\n") +
           QDir::toNativeSeparators(folder) +
           QStringLiteral("\n\nSwitch to that window, or close it before you start Corvantheil "
                          "on this folder again.");
}

} // namespace

std::optional<int> Launch::start(const QStringList& arguments, const Installation& installation) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Keeps the inventory of a coin collection."));
    const QCommandLineOption folderOption(
        QStringLiteral("folder"),
        QStringLiteral("Keep the collection in <folder> instead of the usual place."),
        QStringLiteral("folder"));
    parser.addOption(folderOption);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    QString error;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        error =
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    } else if (parser.isSet(folderOption) && parser.value(folderOption).trimmed().isEmpty()) {
        error = QStringLiteral("No folder named after '--folder'.");
    } else if (parser.isSet(folderOption) &&
               parser.value(folderOption) != parser.value(folderOption).trimmed()) {
        error = QStringLiteral("The folder name '%1' begins or ends with a blank. Name the "
                               "folder without blanks around it.")
                    .arg(parser.value(folderOption));
    }
    if (!error.isEmpty()) {
        return tell(error + QStringLiteral("\n\nUsage: corvantheil [--folder <folder>]"),
                    platform::Icon::Warning, kExitUsage);
    }
    if (parser.isSet(helpOption) || parser.isSet(versionOption)) {
        const QString text =
            parser.isSet(helpOption) ? parser.helpText() : kTitle + u' ' + versionText() + u'\n';
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    const FolderChoice choice = chooseProgramFolder(
        parser.isSet(folderOption) ? std::optional(parser.value(folderOption)) : std::nullopt,
        installation);
    if (!choice.usable) {
        return tell(unusableFolderText(choice.folder), platform::Icon::Critical, kExitRefused);
    }

    // A lock whose process is gone is taken over; one whose process lives is
    // never broken, however long it has been held.
    auto lock = std::make_unique<QLockFile>(QDir(choice.folder).filePath(kLockFileName));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return lock->error() == QLockFile::LockFailedError
                   ? tell(folderInUseText(choice.folder), platform::Icon::Information, kExitRefused)
                   : tell(unusableFolderText(choice.folder), platform::Icon::Critical,
                          kExitRefused);
    }
    m_lock = std::move(lock);
    setProgramFolder(choice.folder);
    copyMissingShippedFiles(choice.shippedFilesFrom, choice.folder);
    return std::nullopt;
}

} // namespace app
