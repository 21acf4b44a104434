#include "store/Collection.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/TextUtil.h"
#include "app/Win1252.h"
#include "store/AtomicFile.h"
#include "store/IniFile.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <utility>

namespace store {
namespace {

// The key with blanks around it removed is the first picture key; runs for
// every field of every item, so it builds no trimmed copy.
bool isFirstPictureKey(QStringView key) {
    while (!key.isEmpty() && key.front() == u' ') {
        key = key.mid(1);
    }
    while (!key.isEmpty() && key.back() == u' ') {
        key.chop(1);
    }
    return key == kFirstPictureKey;
}

bool isBlank(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

constexpr QLatin1StringView kDescriptionKey("txtDescription");

// One number per key name, the same for names alike without regard to letter
// case, and the name's bytes in the file. Records share their key names'
// texts, so a name is nearly always found by the address of its text.
class KeyIds {
public:
    struct Known {
        int id = -1;
        QByteArrayView bytes; // held by the table below, so never dangling
    };
    Known find(const QString& key) {
        Slot& slot = m_slots[(reinterpret_cast<quintptr>(key.constData()) >> 4) % m_slots.size()];
        if (slot.known.id < 0 || slot.key.constData() != key.constData() ||
            slot.key.size() != key.size()) {
            auto named = m_byName.constFind(key);
            if (named == m_byName.constEnd()) {
                const QString folded = key.toCaseFolded();
                const auto found = m_ids.constFind(folded);
                const int id = found != m_ids.constEnd() ? *found : int(m_ids.size());
                m_ids.insert(folded, id);
                named = m_byName.insert(key, {id, app::toWin1252(key)});
            }
            // The slot holds the key, so that its address cannot come back with other text.
            slot = {key, {named->id, named->bytes}};
        }
        return slot.known;
    }

private:
    struct Named {
        int id;
        QByteArray bytes;
    };
    struct Slot {
        QString key;
        Known known;
    };
    std::array<Slot, 1024> m_slots{};
    QHash<QString, Named> m_byName;
    QHash<QString, int> m_ids;
};

// Writes a record's section as the INI layer would write its keys one by one:
// a key written again (letter case aside) keeps its place and takes the later
// value. Returns false when the record repeats a key. `use` tells records apart.
class SectionWriter {
public:
    explicit SectionWriter(QByteArray& out) : m_out(out) {}

    bool put(qsizetype number, const CoinRecord& record, qsizetype use) {
        m_lines.clear();
        bool repeats = false;
        for (qsizetype k = 0; k < record.size(); ++k) {
            const KeyIds::Known known = m_keys.find(record.key(k));
            const auto id = static_cast<std::size_t>(known.id);
            if (id >= m_lastUse.size()) {
                m_lastUse.resize(id + 1, -1);
            }
            repeats = repeats || m_lastUse[id] == use;
            m_lastUse[id] = use;
            m_lines.push_back({known.bytes, record.valueBytes(k), known.id});
        }
        if (repeats) {
            mergeRepeatedKeys();
        }
        // "[ITEMNUMB000001]", after a blank line but for the first section.
        char header[40];
        const int headerSize = std::snprintf(header, sizeof header, "%s[ITEMNUMB%06lld]\r\n",
                                             m_out.isEmpty() ? "" : "\r\n",
                                             static_cast<long long>(number));
        // Sized first, so that the section is copied in without growing.
        qsizetype size = headerSize;
        for (const KeyLine& line : m_lines) {
            size += line.key.size() + line.value.size() + 3;
        }
        const qsizetype at = m_out.size();
        m_out.resize(at + size);
        char* dst = std::copy_n(header, headerSize, m_out.data() + at);
        for (const KeyLine& line : m_lines) {
            dst = std::copy_n(line.key.data(), line.key.size(), dst);
            *dst++ = '=';
            dst = std::copy_n(line.value.data(), line.value.size(), dst);
            *dst++ = '\r';
            *dst++ = '\n';
        }
        Q_ASSERT(dst == m_out.constData() + m_out.size());
        return !repeats;
    }

private:
    struct KeyLine {
        QByteArrayView key;
        QByteArrayView value;
        int id;
    };

    // The first line of a key takes the last line's value; the later lines go.
    void mergeRepeatedKeys() {
        std::vector<KeyLine> merged;
        for (std::size_t k = 0; k < m_lines.size(); ++k) {
            const int id = m_lines[k].id;
            const auto first = std::find_if(merged.begin(), merged.end(),
                                            [id](const KeyLine& l) { return l.id == id; });
            if (first == merged.end()) {
                merged.push_back(m_lines[k]);
                continue;
            }
            first->value = m_lines[k].value;
        }
        m_lines = std::move(merged);
    }

    QByteArray& m_out;
    KeyIds m_keys;
    std::vector<qsizetype> m_lastUse;
    std::vector<KeyLine> m_lines;
};

// The backup becomes a second name for the old database's bytes only when the
// new database is ready to take the database's name; otherwise the old file
// stays the database, and its backup must be a copy apart from it.
void writeBackup(app::Guard& guard, const QString& database, const QString& backup, bool mayLink) {
    // With no database to copy, an older backup stays: it may be the only copy left.
    guard.step([&] {
        if (!QFileInfo::exists(app::nativePath(database))) {
            app::raise(app::kFileNotFound);
        }
    }) &&
        guard.step([&] {
            if (mayLink) {
                linkOrCopyFileAtomically(app::nativePath(database), app::nativePath(backup));
            } else {
                copyFileAtomically(app::nativePath(database), app::nativePath(backup));
            }
        });
}

} // namespace

QString itemDatabasePath() {
    return app::programPath(QStringLiteral("\\_data\\991106EB51"));
}

QString backupPathOf(const QString& databasePath) {
    return databasePath + QStringLiteral("backup");
}

Collection::Collection(QString databasePath) : m_databasePath(std::move(databasePath)) {}

Collection::~Collection() = default;

void Collection::reset(qsizetype count) {
    m_records.clear();
    m_records.resize(static_cast<std::size_t>(count));
    m_unread.clear();
    m_unreadCount = 0;
    m_file.reset();
    m_window = QByteArray();
    m_windowBegin = 0;
    m_keyNames = KeyNames();
}

void Collection::load() {
    app::Guard guard;
    IniFile::UnreadSections file;
    guard.step([&] {
        file = IniFile(m_databasePath).readSectionsLazily();
        if (file.unreadable) {
            app::raise(app::kPermissionDenied);
        }
    });
    reset(static_cast<qsizetype>(file.sections.size()));
    m_unreadable = file.unreadable;
    m_unread.reserve(file.sections.size());
    for (const SectionSpan& span : file.sections) {
        m_unread.push_back({span.begin, span.end});
    }
    m_unreadCount = count();
    m_file = m_unreadCount > 0 ? std::move(file.file) : nullptr;
}

CoinRecord& Collection::recordForReading(qsizetype position) const {
    if (position < 0 || position >= count()) {
        app::raise(app::kSubscriptOutOfRange);
    }
    const auto i = static_cast<std::size_t>(position);
    if (i < m_unread.size() && m_unread[i].begin >= 0) {
        const Unread span = std::exchange(m_unread[i], Unread());
        // Records are mostly read in file order: fetch the following ones too.
        constexpr qsizetype kWindow = qsizetype{256} * 1024;
        const qsizetype length = span.end - span.begin;
        if (span.begin < m_windowBegin || span.end > m_windowBegin + m_window.size()) {
            m_window.resize(std::max(length, kWindow));
            m_windowBegin = span.begin;
            const qint64 got = m_file && m_file->seek(span.begin)
                                   ? m_file->read(m_window.data(), m_window.size())
                                   : 0;
            // A file cut short since it was opened yields what is left of it.
            m_window.resize(std::max<qint64>(got, 0));
        }
        const char* data = m_window.constData() + (span.begin - m_windowBegin);
        const qsizetype available =
            std::clamp<qsizetype>(m_window.size() - (span.begin - m_windowBegin), 0, length);
        CoinRecord& record = m_records[i];
        readSectionBody(data, data + available, m_keyNames,
                        [&record](const QString& key, QByteArrayView value) {
                            record.appendBytes(key, value);
                        });
        if (--m_unreadCount == 0) {
            m_file.reset();
            m_window = QByteArray();
            m_windowBegin = 0;
            m_unread.clear();
        }
    }
    return m_records[i];
}

const CoinRecord& Collection::record(qsizetype position) const {
    return recordForReading(position);
}

void Collection::readAll() const {
    for (qsizetype i = 0; m_unreadCount > 0 && i < count(); ++i) {
        recordForReading(i);
    }
}

std::optional<qsizetype> Collection::findByDescription(const QString& description) const {
    const QString wanted = app::trimBlanks(description).toUpper();
    const auto matches = [&wanted](const QString& value) { return value.toUpper() == wanted; };
    // Records not read yet are searched in the file's bytes: only their
    // description lines are decoded, and they stay unread.
    QByteArray unreadBytes;
    qsizetype unreadBegin = 0;
    if (m_unreadCount > 0 && m_file) {
        qsizetype end = 0;
        unreadBegin = -1;
        for (const Unread& span : m_unread) {
            if (span.begin >= 0) {
                unreadBegin = unreadBegin < 0 ? span.begin : std::min(unreadBegin, span.begin);
                end = std::max(end, span.end);
            }
        }
        if (unreadBegin >= 0 && m_file->seek(unreadBegin)) {
            unreadBytes = m_file->read(end - unreadBegin);
        }
    }
    std::optional<qsizetype> found;
    for (qsizetype i = 0; i < count(); ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (u < m_unread.size() && m_unread[u].begin >= 0) {
            const qsizetype from =
                std::clamp<qsizetype>(m_unread[u].begin - unreadBegin, 0, unreadBytes.size());
            const qsizetype to =
                std::clamp<qsizetype>(m_unread[u].end - unreadBegin, from, unreadBytes.size());
            const QStringList values = valuesOfKey(unreadBytes.constData() + from,
                                                   unreadBytes.constData() + to, kDescriptionKey);
            if (std::any_of(values.begin(), values.end(), matches)) {
                found = i;
            }
            continue;
        }
        const CoinRecord& record = m_records[u];
        for (qsizetype k = 0; k < record.size(); ++k) {
            // The length test keeps the case-blind comparison off most keys.
            const QString& key = record.key(k);
            if (key.size() == kDescriptionKey.size() &&
                key.compare(kDescriptionKey, Qt::CaseInsensitive) == 0 && matches(record.value(k))) {
                found = i;
            }
        }
    }
    return found;
}

std::optional<qsizetype> Collection::save(CoinRecord record, std::optional<qsizetype> position) {
    if (!position) {
        return rewrite(std::nullopt, std::nullopt, std::move(record));
    }
    recordForReading(*position) = std::move(record);
    return rewrite(std::nullopt, position, std::nullopt);
}

void Collection::remove(std::optional<qsizetype> position) {
    rewrite(position, std::nullopt, std::nullopt);
}

std::optional<qsizetype> Collection::rewrite(std::optional<qsizetype> leaveOut,
                                             std::optional<qsizetype> follow,
                                             std::optional<CoinRecord> added) {
    app::Guard guard;
    const qsizetype bound = count();
    // The new database is written and flushed before the backup is taken, and
    // takes the database's name last: the database is always the old or the
    // new collection, and the backup always whole.
    std::optional<StagedFile> staged;
    std::exception_ptr stageFailure;
    // What the file will hold, record by record, and the sections to read
    // back because the reader would not find them as they were: the record
    // being stored (trimmed, mapped to the file's characters) and any record
    // that repeats a key.
    std::vector<CoinRecord> written;
    struct Span {
        qsizetype record;
        qsizetype begin; // of its section's text in `out`
        qsizetype end;
    };
    std::vector<Span> readBack;
    std::optional<qsizetype> followedAt;
    QByteArray out;
    try {
        // Rewriting a database that could not be read would replace what it holds.
        if (m_unreadable) {
            app::raise(app::kPermissionDenied);
        }
        readAll();
        written.reserve(static_cast<std::size_t>(bound) + 1);
        // About the size of the file it replaces.
        out.reserve(QFileInfo(app::nativePath(m_databasePath)).size() + qint64{64} * 1024);
        SectionWriter writer(out);
        const auto put = [&](CoinRecord&& record, qsizetype number, bool stored, bool followed) {
            // A stored item keeps its first picture key, empty or not.
            for (qsizetype k = record.size() - 1; k >= 0; --k) {
                if (isBlank(record.valueBytes(k)) && !(stored && isFirstPictureKey(record.key(k)))) {
                    record.removeAt(k);
                }
            }
            // A record with nothing to store writes no section; the ones after it move up.
            if (record.isEmpty()) {
                return;
            }
            const auto at = static_cast<qsizetype>(written.size());
            const qsizetype start = out.size();
            if (!writer.put(number, record, at) || followed) {
                readBack.push_back({at, start, out.size()});
            }
            if (followed) {
                followedAt = at;
            }
            written.push_back(std::move(record));
        };
        for (qsizetype i = 0; i < bound; ++i) {
            if (i != leaveOut) {
                put(std::move(recordForReading(i)), i + 1 - (leaveOut && i > *leaveOut ? 1 : 0),
                    true, i == follow);
            }
        }
        if (added) {
            put(std::move(*added), bound + 1, false, true);
        }
        staged.emplace(app::nativePath(m_databasePath), out);
    } catch (...) {
        // Reported after the backup, where the rewrite's failures always were.
        stageFailure = std::current_exception();
    }
    writeBackup(guard, m_databasePath, backupPathOf(m_databasePath), staged.has_value());
    const bool replaced = guard.step([&] {
        if (stageFailure) {
            std::rethrow_exception(stageFailure);
        }
        staged->replace();
    });

    // What a load of the file gives: the records just written, the ones read
    // back as the reader finds them, or the untouched old file.
    bool readAgain = false;
    if (!replaced || !guard.step([&] {
            for (const Span& span : readBack) {
                std::vector<IniSection> read =
                    IniDocument::parse(out.mid(span.begin, span.end - span.begin)).takeSections();
                // A key the reader takes for a section header: only a reload tells.
                if (read.size() != 1) {
                    readAgain = true;
                    return;
                }
                written[static_cast<std::size_t>(span.record)] = CoinRecord(read.front().entries);
            }
            reset(0);
            m_records = std::move(written);
        }) || readAgain) {
        load();
    }
    return replaced ? followedAt : std::nullopt;
}

} // namespace store
