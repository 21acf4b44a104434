#include "ui/list/ListIndex.h"

#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "app/Win1252.h"
#include "store/Collection.h"
#include "ui/common/FilterList.h"

#include <QCollator>
#include <QDate>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

using store::Field;

constexpr std::array<std::optional<Field>, kListColumns> kColumnFields = {
    Field::Description,  Field::Year,          Field::Country,      Field::CoinType,
    Field::MintMark,     Field::Grade,         Field::ItemNumber,   Field::PurchasePrice,
    Field::CurrentValue, Field::ChangeInValue, Field::DateAcquired, std::nullopt,
};

constexpr std::array<std::optional<Field>, 6> kGroupFields = {
    std::nullopt, Field::CoinType, Field::Country, Field::Year, Field::Grade, Field::MintMark,
};

const QLocale& us() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

bool isBlank(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

QString count(qsizetype n, const char* one, const char* many) {
    return us().toString(n) + u' ' + QLatin1StringView(n == 1 ? one : many);
}

// Reads a number as the regional format does, from stored bytes, without a
// string per value: a hundred thousand coins are read at once.
std::optional<double> numberOf(QByteArrayView bytes) {
    thread_local QString text;
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        text[i] = QChar(static_cast<unsigned char>(bytes[i]));
    }
    return app::parseNumber(text);
}

qint64 centsOf(QByteArrayView bytes) {
    if (isBlank(bytes)) {
        return kNoAmount;
    }
    const std::optional<double> v = numberOf(bytes);
    if (!v || std::abs(*v) > 9e15) {
        return kNotAnAmount;
    }
    return std::llround(*v * 100.0);
}

std::size_t listIndex(Field list) {
    return list == Field::CoinType ? 0 : list == Field::MintMark ? 1 : 2;
}

// A list's stored row, or -1 when it names no entry.
qint16 listRow(QByteArrayView bytes, Field field) {
    // Rows are written as plain digits; anything else is read as a number.
    if (!bytes.isEmpty() && bytes.size() <= 4 &&
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int row = 0;
        for (const char c : bytes) {
            row = row * 10 + (c - '0');
        }
        return row < store::listEntries(field).size() ? static_cast<qint16>(row) : qint16{-1};
    }
    const std::optional<double> v = numberOf(bytes);
    if (!v || *v != std::floor(*v) || *v < 0 || *v >= double(store::listEntries(field).size())) {
        return -1;
    }
    return static_cast<qint16>(*v);
}

QCollator textCollator() {
    // The "C" locale of a bare environment knows no alphabet: the program's own then.
    QCollator collator{QLocale().language() == QLocale::C ? us() : QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

// Positions of the strings in collation order, equal ones sharing their rank.
std::vector<quint32> collationRanks(const QStringList& texts) {
    const QCollator collator = textCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& t : texts) {
        keys.push_back(collator.sortKey(t));
    }
    std::vector<quint32> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<quint32>(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&keys](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<quint32> ranks(keys.size());
    quint32 rank = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && keys[order[k - 1]].compare(keys[order[k]]) != 0) {
            rank = static_cast<quint32>(k);
        }
        ranks[order[k]] = rank;
    }
    return ranks;
}

// The entries of a list in collation order.
const std::vector<quint32>& entryRanks(Field field) {
    static const std::array<std::vector<quint32>, 3> ranks = {
        collationRanks(store::listEntries(Field::CoinType)),
        collationRanks(store::listEntries(Field::MintMark)),
        collationRanks(store::listEntries(Field::Grade)),
    };
    return ranks[listIndex(field)];
}

const std::vector<QByteArray>& foldedEntries(Field field) {
    static const std::array<std::vector<QByteArray>, 3> entries = [] {
        std::array<std::vector<QByteArray>, 3> all;
        const Field lists[] = {Field::CoinType, Field::MintMark, Field::Grade};
        for (std::size_t i = 0; i < 3; ++i) {
            for (const QString& entry : store::listEntries(lists[i])) {
                all[i].push_back(foldedBytes(entry));
            }
        }
        return all;
    }();
    return entries[listIndex(field)];
}

qint16 listKey(const CoinKeys& k, Field field) {
    return field == Field::CoinType ? k.coinType : field == Field::MintMark ? k.mintMark : k.grade;
}

