#pragma once

#include "app/ErrorLog.h"
#include "store/AtomicFile.h"
#include "store/CoinRecord.h"
#include "store/DatabaseImage.h"
#include "store/Recovery.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace store {

// Program folder + "\_data\991106EB51", and its backup beside it.
QString itemDatabasePath();
QString backupPathOf(const QString& databasePath);

// The collection: every coin of the item database, in file order, and the
// files behind it. Records are read from the file when first asked for, a
// window of neighbours at a time, so that a large collection opens at once.
// Every change rewrites the whole file behind the backups; the sections of
// items nobody edited are written back byte for byte.
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
    // May be called from two threads at once; a record once given does not change
    // until the collection does.
    const CoinRecord& record(qsizetype position) const;
    // Every record has been read from the file.
    bool isFullyRead() const;
    // Counts the loads and the changes written, so that a view knows when to read again.
    quint64 revision() const { return m_revision; }

    // Reads every record on a thread of its own and hands each to `visit` there, in
    // order; record() stays usable meanwhile. `finished` runs on that thread last,
    // with false when the reading was stopped. A load, a change and the end of the
    // collection stop it first.
    void readAllInBackground(std::function<void(qsizetype, const CoinRecord&)> visit,
                             std::function<void(bool complete)> finished);
    void stopBackgroundReading();

    // Stores the record in place of the one at `position`, or as a new last
    // record without one. Keys of the old record that no box of the window
    // edits stay with it. Returns where it stands after the save, or nothing
    // when it did not reach the file (lastFailure() says why) or had no
    // field to store.
    std::optional<qsizetype> save(const CoinRecord& record, std::optional<qsizetype> position);
    // Rewrites the file without the record at `position`; false when the
    // file was not written.
    bool remove(qsizetype position);
    // Adds the records after the last one in one save; false when the file
    // was not written.
    bool append(const std::vector<CoinRecord>& records);

    // Why the last save, removal or addition did not reach the file.
    const std::optional<app::RuntimeError>& lastFailure() const { return m_lastFailure; }

    // Another program changed or replaced the file since it was read.
    bool changedOnDisk() const;
    // Whether the file as loaded reads whole (reads it through once).
    FileDamage damage() const;

private:
    struct Slot {
        qsizetype begin = -1;   // its lines in the source, after the header
        qsizetype keysEnd = -1; // where its key lines end (a nameless section may follow)
        qsizetype end = -1;     // where the next item's header starts
        bool read = false;
    };
    struct Identity {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity identityOf(const QString& nativePath);

    CoinRecord& recordForReading(qsizetype position) const;
    // The file's bytes as a save builds on them: mapped, or the converted copy.
    struct SourceBytes {
        std::unique_ptr<FileBytes> file;
        QByteArrayView view;
    };
    SourceBytes sourceBytes() const;
    // The old file's bytes into `old`, unless it must not be rewritten.
    bool prepareRewrite(SourceBytes& old);
    // Writes the sections; on success the collection becomes the new file,
    // `from[i]` naming the old position of source i (-1 for a record written anew).
    std::optional<DatabaseImage> rewrite(const std::vector<SectionSource>& sources,
                                         const std::vector<qsizetype>& from);
    void commit(const DatabaseImage& image);
    void takeNewFile(const DatabaseImage& image, const std::vector<qsizetype>& from);
    void reset();

    QString m_databasePath;
    bool m_unreadable = false; // the file was there but could not be read
    Identity m_identity;
    QByteArray m_preamble;  // what stands before the first section
    QByteArray m_converted; // a file from elsewhere in the program's form; else empty
    mutable std::vector<CoinRecord> m_records;
    mutable std::vector<Slot> m_slots;
    mutable qsizetype m_unreadCount = 0;
    mutable std::unique_ptr<QFile> m_file;
    mutable QByteArray m_window; // bytes of the source from m_windowBegin on
    mutable qsizetype m_windowBegin = 0;
    mutable bool m_changeSeen = false;
    mutable std::optional<FileDamage> m_damage;
    mutable KeyNames m_keyNames;
    mutable std::vector<quint32> m_keySeen; // by key id: the record that last had it
    mutable quint32 m_recordSerial = 0;
    std::optional<app::RuntimeError> m_lastFailure;
    quint64 m_revision = 0;
    mutable std::mutex m_readLock; // the reading state above, shared with the reader thread
    std::thread m_reader;
    std::atomic<bool> m_stopReader = false;
};

} // namespace store
