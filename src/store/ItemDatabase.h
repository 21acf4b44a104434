#pragma once

#include "store/IniFile.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The item database: every item of the collection, read whole into the item
// table and rewritten whole behind a backup copy.
namespace store {

// g_sAllItems: element (1, i, s) is the key name of slot s of item i, element
// (2, i, s) its value. Items 1..itemBound() are the file's sections in order;
// row 0 stages an item being added. Every item has slotBound() slots; those
// past its own keys read as empty.
//
// Rows filled from a file are read from it when first asked for, a window of
// neighbouring rows at a time, so that a large collection opens at once; the
// file is closed when every row is read.
class ItemTable {
public:
    void reset(qint32 itemCount);
    // Items 1..spans.size() are the sections of the open file, read on demand.
    void resetFromFile(std::unique_ptr<QFile> file, const std::vector<SectionSpan>& spans);
    qint32 itemBound() const { return static_cast<qint32>(m_rows.size()) - 1; }
    // Reads every row: the bound is that of the item with the most keys.
    qint32 slotBound() const;

    // Subscript out of range (9) outside the bounds.
    const QString& key(qint32 item, qint32 slot) const { return at(item, slot).key; }
    const QString& value(qint32 item, qint32 slot) const { return at(item, slot).value; }
    // An item's own slots, first slot at index 0: the quick way to scan.
    const std::vector<IniEntry>& ownSlots(qint32 item) const;

    void setRow(qint32 item, std::vector<IniEntry>&& entries);
    void setSlot(qint32 item, qint32 slot, const QString& key, const QString& value);
    void clearRow(qint32 item);
    // Moves the item's own slots out, leaving the row empty.
    std::vector<IniEntry> takeRow(qint32 item);
    // Start bringing an item's slots, or the texts of slots already fetched,
    // into the processor's cache: rows lie apart in memory, and a walk over
    // all of them otherwise waits on each. Nothing happens out of bounds.
    void prefetchSlots(qint32 item) const;
    void prefetchTexts(qint32 item) const;

private:
    const IniEntry& at(qint32 item, qint32 slot) const;
    void checkItem(qint32 item) const;
    // The row, read from the file's bytes when it has not been yet.
    std::vector<IniEntry>& row(qint32 item) const;

    struct Unread {
        qsizetype begin = -1; // -1: read, or never from a file
        qsizetype end = -1;
    };
    mutable std::vector<std::vector<IniEntry>> m_rows = std::vector<std::vector<IniEntry>>(1);
    mutable std::vector<Unread> m_unread;
    mutable qint32 m_unreadCount = 0;
    mutable std::unique_ptr<QFile> m_file;
    mutable QByteArray m_window; // bytes of the file from m_windowBegin on
    mutable qsizetype m_windowBegin = 0;
    mutable KeyNames m_keyNames;
    mutable qint32 m_slotBound = 1;
};

extern ItemTable g_sAllItems;
extern qint32 g_lNumberOfItems;
extern qint32 g_lCurrentItem;
// The open item's pictures, element 1 upwards; element 0 holds nothing.
extern QStringList g_sListOfImagesForItem;

// One box of the item window, as Save collects it.
struct FieldBox {
    enum class Kind { Text, Choice };
    QString name;
    bool enabled = true;
    Kind kind = Kind::Text;
    QString text;       // a text box's text, or the chosen row's text
    int chosenRow = -1; // a choice box's row, -1 for none
};

// What the store needs of the window that edits the open item.
class ItemWindow {
public:
    virtual ~ItemWindow() = default;
    virtual void setBusy(bool busy) = 0;
    virtual void stampRecordLastUpdated(const QString& when) = 0;
    // The field boxes in the window's creation order.
    virtual std::vector<FieldBox> fieldBoxes() const = 0;
    virtual void takeCleanSnapshot() = 0;
};
void setItemWindow(ItemWindow* window);

// "ITEMNUMB000001"
QString sectionName(qint32 itemNumber);
// Text fields in the file: blanks around removed, line breaks as "~|".
QString encodeText(const QString& text);
QString decodeText(const QString& stored);

// Program folder + "\_data\991106EB51", and the backup beside it.
QString itemDatabasePath();
QString itemDatabaseBackupPath();

void loadAllItems();
// leaveOut < 0: store the open item and keep all; otherwise rewrite the file
// without item leaveOut (0 leaves out nothing) and leave the window alone.
void saveAllItems(qint32 leaveOut);

} // namespace store
