#pragma once

#include "ui/list/CollectionListModel.h"

#include <QSet>
#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeView;
namespace store {
class Collection;
}

// The collection list (frameCollectionList): a search box, the home page's
// filters and a grouping box above a sortable list of every coin, and the
// totals of the rows shown below it. It keeps its own state: the choices in
// the boxes live in the model, the selected coin and the collapsed groups here.
class CollectionList : public QWidget {
    Q_OBJECT
public:
    CollectionList(store::Collection& collection, QWidget* parent);

    CollectionListModel& model() const { return *m_model; }
    QTreeView* view() const { return m_view; }
    QLineEdit* searchBox() const { return m_search; }
    QComboBox* filterBox() const { return m_filter; }
    QComboBox* groupBox() const { return m_group; }
    QLabel* totalsLabel() const { return m_totals; }

    // The coin of the selected row, while the list shows it.
    std::optional<qsizetype> selectedPosition() const;
    void selectPosition(qsizetype position);
    // Reads the collection again when it changed; the search, sort, grouping,
    // scroll and selection stay.
    void refresh();
    // Room for the window's corner picture at the top left: the boxes stand
    // beside it, the list below it; in pixels.
    void setCornerSize(QSize pixels);

    // The columns shown, their widths and the sort order, in the settings store.
    void restoreSettings();
    void storeSettings() const;

signals:
    void openRequested(qsizetype position);
    void homePageRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHeaderMenu();
    void openCurrent();
    void beforeReset();
    void afterReset();
    void showProgress();

    CollectionListModel* m_model;
    QTreeView* m_view = nullptr;
    QLineEdit* m_search = nullptr;
    QComboBox* m_filter = nullptr;
    QComboBox* m_group = nullptr;
    QLabel* m_totals = nullptr;
    QProgressBar* m_progress = nullptr;
    QWidget* m_topRow = nullptr;

    std::optional<qsizetype> m_selected;
    QSet<QString> m_collapsed; // group names
    bool m_keepScroll = false;
    int m_scroll = 0;
};
