#pragma once

#include "store/Fields.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The columns of a collection sheet, and how the columns of a sheet someone
// else made are told apart by their names.
namespace exchange {

// What a column of a sheet holds.
struct ColumnTarget {
    enum class Kind {
        Skip,
        Field,
        Pictures,    // picture files, "; " between them
        OtherFields, // "key=value" lines: keys no field owns
        NoteLine,    // "Header: value" added to the coin's notes
    };
    Kind kind = Kind::Skip;
    store::Field field = store::Field::Description; // for Kind::Field

    static ColumnTarget of(store::Field f) { return {Kind::Field, f}; }
    bool operator==(const ColumnTarget&) const = default;
};

// The fields in the order the window shows them: the coin, the money, the
// details, the other fields, the notes.
const std::array<store::Field, store::kFieldCount>& fieldsInWindowOrder();

// Captions of the two columns after the fields.
QString picturesCaption();
QString otherFieldsCaption();

// A header's letters and digits, lower case; "#" reads as "number", so that
// "Item #", "item number" and "ITEM_NUMBER" are one name.
QString foldedHeader(QStringView header);

// The column a header names: a field by its caption, its key or a name other
// sheets use for it ("Title", "Price", "Condition", "Comments"), the pictures
// ("Image", "Obverse Photo"), the other fields; Skip when none.
ColumnTarget targetOfHeader(QStringView header);

// The row of a list field whose entry a text names, letter case and runs of
// blanks aside. A grade may also be named by its code ("MS-65", "ms 65"), a
// mint mark by its letters ("CC") where only one entry has them.
std::optional<int> listRowOfText(store::Field field, QStringView text);

} // namespace exchange