// The stored bytes of a field, when the record has it.
std::optional<QByteArrayView> storedBytes(const store::CoinRecord& record, Field field) {
    const QLatin1StringView key = store::fieldInfo(field).key;
    for (qsizetype i = 0; i < record.size(); ++i) {
        const QString& k = record.key(i);
        if (k.size() == key.size() && k.compare(key, Qt::CaseInsensitive) == 0) {
            return record.valueBytes(i);
        }
    }
    return std::nullopt;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of digits read from `at` on, at most `most`.
int readNumber(QByteArrayView s, qsizetype& at, int most, int& value) {
    int digits = 0;
    value = 0;
    while (at < s.size() && digits < most && isDigit(s[at])) {
        value = value * 10 + (s[at] - '0');
        ++at;
        ++digits;
    }
    return digits;
}

} // namespace

std::optional<Field> columnField(ListColumn column) {
    return kColumnFields[static_cast<std::size_t>(column)];
}

QString columnCaption(ListColumn column) {
    if (const std::optional<Field> field = columnField(column)) {
        return {store::fieldInfo(*field).caption};
    }
    return QStringLiteral("Pictures");
}

QStringList groupingCaptions() {
    QStringList captions{QStringLiteral("No grouping")};
    for (std::size_t i = 1; i < kGroupFields.size(); ++i) {
        captions << QStringLiteral("Group by ") + store::fieldInfo(*kGroupFields[i]).caption;
    }
    return captions;
}

std::optional<qint32> julianDayOf(QByteArrayView stored) {
    const QByteArrayView s = stored.trimmed();
    qsizetype at = 0;
    int a = 0;
    int b = 0;
    int c = 0;
    QDate date;
    if (readNumber(s, at, 4, a) == 4 && at < s.size() && s[at] == '-') {
        ++at;
        if (readNumber(s, at, 2, b) > 0 && at < s.size() && s[at] == '-' && ++at &&
            readNumber(s, at, 2, c) > 0) {
            date = QDate(a, b, c);
        }
    } else {
        at = 0;
        if (readNumber(s, at, 2, a) > 0 && at < s.size() && s[at] == '/' && ++at &&
            readNumber(s, at, 2, b) > 0 && at < s.size() && s[at] == '/' && ++at &&
            readNumber(s, at, 4, c) == 4) {
            date = QDate(c, a, b);
        }
    }
    // What may follow is the time of a general date.
    if (!date.isValid() || (at < s.size() && s[at] != ' ')) {
        return std::nullopt;
    }
    return static_cast<qint32>(date.toJulianDay());
}

CoinKeys coinKeys(const store::CoinRecord& record) {
    thread_local KeyMemo fields;
    CoinKeys k;
    for (qsizetype i = 0; i < record.size(); ++i) {
        const QByteArrayView v = record.valueBytes(i);
        const int f = fields.of(record.key(i));
        if (f == KeyMemo::kPicture) {
            if (!isBlank(v)) {
                ++k.pictures;
            }
            continue;
        }
        if (f == KeyMemo::kOther) {
            continue;
        }
        const std::optional<Field> field = static_cast<Field>(f);
        const bool blank = isBlank(v);
        switch (*field) {
        case Field::PurchasePrice:
            k.purchase = k.purchase == kNoAmount ? centsOf(v) : k.purchase;
            break;
        case Field::CurrentValue:
            k.current = k.current == kNoAmount ? centsOf(v) : k.current;
            break;
        case Field::ChangeInValue: {
            QByteArrayView number = v.trimmed();
            if (number.endsWith('%')) {
                number.chop(1);
            }
            if (const std::optional<double> n = numberOf(number)) {
                k.change = static_cast<float>(*n);
            }
            break;
        }
        case Field::Year:
            k.yearStored = !blank;
            k.year = numberOf(v).value_or(std::nan(""));
            break;
        case Field::ItemNumber:
            k.itemNumberStored = !blank;
            k.itemNumber = numberOf(v).value_or(std::nan(""));
            break;
        case Field::DateAcquired:
            k.acquired = julianDayOf(v).value_or(0);
            break;
        case Field::CoinType:
            k.coinType = listRow(v, *field);
            break;
        case Field::MintMark:
            k.mintMark = listRow(v, *field);
            break;
        case Field::Grade:
            k.grade = listRow(v, *field);
            break;
        default:
            break;
        }
    }
    return k;
}

QString shownText(const store::CoinRecord& record, Field field) {
    QString stored = record.value(field);
    switch (store::fieldInfo(field).kind) {
    case store::FieldKind::List: {
        const std::optional<double> row = app::parseNumber(stored);
        const QStringList& entries = store::listEntries(field);
        if (!row || *row != std::floor(*row) || *row < 0 || *row >= double(entries.size())) {
            return {};
        }
        return entries[static_cast<qsizetype>(*row)];
    }
    case store::FieldKind::MultiLineText:
        return store::decodeText(stored);
    default:
        return stored;
    }
}

