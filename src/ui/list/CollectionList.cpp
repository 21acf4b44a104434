#include "ui/list/CollectionList.h"

#include "app/ProgramFolder.h"
#include "platform/Platform.h"
#include "ui/common/Controls.h"
#include "ui/common/FilterList.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kRowHeight = 26;

// Draws a coin's first picture before its description when the row is high
// enough. Pictures are decoded one per turn of the event loop, so that a page
// of rows shows at once and scrolling never waits for a decoder.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(QTreeView* view) : QStyledItemDelegate(view), m_view(view) {
        m_loader.setSingleShot(true);
        m_loader.setInterval(0);
        connect(&m_loader, &QTimer::timeout, this, &RowDelegate::loadNext);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), kRowHeight));
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QVariant name = index.data(CollectionListModel::kPictureRole);
        const int side = option.rect.height() - 4;
        if (index.column() != 0 || !name.isValid() || side < 16) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem text = option;
        text.rect.setLeft(option.rect.left() + side + 6);
        QStyledItemDelegate::paint(painter, text, index);
        const QString picture = name.toString();
        if (picture.isEmpty()) {
            return;
        }
        const auto it = m_pictures.constFind(picture);
        if (it == m_pictures.cend()) {
            m_side = side;
            if (!m_queue.contains(picture)) {
                m_queue.append(picture);
            }
            m_loader.start();
        } else if (!it->isNull()) {
            const QRect box(option.rect.left() + 2, option.rect.top() + 2, side, side);
            const QSize fitted =
                it->deviceIndependentSize().toSize().scaled(box.size(), Qt::KeepAspectRatio);
            painter->drawPixmap(
                QRect(box.center() - QPoint(fitted.width() / 2, fitted.height() / 2), fitted), *it);
        }
    }

private:
    void loadNext() const {
        if (m_queue.isEmpty()) {
            return;
        }
        const QString name = m_queue.takeFirst();
        if (m_pictures.size() > 2000) {
            m_pictures.clear();
        }
        const ui::LoadedPicture loaded =
            ui::loadPictureScaled(app::nativePath(app::programPath(name)), QSize(m_side, m_side),
                                  m_view->devicePixelRatioF());
        // A picture that cannot be read shows none; the card and panels say why.
        m_pictures.insert(name,
                          loaded.status == ui::PictureStatus::Loaded ? loaded.pixmap : QPixmap());
        m_view->viewport()->update();
        if (!m_queue.isEmpty()) {
            m_loader.start();
        }
    }

    QTreeView* m_view;
    mutable QHash<QString, QPixmap> m_pictures; // a null pixmap: none to show
    mutable QStringList m_queue;
    mutable QTimer m_loader;
    mutable int m_side = kRowHeight - 4;
};

QComboBox* makeBox(QWidget* parent, const QString& name, const QStringList& rows) {
    auto* box = ui::named(new QComboBox(parent), name);
    box->setEditable(false);
    box->setMaxVisibleItems(20);
    box->addItems(rows);
    return box;
}

} // namespace

