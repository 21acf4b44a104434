#include "ui/main/MainWindow.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "online/Help.h"
#include "online/OnlineFeatures.h"
#include "platform/Platform.h"
#include "ui/collection/CollectionCommands.h"
#include "ui/common/Controls.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemCommands.h"
#include "ui/edit/ItemEditor.h"
#include "ui/list/CollectionList.h"
#include "ui/main/DetailPanels.h"
#include "ui/main/HomePage.h"
#include "ui/main/Layout.h"
#include "ui/main/MainMenus.h"
#include "ui/pictures/PictureStrip.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

namespace {

// The classic window frame around the inner area (caption, menu bar and
// borders): the layout works on the outer size, as the design does.
constexpr float kFrameWidthTwips = 130;
constexpr float kFrameHeightTwips = 765;
constexpr float kDesignWidthTwips = 11650;
constexpr float kDesignHeightTwips = 9555;

QScrollBar* makeScrollBar(Qt::Orientation o, QWidget* parent, const QString& name) {
    auto* bar = ui::named(new QScrollBar(o, parent), name);
    bar->setRange(0, 3);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->hide();
    return bar;
}

} // namespace

MainWindow::MainWindow(store::Collection& collection) : m_collection(collection) {
    setObjectName(QStringLiteral("frmMain"));
    setFont(ui::windowFont());
    buildWindow();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWindow() {
    m_central = ui::named(new QWidget(this), QStringLiteral("clientArea"));
    setCentralWidget(m_central);

    m_scrollable = ui::named(new QWidget(m_central), QStringLiteral("picScrollable"));
    ui::placeTwips(m_scrollable, 0, 0, 11295, 8490);

    m_editor = new ItemEditor(m_scrollable);
    m_home = new HomePage(m_scrollable, m_collection);
    m_detailedInfo = buildDetailedInfoPanel(m_scrollable, *m_editor);
    m_strip = new PictureStrip(m_scrollable, *m_editor);
    m_comments = buildCommentsPanel(m_scrollable, *m_editor);
    m_online = buildOnlineFeaturesPanel(m_scrollable, *m_editor);
    for (QFrame* panel : {m_detailedInfo, m_strip->frame(), m_comments, m_online}) {
        panel->move(0, 0);
        panel->hide();
    }

    m_nav = new NavigationBars(m_central, [this](Panel p) { return isPanelShown(p); });
    connect(m_nav, &NavigationBars::panelChosen, this, [this](Panel p) { showDetailPanel(p); });

    m_corner = ui::named(new QFrame(m_central), QStringLiteral("picUpperLeftCorner"));
    ui::placeTwips(m_corner, 0, 0, 2285, 1452);
    m_corner->setFocusPolicy(Qt::StrongFocus);
    m_cornerImage = ui::named(new QLabel(m_corner), QStringLiteral("imgUpperLeftCorner"));
    m_cornerImage->setGeometry(m_corner->rect());
    m_cornerImage->setScaledContents(true);

    m_vScroll = makeScrollBar(Qt::Vertical, m_central, QStringLiteral("VScroll1"));
    m_hScroll = makeScrollBar(Qt::Horizontal, m_central, QStringLiteral("HScroll2"));
    ui::placeTwips(m_vScroll, 11520, 0, 255, 8535);
    ui::placeTwips(m_hScroll, 1680, 9480, 9015, 255);
    connect(m_vScroll, &QScrollBar::valueChanged, this, [this] { onVerticalScroll(); });
    connect(m_hScroll, &QScrollBar::valueChanged, this, [this] { onHorizontalScroll(); });

    connect(m_home, &HomePage::collectionListRequested, this, &MainWindow::showCollectionList);
    connect(m_home, &HomePage::openCardRequested, this, [this](int n) {
        if (const auto item = m_home->cardItem(n)) {
            openItem(*item);
        }
    });
    const auto focusCorner = [this] {
        if (m_corner->isVisible()) {
            m_corner->setFocus();
        }
    };
    connect(m_strip, &PictureStrip::scrolled, this, focusCorner);
    connect(m_strip, &PictureStrip::thumbnailClicked, this, focusCorner);
    connect(m_strip, &PictureStrip::pictureListChanged, this,
            &MainWindow::cornerAfterPictureChange);
    connect(m_strip, &PictureStrip::fullSizeRequested, this, &MainWindow::showPictureFullSize);

    connect(m_editor, &ItemEditor::descriptionChanged, this, &MainWindow::setPanelTitles);
    connect(m_editor, &ItemEditor::selectionResettingBoxFocused, this,
            &MainWindow::resetPictureSelection);

    m_commands = new ItemCommands(*m_editor, m_collection, *this, this);
    auto* collectionCommands = new CollectionCommands(m_collection, *this, this);
    m_menus =
        new MainMenus(menuBar(), *this, *m_commands, *collectionCommands, *m_editor, m_collection);
    wireHelpMenu(m_menus->menu(QStringLiteral("mnuHelp")), this);

    // The content lies beneath the bars and the corner picture.
    m_nav->itemBar()->raise();
    m_nav->homeBar()->raise();
    m_corner->raise();
    m_vScroll->raise();
    m_hScroll->raise();
}

float MainWindow::outerWidthTwips() const {
    return static_cast<float>(ui::twips(m_central->width())) + kFrameWidthTwips;
}

float MainWindow::outerHeightTwips() const {
    return static_cast<float>(ui::twips(m_central->height())) + kFrameHeightTwips;
}

void MainWindow::load() {
    app::Guard guard;
    m_loaded = true;
    // A stored edge that is not a number leaves the design's.
    int left = ui::px(1000);
    int top = ui::px(1000);
    guard.step([&] {
        left = ui::px(app::cLng(
            platform::settings().get(QStringLiteral("MainLeft")).value_or(QStringLiteral("1000"))));
    });
    guard.step([&] {
        top = ui::px(app::cLng(
            platform::settings().get(QStringLiteral("MainTop")).value_or(QStringLiteral("1000"))));
    });
    move(left, top);
    resize(ui::px(kDesignWidthTwips - kFrameWidthTwips),
           ui::px(kDesignHeightTwips - kFrameHeightTwips) + menuBar()->sizeHint().height());
    // The inner area takes its size now, before the window is first shown.
    layout()->activate();

    m_scrollable->move(0, m_scrollable->y());
    m_hScroll->setValue(0);
    layoutWindow();
    m_home->frame()->move(0, 0);
    m_nav->itemBar()->move(m_nav->itemBar()->x(), 0);
    m_nav->homeBar()->move(m_nav->homeBar()->x(), 0);
    m_home->frame()->show();
    showHomePage();
    applyColourScheme();
    m_strip->removeThumbnailFrameBorders();
    m_home->fillFilterList();
    setWindowTitle(app::captionText());
}

void MainWindow::applyColourScheme() {
    ui::setBackground(this, ui::kWhite);
    ui::setBackground(m_central, ui::kWhite);
    // The window's frames are the controls named "frame..." or "frm...".
    for (QFrame* frame : m_central->findChildren<QFrame*>()) {
        const QString name = frame->objectName();
        if (name.startsWith(QLatin1String("frame")) || name.startsWith(QLatin1String("frm"))) {
            ui::setBackground(frame, ui::kWhite);
        }
    }
    ui::setBackground(m_nav->itemBar(), ui::kBarGrey);
    ui::setBackground(m_nav->homeBar(), ui::kBarGrey);
}

void MainWindow::setScrollableHeight(float twips) {
    m_scrollableHeight = twips;
    m_scrollable->resize(m_scrollable->width(), std::max(ui::px(twips), 0));
}

void MainWindow::layoutWindow() {
    app::Guard guard;
    ui::LayoutInput in;
    in.W = outerWidthTwips();
    in.H = outerHeightTwips();
    in.SW = static_cast<float>(ui::twips(m_central->width()));
    in.SH = static_cast<float>(ui::twips(m_central->height()));
    in.scrollableHeight = m_scrollableHeight;
    in.vScrollVisible = !m_vScroll->isHidden();
    in.vScrollPosition = m_vScroll->value();
    in.hScrollPosition = m_hScroll->value();
    const ui::LayoutResult r = ui::computeLayout(in);

    guard.step([&] {
        if (r.frameHomeHeight < 0) {
            app::raise(app::kInvalidPropertyValue);
        }
        m_homeFrameHeight = r.frameHomeHeight;
        m_home->frame()->resize(m_home->frame()->width(), ui::px(r.frameHomeHeight));
    });
    guard.step([&] {
        if (r.navigationWidth < 0) {
            app::raise(app::kInvalidPropertyValue);
        }
        m_nav->setWidth(ui::px(r.navigationWidth));
    });
    m_hScroll->setVisible(r.hScrollVisible);
    m_vScroll->setVisible(r.vScrollVisible);
    guard.step([&] {
        if (r.vScrollHeight < 0) {
            app::raise(app::kInvalidPropertyValue);
        }
        m_vScroll->setGeometry(ui::px(r.vScrollLeft), ui::px(r.vScrollTop), ui::px(255),
                               ui::px(r.vScrollHeight));
    });
    guard.step([&] {
        if (r.hScrollWidth < 0) {
            app::raise(app::kInvalidPropertyValue);
        }
        m_hScroll->setGeometry(ui::px(r.hScrollLeft), ui::px(r.hScrollTop), ui::px(r.hScrollWidth),
                               ui::px(255));
    });
    // A hidden bar goes back to 0 through its own handler.
    onVerticalScroll();
    onHorizontalScroll();
    m_scrollable->move(ui::px(r.scrollableLeft), m_scrollable->y());
    if (m_view == View::CollectionList) {
        // The list scrolls by itself.
        m_vScroll->hide();
        m_hScroll->hide();
        placeCollectionList();
    }
}

void MainWindow::onVerticalScroll() {
    if (m_vScroll->isHidden() && m_vScroll->value() != 0) {
        m_vScroll->setValue(0); // runs this handler again
        return;
    }
    const float top = ui::scrolledTop(outerHeightTwips(), m_scrollableHeight,
                                      !m_vScroll->isHidden(), m_vScroll->value());
    m_scrollable->move(m_scrollable->x(), ui::px(top));
}

void MainWindow::onHorizontalScroll() {
    if (m_hScroll->isHidden() && m_hScroll->value() != 0) {
        m_hScroll->setValue(0);
        return;
    }
    const float left =
        ui::scrolledLeft(outerWidthTwips(), 11295, !m_hScroll->isHidden(), m_hScroll->value());
    m_scrollable->move(ui::px(left), m_scrollable->y());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Sizes seen while the window is still being built are not the window's.
    if (m_loaded) {
        layoutWindow();
    }
}

bool MainWindow::event(QEvent* event) {
    // A closed dialog hands the keyboard back; without a window manager
    // nothing else would, and the menu letters would wait for a click.
    if (event->type() == QEvent::WindowUnblocked && isVisible()) {
        activateWindow();
    }
    // Coming back from another program, which may have rewritten the collection.
    if (event->type() == QEvent::WindowActivate && m_loaded) {
        QMetaObject::invokeMethod(
            this, [this] { m_commands->readAgainIfChanged(); }, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    app::Guard guard;
    bool cancel = false;
    guard.step([&] {
        if (isHomePageShown() || isCollectionListShown()) {
            return;
        }
        if (!m_editor->hasUnsavedChanges()) {
            showHomePage();
            return;
        }
        switch (ItemCommands::askAboutUnsavedChanges()) {
        case platform::Answer::Yes:
            // Edits that did not reach the file keep the window open.
            if (m_commands->save()) {
                showHomePage();
            } else {
                cancel = true;
            }
            break;
        case platform::Answer::No:
            showHomePage();
            break;
        default:
            cancel = true;
            break;
        }
    });
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (*it != this && (*it)->isVisible()) {
            (*it)->close();
        }
    }
    if (!isMinimized()) {
        storePlacement();
        if (m_list != nullptr) {
            m_list->storeSettings();
        }
    }
    if (cancel) {
        event->ignore();
    } else {
        event->accept();
    }
}

void MainWindow::setPanelTitles(const QString& text) {
    for (QLabel* title : m_scrollable->findChildren<QLabel*>(QStringLiteral("lblBigDescription"))) {
        title->setText(text);
    }
}

void MainWindow::storePlacement() {
    app::Guard guard;
    const QPoint at = pos();
    const struct {
        const char* key;
        double value;
    } placement[] = {{"MainLeft", ui::twips(at.x())},
                     {"MainTop", ui::twips(at.y())},
                     {"MainWidth", outerWidthTwips()},
                     {"MainHeight", outerHeightTwips()}};
    for (const auto& p : placement) {
        guard.step([&] {
            if (!platform::settings().set(QString::fromLatin1(p.key),
                                          QString::number(std::lround(p.value)))) {
                app::raise(app::kPermissionDenied);
            }
        });
    }
}
