#pragma once

#include "store/Fields.h"
#include "ui/list/SearchText.h"

#include <QString>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace store {
class Collection;
class CoinRecord;
} // namespace store

// What the collection list knows of every coin without keeping its text: a few
// numbers per coin to sort, filter, group and total by, built once from the
// records. Text is read from the records themselves when shown or searched.
namespace ui {

enum class ListColumn {
    Description,
    Year,
    Country,
    CoinType,
    MintMark,
    Grade,
    ItemNumber,
    PurchasePrice,
    CurrentValue,
    ChangeInValue,
    DateAcquired,
    Pictures,
};
constexpr int kListColumns = 12;

// The field a column shows; none for the number of pictures.
std::optional<store::Field> columnField(ListColumn column);
QString columnCaption(ListColumn column);

// The fields the list groups by, "No grouping" first.
enum class ListGrouping { None, CoinType, Country, Year, Grade, MintMark };
QStringList groupingCaptions();

// Money in cents; a missing amount and one that is not a number stand apart.
constexpr qint64 kNoAmount = std::numeric_limits<qint64>::min();
constexpr qint64 kNotAnAmount = kNoAmount + 1;
inline bool isAmount(qint64 cents) {
    return cents > kNotAnAmount;
}

struct CoinKeys {
    qint64 purchase = kNoAmount;
    qint64 current = kNoAmount;
    double year = std::nan("");       // a year that is a number
    double itemNumber = std::nan(""); // an item # that is a number
    float change = std::nanf("");     // Change in Value, per cent
    qint32 acquired = 0;              // Julian day; 0: no date
    qint16 coinType = -1;             // list rows; -1: none stored or not a row
    qint16 mintMark = -1;
    qint16 grade = -1;
    quint16 pictures = 0; // picture names that are not blank
    bool yearStored = false;
    bool itemNumberStored = false;
};

// The keys of one coin, read from its stored bytes.
CoinKeys coinKeys(const store::CoinRecord& record);

// A stored value as its box would show it: a list's entry, notes with line
// breaks; empty when the field is not stored.
QString shownText(const store::CoinRecord& record, store::Field field);

// A date as collectors type it: "3/15/2024", "3/15/2024 2:30:05 PM" or "2024-03-15".
std::optional<qint32> julianDayOf(QByteArrayView stored);

struct ListTotals {
    qsizetype coins = 0;
    qint64 purchase = 0; // cents, of the coins that have one
    qint64 current = 0;
    qsizetype withoutPurchase = 0; // missing, or not a number
    qsizetype withoutCurrent = 0;
    qint64 purchaseOfBoth = 0; // of the coins that have both amounts
    qint64 currentOfBoth = 0;
    qsizetype withBoth = 0;
};

// "Showing 12 of 20,000 coins", the sums, the change and the coins left out.
QString totalsText(const ListTotals& totals, qsizetype collectionCount);
// A group heading: its name and number of coins.
QString groupHeading(const QString& name, qsizetype coins);

// The keys of the whole collection, and the lists built from them.
class ListIndex {
public:
    ListIndex() = default;
    explicit ListIndex(std::vector<CoinKeys> keys) : m_keys(std::move(keys)) {}

    qsizetype size() const { return static_cast<qsizetype>(m_keys.size()); }
    const CoinKeys& keys(qsizetype position) const {
        return m_keys[static_cast<std::size_t>(position)];
    }

    // The collection's positions ordered by the column; a value missing or not a
    // number last whichever way, equal values in collection order.
    std::vector<quint32> sorted(const store::Collection& collection, ListColumn column,
                                bool descending);

    // Groups of the rows, in the grouping field's order, "none" last; the rows of
    // each keep their order.
    struct Group {
        QString name;
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    std::vector<Group> group(std::vector<quint32>& rows, ListGrouping grouping,
                             const store::Collection& collection);

    ListTotals totals(const quint32* begin, const quint32* end) const;

private:
    // Ranks of a text field's values in the user's locale order, letter case aside;
    // made when first needed.
    const std::vector<quint32>& textRanks(const store::Collection& collection, store::Field field);

    std::vector<CoinKeys> m_keys;
    std::array<std::vector<quint32>, store::kFieldCount> m_ranks;
};

// The field of each key name seen. Records share one copy of each key name,
// so a key is known by where its text lives; the memo holds the names it has
// seen, so that their addresses stay theirs.
class KeyMemo {
public:
    static constexpr int kPicture = -2;
    static constexpr int kOther = -1;
    // The key's field, kPicture or kOther.
    int of(const QString& key);

private:
    struct Seen {
        QString key;
        int field = kOther;
    };
    std::array<Seen, 128> m_seen{};
    int m_used = 0;
};

// A row of the home page's filter list, as a collector means it: a coin without
// a stored coin type is of no "ONLY" type, one without a current value is below
// no limit, one without a picture is not "With Images".
class CollectorFilter {
public:
    explicit CollectorFilter(int filterRow);
    bool passes(const CoinKeys& keys) const;

private:
    enum class Rule { All, CoinType, Below, WithImages, WithoutImages };
    Rule m_rule = Rule::All;
    qint64 m_value = 0; // the coin type's row, or the limit in cents
};

// Whether every word of a search occurs in one of a coin's searched fields:
// description, year, country, the three lists, item #, details and notes.
class SearchScan {
public:
    explicit SearchScan(std::vector<SearchWord> words);
    bool isEmpty() const { return m_words.empty(); }
    const std::vector<SearchWord>& words() const { return m_words; }
    bool matches(const store::CoinRecord& record);

private:
    int searchedField(const QString& key);

    std::vector<SearchWord> m_words;
    std::vector<int> m_searched; // by field: -1 not searched, else the field
    // By word, list and entry: the entry's text holds the word.
    std::vector<std::array<std::vector<bool>, 3>> m_entryHits;
    KeyMemo m_keys;
};

} // namespace ui
