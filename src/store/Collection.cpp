#include "store/Collection.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "store/AtomicFile.h"
#include "store/Backups.h"
#include "store/DatabaseImage.h"
#include "store/DatabaseText.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <utility>

namespace store {
namespace {

constexpr qsizetype kHeadBytes = qsizetype{64} * 1024;

} // namespace

QString itemDatabasePath() {
    return app::programPath(QStringLiteral("\\_data\\991106EB51"));
}

QString backupPathOf(const QString& databasePath) {
    return databasePath + QStringLiteral("backup");
}

Collection::Collection(QString databasePath) : m_databasePath(std::move(databasePath)) {}

Collection::~Collection() {
    stopBackgroundReading();
}

void Collection::readAllInBackground(std::function<void(qsizetype, const CoinRecord&)> visit,
                                     std::function<void(bool complete)> finished) {
    stopBackgroundReading();
    m_stopReader = false;
    m_reader = std::thread([this, visit = std::move(visit), finished = std::move(finished)] {
        const qsizetype n = count();
        qsizetype i = 0;
        for (; i < n && !m_stopReader.load(std::memory_order_relaxed); ++i) {
            try {
                visit(i, record(i));
            } catch (...) {
                break; // a record that cannot be read ends the reading, incomplete
            }
        }
        finished(i == n);
    });
}

void Collection::stopBackgroundReading() {
    if (m_reader.joinable()) {
        m_stopReader = true;
        m_reader.join();
    }
}

bool Collection::isFullyRead() const {
    const std::lock_guard lock(m_readLock);
    return m_unreadCount == 0;
}

Collection::Identity Collection::identityOf(const QString& nativePath) {
    struct stat st {};
    if (::stat(QFile::encodeName(nativePath).constData(), &st) != 0) {
        return {};
    }
    return {true, static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino),
            static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

void Collection::reset() {
    m_records.clear();
    m_slots.clear();
    m_unreadCount = 0;
    m_file.reset();
    m_window = QByteArray();
    m_windowBegin = 0;
    m_preamble = QByteArray();
    m_converted = QByteArray();
    m_unreadable = false;
    m_changeSeen = false;
    m_damage.reset();
    m_identity = {};
}

void Collection::load() {
    app::Guard guard;
    stopBackgroundReading();
    reset();
    ++m_revision;
    const QString native = app::nativePath(m_databasePath);
    m_identity = identityOf(native);
    if (!m_identity.exists) {
        return;
    }
    auto file = std::make_unique<QFile>(native);
    if (QFileInfo(native).isDir() || !file->open(QIODevice::ReadOnly)) {
        m_unreadable = true;
        guard.step([] { app::raise(app::kPermissionDenied); });
        return;
    }
    std::vector<SectionSpan> spans;
    const TextForm form = textFormOf(file->peek(kHeadBytes));
    if (form != TextForm::Native) {
        // A file saved by another program is read through a copy in our form.
        m_converted = toNativeForm(file->readAll(), form);
        file.reset();
        spans = indexSections(m_converted);
    } else {
        spans = indexSections(*file, false);
    }
    const qsizetype fileEnd = form != TextForm::Native ? m_converted.size()
                              : spans.empty()          ? m_identity.size
                                                       : spans.back().end;

    const auto firstNamed =
        std::find_if(spans.begin(), spans.end(), [](const SectionSpan& s) { return s.named; });
    const qsizetype preambleEnd = firstNamed == spans.end() ? fileEnd : firstNamed->headerBegin;
    if (preambleEnd > 0) {
        if (file) {
            file->seek(0);
            m_preamble = file->read(preambleEnd);
        } else {
            m_preamble = m_converted.first(preambleEnd);
        }
    }
    m_slots.reserve(spans.size());
    for (auto it = firstNamed; it != spans.end(); ++it) {
        if (!it->named) {
            continue;
        }
        auto next = std::find_if(it + 1, spans.end(), [](const SectionSpan& s) { return s.named; });
        m_slots.push_back({it->begin, it->end, next == spans.end() ? fileEnd : next->headerBegin});
    }
    m_records.resize(m_slots.size());
    m_unreadCount = count();
    if (m_unreadCount > 0 && file) {
        m_file = std::move(file);
    }
}

FileDamage Collection::damage() const {
    if (!m_damage) {
        m_damage = !m_identity.exists ? FileDamage::Missing
                   : m_unreadable     ? FileDamage::Unreadable
                                      : FileDamage::None;
        if (*m_damage == FileDamage::None && !m_converted.isEmpty()) {
            m_damage = damageOfText(m_converted);
        } else if (*m_damage == FileDamage::None) {
            QFile file(app::nativePath(m_databasePath));
            // A file replaced since it was read is not the one to judge.
            m_damage = file.open(QIODevice::ReadOnly) && file.size() == m_identity.size
                           ? damageOfFile(file)
                           : FileDamage::Unreadable;
        }
    }
    return *m_damage;
}

bool Collection::changedOnDisk() const {
    const std::lock_guard lock(m_readLock);
    return m_changeSeen || identityOf(app::nativePath(m_databasePath)) != m_identity;
}

CoinRecord& Collection::recordForReading(qsizetype position) const {
    if (position < 0 || position >= count()) {
        app::raise(app::kSubscriptOutOfRange);
    }
    const auto i = static_cast<std::size_t>(position);
    Slot& slot = m_slots[i];
    if (slot.read) {
        return m_records[i];
    }
    slot.read = true;
    const qsizetype length = slot.keysEnd - slot.begin;
    const char* data = nullptr;
    qsizetype available = 0;
    if (m_file) {
        // Records are mostly read in file order: fetch the following ones too.
        constexpr qsizetype kWindow = qsizetype{256} * 1024;
        if (slot.begin < m_windowBegin || slot.keysEnd > m_windowBegin + m_window.size()) {
            // Another program may have rewritten the file since it was read.
            m_changeSeen =
                m_changeSeen || identityOf(app::nativePath(m_databasePath)) != m_identity;
            m_window.resize(std::max(length, kWindow));
            m_windowBegin = slot.begin;
            const qint64 got =
                m_file->seek(slot.begin) ? m_file->read(m_window.data(), m_window.size()) : 0;
            // A file cut short since it was opened yields what is left of it.
            m_window.resize(std::max<qint64>(got, 0));
        }
        data = m_window.constData() + (slot.begin - m_windowBegin);
        available =
            std::clamp<qsizetype>(m_window.size() - (slot.begin - m_windowBegin), 0, length);
    } else {
        data = m_converted.constData() + slot.begin;
        available = std::clamp<qsizetype>(m_converted.size() - slot.begin, 0, length);
    }

    // A key written twice counts once, with its first value, as the Windows
    // INI functions read it. The record gets room for a field per line and
    // all the section's bytes at once; the bytes it did not take are given
    // back in place. Growing as it reads would cost copies, and a hundred
    // thousand records would keep what each growth left over.
    CoinRecord& record = m_records[i];
    qsizetype lines = 1;
    for (const char* p = data;
         (p = static_cast<const char*>(std::memchr(p, '\n', data + available - p))) != nullptr;
         ++p) {
        ++lines;
    }
    record.reserve(lines, available);
    if (++m_recordSerial == 0) {
        std::fill(m_keySeen.begin(), m_keySeen.end(), 0);
        m_recordSerial = 1;
    }
    readSectionBody(data, data + available, m_keyNames,
                    [this, &record](const KeyNames::Name& key, QByteArrayView value) {
                        if (key.id >= 0) {
                            const auto id = static_cast<std::size_t>(key.id);
                            if (id >= m_keySeen.size()) {
                                m_keySeen.resize(id + 1, 0);
                            }
                            if (m_keySeen[id] == m_recordSerial) {
                                return;
                            }
                            m_keySeen[id] = m_recordSerial;
                        } else if (record.value(key.text)) {
                            return;
                        }
                        record.appendBytes(key.text, value);
                    });
    record.squeeze();
    if (--m_unreadCount == 0) {
        m_file.reset();
        m_window = QByteArray();
        m_windowBegin = 0;
    }
    return record;
}

const CoinRecord& Collection::record(qsizetype position) const {
    const std::lock_guard lock(m_readLock);
    return recordForReading(position);
}

Collection::SourceBytes Collection::sourceBytes() const {
    if (!m_converted.isEmpty() || !m_identity.exists) {
        return {nullptr, m_converted};
    }
    SourceBytes bytes;
    bytes.file = std::make_unique<FileBytes>(app::nativePath(m_databasePath));
    bytes.view = bytes.file->view();
    if (bytes.view.size() != m_identity.size) {
        app::raise(app::kPathFileAccessError);
    }
    return bytes;
}

std::optional<qsizetype> Collection::save(const CoinRecord& record,
                                          std::optional<qsizetype> position) {
    // An item no longer there is stored as a new one, never lost.
    const qsizetype at = position && *position >= 0 && *position < count() ? *position : -1;
    SourceBytes old;
    QByteArray keptLines;
    std::vector<SectionSource> sources;
    std::vector<qsizetype> from;
    sources.reserve(m_slots.size() + 1);
    if (!prepareRewrite(old)) {
        return std::nullopt;
    }
    std::optional<std::size_t> saved;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        const Slot& slot = m_slots[i];
        const QByteArrayView lines = old.view.sliced(slot.begin, slot.end - slot.begin);
        const auto number = static_cast<qsizetype>(i) + 1;
        if (static_cast<qsizetype>(i) == at) {
            keptLines = linesTheWindowDoesNotEdit(lines, record);
            saved = sources.size();
            sources.push_back({{}, &record, keptLines, number, true});
            from.push_back(-1);
        } else {
            sources.push_back({withoutTrailingBlankLines(lines), nullptr, {}, number, true});
            from.push_back(static_cast<qsizetype>(i));
        }
    }
    if (at < 0) {
        saved = sources.size();
        sources.push_back({{}, &record, {}, count() + 1, false});
        from.push_back(-1);
    }
    const std::optional<DatabaseImage> image = rewrite(sources, from);
    if (!image || image->places[*saved].begin < 0) {
        return std::nullopt;
    }
    // Sections that wrote nothing are not items: count the ones before it that did.
    return std::count_if(image->places.begin(), image->places.begin() + std::ptrdiff_t(*saved),
                         [](const SectionPlace& p) { return p.begin >= 0; });
}

bool Collection::remove(qsizetype position) {
    SourceBytes old;
    if (!prepareRewrite(old)) {
        return false;
    }
    std::vector<SectionSource> sources;
    std::vector<qsizetype> from;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (static_cast<qsizetype>(i) == position) {
            continue;
        }
        const Slot& slot = m_slots[i];
        const QByteArrayView lines = old.view.sliced(slot.begin, slot.end - slot.begin);
        sources.push_back({withoutTrailingBlankLines(lines),
                           nullptr,
                           {},
                           static_cast<qsizetype>(i) + (static_cast<qsizetype>(i) < position),
                           true});
        from.push_back(static_cast<qsizetype>(i));
    }
    return rewrite(sources, from).has_value();
}

