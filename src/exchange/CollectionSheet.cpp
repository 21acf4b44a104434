#include "exchange/CollectionSheet.h"

#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "exchange/Amounts.h"
#include "exchange/CsvWriter.h"
#include "exchange/SheetColumns.h"
#include "store/AtomicFile.h"
#include "store/Collection.h"

#include <QDir>
#include <QFileInfo>

namespace exchange {
namespace {

struct CoinCells {
    std::array<QString, store::kFieldCount> values; // as stored
    QStringList pictures;
    QStringList otherLines;
};

// A stored list value that names no row of its list goes with the other
// keys, so that it comes back as it was.
std::optional<int> listRow(store::Field field, const QString& stored) {
    const std::optional<qint32> row = app::toLong(stored);
    return row && *row >= 0 && *row < store::listEntries(field).size() ? row : std::nullopt;
}

CoinCells cellsOf(const store::CoinRecord& record) {
    CoinCells cells;
    std::array<bool, store::kFieldCount> seen{};
    for (qsizetype k = 0; k < record.size(); ++k) {
        const QString& key = record.key(k);
        if (store::isPictureKey(key)) {
            const QString name = record.value(k);
            if (!name.isEmpty()) {
                cells.pictures << app::nativePath(app::programPath(name));
            }
        } else if (const std::optional<store::Field> field = store::fieldOfKey(key)) {
            const auto i = static_cast<std::size_t>(*field);
            if (!seen[i]) {
                seen[i] = true;
                cells.values[i] = record.value(k);
            }
        } else {
            cells.otherLines << key + u'=' + record.value(k);
        }
    }
    for (store::Field f : {store::Field::CoinType, store::Field::MintMark, store::Field::Grade}) {
        QString& value = cells.values[static_cast<std::size_t>(f)];
        if (!value.isEmpty() && !listRow(f, value)) {
            cells.otherLines << QString(store::fieldInfo(f).key) + u'=' + value;
            value.clear();
        }
    }
    return cells;
}

QString sheetText(store::Field field, const QString& stored) {
    if (stored.isEmpty()) {
        return stored;
    }
    switch (store::fieldInfo(field).kind) {
    case store::FieldKind::Amount:
        return amountForSheet(stored);
    case store::FieldKind::List:
        return store::listEntries(field)[*listRow(field, stored)];
    default:
        return store::decodeText(stored);
    }
}

} // namespace

QByteArray collectionSheet(const store::Collection& collection,
                           const std::vector<qsizetype>& positions) {
    std::vector<CoinCells> coins;
    coins.reserve(positions.size());
    bool otherFields = false;
    for (const qsizetype position : positions) {
        coins.push_back(cellsOf(collection.record(position)));
        otherFields = otherFields || !coins.back().otherLines.isEmpty();
    }
    CsvWriter sheet;
    QStringList row;
    for (store::Field f : fieldsInWindowOrder()) {
        row << QString(store::fieldInfo(f).caption);
    }
    row << picturesCaption();
    if (otherFields) {
        row << otherFieldsCaption();
    }
    sheet.addRow(row);
    for (CoinCells& coin : coins) {
        row.clear();
        for (store::Field f : fieldsInWindowOrder()) {
            row << sheetText(f, coin.values[static_cast<std::size_t>(f)]);
        }
        row << coin.pictures.join(QStringLiteral("; "));
        if (otherFields) {
            row << coin.otherLines.join(u'\n');
        }
        sheet.addRow(row);
        coin = {}; // the sheet has it now
    }
    return sheet.take();
}

void writeSheetFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        app::raise(app::kPathNotFound);
    }
    if (info.isDir()) {
        app::raise(app::kPathFileAccessError);
    }
    store::writeFileAtomically(info.absoluteFilePath(), bytes);
}

} // namespace exchange
