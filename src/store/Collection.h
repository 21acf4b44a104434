#pragma once

#include "store/CoinRecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace store {

// Program folder + "\_data\991106EB51", and its backup beside it.
QString itemDatabasePath();
QString backupPathOf(const QString& databasePath);

// The collection: every coin of the item database, in file order, and the
// files behind it. Records are read from the file when first asked for, a
// window of neighbours at a time, so that a large collection opens at once.
// Every change rewrites the whole file behind a backup of the old one.
class Collection {
public:
    explicit Collection(QString databasePath);
    ~Collection();
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;

    const QString& databasePath() const { return m_databasePath; }

    // Reads the file anew; a missing or unreadable file is an empty collection.
    void load();

    qsizetype count() const { return static_cast<qsizetype>(m_records.size()); }
    const CoinRecord& record(qsizetype position) const;

    // The last record whose description equals the text, blanks around it
    // and letter case ignored.
    std::optional<qsizetype> findByDescription(const QString& description) const;

    // Stores the record in place of the one at `position`, or as a new last
    // record without one. Returns where it stands after the save, or nothing
    // when it did not reach the file (the collection is then the file's) or
    // had no field to store.
    std::optional<qsizetype> save(CoinRecord record, std::optional<qsizetype> position);
    // Rewrites the file without the record at `position`.
    void remove(std::optional<qsizetype> position);

private:
    // Writes every record but `leaveOut`, then `added`; returns where the
    // record at `follow` (or the added one) stands in the written file, none
    // when the file was not written or the record wrote no section.
    std::optional<qsizetype> rewrite(std::optional<qsizetype> leaveOut,
                                     std::optional<qsizetype> follow,
                                     std::optional<CoinRecord> added);
    CoinRecord& recordForReading(qsizetype position) const;
    void readAll() const;
    void reset(qsizetype count);

    QString m_databasePath;
    bool m_unreadable = false; // the file was there but could not be read
    mutable std::vector<CoinRecord> m_records;

    // Sections of the open file whose keys are not read yet.
    struct Unread {
        qsizetype begin = -1; // -1: read, or never from a file
        qsizetype end = -1;
    };
    mutable std::vector<Unread> m_unread;
    mutable qsizetype m_unreadCount = 0;
    mutable std::unique_ptr<QFile> m_file;
    mutable QByteArray m_window; // bytes of the file from m_windowBegin on
    mutable qsizetype m_windowBegin = 0;
    mutable KeyNames m_keyNames;
};

} // namespace store