CollectionList::CollectionList(store::Collection& collection, QWidget* parent)
    : QWidget(parent), m_model(new CollectionListModel(collection, this)),
      m_topRow(new QWidget(this)) {
    setObjectName(QStringLiteral("frameCollectionList"));
    ui::setBackground(this, ui::kWhite);

    m_search = ui::named(new QLineEdit(this), QStringLiteral("txtListSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search (Ctrl+F)"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    m_search->setMinimumWidth(140);
    m_filter = makeBox(this, QStringLiteral("cmbListFilter"), ui::homeFilterList());
    m_group = makeBox(this, QStringLiteral("cmbListGrouping"), ui::groupingCaptions());
    // The long filter rows would otherwise push the search box aside.
    for (QComboBox* box : {m_filter, m_group}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
    }
    auto* home = ui::named(new LinkLabel(QStringLiteral("Home Page"), this),
                           QStringLiteral("lblListHomePage"));
    ui::setTextColour(home, ui::kNavy);
    connect(home, &LinkLabel::pointerEntered, this, [home] {
        ui::setTextColour(home, ui::kLinkHover);
        ui::setUnderline(home, true);
    });
    connect(home, &LinkLabel::pointerLeft, this, [home] {
        ui::setTextColour(home, ui::kNavy);
        ui::setUnderline(home, false);
    });
    connect(home, &LinkLabel::releasedInside, this, [this, home] {
        ui::setTextColour(home, ui::kNavy);
        ui::setUnderline(home, false);
        emit homePageRequested();
    });

    m_view = ui::named(new QTreeView(this), QStringLiteral("lstCollection"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new RowDelegate(m_view));
    m_view->setUniformRowHeights(true);
    m_view->setRootIsDecorated(false);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSectionsClickable(true);
    m_view->header()->setSectionsMovable(false);
    m_view->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->header()->setStretchLastSection(false);
    m_view->header()->resizeSection(0, 260);
    m_view->installEventFilter(this);

    m_totals = ui::named(new QLabel(this), QStringLiteral("lblListTotals"));
    m_totals->setTextFormat(Qt::PlainText);
    m_totals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress = ui::named(new QProgressBar(this), QStringLiteral("prgListReading"));
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(240);
    m_progress->hide();

    auto* top = new QHBoxLayout(m_topRow);
    top->setContentsMargins(0, 0, 8, 0);
    top->setSpacing(6);
    top->addWidget(m_search, 3);
    top->addWidget(m_filter, 3);
    top->addWidget(m_group, 2);
    top->addWidget(home);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 2, 8, 4);
    bottom->addWidget(m_totals, 1);
    bottom->addWidget(m_progress);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(m_topRow);
    page->addWidget(m_view, 1);
    page->addLayout(bottom);

    connect(m_search, &QLineEdit::textChanged, m_model, &CollectionListModel::setSearchText);
    connect(m_filter, &QComboBox::activated, m_model, &CollectionListModel::setFilterRow);
    connect(m_group, &QComboBox::activated, this,
            [this](int row) { m_model->setGrouping(static_cast<ui::ListGrouping>(row)); });
    connect(m_view->header(), &QHeaderView::sortIndicatorChanged, m_model,
            [this](int column, Qt::SortOrder order) { m_model->sort(column, order); });
    connect(m_view, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const auto position = m_model->positionAt(index)) {
            emit openRequested(*position);
        }
    });
    connect(m_view, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { m_collapsed.insert(m_model->groupName(index)); });
    connect(m_view, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { m_collapsed.remove(m_model->groupName(index)); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (const auto position = m_model->positionAt(current)) {
                    m_selected = position;
                }
            });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, &CollectionList::beforeReset);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CollectionList::afterReset);
    connect(m_model, &CollectionListModel::readingProgressed, this, &CollectionList::showProgress);

    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        m_search->setFocus();
        m_search->selectAll();
    });
    buildHeaderMenu();
}

void CollectionList::setCornerSize(QSize pixels) {
    m_topRow->layout()->setContentsMargins(pixels.width(), 0, 8, 0);
    m_topRow->setFixedHeight(std::max(pixels.height(), m_topRow->minimumSizeHint().height()));
}

void CollectionList::buildHeaderMenu() {
    QHeaderView* header = m_view->header();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& at) {
        QMenu menu(this);
        // The description names the coin: it always shows.
        for (int c = 1; c < ui::kListColumns; ++c) {
            QAction* a = menu.addAction(ui::columnCaption(static_cast<ui::ListColumn>(c)));
            a->setCheckable(true);
            a->setChecked(!header->isSectionHidden(c));
            connect(a, &QAction::toggled, this,
                    [header, c](bool on) { header->setSectionHidden(c, !on); });
        }
        menu.exec(header->mapToGlobal(at));
    });
}

std::optional<qsizetype> CollectionList::selectedPosition() const {
    if (!m_selected || !m_model->indexOf(*m_selected).isValid()) {
        return std::nullopt;
    }
    return m_selected;
}

void CollectionList::selectPosition(qsizetype position) {
    m_selected = position;
    const QModelIndex index = m_model->indexOf(position);
    if (index.isValid()) {
        m_view->setCurrentIndex(index);
        m_view->scrollTo(index);
    }
}

