#include "ui/main/Navigation.h"

#include "app/Constants.h"
#include "ui/common/Controls.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/Twips.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace {

struct LinkDesign {
    const char* name;
    const char* caption;
    double left;
    double width;
    const char* clickArea; // nullptr: chosen through the link only
};

// Lefts are the design's; widths fill each link's slot of the bar.
constexpr std::array<LinkDesign, 4> kLinks = {{
    {"lblDetailedInfo", "Detailed Information", 420, 2190, "imgDetailedInfo"},
    {"lblCoinImages", "Coin Images", 2670, 1845, "imgCoinImages"},
    {"lblComments", "Comments & Notes", 4575, 1875, "imgComments"},
    {"lblOnlineStuff", "Online Features", 6510, 2000, nullptr},
}};

QFrame* makeBar(QWidget* parent, const QString& name) {
    auto* bar = ui::named(new QFrame(parent), name);
    ui::placeTwips(bar, 2280, 0, 10215, 610);
    ui::setBackground(bar, ui::kBarGrey);
    return bar;
}

QFrame* makeBottomLine(QFrame* bar, const QString& name) {
    auto* line = ui::named(new QFrame(bar), name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    ui::setTextColour(line, QColor(0x80, 0x80, 0x80));
    line->setGeometry(0, ui::px(610) - 1, bar->width(), 1);
    return line;
}

} // namespace

NavigationBars::NavigationBars(QWidget* parent, std::function<bool(Panel)> isShown)
    : QObject(parent), m_isShown(std::move(isShown)) {
    m_itemBar = makeBar(parent, QStringLiteral("frameNavigation"));
    m_homeBar = makeBar(parent, QStringLiteral("frameHomeNavigation"));

    const QFont linkFont = ui::cardFont();
    for (int i = 0; i < 4; ++i) {
        const LinkDesign& d = kLinks[static_cast<std::size_t>(i)];
        if (d.clickArea) {
            auto* area = ui::named(new QLabel(m_itemBar), QString::fromLatin1(d.clickArea));
            ui::placeTwips(area, d.left - 60, 0, d.width + 120, 615);
            area->installEventFilter(this);
            m_clickAreas[static_cast<std::size_t>(i)] = area;
        }
        auto* link = ui::named(new LinkLabel(QString::fromLatin1(d.caption), m_itemBar),
                               QString::fromLatin1(d.name));
        ui::placeTwips(link, d.left, 30, d.width, 495);
        link->setAlignment(Qt::AlignCenter);
        link->setFont(linkFont);
        ui::setTextColour(link, ui::kNavy);
        m_links[static_cast<std::size_t>(i)] = link;
        wireLink(static_cast<Panel>(i));
    }

    auto* title = ui::named(new QLabel(app::kTitle, m_homeBar), QStringLiteral("lblHomeTitle"));
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setStyleHint(QFont::Serif);
    serif.setPointSize(20);
    serif.setBold(true);
    title->setFont(serif);
    ui::setTextColour(title, ui::kNavy);
    ui::placeTwips(title, 300, 0, 6000, 600);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_itemLine = makeBottomLine(m_itemBar, QStringLiteral("lineNavigationBottom"));
    m_homeLine = makeBottomLine(m_homeBar, QStringLiteral("lineHomeNavigationBottom"));
}

void NavigationBars::wireLink(Panel p) {
    LinkLabel* link = m_links[static_cast<std::size_t>(p)];
    const bool detailed = p == Panel::DetailedInfo;
    connect(link, &LinkLabel::pointerEntered, this, [=, this] {
        if (m_isShown(p)) {
            link->setCursor(Qt::ArrowCursor);
            return;
        }
        link->setCursor(Qt::PointingHandCursor);
        if (!detailed) {
            ui::setTextColour(link, ui::kLinkHover);
        }
        ui::setUnderline(link, true);
    });
    connect(link, &LinkLabel::pointerLeft, this, [=, this] {
        if (m_isShown(p)) {
            return;
        }
        ui::setUnderline(link, false);
        ui::setTextColour(link, detailed ? QColor(0, 0, 0) : ui::kNavy);
    });
    connect(link, &LinkLabel::releasedInside, this, [=, this] {
        if (m_isShown(p)) {
            return;
        }
        ui::setUnderline(link, false);
        if (!detailed) {
            ui::setTextColour(link, ui::kNavy);
        }
        emit panelChosen(p);
    });
}

bool NavigationBars::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t i = 0; i < m_clickAreas.size(); ++i) {
            if (watched == m_clickAreas[i]) {
                emit panelChosen(static_cast<Panel>(i));
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void NavigationBars::setWidth(int pixels) {
    for (QFrame* bar : {m_itemBar, m_homeBar}) {
        bar->resize(std::max(pixels, 0), bar->height());
    }
    m_itemLine->resize(m_itemBar->width(), 1);
    m_homeLine->resize(m_homeBar->width(), 1);
}

void NavigationBars::resetLinks() {
    for (LinkLabel* link : m_links) {
        ui::setUnderline(link, false);
        ui::setTextColour(link, ui::kNavy);
    }
}

void NavigationBars::markCurrent(Panel p) {
    LinkLabel* link = m_links[static_cast<std::size_t>(p)];
    ui::setUnderline(link, false);
    ui::setTextColour(link, ui::kLinkHover);
    link->setCursor(Qt::ArrowCursor);
}
