#include "ui/list/CollectionListModel.h"

#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/Collection.h"

#include <QFont>
#include <numeric>

using ui::ListColumn;

struct CollectionListModel::Reading {
    quint64 revision = 0;
    qsizetype total = 0;
    std::atomic<qsizetype> done = 0;
    std::vector<ui::CoinKeys> keys;
    // Sorted on the reading thread too, by the order chosen when it began.
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    ui::ListIndex index;
    std::vector<quint32> sorted;
};

namespace {

std::vector<quint32> fileOrder(qsizetype n) {
    std::vector<quint32> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), quint32{0});
    return order;
}

QString amountText(const store::CoinRecord& record, store::Field field) {
    const QString stored = record.value(field);
    const std::optional<double> amount = app::parseNumber(stored);
    return amount ? app::formatCurrency(*amount) : app::trimBlanks(stored);
}

QString moneyText(qint64 cents) {
    return app::formatCurrency(static_cast<double>(cents) / 100.0);
}

bool sameWords(const std::vector<ui::SearchWord>& a, const std::vector<ui::SearchWord>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const ui::SearchWord& x, const ui::SearchWord& y) { return x.text == y.text; });
}

} // namespace

CollectionListModel::CollectionListModel(store::Collection& collection, QObject* parent)
    : QAbstractItemModel(parent), m_collection(collection) {
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this, &CollectionListModel::readingProgressed);
}

CollectionListModel::~CollectionListModel() {
    if (m_reading) {
        m_collection.stopBackgroundReading();
    }
}

double CollectionListModel::readingProgress() const {
    if (!m_reading || m_reading->total == 0) {
        return m_ready ? 1.0 : 0.0;
    }
    return static_cast<double>(m_reading->done.load()) / static_cast<double>(m_reading->total);
}

void CollectionListModel::refresh() {
    const quint64 revision = m_collection.revision();
    if ((m_ready && m_revision == revision) || (m_reading && m_reading->revision == revision)) {
        return;
    }
    m_ready = false;
    m_matchesValid = false;
    m_sortedValid = false;
    if (m_collection.count() > kReadAtOnce && !m_collection.isFullyRead()) {
        startReading();
        apply();
        return;
    }
    std::vector<ui::CoinKeys> keys;
    keys.reserve(static_cast<std::size_t>(m_collection.count()));
    for (qsizetype p = 0; p < m_collection.count(); ++p) {
        keys.push_back(ui::coinKeys(m_collection.record(p)));
    }
    m_index = ui::ListIndex(std::move(keys));
    m_revision = revision;
    m_ready = true;
    apply();
}

void CollectionListModel::startReading() {
    auto reading = std::make_shared<Reading>();
    reading->revision = m_collection.revision();
    reading->total = m_collection.count();
    reading->keys.resize(static_cast<std::size_t>(reading->total));
    reading->sortColumn = m_sortColumn;
    reading->sortOrder = m_sortOrder;
    m_reading = reading;
    m_progressTimer.start();
    store::Collection& collection = m_collection;
    m_collection.readAllInBackground(
        [reading](qsizetype i, const store::CoinRecord& record) {
            reading->keys[static_cast<std::size_t>(i)] = ui::coinKeys(record);
            reading->done.store(i + 1, std::memory_order_relaxed);
        },
        [this, reading, &collection](bool complete) {
            if (complete) {
                reading->index = ui::ListIndex(std::move(reading->keys));
                if (reading->sortColumn >= 0) {
                    reading->sorted = reading->index.sorted(
                        collection, static_cast<ListColumn>(reading->sortColumn),
                        reading->sortOrder == Qt::DescendingOrder);
                }
            }
            QMetaObject::invokeMethod(
                this, [this, reading, complete] { finishReading(reading, complete); },
                Qt::QueuedConnection);
        });
}

void CollectionListModel::finishReading(const std::shared_ptr<Reading>& reading, bool complete) {
    if (reading != m_reading) {
        return;
    }
    m_reading.reset();
    m_progressTimer.stop();
    if (!complete) {
        // Stopped by a change to the collection: read what it holds now.
        QTimer::singleShot(0, this, &CollectionListModel::refresh);
        return;
    }
    m_index = std::move(reading->index);
    m_revision = reading->revision;
    m_ready = true;
    if (reading->sortColumn == m_sortColumn && reading->sortOrder == m_sortOrder &&
        m_sortColumn >= 0) {
        m_sorted = std::move(reading->sorted);
        m_sortedValid = true;
    }
    apply();
    emit readingProgressed();
}

