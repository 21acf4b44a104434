#include "store/Collection.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/TextUtil.h"
#include "store/AtomicFile.h"
#include "store/IniFile.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <utility>

namespace store {
namespace {

void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

// Rows lie apart in memory, and a walk over all of them otherwise waits on
// each: start bringing the next ones into the cache.
void prefetchFields(const CoinRecord& record) {
    const auto& fields = record.fields();
    const char* end = reinterpret_cast<const char*>(fields.data() + fields.size());
    for (auto p = reinterpret_cast<const char*>(fields.data()); p < end; p += 64) {
        prefetch(p);
    }
}

void prefetchTexts(const CoinRecord& record) {
    for (const IniEntry& field : record.fields()) {
        prefetch(field.value.constData());
    }
}

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

constexpr QLatin1StringView kDescriptionKey("txtDescription");

QString makeSectionName(qint64 itemNumber) {
    return QStringLiteral("ITEMNUMB") +
           QStringLiteral("%1").arg(itemNumber, 6, 10, QLatin1Char('0'));
}

// "ITEMNUMB000001". Every save names every item again: each name is made once.
QString sectionName(qsizetype itemNumber) {
    static std::vector<QString> made;
    if (itemNumber < 0 || itemNumber > 999999) {
        return makeSectionName(itemNumber);
    }
    const auto n = static_cast<std::size_t>(itemNumber);
    if (n >= made.size()) {
        made.resize(n + 1);
    }
    if (made[n].isNull()) {
        made[n] = makeSectionName(itemNumber);
    }
    return made[n];
}

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
        parseSectionBody(data, data + available, m_keyNames, m_records[i].fields());
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
        for (const IniEntry& field : m_records[u].fields()) {
            // The length test keeps the case-blind comparison off most keys.
            if (field.key.size() == kDescriptionKey.size() &&
                field.key.compare(kDescriptionKey, Qt::CaseInsensitive) == 0 &&
                matches(field.value)) {
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
    IniFile ini(m_databasePath);
    // The new database is written and flushed before the backup is taken, and
    // takes the database's name last: the database is always the old or the
    // new collection, and the backup always whole.
    std::optional<StagedFile> staged;
    std::exception_ptr stageFailure;
    // A record whose fields are all blank writes no section, so the ones
    // after it move up.
    qsizetype written = 0;
    std::optional<qsizetype> followedAt;
    try {
        // Rewriting a database that could not be read would replace what it holds.
        if (m_unreadable) {
            app::raise(app::kPermissionDenied);
        }
        qsizetype number = 1;
        for (qsizetype i = 0; i < bound; ++i) {
            if (i == leaveOut) {
                continue;
            }
            if (i + 4 < bound) {
                prefetchFields(recordForReading(i + 4));
            }
            if (i + 2 < bound) {
                prefetchTexts(recordForReading(i + 2));
            }
            std::vector<IniEntry> fields = std::exchange(recordForReading(i).fields(), {});
            // A stored item keeps its first picture key, empty or not.
            std::erase_if(fields, [](const IniEntry& f) {
                return app::isBlankText(f.value) && !isFirstPictureKey(f.key);
            });
            if (!fields.empty()) {
                if (i == follow) {
                    followedAt = written;
                }
                ini.writeSection({sectionName(number), std::move(fields)});
                ++written;
            }
            ++number;
        }
        if (added) {
            std::vector<IniEntry> fields = std::move(added->fields());
            std::erase_if(fields, [](const IniEntry& f) { return app::isBlankText(f.value); });
            if (!fields.empty()) {
                followedAt = written;
                ini.writeSection({sectionName(bound + 1), std::move(fields)});
            }
        }
        staged.emplace(ini.stage());
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

    // What a load of the file would give: the sections just written, as the
    // reader sees them, or the untouched old file.
    if (!replaced || !guard.step([&] {
            std::vector<IniSection> sections = ini.takeWrittenSections();
            reset(static_cast<qsizetype>(sections.size()));
            for (std::size_t i = 0; i < sections.size(); ++i) {
                m_records[i] = CoinRecord(std::move(sections[i].entries));
            }
        })) {
        load();
    }
    return replaced ? followedAt : std::nullopt;
}

} // namespace store