bool Collection::append(const std::vector<CoinRecord>& records) {
    SourceBytes old;
    if (!prepareRewrite(old)) {
        return false;
    }
    std::vector<SectionSource> sources;
    std::vector<qsizetype> from;
    sources.reserve(m_slots.size() + records.size());
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        const Slot& slot = m_slots[i];
        const QByteArrayView lines = old.view.sliced(slot.begin, slot.end - slot.begin);
        sources.push_back(
            {withoutTrailingBlankLines(lines), nullptr, {}, static_cast<qsizetype>(i) + 1, true});
        from.push_back(static_cast<qsizetype>(i));
    }
    for (const CoinRecord& r : records) {
        sources.push_back({{}, &r, {}, static_cast<qsizetype>(sources.size()) + 1, false});
        from.push_back(-1);
    }
    return rewrite(sources, from).has_value();
}

bool Collection::prepareRewrite(SourceBytes& old) {
    stopBackgroundReading();
    m_lastFailure.reset();
    app::Guard guard;
    return guard.step([&] {
        try {
            // Rewriting a database that could not be read would replace what it holds.
            if (m_unreadable) {
                app::raise(app::kPermissionDenied);
            }
            if (changedOnDisk()) {
                app::raise(app::kChangedByAnotherProgram);
            }
            old = sourceBytes();
            if (!m_damage) {
                m_damage = m_identity.exists ? damageOfText(old.view) : FileDamage::Missing;
            }
        } catch (const app::RuntimeError& e) {
            m_lastFailure = e;
            throw;
        }
    });
}