const std::vector<quint32>& ListIndex::textRanks(const store::Collection& collection, Field field) {
    std::vector<quint32>& ranks = m_ranks[static_cast<std::size_t>(field)];
    if (!ranks.empty() || m_keys.empty()) {
        return ranks;
    }
    // Equal stored values are ranked once.
    QHash<QByteArrayView, quint32> unique;
    std::vector<quint32> of(m_keys.size(), std::numeric_limits<quint32>::max());
    QStringList texts;
    for (std::size_t p = 0; p < m_keys.size(); ++p) {
        const std::optional<QByteArrayView> v =
            storedBytes(collection.record(static_cast<qsizetype>(p)), field);
        if (!v || isBlank(*v)) {
            continue;
        }
        auto it = unique.constFind(*v);
        if (it == unique.cend()) {
            it = unique.insert(*v, static_cast<quint32>(texts.size()));
            texts << app::trimBlanks(app::fromWin1252WithReferences(v->data(), v->size()));
        }
        of[p] = *it;
    }
    const std::vector<quint32> textRank = collationRanks(texts);
    ranks.resize(m_keys.size());
    for (std::size_t p = 0; p < m_keys.size(); ++p) {
        ranks[p] = of[p] == std::numeric_limits<quint32>::max() ? of[p] : textRank[of[p]];
    }
    return ranks;
}

namespace {

// Where a coin stands for one column: its class (0 a value, 1 a text among
// numbers, 2 none), then its key.
struct SortEntry {
    quint8 cls;
    double key;
    quint32 position;
    bool operator<(const SortEntry& o) const {
        if (cls != o.cls) {
            return cls < o.cls;
        }
        if (key != o.key) {
            return key < o.key;
        }
        return position < o.position;
    }
};

} // namespace

std::vector<quint32> ListIndex::sorted(const store::Collection& collection, ListColumn column,
                                       bool descending) {
    const std::optional<Field> field = columnField(column);
    const std::vector<quint32>* ranks = nullptr;
    if (column == ListColumn::Description || column == ListColumn::Country ||
        column == ListColumn::Year || column == ListColumn::ItemNumber) {
        ranks = &textRanks(collection, *field);
    }
    constexpr quint32 kNone = std::numeric_limits<quint32>::max();
    std::vector<SortEntry> entries(m_keys.size());
    for (std::size_t p = 0; p < m_keys.size(); ++p) {
        const CoinKeys& k = m_keys[p];
        SortEntry& e = entries[p];
        e.position = static_cast<quint32>(p);
        e.cls = 2;
        e.key = 0;
        const auto value = [&e](double key) {
            e.cls = 0;
            e.key = key;
        };
        const auto numberOrText = [&](double number, bool stored) {
            if (!std::isnan(number)) {
                value(number);
            } else if (stored && (*ranks)[p] != kNone) {
                e.cls = 1;
                e.key = (*ranks)[p];
            }
        };
        switch (column) {
        case ListColumn::Description:
        case ListColumn::Country:
            if ((*ranks)[p] != kNone) {
                value((*ranks)[p]);
            }
            break;
        case ListColumn::Year:
            numberOrText(k.year, k.yearStored);
            break;
        case ListColumn::ItemNumber:
            numberOrText(k.itemNumber, k.itemNumberStored);
            break;
        case ListColumn::CoinType:
        case ListColumn::MintMark:
        case ListColumn::Grade:
            if (const qint16 row = listKey(k, *field); row >= 0) {
                value(entryRanks(*field)[static_cast<std::size_t>(row)]);
            }
            break;
        case ListColumn::PurchasePrice:
            if (isAmount(k.purchase)) {
                value(static_cast<double>(k.purchase));
            }
            break;
        case ListColumn::CurrentValue:
            if (isAmount(k.current)) {
                value(static_cast<double>(k.current));
            }
            break;
        case ListColumn::ChangeInValue:
            if (!std::isnan(k.change)) {
                value(k.change);
            }
            break;
        case ListColumn::DateAcquired:
            if (k.acquired != 0) {
                value(k.acquired);
            }
            break;
        case ListColumn::Pictures:
            value(k.pictures);
            break;
        }
        if (descending) {
            e.key = -e.key;
        }
    }
    std::sort(entries.begin(), entries.end());
    std::vector<quint32> order(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        order[i] = entries[i].position;
    }
    return order;
}

