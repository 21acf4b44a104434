// Opening an item from the collection into the editor, and the way back to
// the home page.
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "store/Collection.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/list/CollectionList.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>
#include <QTreeView>

void MainWindow::openItem(qsizetype position) {
    app::Guard guard;
    if (m_view != View::Item) {
        m_itemOpenedFrom = m_view;
    }
    m_view = View::Item;
    // A card tag that is not a number leaves the page to come back to as it was.
    guard.step([&] { m_homePageFirstItem = app::cLng(m_home->cardTag(1)); });
    m_editor->setPictures({});
    resetPictureSelection();
    m_strip->clearThumbnails();
    m_editor->clearItemFields();
    guard.step([&] {
        m_editor->setPosition(position);
        m_editor->loadItemIntoWindow(m_collection.record(position));
    });
    m_strip->scrollBar()->setValue(0);
    m_strip->fillPictureStrip();
    m_editor->takeCleanSnapshot();
    showDetailPanel(Panel::DetailedInfo);
    m_nav->itemBar()->show();
    m_nav->homeBar()->hide();
    guard.step([&] { cornerFollowsFirstThumbnail(); });
}

void MainWindow::showNewItem() {
    if (m_view != View::Item) {
        m_itemOpenedFrom = m_view;
    }
    m_view = View::Item;
    resetPictureSelection();
    m_strip->clearThumbnails();
    m_strip->scrollBar()->setValue(0);
    m_strip->fillPictureStrip();
    showDetailPanel(Panel::DetailedInfo);
    m_nav->itemBar()->show();
    m_nav->homeBar()->hide();
    app::Guard guard;
    guard.step([&] { setCornerPicture(app::defaultImagePath()); });
    // Until the description box changes.
    for (QLabel* title : m_scrollable->findChildren<QLabel*>(QStringLiteral("lblBigDescription"))) {
        if (title->property("index").toInt() == 0) {
            title->setText(QStringLiteral("Add New Item"));
        }
    }
}

void MainWindow::refillHomePageFromFirstItem() {
    if (m_view == View::CollectionList) {
        m_list->refresh();
        return;
    }
    m_home->loadPropertiesOnMainPage(1);
}

void MainWindow::collectionReadAgain() {
    if (isHomePageShown()) {
        m_home->selectCard(-1);
        m_home->loadPropertiesOnMainPage(m_homePageFirstItem, m_home->filterRow());
    } else if (isCollectionListShown()) {
        m_list->refresh();
    }
}

void MainWindow::deleteSelectedPicture() {
    m_strip->deleteSelectedPicture();
}

void MainWindow::pastePicture() {
    m_strip->pastePicture();
}

void MainWindow::cornerAfterPictureChange() {
    app::Guard guard;
    guard.step([&] {
        if (m_strip->thumbnailFrameVisible(1)) {
            cornerFollowsFirstThumbnail();
        } else {
            setCornerPicture(app::defaultImagePath());
        }
    });
}

void MainWindow::cornerFollowsFirstThumbnail() {
    const QPixmap first = m_strip->thumbnailPicture(1);
    if (first.isNull() || first.height() < 1) {
        setCornerPicture(app::defaultImagePath());
        return;
    }
    // Decode the same file again at the corner's size where it can be read.
    const qsizetype number = app::toLong(m_strip->thumbnailTag(1)).value_or(0);
    if (number >= 1 && number <= m_editor->pictures().size()) {
        const ui::LoadedPicture own = ui::loadPictureScaled(
            app::nativePath(app::programPath(m_editor->pictures()[number - 1])),
            m_cornerImage->size(), devicePixelRatioF());
        if (own.status == ui::PictureStatus::Loaded) {
            m_cornerImage->setPixmap(own.pixmap);
            return;
        }
    }
    m_cornerImage->setPixmap(first);
}

void MainWindow::setCornerPicture(const QString& pathText) {
    const ui::LoadedPicture picture = ui::loadPictureScaled(
        app::nativePath(pathText), m_cornerImage->size(), devicePixelRatioF());
    if (picture.status != ui::PictureStatus::Loaded) {
        app::raise(picture.status == ui::PictureStatus::NotAPicture ? app::kFileNotFound
                                                                    : app::kInvalidPicture);
    }
    m_cornerImage->setPixmap(picture.pixmap);
}

void MainWindow::showHomePage() {
    app::Guard guard;
    m_view = View::HomePage;
    m_home->frame()->show();
    setScrollableHeight(m_homeFrameHeight - 660);
    hideAllPanels();
    layoutWindow();
    m_home->frame()->show();
    m_nav->itemBar()->hide();
    m_nav->homeBar()->show();
    guard.step([&] { setCornerPicture(app::defaultImagePath()); });
    if (m_corner->isVisible()) {
        m_corner->setFocus();
    }
    m_homePageFirstItem = std::max<qsizetype>(m_homePageFirstItem, 1);
    m_home->loadPropertiesOnMainPage(m_homePageFirstItem, m_home->filterRow());
}

void MainWindow::showCollectionList() {
    if (m_view == View::Item) {
        return;
    }
    app::Guard guard;
    if (m_list == nullptr) {
        m_list = new CollectionList(m_collection, m_central);
        m_list->restoreSettings();
        connect(m_list, &CollectionList::openRequested, this, &MainWindow::openItem);
        connect(m_list, &CollectionList::homePageRequested, this, &MainWindow::showHomePage);
    }
    m_view = View::CollectionList;
    hideAllPanels();
    setScrollableHeight(0);
    m_nav->itemBar()->hide();
    m_nav->homeBar()->show();
    guard.step([&] { setCornerPicture(app::defaultImagePath()); });
    layoutWindow();
    m_list->show();
    // Beneath the bars and the corner picture, above the empty scrolling area.
    m_list->stackUnder(m_nav->itemBar());
    // The rows get their height now, so bringing the selection into view
    // below measures the real one and the scroll stays where it was.
    m_list->layout()->activate();
    m_list->refresh();
    if (const std::optional<qsizetype> open = m_editor->position();
        open && m_itemOpenedFrom == View::CollectionList) {
        m_list->selectPosition(*open);
    }
    m_list->view()->setFocus();
}

void MainWindow::leaveItem() {
    if (m_itemOpenedFrom == View::CollectionList) {
        m_view = View::CollectionList; // leaves the item before the list shows
        showCollectionList();
    } else {
        showHomePage();
    }
}

void MainWindow::placeCollectionList() {
    const int top = ui::px(610);
    m_list->setGeometry(0, top, m_central->width(), std::max(m_central->height() - top, 0));
    m_list->setCornerSize(QSize(m_corner->width() + 8, m_corner->height() - top));
}

std::optional<std::vector<qsizetype>> MainWindow::shownItems() const {
    if (!isCollectionListShown()) {
        return std::nullopt;
    }
    return m_list->model().shownPositions();
}