void CollectionList::refresh() {
    m_keepScroll = true;
    m_model->refresh();
    m_keepScroll = false;
    showProgress();
}

void CollectionList::beforeReset() {
    m_scroll = m_view->verticalScrollBar()->value();
}

void CollectionList::afterReset() {
    m_view->setRootIsDecorated(m_model->isGrouped());
    if (m_model->isGrouped()) {
        m_view->expandAll();
        for (int g = 0; g < m_model->rowCount(); ++g) {
            const QModelIndex group = m_model->index(g, 0);
            if (m_collapsed.contains(m_model->groupName(group))) {
                m_view->collapse(group);
            }
        }
    }
    // The selection follows its coin; selecting does not move the rows.
    const std::optional<qsizetype> selected = m_selected;
    const QModelIndex index = selected ? m_model->indexOf(*selected) : QModelIndex();
    if (index.isValid()) {
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    }
    m_selected = selected;
    if (m_keepScroll) {
        m_view->doItemsLayout(); // the scroll range follows the new rows now, not later
        m_view->verticalScrollBar()->setValue(m_scroll);
    } else if (index.isValid()) {
        m_view->scrollTo(index);
    } else {
        m_view->scrollToTop();
    }
    m_totals->setText(m_model->totalsText());
}

void CollectionList::showProgress() {
    m_progress->setVisible(!m_model->isReady());
    m_progress->setValue(static_cast<int>(m_model->readingProgress() * 100));
    m_totals->setText(m_model->totalsText());
}

void CollectionList::openCurrent() {
    if (const auto position = m_model->positionAt(m_view->currentIndex())) {
        emit openRequested(*position);
    }
}

bool CollectionList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_search && key == Qt::Key_Escape) {
            m_search->clear();
            return true;
        }
        if (watched == m_search && key == Qt::Key_Down) {
            m_view->setFocus();
            return true;
        }
        if (watched == m_view && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            openCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CollectionList::restoreSettings() {
    platform::SettingsStore& settings = platform::settings();
    QHeaderView* header = m_view->header();
    if (const auto hidden = settings.get(QStringLiteral("ListHiddenColumns"))) {
        for (const QString& c : hidden->split(u',', Qt::SkipEmptyParts)) {
            const int column = c.toInt();
            if (column > 0 && column < ui::kListColumns) {
                header->setSectionHidden(column, true);
            }
        }
    }
    if (const auto widths = settings.get(QStringLiteral("ListColumnWidths"))) {
        const QStringList w = widths->split(u',');
        for (int c = 0; c < std::min<int>(int(w.size()), ui::kListColumns); ++c) {
            const int width = w[c].toInt();
            if (width >= 20 && width <= 2000) {
                header->resizeSection(c, width);
            }
        }
    }
    if (const auto sort = settings.get(QStringLiteral("ListSort"))) {
        const QStringList parts = sort->split(u' ');
        const int column = parts.value(0).toInt();
        if (column >= 0 && column < ui::kListColumns) {
            header->setSortIndicator(column, parts.value(1) == u"D" ? Qt::DescendingOrder
                                                                    : Qt::AscendingOrder);
        }
    }
}

void CollectionList::storeSettings() const {
    platform::SettingsStore& settings = platform::settings();
    const QHeaderView* header = m_view->header();
    QStringList hidden;
    QStringList widths;
    for (int c = 0; c < ui::kListColumns; ++c) {
        if (header->isSectionHidden(c)) {
            hidden << QString::number(c);
        }
        widths << QString::number(header->sectionSize(c));
    }
    settings.set(QStringLiteral("ListHiddenColumns"), hidden.join(u','));
    settings.set(QStringLiteral("ListColumnWidths"), widths.join(u','));
    settings.set(QStringLiteral("ListSort"),
                 m_model->sortColumn() < 0
                     ? QStringLiteral("-1")
                     : QStringLiteral("%1 %2")
                           .arg(m_model->sortColumn())
                           .arg(m_model->sortOrder() == Qt::DescendingOrder ? QStringLiteral("D")
                                                                            : QStringLiteral("A")));
}
