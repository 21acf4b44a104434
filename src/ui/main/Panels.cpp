// Choosing the item panel on show, and the shared resets.
#include "app/TextUtil.h"
#include "store/Collection.h"
#include "ui/edit/ItemEditor.h"
#include "ui/list/CollectionList.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/FullSizeView.h"
#include "ui/pictures/PictureStrip.h"

#include <QFrame>

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
    return m_shownPanel == p;
}
bool MainWindow::isHomePageShown() const {
    return m_view == View::HomePage;
}

bool MainWindow::isCollectionListShown() const {
    return m_view == View::CollectionList;
}

std::optional<ChosenItem> MainWindow::chosenItem() const {
    if (isCollectionListShown()) {
        const std::optional<qsizetype> row = m_list->selectedPosition();
        if (!row || *row >= m_collection.count()) {
            return std::nullopt;
        }
        return ChosenItem{*row, m_collection.record(*row).description()};
    }
    const int card = m_home->highlightedCard();
    const std::optional<qsizetype> item = m_home->cardItem(card);
    if (!isHomePageShown() || !item) {
        return std::nullopt;
    }
    return ChosenItem{*item, m_home->cardLine1(card)};
}

bool MainWindow::isThumbnailSelected() const {
    for (int k = 1; k <= PictureStrip::kThumbnails; ++k) {
        if (m_strip->thumbnailSelected(k)) {
            return true;
        }
    }
    return false;
}

void MainWindow::showDetailPanel(Panel p) {
    if (isPanelShown(p)) {
        return;
    }
    const PanelDesign& design = kPanels[static_cast<int>(p)];
    hideAllPanels();
    panelFrame(p)->show();
    m_shownPanel = p;
    m_nav->markCurrent(p);
    setScrollableHeight(design.height);
    layoutWindow();
    if (p == Panel::DetailedInfo) {
        m_editor->box(store::Field::Description)->setFocus();
    } else if (design.focusCorner && m_corner->isVisible()) {
        m_corner->setFocus();
    }
}

void MainWindow::hideAllPanels() {
    m_shownPanel.reset();
    if (m_list != nullptr) {
        m_list->hide();
    }
    m_home->frame()->hide();
    m_comments->hide();
    m_detailedInfo->hide();
    m_strip->frame()->hide();
    m_online->hide();
    resetPictureSelection();
    m_nav->resetLinks();
}

void MainWindow::resetPictureSelection() {
    m_strip->resetPictureSelection();
}

void MainWindow::viewSelectedPictureFullSize() {
    if (isCoinImagesShown()) {
        if (const int k = m_strip->selectedThumbnail()) {
            m_strip->showThumbnailFullSize(k);
        }
    } else if (isHomePageShown()) {
        if (const int n = m_home->highlightedCard()) {
            showPictureFullSize(m_home->cardPictureTag(n));
        }
    } else if (const std::optional<ChosenItem> chosen = chosenItem()) {
        // As a card shows it: the first picture, or none.
        const QString first = m_collection.record(chosen->position)
                                  .value(store::kFirstPictureKey)
                                  .value_or(QString());
        showPictureFullSize(app::isBlankText(first) ? QStringLiteral("noImageAvailable.jpg")
                                                    : first);
    }
}

void MainWindow::showPictureFullSize(const QString& name) {
    ui::showPictureFullSize(name, this, outerWidthTwips());
}
