#include "store/ItemDatabase.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/AtomicFile.h"
#include "store/cInifile.h"

#include <QDateTime>
#include <QFileInfo>
#if !defined(__GNUC__) && !defined(__clang__) && (defined(_M_X64) || defined(_M_IX86))
#include <xmmintrin.h>
#endif
#include <exception>
#include <optional>
#include <utility>

namespace store {

ItemTable g_sAllItems;
qint32 g_lNumberOfItems = 0;
qint32 g_lCurrentItem = 0;
QStringList g_sListOfImagesForItem = QStringList(QString());

namespace {

ItemWindow* g_window = nullptr;

void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#elif defined(_M_X64) || defined(_M_IX86)
    _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
#endif
}

const IniEntry& emptySlot() {
    static const IniEntry empty;
    return empty;
}

const QString kPictureKey = QStringLiteral("g_sListOfImagesForItem(");
const QString kFirstPictureKey = QStringLiteral("g_sListOfImagesForItem(1)");

// The key with blanks around it removed equals kFirstPictureKey; runs for
// every slot of every item, so it builds no trimmed copy.
bool isFirstPictureKey(QStringView key) {
    while (!key.isEmpty() && key.front() == u' ') {
        key = key.mid(1);
    }
    while (!key.isEmpty() && key.back() == u' ') {
        key.chop(1);
    }
    return key == kFirstPictureKey;
}

void storeOpenItem(app::Guard& guard) {
    const qint32 r = g_lCurrentItem;
    guard.step([&] { g_sAllItems.clearRow(r); });
    guard.step([&] {
        if (g_window) {
            g_window->stampRecordLastUpdated(app::formatGeneralDate(QDateTime::currentDateTime()));
        }
    });
    qint32 s = 1;
    guard.step([&] {
        if (!g_window) {
            return;
        }
        for (const FieldBox& box : g_window->fieldBoxes()) {
            if (!box.enabled || app::isBlankText(box.text)) {
                continue;
            }
            const QString value = box.kind == FieldBox::Kind::Choice
                                      ? QString::number(box.chosenRow)
                                      : encodeText(box.text);
            g_sAllItems.setSlot(r, s, box.name, value);
            ++s;
        }
    });
    guard.step([&] {
        for (qsizetype k = 1; k < g_sListOfImagesForItem.size(); ++k) {
            if (!g_sListOfImagesForItem[k].isEmpty()) {
                g_sAllItems.setSlot(r, s, kPictureKey + QString::number(k) + u')',
                                    g_sListOfImagesForItem[k]);
                ++s;
            }
        }
    });
    guard.step([&] {
        if (g_sListOfImagesForItem.size() <= 1) {
            g_sAllItems.setSlot(r, s, kFirstPictureKey, QString());
        }
    });
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

// The rewrite, with the rows taken out of the item table.
void writeItems(cInifile& ini, qint32 leaveOut, qint32 bound, bool withNewItem) {
    qint32 n = 1;
    for (qint32 i = 1; i <= bound; ++i) {
        if (i == leaveOut) {
            continue;
        }
        g_sAllItems.prefetchSlots(i + 4);
        g_sAllItems.prefetchTexts(i + 2);
        std::vector<IniEntry> row = g_sAllItems.takeRow(i);
        std::erase_if(row, [](const IniEntry& slot) {
            return app::isBlankText(slot.value) && !isFirstPictureKey(slot.key);
        });
        if (!row.empty()) {
            ini.writeSection({sectionName(n), std::move(row)});
        }
        ++n;
    }
    if (withNewItem) {
        std::vector<IniEntry> row = g_sAllItems.takeRow(0);
        std::erase_if(row, [](const IniEntry& slot) { return app::isBlankText(slot.value); });
        if (!row.empty()) {
            ini.writeSection({sectionName(bound + 1), std::move(row)});
        }
    }
}

// The item table as a load of a file holding these sections fills it.
void fillTable(std::vector<IniSection>&& sections) {
    g_lNumberOfItems = static_cast<qint32>(sections.size());
    g_sAllItems.reset(g_lNumberOfItems);
    for (qint32 i = 1; i <= g_lNumberOfItems; ++i) {
        g_sAllItems.setRow(i, std::move(sections[static_cast<std::size_t>(i - 1)].entries));
    }
}

} // namespace

void ItemTable::reset(qint32 itemCount) {
    m_rows.clear();
    m_rows.resize(static_cast<std::size_t>(itemCount) + 1);
    m_unread.clear();
    m_unreadCount = 0;
    m_file.reset();
    m_window = QByteArray();
    m_keyNames = KeyNames();
    m_slotBound = 1;
}

void ItemTable::resetFromFile(std::unique_ptr<QFile> file, const std::vector<SectionSpan>& spans) {
    reset(static_cast<qint32>(spans.size()));
    m_unread.resize(m_rows.size());
    for (std::size_t i = 0; i < spans.size(); ++i) {
        m_unread[i + 1] = {spans[i].begin, spans[i].end};
    }
    m_unreadCount = static_cast<qint32>(spans.size());
    m_file = m_unreadCount > 0 ? std::move(file) : nullptr;
}

std::vector<IniEntry>& ItemTable::row(qint32 item) const {
    const auto i = static_cast<std::size_t>(item);
    if (i < m_unread.size() && m_unread[i].begin >= 0) {
        const Unread span = std::exchange(m_unread[i], Unread());
        // Rows are mostly read in file order: fetch the following ones too.
        constexpr qsizetype kWindow = 256 * 1024;
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
        parseSectionBody(data, data + available, m_keyNames, m_rows[i]);
        m_slotBound = std::max(m_slotBound, static_cast<qint32>(m_rows[i].size()));
        if (--m_unreadCount == 0) {
            m_file.reset();
            m_window = QByteArray();
            m_windowBegin = 0;
            m_unread.clear();
        }
    }
    return m_rows[i];
}

qint32 ItemTable::slotBound() const {
    for (qint32 i = 1; m_unreadCount > 0 && i <= itemBound(); ++i) {
        row(i);
    }
    return m_slotBound;
}

void ItemTable::checkItem(qint32 item) const {
    if (item < 0 || item > itemBound()) {
        app::raise(app::kSubscriptOutOfRange);
    }
}

const IniEntry& ItemTable::at(qint32 item, qint32 slot) const {
    checkItem(item);
    const std::vector<IniEntry>& own = row(item);
    if (slot >= 1 && slot <= static_cast<qint32>(own.size())) {
        return own[static_cast<std::size_t>(slot - 1)];
    }
    if (slot < 0 || slot > slotBound()) {
        app::raise(app::kSubscriptOutOfRange);
    }
    return emptySlot();
}

const std::vector<IniEntry>& ItemTable::ownSlots(qint32 item) const {
    checkItem(item);
    return row(item);
}

void ItemTable::setRow(qint32 item, std::vector<IniEntry>&& entries) {
    checkItem(item);
    row(item) = std::move(entries);
    m_slotBound = std::max(m_slotBound, static_cast<qint32>(m_rows[item].size()));
}

void ItemTable::setSlot(qint32 item, qint32 slot, const QString& key, const QString& value) {
    checkItem(item);
    if (slot < 1) {
        app::raise(app::kSubscriptOutOfRange);
    }
    std::vector<IniEntry>& own = row(item);
    if (slot > static_cast<qint32>(own.size())) {
        own.resize(static_cast<std::size_t>(slot));
    }
    own[static_cast<std::size_t>(slot - 1)] = {key, value};
    m_slotBound = std::max(m_slotBound, slot);
}

void ItemTable::clearRow(qint32 item) {
    checkItem(item);
    row(item).clear();
}

std::vector<IniEntry> ItemTable::takeRow(qint32 item) {
    checkItem(item);
    return std::exchange(row(item), {});
}

void ItemTable::prefetchSlots(qint32 item) const {
    if (item >= 0 && item <= itemBound()) {
        const std::vector<IniEntry>& own = row(item);
        const char* end = reinterpret_cast<const char*>(own.data() + own.size());
        for (auto p = reinterpret_cast<const char*>(own.data()); p < end; p += 64) {
            prefetch(p);
        }
    }
}

void ItemTable::prefetchTexts(qint32 item) const {
    if (item >= 0 && item <= itemBound()) {
        for (const IniEntry& slot : row(item)) {
            prefetch(slot.value.constData());
        }
    }
}

void setItemWindow(ItemWindow* window) {
    g_window = window;
}

namespace {
QString makeSectionName(qint32 itemNumber) {
    if (itemNumber < 0) {
        return QStringLiteral("ITEMNUMB") +
               QStringLiteral("%1").arg(itemNumber, 6, 10, QLatin1Char('0'));
    }
    char digits[10];
    int count = 0;
    for (auto n = static_cast<quint32>(itemNumber); count == 0 || n > 0; n /= 10) {
        digits[count++] = static_cast<char>('0' + n % 10);
    }
    const int width = std::max(count, 6);
    QString name(8 + width, Qt::Uninitialized);
    QChar* out = name.data();
    for (char c : {'I', 'T', 'E', 'M', 'N', 'U', 'M', 'B'}) {
        *out++ = QLatin1Char(c);
    }
    for (int i = width; i > count; --i) {
        *out++ = u'0';
    }
    while (count > 0) {
        *out++ = QLatin1Char(digits[--count]);
    }
    return name;
}
} // namespace

QString sectionName(qint32 itemNumber) {
    // Every save names every item again: each name is made once and kept.
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

QString encodeText(const QString& text) {
    QString t = app::trimBlanks(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("~|"));
    t.replace(u'\n', QStringLiteral("~|"));
    return t;
}

QString decodeText(const QString& stored) {
    QString t = stored;
    t.replace(QStringLiteral("~|"), QStringLiteral("\n"));
    return t;
}

QString itemDatabasePath() {
    return app::programPath(QStringLiteral("\\_data\\991106EB51"));
}
QString itemDatabaseBackupPath() {
    return itemDatabasePath() + QStringLiteral("backup");
}

void loadAllItems() {
    app::Guard guard;
    cInifile ini(cInifile::kUnlimited, cInifile::kUnlimited);
    cInifile::UnreadSections file;
    guard.step([&] { ini.setPath(itemDatabasePath()); });
    guard.step([&] { file = ini.takeAllSectionsUnread(); });
    guard.step([&] {
        g_lNumberOfItems = static_cast<qint32>(file.sections.size());
        g_sAllItems.resetFromFile(std::move(file.file), file.sections);
    });
}

void saveAllItems(qint32 leaveOut) {
    app::Guard guard;
    guard.step([&] {
        if (g_window) {
            g_window->setBusy(true);
        }
    });
    const bool storingOpenItem = leaveOut < 0;
    if (storingOpenItem) {
        storeOpenItem(guard);
    }

    // The new database is written and flushed before the backup is taken, and
    // takes the database's name last: the database is always the old or the new
    // collection, and the backup always whole.
    const QString database = itemDatabasePath();
    const qint32 bound = g_sAllItems.itemBound();
    const bool wasNew = g_lCurrentItem == 0;
    cInifile ini(cInifile::kUnlimited, cInifile::kUnlimited);
    std::optional<StagedFile> staged;
    std::exception_ptr stageFailure;
    try {
        ini.setPath(database);
        ini.startEmpty();
        writeItems(ini, leaveOut, bound, wasNew);
        staged.emplace(ini.stage());
    } catch (...) {
        // Reported after the backup, where the rewrite's failures always were.
        stageFailure = std::current_exception();
    }
    writeBackup(guard, database, itemDatabaseBackupPath(), staged.has_value());
    const bool written = guard.step([&] {
        if (stageFailure) {
            std::rethrow_exception(stageFailure);
        }
        staged->replace();
    });
    // A new item that did not reach the file stays new, so the next save appends it.
    if (wasNew && storingOpenItem && written) {
        g_lCurrentItem = bound + 1;
    }

    // The table is what a load of the file would give: the sections just
    // written, as the reader sees them, or the untouched old file.
    if (!written || !guard.step([&] { fillTable(ini.takeWrittenSections()); })) {
        loadAllItems();
    }
    guard.step([&] {
        if (g_window) {
            g_window->takeCleanSnapshot();
        }
    });
    guard.step([&] {
        if (g_window) {
            g_window->setBusy(false);
        }
    });
}

} // namespace store
