#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// Dated copies of the item database in "_data/backups/": the database as it
// was before each save, so that a collector can go back several saves and
// several days. Each is a second name for the old file's bytes where the file
// system allows it, so a save costs no extra copy. Paths are native.
namespace store {

struct DatedBackup {
    QString path;
    QDateTime saved; // when that state of the collection was written (the file's time)
    std::optional<qsizetype> coins; // from the name; none when it does not say
};

QString backupsFolder(const QString& nativeDatabase);

// Keeps the file as it is now under a name with its modification time and
// the number of coins it holds; a name already taken gets "-2", "-3"... A
// file already kept under such a name is not kept twice.
struct KeptBackup {
    QString path;
    bool made = false; // false when these bytes were kept already
};
KeptBackup keepDatedBackup(const QString& nativeDatabase, const QString& nativeFile,
                           qsizetype coins);
// Keeps a file that is to be replaced, when no dated backup holds its bytes yet.
void keepIfOnlyCopy(const QString& nativeDatabase, const QString& nativeFile);

// Every dated backup, newest first.
std::vector<DatedBackup> datedBackups(const QString& nativeDatabase);

// Keeps the last 20 saves and the last save of each of the last 30 days.
void pruneDatedBackups(const QString& nativeDatabase, const QDateTime& now);

// A damaged database put aside before a restore: never pruned.
QString setAsideName(const QString& nativeDatabase, const QDateTime& now);

} // namespace store