void CollectionListModel::setSearchText(const QString& text) {
    if (text != m_searchText) {
        m_searchText = text;
        apply();
    }
}

void CollectionListModel::setFilterRow(int row) {
    if (row != m_filterRow) {
        m_filterRow = row;
        apply();
    }
}

void CollectionListModel::setGrouping(ui::ListGrouping grouping) {
    if (grouping != m_grouping) {
        m_grouping = grouping;
        apply();
    }
}

void CollectionListModel::sort(int column, Qt::SortOrder order) {
    column = column >= ui::kListColumns ? -1 : column;
    if (column == m_sortColumn && order == m_sortOrder) {
        return;
    }
    m_sortColumn = column;
    m_sortOrder = order;
    m_sortedValid = false;
    apply();
}

void CollectionListModel::search() {
    std::vector<ui::SearchWord> words = ui::searchWords(m_searchText);
    if (words.empty()) {
        m_matches.clear();
        m_matchedWords.clear();
        m_matchesValid = true;
        return;
    }
    if (m_matchesValid && !m_matches.empty() && sameWords(words, m_matchedWords)) {
        return;
    }
    // One more letter typed: only the coins found before can still match.
    const bool narrowing =
        m_matchesValid && !m_matches.empty() && ui::narrows(words, m_matchedWords);
    if (!narrowing) {
        m_matches.assign(static_cast<std::size_t>(m_index.size()), 1);
    }
    ui::SearchScan scan(words);
    for (std::size_t p = 0; p < m_matches.size(); ++p) {
        if (m_matches[p]) {
            m_matches[p] = scan.matches(m_collection.record(static_cast<qsizetype>(p))) ? 1 : 0;
        }
    }
    m_matchedWords = std::move(words);
    m_matchesValid = true;
}

void CollectionListModel::apply() {
    std::vector<quint32> rows;
    std::vector<ui::ListIndex::Group> groups;
    std::vector<ui::ListTotals> groupTotals;
    ui::ListTotals totals;
    if (!m_ready) {
        rows = fileOrder(m_collection.count());
    } else {
        if (!m_sortedValid) {
            m_sorted = m_sortColumn < 0
                           ? fileOrder(m_index.size())
                           : m_index.sorted(m_collection, static_cast<ListColumn>(m_sortColumn),
                                            m_sortOrder == Qt::DescendingOrder);
            m_sortedValid = true;
        }
        search();
        const ui::CollectorFilter filter(m_filterRow);
        rows.reserve(m_sorted.size());
        for (const quint32 p : m_sorted) {
            if ((m_matches.empty() || m_matches[p]) && filter.passes(m_index.keys(p))) {
                rows.push_back(p);
            }
        }
        groups = m_index.group(rows, m_grouping, m_collection);
        for (const ui::ListIndex::Group& g : groups) {
            groupTotals.push_back(m_index.totals(rows.data() + g.begin, rows.data() + g.end));
        }
        totals = m_index.totals(rows.data(), rows.data() + rows.size());
    }
    beginResetModel();
    m_rows = std::move(rows);
    m_groups = std::move(groups);
    m_groupTotals = std::move(groupTotals);
    m_totals = totals;
    endResetModel();
    emit contentChanged();
}

QString CollectionListModel::totalsText() const {
    if (!m_ready) {
        return QStringLiteral("Reading the collection: %1%")
            .arg(static_cast<int>(readingProgress() * 100));
    }
    return ui::totalsText(m_totals, m_index.size());
}

std::optional<qsizetype> CollectionListModel::positionAt(const QModelIndex& index) const {
    const qsizetype p = rowPosition(index);
    return p < 0 ? std::nullopt : std::optional(p);
}

qsizetype CollectionListModel::rowPosition(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) {
        return -1;
    }
    qsizetype at = index.row();
    if (!m_groups.empty()) {
        if (index.internalId() == 0) {
            return -1;
        }
        at += m_groups[index.internalId() - 1].begin;
    }
    if (at < 0 || at >= static_cast<qsizetype>(m_rows.size())) {
        return -1;
    }
    const qsizetype p = m_rows[static_cast<std::size_t>(at)];
    return p < m_collection.count() ? p : -1;
}

QModelIndex CollectionListModel::indexOf(qsizetype position) const {
    const auto it = std::find(m_rows.begin(), m_rows.end(), static_cast<quint32>(position));
    if (position < 0 || it == m_rows.end()) {
        return {};
    }
    const qsizetype at = it - m_rows.begin();
    if (m_groups.empty()) {
        return createIndex(static_cast<int>(at), 0, quintptr{0});
    }
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        if (at < m_groups[g].end) {
            return createIndex(static_cast<int>(at - m_groups[g].begin), 0, quintptr(g + 1));
        }
    }
    return {};
}

