// Choosing the item panel on show, and the shared resets.
#include "app/ErrorLog.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QFrame>
#include <QLineEdit>

namespace {
struct PanelDesign {
    float height; // twips
    bool focusCorner;
};
constexpr PanelDesign kPanels[] = {
    {9330, false}, // Detailed Information: focus to the description box
    {8490, true},  // Coin Images
    {8850, false}, // Comments & Notes: focus unchanged
    {8640, true},  // Online Features
};
} // namespace

QFrame* MainWindow::panelFrame(Panel p) const {
    switch (p) {
    case Panel::DetailedInfo:
        return m_detailedInfo;
    case Panel::CoinImages:
        return m_strip->frame();
    case Panel::Comments:
        return m_comments;
    case Panel::OnlineStuff:
        break;
    }
    return m_online;
}

bool MainWindow::isPanelShown(Panel p) const {
    return !panelFrame(p)->isHidden();
}
bool MainWindow::isHomePageShown() const {
    return !m_home->frame()->isHidden();
}

void MainWindow::showDetailPanel(Panel p) {
    app::Guard guard;
    if (isPanelShown(p)) {
        return;
    }
    const PanelDesign& design = kPanels[static_cast<int>(p)];
    guard.step([&] { hideAllPanels(); });
    guard.step([&] { panelFrame(p)->show(); });
    guard.step([&] { m_nav->markCurrent(p); });
    guard.step([&] { setScrollableHeight(design.height); });
    guard.step([&] { layoutWindow(); });
    guard.step([&] {
        if (p == Panel::DetailedInfo) {
            if (auto* box = findChild<QLineEdit*>(QStringLiteral("txtDescription"))) {
                box->setFocus();
            }
        } else if (design.focusCorner && m_corner->isVisible()) {
            m_corner->setFocus();
        }
    });
}

void MainWindow::hideAllPanels() {
    app::Guard guard;
    guard.step([&] {
        m_home->frame()->hide();
        m_comments->hide();
        m_detailedInfo->hide();
        m_strip->frame()->hide();
        m_online->hide();
    });
    guard.step([&] { resetPictureSelection(); });
    guard.step([&] { m_nav->resetLinks(); });
}

void MainWindow::resetPictureSelection() {
    m_strip->resetPictureSelection();
}
