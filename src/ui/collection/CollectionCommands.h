#pragma once

#include <QObject>
#include <optional>
#include <vector>

class CommandWindow;
class QWidget;
namespace store {
class Collection;
}

// The File menu's commands on the whole collection.
class CollectionCommands : public QObject {
    Q_OBJECT
public:
    CollectionCommands(store::Collection& collection, CommandWindow& window, QWidget* owner);

    bool hasCoins() const;

    // File > Restore from Backup...: the collection as a dated backup holds
    // it; the collection as it is now becomes one more dated backup first.
    void restoreFromBackup();
    // File > Export Collection...: every coin, or the coins the list shows,
    // as a CSV file any spreadsheet program opens.
    void exportCollection();
    // File > Import Coins...: coins from a CSV file, added after the others
    // in one save once the user has seen what will come in.
    void importCoins();
    // File > Print Collection Inventory: every coin, or the coins the list
    // shows, as a page for the browser to print.
    void printCollectionInventory();

private:
    // Every coin, or those the list shows when the user wants only them;
    // none when the user cancelled.
    std::optional<std::vector<qsizetype>> coinsToUse(const QString& title, const QString& verb);
    // "All 12 coins" or "The 3 coins shown in the collection list".
    QString scopeOf(const std::vector<qsizetype>& coins) const;

    store::Collection& m_collection;
    CommandWindow& m_window;
    QWidget* m_owner;
};