QString CollectionListModel::groupName(const QModelIndex& heading) const {
    if (m_groups.empty() || !heading.isValid() || heading.internalId() != 0 || heading.row() < 0 ||
        static_cast<std::size_t>(heading.row()) >= m_groups.size()) {
        return {};
    }
    return m_groups[static_cast<std::size_t>(heading.row())].name;
}

std::vector<qsizetype> CollectionListModel::shownPositions() const {
    return {m_rows.begin(), m_rows.end()};
}

QModelIndex CollectionListModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ui::kListColumns) {
        return {};
    }
    if (!parent.isValid()) {
        const std::size_t rows = m_groups.empty() ? m_rows.size() : m_groups.size();
        return static_cast<std::size_t>(row) < rows ? createIndex(row, column, quintptr{0})
                                                    : QModelIndex();
    }
    if (m_groups.empty() || parent.internalId() != 0 || parent.row() < 0 ||
        static_cast<std::size_t>(parent.row()) >= m_groups.size()) {
        return {};
    }
    const ui::ListIndex::Group& g = m_groups[static_cast<std::size_t>(parent.row())];
    return row < g.end - g.begin ? createIndex(row, column, quintptr(parent.row()) + 1)
                                 : QModelIndex();
}

QModelIndex CollectionListModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
}

int CollectionListModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(m_groups.empty() ? m_rows.size() : m_groups.size());
    }
    if (m_groups.empty() || parent.internalId() != 0 || parent.column() != 0) {
        return 0;
    }
    const ui::ListIndex::Group& g = m_groups[static_cast<std::size_t>(parent.row())];
    return static_cast<int>(g.end - g.begin);
}

int CollectionListModel::columnCount(const QModelIndex& /*parent*/) const {
    return ui::kListColumns;
}

QVariant CollectionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ui::kListColumns) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return ui::columnCaption(static_cast<ListColumn>(section));
    }
    return {};
}

QVariant CollectionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.model() != this) {
        return {};
    }
    const auto column = static_cast<ListColumn>(index.column());
    if (!m_groups.empty() && index.internalId() == 0) {
        return groupData(index.row(), column, role);
    }
    const qsizetype position = rowPosition(index);
    return position < 0 ? QVariant() : coinData(position, column, role);
}

QVariant CollectionListModel::coinData(qsizetype position, ListColumn column, int role) const {
    const bool number = column == ListColumn::PurchasePrice || column == ListColumn::CurrentValue ||
                        column == ListColumn::ChangeInValue || column == ListColumn::Pictures;
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != kPictureRole) {
        return {};
    }
    const store::CoinRecord& record = m_collection.record(position);
    if (role == kPictureRole) {
        for (const QString& name : record.pictures()) {
            if (!app::isBlankText(name)) {
                return name;
            }
        }
        return QString();
    }
    const std::optional<store::Field> field = ui::columnField(column);
    switch (column) {
    case ListColumn::PurchasePrice:
    case ListColumn::CurrentValue:
        return amountText(record, *field);
    case ListColumn::Pictures: {
        const QStringList pictures = record.pictures();
        return static_cast<int>(
            std::count_if(pictures.cbegin(), pictures.cend(),
                          [](const QString& n) { return !app::isBlankText(n); }));
    }
    default:
        return app::trimBlanks(ui::shownText(record, *field));
    }
}

QVariant CollectionListModel::groupData(int group, ListColumn column, int role) const {
    if (group < 0 || static_cast<std::size_t>(group) >= m_groups.size()) {
        return {};
    }
    if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(
            Qt::AlignVCenter |
            (column == ListColumn::Description ? Qt::AlignLeft : Qt::AlignRight));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const ui::ListIndex::Group& g = m_groups[static_cast<std::size_t>(group)];
    const ui::ListTotals& t = m_groupTotals[static_cast<std::size_t>(group)];
    switch (column) {
    case ListColumn::Description:
        return ui::groupHeading(g.name, t.coins);
    case ListColumn::PurchasePrice:
        return moneyText(t.purchase);
    case ListColumn::CurrentValue:
        return moneyText(t.current);
    case ListColumn::ChangeInValue:
        if (t.purchaseOfBoth == 0) {
            return {};
        }
        return app::formatPercent(static_cast<double>(t.currentOfBoth - t.purchaseOfBoth) /
                                  static_cast<double>(t.purchaseOfBoth));
    default:
        return {};
    }
}
