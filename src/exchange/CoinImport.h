#pragma once

#include "exchange/CsvReader.h"
#include "exchange/SheetColumns.h"
#include "store/CoinRecord.h"

#include <array>
#include <optional>
#include <vector>

namespace exchange {

// A coin as a row of a sheet gives it, before its pictures are copied in.
struct ImportedCoin {
    qsizetype line = 0;
    // Each field as it will be stored, empty when it is not: a list's row
    // number, an amount in the program's form, text with "\n" for a line
    // break. The notes end with the lines of texts no field could take.
    std::array<QString, store::kFieldCount> values;
    std::vector<store::IniEntry> otherKeys; // keys no field owns
    QStringList pictures;                   // files to copy in
    qsizetype missingPictures = 0;          // named, not found: in the notes
    qsizetype notedValues = 0;              // values no field could take: in the notes
};

// What keeps a row from coming in whole.
struct RowRemark {
    enum class Kind {
        UnclosedQuote,  // skipped
        TooManyValues,  // skipped: its columns cannot be told apart
        NothingToStore, // skipped: it holds values only in skipped columns
        TooFewValues,   // comes in, the missing values empty
        Unread,         // the rest of the file, after too many unclosed quotes
    };
    qsizetype line = 0;
    Kind kind = Kind::TooFewValues;
    qsizetype values = 0; // the row's number of values

    bool skipped() const { return kind != Kind::TooFewValues; }
};

// "Line 7: ..." in words.
QString remarkText(const RowRemark& remark, qsizetype headerValues);

// A sheet read for importing, the column each field comes from, and how
// amounts are read. Columns are matched by their header at first; the user
// may give a column another target.
class ImportPlan {
public:
    // `sheetFolder`: where a picture named by a relative path is looked for.
    ImportPlan(CsvSheet sheet, QString sheetFolder);

    const CsvSheet& sheet() const { return m_sheet; }
    qsizetype columnCount() const { return static_cast<qsizetype>(m_targets.size()); }
    // The header of a column, or "Column 3" when it has none.
    QString columnName(qsizetype column) const;
    const ColumnTarget& target(qsizetype column) const;
    // A field comes from one column only: the column that had it is skipped.
    void setTarget(qsizetype column, ColumnTarget target);
    bool hasTargets() const;

    // The mark the amount columns' cells point to, and the one in use.
    DecimalMark foundDecimalMark() const;
    DecimalMark decimalMark() const { return m_decimalMark.value_or(foundDecimalMark()); }
    void setDecimalMark(DecimalMark mark) { m_decimalMark = mark; }

    // Rows that come in, as indexes into sheet().rows(), in file order.
    std::vector<qsizetype> rowsToImport() const;
    // Every row that does not come in whole, in file order.
    std::vector<RowRemark> remarks() const;

    ImportedCoin coin(qsizetype row) const;

private:
    bool comesIn(const SheetRow& row) const;

    CsvSheet m_sheet;
    QString m_sheetFolder;
    std::vector<ColumnTarget> m_targets;
    std::optional<DecimalMark> m_decimalMark;
};

// A field's stored value as the window shows it: a list's entry for its row number.
QString shownValue(store::Field field, const QString& value);

// The record the collection stores: the fields in key order, the other keys,
// then the pictures under the names they were copied in as.
store::CoinRecord recordOf(const ImportedCoin& coin, const QStringList& pictureNames);

} // namespace exchange
