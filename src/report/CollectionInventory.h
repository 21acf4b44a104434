#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace store {
class Collection;
}

// The printable inventory of the collection, an insurer's list with values,
// written to "_reports\CollectionInventory.html" and handed to the browser.
namespace report {

// One coin's line, from what the collection stores.
struct InventoryLine {
    QString description;
    QString year;
    QString country;
    QString grade; // the entry's text
    QString itemNumber;
    QString purchasePrice; // as stored
    QString currentValue;
    QString picture; // the first picture's full path when its file is there
};

std::vector<InventoryLine> inventoryLines(const store::Collection& collection,
                                          const std::vector<qsizetype>& positions);

// The page: title, date, the total current value, a table of the coins
// whose header row is repeated on every printed page, and the totals.
// `scope` says which coins it lists ("All 2,000 coins").
QString inventoryPage(const std::vector<InventoryLine>& lines, const QString& scope,
                      const QDateTime& printed);

QString inventoryPath();

// Writes the page (Windows-1252, a letter outside it as a character
// reference) and hands it to the browser. Raises when it was not written.
void printCollectionInventory(const QString& page);

} // namespace report
