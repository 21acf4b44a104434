#include "store/ItemDatabase.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/AtomicFile.h"
#include "store/cInifile.h"

#include <QDateTime>
#include <QFileInfo>

namespace store {

ItemTable g_sAllItems;
qint32 g_lNumberOfItems = 0;
qint32 g_lCurrentItem = 0;
QStringList g_sListOfImagesForItem = QStringList(QString());

namespace {

ItemWindow* g_window = nullptr;

const IniEntry& EmptySlot() {
    static const IniEntry empty;
    return empty;
}

const QString kPictureKey = QStringLiteral("g_sListOfImagesForItem(");
const QString kFirstPictureKey = QStringLiteral("g_sListOfImagesForItem(1)");

// The key with blanks around it removed equals kFirstPictureKey; runs for
// every slot of every item, so it builds no trimmed copy.
bool IsFirstPictureKey(QStringView key) {
    while (!key.isEmpty() && key.front() == u' ') {
        key = key.mid(1);
    }
    while (!key.isEmpty() && key.back() == u' ') {
        key.chop(1);
    }
    return key == kFirstPictureKey;
}

void StoreOpenItem(app::Guard& guard) {
    const qint32 r = g_lCurrentItem;
    guard.step([&] { g_sAllItems.clearRow(r); });
    guard.step([&] {
        if (g_window) {
            g_window->stampRecordLastUpdated(app::FormatGeneralDate(QDateTime::currentDateTime()));
        }
    });
    qint32 s = 1;
    guard.step([&] {
        if (!g_window) {
            return;
        }
        for (const FieldBox& box : g_window->fieldBoxes()) {
            if (!box.enabled || app::IsBlankText(box.text)) {
                continue;
            }
            const QString value = box.kind == FieldBox::Kind::Choice
                                      ? QString::number(box.chosenRow)
                                      : EncodeText(box.text);
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

void WriteBackup(app::Guard& guard, const QString& database, const QString& backup) {
    // With no database to copy, an older backup stays: it may be the only copy left.
    guard.step([&] {
        if (!QFileInfo::exists(app::NativePath(database))) {
            app::Raise(app::kFileNotFound);
        }
    }) && guard.step([&] {
        CopyFileAtomically(app::NativePath(database), app::NativePath(backup));
    });
}

} // namespace

void ItemTable::reset(qint32 itemCount) {
    m_rows.clear();
    m_rows.resize(static_cast<std::size_t>(itemCount) + 1);
    m_slotBound = 1;
}

void ItemTable::checkItem(qint32 item) const {
    if (item < 0 || item > itemBound()) {
        app::Raise(app::kSubscriptOutOfRange);
    }
}

const IniEntry& ItemTable::at(qint32 item, qint32 slot) const {
    checkItem(item);
    if (slot < 0 || slot > m_slotBound) {
        app::Raise(app::kSubscriptOutOfRange);
    }
    const std::vector<IniEntry>& row = m_rows[static_cast<std::size_t>(item)];
    if (slot == 0 || slot > static_cast<qint32>(row.size())) {
        return EmptySlot();
    }
    return row[static_cast<std::size_t>(slot - 1)];
}

const std::vector<IniEntry>& ItemTable::ownSlots(qint32 item) const {
    checkItem(item);
    return m_rows[static_cast<std::size_t>(item)];
}

void ItemTable::setRow(qint32 item, std::vector<IniEntry>&& entries) {
    checkItem(item);
    m_slotBound = std::max(m_slotBound, static_cast<qint32>(entries.size()));
    m_rows[static_cast<std::size_t>(item)] = std::move(entries);
}

void ItemTable::setSlot(qint32 item, qint32 slot, const QString& key, const QString& value) {
    checkItem(item);
    if (slot < 1) {
        app::Raise(app::kSubscriptOutOfRange);
    }
    std::vector<IniEntry>& row = m_rows[static_cast<std::size_t>(item)];
    if (slot > static_cast<qint32>(row.size())) {
        row.resize(static_cast<std::size_t>(slot));
    }
    row[static_cast<std::size_t>(slot - 1)] = {key, value};
    m_slotBound = std::max(m_slotBound, slot);
}

void ItemTable::clearRow(qint32 item) {
    checkItem(item);
    m_rows[static_cast<std::size_t>(item)].clear();
}

void SetItemWindow(ItemWindow* window) { g_window = window; }

QString SectionName(qint32 itemNumber) {
    return QStringLiteral("ITEMNUMB") + QStringLiteral("%1").arg(itemNumber, 6, 10, QLatin1Char('0'));
}

QString EncodeText(const QString& text) {
    QString t = app::TrimBlanks(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("~|"));
    t.replace(u'\n', QStringLiteral("~|"));
    return t;
}

QString DecodeText(const QString& stored) {
    QString t = stored;
    t.replace(QStringLiteral("~|"), QStringLiteral("\n"));
    return t;
}

QString ItemDatabasePath() { return app::ProgramPath(QStringLiteral("\\_data\\991106EB51")); }
QString ItemDatabaseBackupPath() { return ItemDatabasePath() + QStringLiteral("backup"); }

void LoadAllItems() {
    app::Guard guard;
    cInifile ini(cInifile::kUnlimited, cInifile::kUnlimited);
    std::vector<IniSection> sections;
    guard.step([&] { ini.setPath(ItemDatabasePath()); });
    guard.step([&] { sections = ini.TakeAllSections(); });
    guard.step([&] {
        g_lNumberOfItems = static_cast<qint32>(sections.size());
        g_sAllItems.reset(g_lNumberOfItems);
        for (qint32 i = 1; i <= g_lNumberOfItems; ++i) {
            g_sAllItems.setRow(i, std::move(sections[static_cast<std::size_t>(i - 1)].entries));
        }
    });
}

void SaveAllItems(qint32 leaveOut) {
    app::Guard guard;
    guard.step([&] {
        if (g_window) {
            g_window->setBusy(true);
        }
    });
    const bool storingOpenItem = leaveOut < 0;
    if (storingOpenItem) {
        StoreOpenItem(guard);
    }

    const QString database = ItemDatabasePath();
    WriteBackup(guard, database, ItemDatabaseBackupPath());

    const qint32 bound = g_sAllItems.itemBound();
    const bool wasNew = g_lCurrentItem == 0;
    const bool written = guard.step([&] {
        cInifile ini(cInifile::kUnlimited, cInifile::kUnlimited);
        ini.setPath(database);
        ini.StartEmpty();
        qint32 n = 1;
        for (qint32 i = 1; i <= bound; ++i) {
            if (i == leaveOut) {
                continue;
            }
            ini.setSection(SectionName(n));
            for (const IniEntry& slot : g_sAllItems.ownSlots(i)) {
                if (!app::IsBlankText(slot.value) || IsFirstPictureKey(slot.key)) {
                    ini.setKey(slot.key);
                    ini.setValue(slot.value);
                }
            }
            ++n;
        }
        if (wasNew) {
            ini.setSection(SectionName(bound + 1));
            for (const IniEntry& slot : g_sAllItems.ownSlots(0)) {
                if (!app::IsBlankText(slot.value)) {
                    ini.setKey(slot.key);
                    ini.setValue(slot.value);
                }
            }
        }
        ini.Commit();
    });
    // A new item that did not reach the file stays new, so the next save appends it.
    if (wasNew && storingOpenItem && written) {
        g_lCurrentItem = bound + 1;
    }

    LoadAllItems();
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