std::vector<ListIndex::Group> ListIndex::group(std::vector<quint32>& rows, ListGrouping grouping,
                                               const store::Collection& collection) {
    const std::optional<Field> field = kGroupFields[static_cast<std::size_t>(grouping)];
    if (!field) {
        return {};
    }
    constexpr quint32 kNone = std::numeric_limits<quint32>::max();
    const std::vector<quint32>* ranks = nullptr;
    if (*field == Field::Country || *field == Field::Year) {
        ranks = &textRanks(collection, *field);
    }
    // (class, key): a year's number before a year's text; none last.
    const auto keyOf = [&](quint32 p) -> std::pair<int, double> {
        const CoinKeys& k = m_keys[p];
        switch (*field) {
        case Field::Year:
            if (!std::isnan(k.year)) {
                return {0, k.year};
            }
            return (*ranks)[p] == kNone ? std::pair{2, 0.0} : std::pair{1, double((*ranks)[p])};
        case Field::Country:
            return (*ranks)[p] == kNone ? std::pair{2, 0.0} : std::pair{0, double((*ranks)[p])};
        default: {
            const qint16 row = listKey(k, *field);
            return row < 0 ? std::pair{2, 0.0}
                           : std::pair{0, double(entryRanks(*field)[std::size_t(row)])};
        }
        }
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&keyOf](quint32 a, quint32 b) { return keyOf(a) < keyOf(b); });
    std::vector<Group> groups;
    const QString caption = QString(store::fieldInfo(*field).caption).toLower();
    for (std::size_t i = 0; i < rows.size();) {
        const auto key = keyOf(rows[i]);
        std::size_t j = i + 1;
        while (j < rows.size() && keyOf(rows[j]) == key) {
            ++j;
        }
        Group g;
        g.begin = static_cast<qsizetype>(i);
        g.end = static_cast<qsizetype>(j);
        // Spelt as the group's first coin in the file spells it.
        const quint32 first =
            *std::min_element(rows.begin() + std::ptrdiff_t(i), rows.begin() + std::ptrdiff_t(j));
        g.name = key.first == 2 ? QStringLiteral("No ") + caption
                                : app::trimBlanks(shownText(collection.record(first), *field));
        groups.push_back(std::move(g));
        i = j;
    }
    return groups;
}

ListTotals ListIndex::totals(const quint32* begin, const quint32* end) const {
    ListTotals t;
    for (const quint32* p = begin; p != end; ++p) {
        const CoinKeys& k = m_keys[*p];
        ++t.coins;
        const bool purchase = isAmount(k.purchase);
        const bool current = isAmount(k.current);
        if (purchase) {
            t.purchase += k.purchase;
        } else {
            ++t.withoutPurchase;
        }
        if (current) {
            t.current += k.current;
        } else {
            ++t.withoutCurrent;
        }
        if (purchase && current) {
            ++t.withBoth;
            t.purchaseOfBoth += k.purchase;
            t.currentOfBoth += k.current;
        }
    }
    return t;
}

QString totalsText(const ListTotals& t, qsizetype collectionCount) {
    QStringList lines;
    lines << (t.coins == collectionCount
                  ? count(t.coins, "coin", "coins")
                  : QStringLiteral("Showing %1 of %2")
                        .arg(us().toString(t.coins), count(collectionCount, "coin", "coins")));
    QString sums = QStringLiteral("Purchase price %1    Current value %2")
                       .arg(app::formatCurrency(double(t.purchase) / 100.0),
                            app::formatCurrency(double(t.current) / 100.0));
    if (t.withBoth > 0) {
        const qint64 change = t.currentOfBoth - t.purchaseOfBoth;
        sums += t.withBoth == t.coins ? QStringLiteral("    Change ")
                                      : QStringLiteral("    Change of the %1 with both ")
                                            .arg(count(t.withBoth, "coin", "coins"));
        sums += app::formatCurrency(double(change) / 100.0);
        if (t.purchaseOfBoth != 0) {
            sums += QStringLiteral(" (%1)").arg(
                app::formatPercent(double(change) / double(t.purchaseOfBoth)));
        }
    }
    lines << sums;
    QStringList apart;
    if (t.withoutCurrent > 0) {
        apart << count(t.withoutCurrent, "coin has", "coins have") +
                     QStringLiteral(" no current value");
    }
    if (t.withoutPurchase > 0) {
        apart << count(t.withoutPurchase, "coin has", "coins have") +
                     QStringLiteral(" no purchase price");
    }
    if (!apart.isEmpty()) {
        lines << apart.join(QStringLiteral("; ")) + u'.';
    }
    return lines.join(u'\n');
}