std::optional<DatabaseImage> Collection::rewrite(const std::vector<SectionSource>& sources,
                                                 const std::vector<qsizetype>& from) {
    DatabaseImage image = buildDatabaseImage(m_preamble, sources);
    app::Guard guard;
    const bool written = guard.step([&] {
        try {
            commit(image);
        } catch (const app::RuntimeError& e) {
            m_lastFailure = e;
            throw;
        }
    });
    if (!written) {
        return std::nullopt;
    }
    takeNewFile(image, from);
    return image;
}

void Collection::commit(const DatabaseImage& image) {
    app::Guard guard;
    const QString database = app::nativePath(m_databasePath);
    const QString backup = app::nativePath(backupPathOf(m_databasePath));
    // The new database is on the disk before anything else happens, and
    // takes the database's name only once the old one is kept as a dated
    // backup: the database is always the old or the new collection.
    StagedFile staged(database, image.pieces);
    KeptBackup kept;
    if (m_identity.exists) {
        // The single backup is kept too when no dated backup holds it yet:
        // it may be the last good copy.
        keepIfOnlyCopy(database, backup);
        kept = keepDatedBackup(database, database, count());
    }
    try {
        staged.replace();
    } catch (...) {
        if (kept.made) {
            disk().unlink(QFile::encodeName(kept.path));
        }
        throw;
    }
    // The single backup becomes the database as it was, unless that was
    // damaged: a good backup is never replaced by a damaged file. With no
    // database to copy, an older backup stays: it may be the only copy left.
    guard.step([&] {
        if (!m_identity.exists) {
            app::raise(app::kFileNotFound);
        }
    }) &&
        damage() == FileDamage::None&& guard.step([&] { linkOrCopyFile(kept.path, backup); });
    guard.step([&] {
        const QString folder = backupsFolder(database);
        if (QFileInfo::exists(folder)) {
            syncFolder(folder);
            pruneDatedBackups(database, QDateTime::currentDateTime());
        }
    });
}

