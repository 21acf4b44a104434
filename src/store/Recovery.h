#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <optional>

class QIODevice;

// What start-up checks of the item database, and how a backup takes its
// place. Paths are native.
namespace store {

enum class FileDamage {
    None,
    Missing,
    Empty,
    Unreadable,
    CutShort,   // it does not end with the line break every save leaves
    StrayLines, // lines the reader cannot place
};

// What is wrong with a file's text already in the program's form.
FileDamage damageOfText(QByteArrayView text);
// The same for an open file in the program's form, read through a small
// buffer so that checking a large file takes no memory.
FileDamage damageOfFile(QIODevice& file);

struct GoodBackup {
    QString path;
    QDateTime saved;
    qsizetype coins = 0;
};
// The newest backup (the single one beside the database, or a dated one)
// that reads whole and holds at least one coin.
std::optional<GoodBackup> newestGoodBackup(const QString& nativeDatabase);

// Puts the backup in the database's place. The database there now is kept
// first: as a dated backup holding `coins` coins, or, when `damaged`, under
// a name that is never pruned. Returns where the old database went (empty
// when there was none). Raises when anything fails before the database is
// replaced; the database is then as it was.
QString restoreBackup(const QString& nativeDatabase, const QString& backup, qsizetype coins,
                      bool damaged);

} // namespace store
