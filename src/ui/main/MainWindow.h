#pragma once

#include "ui/edit/CommandWindow.h"
#include "ui/main/Navigation.h"

#include <QMainWindow>

class QFrame;
class QLabel;
class QScrollBar;
class HomePage;
class ItemCommands;
class ItemEditor;
class MainMenus;
class PictureStrip;
namespace store {
class Collection;
}

// The main window (frmMain): the corner picture, the two navigation bars, the
// scrolling area with the home page and the four item panels, and the menu
// bar. It shows the collection on the home page and one item at a time in
// the editor's boxes.
class MainWindow : public QMainWindow, public CommandWindow {
    Q_OBJECT
public:
    explicit MainWindow(store::Collection& collection);
    ~MainWindow() override;

    // The window's start-up: placement, colours, filter list, caption.
    void load();

    // Opening an item and the way back to the home page.
    void openItem(qsizetype position) override;
    void showHomePage() override;
    void showNewItem() override;
    void refillHomePageFromFirstItem() override;
    void collectionReadAgain() override;
    void deleteSelectedPicture() override;
    void viewSelectedPictureFullSize() override;
    // The picture named so, relative to the program folder, in the full-size window.
    void showPictureFullSize(const QString& name);

    // Panels.
    void showDetailPanel(Panel p);
    void hideAllPanels();
    void resetPictureSelection();
    bool isPanelShown(Panel p) const;
    bool isHomePageShown() const override;

    // What the commands and menus read of the window.
    std::optional<ChosenItem> chosenItem() const override;
    bool isCoinImagesShown() const override { return isPanelShown(Panel::CoinImages); }
    bool isThumbnailSelected() const override;
    std::optional<std::vector<qsizetype>> shownItems() const override { return std::nullopt; }

    // Layout on resize and the two scroll handlers.
    void layoutWindow();
    void onVerticalScroll();
    void onHorizontalScroll();

    HomePage& homePage() const { return *m_home; }
    ItemEditor& editor() const { return *m_editor; }
    PictureStrip& pictureStrip() const { return *m_strip; }
    MainMenus& menus() const { return *m_menus; }
    ItemCommands& commands() const { return *m_commands; }

    // The outer size in twips as the layout sees it.
    float outerWidthTwips() const;
    float outerHeightTwips() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void applyColourScheme();
    void setCornerPicture(const QString& pathText);
    void cornerFollowsFirstThumbnail();
    // After a picture was added or removed: thumbnail 1's picture while its
    // frame is on show, otherwise the default item picture.
    void cornerAfterPictureChange();
    QFrame* panelFrame(Panel p) const;
    void setScrollableHeight(float twips);
    void storePlacement();
    // The four panel titles (lblBigDescription 0 to 3).
    void setPanelTitles(const QString& text);

    store::Collection& m_collection;
    QWidget* m_central = nullptr;
    QFrame* m_corner = nullptr;      // picUpperLeftCorner
    QLabel* m_cornerImage = nullptr; // imgUpperLeftCorner
    QWidget* m_scrollable = nullptr; // picScrollable
    QScrollBar* m_vScroll = nullptr; // VScroll1
    QScrollBar* m_hScroll = nullptr; // HScroll2
    ItemEditor* m_editor = nullptr;
    HomePage* m_home = nullptr;
    PictureStrip* m_strip = nullptr;
    NavigationBars* m_nav = nullptr;
    ItemCommands* m_commands = nullptr;
    MainMenus* m_menus = nullptr;
    QFrame* m_detailedInfo = nullptr;
    QFrame* m_comments = nullptr;
    QFrame* m_online = nullptr;

    // Item number on home page card 1 when the last item was opened.
    qsizetype m_homePageFirstItem = 0;
    bool m_loaded = false;
    float m_scrollableHeight = 0;   // twips
    float m_homeFrameHeight = 8490; // twips
};