void Collection::takeNewFile(const DatabaseImage& image, const std::vector<qsizetype>& from) {
    std::vector<CoinRecord> records;
    std::vector<Slot> newSlots;
    records.reserve(image.places.size());
    newSlots.reserve(image.places.size());
    for (std::size_t j = 0; j < image.places.size(); ++j) {
        const SectionPlace& place = image.places[j];
        if (place.begin < 0) {
            continue;
        }
        Slot slot{place.begin, place.end, place.end, false};
        if (from[j] >= 0) {
            const auto i = static_cast<std::size_t>(from[j]);
            slot.keysEnd =
                std::min(place.end, place.begin + (m_slots[i].keysEnd - m_slots[i].begin));
            slot.read = m_slots[i].read;
            records.push_back(std::move(m_records[i]));
        } else {
            // A nameless section among the kept lines ends the keys, as a reload finds.
            const auto inner = indexSections(image.slice(place.begin, place.end));
            if (!inner.empty()) {
                slot.keysEnd = place.begin + inner.front().headerBegin;
            }
            records.emplace_back();
        }
        newSlots.push_back(slot);
    }
    const qsizetype unread =
        std::count_if(newSlots.begin(), newSlots.end(), [](const Slot& s) { return !s.read; });
    // The image views the old preamble and the old converted copy: take what
    // is needed of it before they go.
    QByteArray preamble = image.slice(0, image.preambleEnd);
    const QString native = app::nativePath(m_databasePath);
    auto file = std::make_unique<QFile>(native);
    QByteArray fallback;
    if (unread > 0 && !file->open(QIODevice::ReadOnly)) {
        fallback = image.slice(0, image.size); // read on from what was written
    }
    reset();
    ++m_revision;
    // What this program wrote reads whole: the stray lines of a hand-edited
    // section are the collector's own and stay.
    m_damage = FileDamage::None;
    m_records = std::move(records);
    m_slots = std::move(newSlots);
    m_preamble = std::move(preamble);
    m_unreadCount = unread;
    m_identity = identityOf(native);
    if (unread > 0) {
        if (file->isOpen()) {
            m_file = std::move(file);
        } else {
            m_converted = std::move(fallback);
        }
    }
}

} // namespace store
