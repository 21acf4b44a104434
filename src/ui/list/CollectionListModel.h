#pragma once

#include "ui/list/ListIndex.h"

#include <QAbstractItemModel>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace store {
class Collection;
}

// The rows of the collection list: the coins that pass the search and the
// filter, sorted by a column, grouped or not, and their totals. It keeps only
// numbers per coin (ListIndex); the text shown comes from the records.
//
// A collection not read whole yet is read on a thread of its own: until that
// ends the rows are the coins in file order and the totals are not known.
class CollectionListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The first picture's name (relative to the program folder) of a coin row.
    static constexpr int kPictureRole = Qt::UserRole + 1;

    explicit CollectionListModel(store::Collection& collection, QObject* parent = nullptr);
    ~CollectionListModel() override;

    // Reads the coins again when the collection changed since they were read.
    void refresh();
    bool isReady() const { return m_ready; }
    // Of the coins being read, the share read so far (0 to 1).
    double readingProgress() const;
    // Collections up to this size are read at once, on the window's thread.
    static constexpr qsizetype kReadAtOnce = 5000;

    void setSearchText(const QString& text);
    const QString& searchText() const { return m_searchText; }
    void setFilterRow(int row);
    int filterRow() const { return m_filterRow; }
    void setGrouping(ui::ListGrouping grouping);
    ui::ListGrouping grouping() const { return m_grouping; }
    // A column below 0: the order of the collection.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    const ui::ListTotals& totals() const { return m_totals; }
    // The totals under the list, or how far the reading got.
    QString totalsText() const;

    // The coin of a row; none for a group's heading.
    std::optional<qsizetype> positionAt(const QModelIndex& index) const;
    // The row of a coin, when it is shown.
    QModelIndex indexOf(qsizetype position) const;
    // The coins shown, in the list's order (a collapsed group's too).
    std::vector<qsizetype> shownPositions() const;
    bool isGrouped() const { return !m_groups.empty(); }
    // The name of the group a heading row shows.
    QString groupName(const QModelIndex& heading) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void readingProgressed();
    // The rows or the totals changed (after the model's reset).
    void contentChanged();

private:
    struct Reading;
    void startReading();
    void finishReading(const std::shared_ptr<Reading>& reading, bool complete);
    // Rows, groups and totals from the index and the choices.
    void apply();
    void search();
    qsizetype rowPosition(const QModelIndex& index) const;
    QVariant coinData(qsizetype position, ui::ListColumn column, int role) const;
    QVariant groupData(int group, ui::ListColumn column, int role) const;

    store::Collection& m_collection;
    ui::ListIndex m_index;
    bool m_ready = false;
    quint64 m_revision = 0; // of the collection the index was read from
    std::shared_ptr<Reading> m_reading;
    QTimer m_progressTimer;

    QString m_searchText;
    int m_filterRow = 0;
    ui::ListGrouping m_grouping = ui::ListGrouping::None;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    std::vector<quint32> m_sorted; // every coin in the chosen order
    bool m_sortedValid = false;
    std::vector<quint8> m_matches; // by position: the search finds it
    std::vector<ui::SearchWord> m_matchedWords;
    bool m_matchesValid = false;
    std::vector<quint32> m_rows; // the coins shown, in order
    std::vector<ui::ListIndex::Group> m_groups;
    std::vector<ui::ListTotals> m_groupTotals;
    ui::ListTotals m_totals;
};
