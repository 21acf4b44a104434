#include "ui/main/MainWindow.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "online/OnlineFeatures.h"
#include "platform/Platform.h"
#include "store/ItemRecord.h"
#include "ui/edit/ItemCommands.h"
#include "ui/edit/MainMenus.h"
#include "ui/main/Controls.h"
#include "ui/main/DetailPanels.h"
#include "ui/main/HomePage.h"
#include "ui/main/Layout.h"
#include "ui/main/PictureLoading.h"
#include "ui/main/Twips.h"
#include "ui/pictures/PictureStrip.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

// The classic window frame around the inner area (caption, menu bar and
// borders): the layout works on the outer size, as the design does.
constexpr float kFrameWidthTwips = 130;
constexpr float kFrameHeightTwips = 765;
constexpr float kDesignWidthTwips = 11650;
constexpr float kDesignHeightTwips = 9555;

QScrollBar* MakeScrollBar(Qt::Orientation o, QWidget* parent, const QString& name) {
    auto* bar = ui::Named(new QScrollBar(o, parent), name);
    bar->setRange(0, 3);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->hide();
    return bar;
}

} // namespace

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);
    BuildWindow();
    store::SetItemWindow(this);
}

frmMain::~frmMain() {
    store::SetItemWindow(nullptr);
}

void frmMain::BuildWindow() {
    m_central = ui::Named(new QWidget(this), QStringLiteral("clientArea"));
    setCentralWidget(m_central);

    m_scrollable = ui::Named(new QWidget(m_central), QStringLiteral("picScrollable"));
    ui::PlaceTwips(m_scrollable, 0, 0, 11295, 8490);

    // The field boxes must exist in the record's key order, so the panels are
    // built first and the order is taken from the key list.
    m_home = new HomePage(m_scrollable);
    m_detailedInfo = BuildDetailedInfoPanel(m_scrollable);
    m_strip = new PictureStrip(m_scrollable);
    m_comments = BuildCommentsPanel(m_scrollable);
    m_online = BuildOnlineFeaturesPanel(m_scrollable, this);
    for (QFrame* panel : {m_detailedInfo, m_strip->frame(), m_comments, m_online}) {
        panel->move(0, 0);
        panel->hide();
    }
    for (const QString& key : store::ItemRecordKeys()) {
        if (QWidget* w = m_scrollable->findChild<QWidget*>(key)) {
            m_controls.push_back(w);
        }
    }
    m_controls.push_back(m_home->filterBox());

    m_nav = new NavigationBars(m_central, [this](Panel p) { return IsPanelShown(p); });
    connect(m_nav, &NavigationBars::panelChosen, this, [this](Panel p) { ShowDetailPanel(p); });

    m_corner = ui::Named(new QFrame(m_central), QStringLiteral("picUpperLeftCorner"));
    ui::PlaceTwips(m_corner, 0, 0, 2285, 1452);
    m_corner->setFocusPolicy(Qt::StrongFocus);
    m_cornerImage = ui::Named(new QLabel(m_corner), QStringLiteral("imgUpperLeftCorner"));
    m_cornerImage->setGeometry(m_corner->rect());
    m_cornerImage->setScaledContents(true);

    m_vScroll = MakeScrollBar(Qt::Vertical, m_central, QStringLiteral("VScroll1"));
    m_hScroll = MakeScrollBar(Qt::Horizontal, m_central, QStringLiteral("HScroll2"));
    ui::PlaceTwips(m_vScroll, 11520, 0, 255, 8535);
    ui::PlaceTwips(m_hScroll, 1680, 9480, 9015, 255);
    connect(m_vScroll, &QScrollBar::valueChanged, this, [this] { OnVerticalScroll(); });
    connect(m_hScroll, &QScrollBar::valueChanged, this, [this] { OnHorizontalScroll(); });

    connect(&homePage(), &HomePage::openCardRequested, this, [this](int n) {
        QString description = m_home->CardLine1(n);
        OpenItemByDescription(description);
    });
    connect(&pictureStrip(), &PictureStrip::scrolled, this, [this] {
        if (m_corner->isVisible()) {
            m_corner->setFocus();
        }
    });

    m_menus = new MainMenus(this);

    // The content lies beneath the bars and the corner picture.
    m_nav->itemBar()->raise();
    m_nav->homeBar()->raise();
    m_corner->raise();
    m_vScroll->raise();
    m_hScroll->raise();
}