QString groupHeading(const QString& name, qsizetype coins) {
    return QStringLiteral("%1 (%2)").arg(name, count(coins, "coin", "coins"));
}

CollectorFilter::CollectorFilter(int filterRow) {
    const QStringList& rows = homeFilterList();
    if (filterRow <= 0 || filterRow >= rows.size()) {
        return;
    }
    const QString f = rows[filterRow].toLower();
    if (f.contains(QLatin1StringView("current value < $"))) {
        m_rule = Rule::Below;
        m_value = std::llround(app::parseNumber(f.mid(f.indexOf(u'$') + 1)).value_or(0) * 100);
    } else if (f.contains(QLatin1StringView("only "))) {
        m_rule = Rule::CoinType;
        m_value = filterRow - 1;
    } else if (f.contains(QLatin1StringView("without images"))) {
        m_rule = Rule::WithoutImages;
    } else if (f.contains(QLatin1StringView("with images"))) {
        m_rule = Rule::WithImages;
    }
}

bool CollectorFilter::passes(const CoinKeys& k) const {
    switch (m_rule) {
    case Rule::All:
        return true;
    case Rule::CoinType:
        return k.coinType == m_value;
    case Rule::Below:
        return isAmount(k.current) && k.current < m_value;
    case Rule::WithImages:
        return k.pictures > 0;
    case Rule::WithoutImages:
        return k.pictures == 0;
    }
    return true;
}

SearchScan::SearchScan(std::vector<SearchWord> words)
    : m_words(std::move(words)), m_searched(store::kFieldCount, -1) {
    for (const store::FieldInfo& f : store::fields()) {
        if (f.group == store::FieldGroup::Coin || f.group == store::FieldGroup::CoinDetails ||
            f.group == store::FieldGroup::Notes) {
            m_searched[static_cast<std::size_t>(f.field)] = static_cast<int>(f.field);
        }
    }
    for (const SearchWord& word : m_words) {
        std::array<std::vector<bool>, 3>& hits = m_entryHits.emplace_back();
        for (const Field list : {Field::CoinType, Field::MintMark, Field::Grade}) {
            for (const QByteArray& entry : foldedEntries(list)) {
                hits[listIndex(list)].push_back(foldedContains(entry, word));
            }
        }
    }
}

int KeyMemo::of(const QString& key) {
    const auto address = reinterpret_cast<quintptr>(key.constData());
    // Names live side by side in memory: a multiplicative hash spreads them.
    auto slot = static_cast<std::size_t>((quint64(address) * 0x9E3779B97F4A7C15ULL) >> 57);
    for (;; slot = (slot + 1) % m_seen.size()) {
        Seen& seen = m_seen[slot];
        if (seen.key.constData() == key.constData() && seen.key.size() == key.size()) {
            return seen.field;
        }
        if (seen.key.isNull()) {
            break;
        }
    }
    if (++m_used > static_cast<int>(m_seen.size()) * 3 / 4) {
        m_seen = {};
        m_used = 1;
        slot = static_cast<std::size_t>((quint64(address) * 0x9E3779B97F4A7C15ULL) >> 57);
    }
    const std::optional<Field> field = store::fieldOfKey(key);
    m_seen[slot] = {key, field                      ? static_cast<int>(*field)
                         : store::isPictureKey(key) ? kPicture
                                                    : kOther};
    return m_seen[slot].field;
}

int SearchScan::searchedField(const QString& key) {
    const int field = m_keys.of(key);
    return field < 0 ? -1 : m_searched[static_cast<std::size_t>(field)];
}

bool SearchScan::matches(const store::CoinRecord& record) {
    for (std::size_t w = 0; w < m_words.size(); ++w) {
        const SearchWord& word = m_words[w];
        bool found = false;
        for (qsizetype i = 0; i < record.size() && !found; ++i) {
            const int f = searchedField(record.key(i));
            if (f < 0) {
                continue;
            }
            const auto field = static_cast<Field>(f);
            if (store::fieldInfo(field).kind == store::FieldKind::List) {
                const std::vector<bool>& hits = m_entryHits[w][listIndex(field)];
                const qint16 row = listRow(record.valueBytes(i), field);
                found = row >= 0 && static_cast<std::size_t>(row) < hits.size() &&
                        hits[static_cast<std::size_t>(row)];
            } else {
                found = valueContains(record.valueBytes(i), word);
            }
        }
        if (!found) {
            return false;
        }
    }
    return true;
}

} // namespace ui
