#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The fields of a coin: for each its key in the item database (the name of
// the box that edits it), its caption on the window, its kind and its group.
// Everything that names or interprets a field reads it here.
namespace store {

// In the order the window creates the boxes and a save writes the keys.
enum class Field {
    MiscNotes3,
    MiscNotes2,
    MiscNotes,
    Grade,
    MintMark,
    CoinType,
    Country,
    ItemNumber,
    Year,
    Description,
    ChangeInValue,
    LastAppraisal,
    DateAcquired,
    ValuationSource,
    CurrentValue,
    PurchasePrice,
    Detail4,
    Detail5,
    MiscDetail4,
    MiscDetail5,
    Detail1,
    Detail2,
    Detail3,
    MiscDetail1,
    MiscDetail2,
    MiscDetail3,
    Category,
    PackagingType,
    BoxNumber,
    CatalogNumber,
    RecordLastUpdated,
    PackagingCondition,
    RelatedItems,
};
constexpr int kFieldCount = 33;

enum class FieldKind {
    Text,
    MultiLineText, // a notes box; a line break is stored as "~|"
    Amount,        // money as the user typed it
    Date,
    List,     // the row of a fixed list, stored as its number from 0
    Computed, // filled by the program, read-only on the window
};

enum class FieldGroup { Coin, Financial, CoinDetails, Other, Notes };

struct FieldInfo {
    Field field;
    QLatin1StringView key;
    QLatin1StringView caption;
    FieldKind kind;
    FieldGroup group;
};

// Every field, in key order.
const std::array<FieldInfo, kFieldCount>& fields();
const FieldInfo& fieldInfo(Field field);
inline QString fieldKey(Field field) {
    return {fieldInfo(field).key};
}
// The field stored under a key, letter case ignored.
std::optional<Field> fieldOfKey(QStringView key);
// The keys in key order, as the window's boxes are named.
const QStringList& fieldKeys();

// The rows of a list field (Coin Type, Mint Mark, Grade); empty for the others.
const QStringList& listEntries(Field field);

// One text per field, as a window shows them or a report prints them.
class FieldTexts {
public:
    QString& operator[](Field f) { return m_texts[static_cast<std::size_t>(f)]; }
    const QString& operator[](Field f) const { return m_texts[static_cast<std::size_t>(f)]; }

private:
    std::array<QString, kFieldCount> m_texts;
};

} // namespace store