float frmMain::OuterWidthTwips() const {
    return static_cast<float>(ui::Twips(m_central->width())) + kFrameWidthTwips;
}

float frmMain::OuterHeightTwips() const {
    return static_cast<float>(ui::Twips(m_central->height())) + kFrameHeightTwips;
}

void frmMain::Load() {
    app::Guard guard;
    m_loaded = true;
    int left = ui::Px(1000);
    int top = ui::Px(1000);
    guard.step([&] {
        left = ui::Px(app::CLng(
            platform::settings().get(QStringLiteral("MainLeft")).value_or(QStringLiteral("1000"))));
    });
    guard.step([&] {
        top = ui::Px(app::CLng(
            platform::settings().get(QStringLiteral("MainTop")).value_or(QStringLiteral("1000"))));
    });
    guard.step([&] {
        move(left, top);
        resize(ui::Px(kDesignWidthTwips - kFrameWidthTwips),
               ui::Px(kDesignHeightTwips - kFrameHeightTwips) + menuBar()->sizeHint().height());
        // The inner area takes its size now, before the window is first shown.
        layout()->activate();
    });
    guard.step([&] {
        m_scrollable->move(0, m_scrollable->y());
        m_hScroll->setValue(0);
        LayoutWindow();
    });
    guard.step([&] {
        m_home->frame()->move(0, 0);
        m_nav->itemBar()->move(m_nav->itemBar()->x(), 0);
        m_nav->homeBar()->move(m_nav->homeBar()->x(), 0);
        m_home->frame()->show();
    });
    guard.step([&] { ShowHomePage(); });
    guard.step([&] { ApplyColourScheme(); });
    guard.step([&] { m_strip->RemoveThumbnailFrameBorders(); });
    guard.step([&] { m_home->FillFilterList(); });
    guard.step([&] { setWindowTitle(app::CaptionText()); });
}

void frmMain::ApplyColourScheme() {
    ui::SetBackground(this, ui::kWhite);
    ui::SetBackground(m_central, ui::kWhite);
    // The window's frames are the controls named "frame..." or "frm...".
    for (QFrame* frame : m_central->findChildren<QFrame*>()) {
        const QString name = frame->objectName();
        if (name.startsWith(QLatin1String("frame")) || name.startsWith(QLatin1String("frm"))) {
            ui::SetBackground(frame, ui::kWhite);
        }
    }
    ui::SetBackground(m_nav->itemBar(), ui::kBarGrey);
    ui::SetBackground(m_nav->homeBar(), ui::kBarGrey);
}

void frmMain::SetScrollableHeight(float twips) {
    m_scrollableHeight = twips;
    m_scrollable->resize(m_scrollable->width(), std::max(ui::Px(twips), 0));
}

void frmMain::LayoutWindow() {
    app::Guard guard;
    ui::LayoutInput in;
    in.W = OuterWidthTwips();
    in.H = OuterHeightTwips();
    in.SW = static_cast<float>(ui::Twips(m_central->width()));
    in.SH = static_cast<float>(ui::Twips(m_central->height()));
    in.scrollableHeight = m_scrollableHeight;
    in.vScrollVisible = !m_vScroll->isHidden();
    in.vScrollPosition = m_vScroll->value();
    in.hScrollPosition = m_hScroll->value();
    const ui::LayoutResult r = ui::ComputeLayout(in);

    guard.step([&] {
        if (r.frameHomeHeight < 0) {
            app::Raise(app::kInvalidPropertyValue);
        }
        m_homeFrameHeight = r.frameHomeHeight;
        m_home->frame()->resize(m_home->frame()->width(), ui::Px(r.frameHomeHeight));
    });
    guard.step([&] {
        if (r.navigationWidth < 0) {
            app::Raise(app::kInvalidPropertyValue);
        }
        m_nav->SetWidth(ui::Px(r.navigationWidth));
    });
    m_hScroll->setVisible(r.hScrollVisible);
    m_vScroll->setVisible(r.vScrollVisible);
    guard.step([&] {
        if (r.vScrollHeight < 0) {
            app::Raise(app::kInvalidPropertyValue);
        }
        m_vScroll->setGeometry(ui::Px(r.vScrollLeft), ui::Px(r.vScrollTop), ui::Px(255),
                               ui::Px(r.vScrollHeight));
    });
    guard.step([&] {
        if (r.hScrollWidth < 0) {
            app::Raise(app::kInvalidPropertyValue);
        }
        m_hScroll->setGeometry(ui::Px(r.hScrollLeft), ui::Px(r.hScrollTop), ui::Px(r.hScrollWidth),
                               ui::Px(255));
    });
    // A hidden bar goes back to 0 through its own handler.
    OnVerticalScroll();
    OnHorizontalScroll();
    m_scrollable->move(ui::Px(r.scrollableLeft), m_scrollable->y());
}

void frmMain::OnVerticalScroll() {
    if (m_vScroll->isHidden() && m_vScroll->value() != 0) {
        m_vScroll->setValue(0); // runs this handler again
        return;
    }
    const float top = ui::ScrolledTop(OuterHeightTwips(), m_scrollableHeight,
                                      !m_vScroll->isHidden(), m_vScroll->value());
    m_scrollable->move(m_scrollable->x(), ui::Px(top));
}

void frmMain::OnHorizontalScroll() {
    if (m_hScroll->isHidden() && m_hScroll->value() != 0) {
        m_hScroll->setValue(0);
        return;
    }
    const float left =
        ui::ScrolledLeft(OuterWidthTwips(), 11295, !m_hScroll->isHidden(), m_hScroll->value());
    m_scrollable->move(ui::Px(left), m_scrollable->y());
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Sizes seen while the window is still being built are not the window's.
    if (m_loaded) {
        LayoutWindow();
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    app::Guard guard;
    bool cancel = false;
    guard.step([&] {
        if (IsHomePageShown()) {
            return;
        }
        TakeCurrentSnapshot();
        if (!HasUnsavedChanges()) {
            ShowHomePage();
            return;
        }
        switch (AskAboutUnsavedChanges()) {
        case platform::Answer::Yes:
            store::SaveAllItems(-1);
            ShowHomePage();
            break;
        case platform::Answer::No:
            ShowHomePage();
            break;
        default:
            cancel = true;
            break;
        }
    });
    guard.step([&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
            if (*it != this && (*it)->isVisible()) {
                (*it)->close();
            }
        }
    });
    guard.step([&] {
        if (!isMinimized()) {
            StorePlacement();
        }
    });
    if (cancel) {
        event->ignore();
    } else {
        event->accept();
    }
}

void frmMain::StorePlacement() {
    app::Guard guard;
    const QPoint at = pos();
    const struct {
        const char* key;
        double value;
    } placement[] = {{"MainLeft", ui::Twips(at.x())},
                     {"MainTop", ui::Twips(at.y())},
                     {"MainWidth", OuterWidthTwips()},
                     {"MainHeight", OuterHeightTwips()}};
    for (const auto& p : placement) {
        guard.step([&] {
            if (!platform::settings().set(QString::fromLatin1(p.key),
                                          QString::number(std::lround(p.value)))) {
                app::Raise(app::kPermissionDenied);
            }
        });
    }
}

void frmMain::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void frmMain::stampRecordLastUpdated(const QString& when) {
    if (auto* box = findChild<QLineEdit*>(QStringLiteral("txtRecordLastUpdated"))) {
        box->setText(when);
    }
}

std::vector<store::FieldBox> frmMain::fieldBoxes() const {
    std::vector<store::FieldBox> boxes;
    for (QWidget* w : m_controls) {
        store::FieldBox box;
        box.name = w->objectName();
        box.enabled = w->isEnabled();
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            box.text = line->text();
        } else if (auto* notes = qobject_cast<QPlainTextEdit*>(w)) {
            box.text = notes->toPlainText();
        } else if (auto* combo = qobject_cast<QComboBox*>(w);
                   combo && store::IsAttributeChoice(box.name)) {
            box.kind = store::FieldBox::Kind::Choice;
            box.chosenRow = combo->currentIndex();
            box.text = combo->currentIndex() >= 0 ? combo->currentText() : QString();
        } else {
            continue;
        }
        boxes.push_back(box);
    }
    return boxes;
}
