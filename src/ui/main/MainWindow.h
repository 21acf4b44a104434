#pragma once

#include "store/ItemDatabase.h"
#include "ui/main/Navigation.h"

#include <QMainWindow>
#include <QStringList>
#include <vector>

class QFrame;
class QLabel;
class QScrollBar;
class HomePage;
class MainMenus;
class PictureStrip;

// The main window: the corner picture, the two navigation bars, the scrolling
// area with the home page and the four item panels, and the menu bar. It
// edits one item at a time in its field boxes.
class MainWindow : public QMainWindow, public store::ItemWindow {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // The window's start-up: placement, colours, filter list, caption.
    void load();

    // Opening, showing and clearing an item.
    void openItemByDescription(QString& sDescription);
    void clearItemFields();
    void loadItemIntoWindow();
    void takeCleanSnapshot() override;
    void takeCurrentSnapshot();
    bool hasUnsavedChanges() const;
    void removeItemByDescription(QString& sDescription);
    void showHomePage();

    // Panels.
    void showDetailPanel(Panel p);
    void hideAllPanels();
    void resetPictureSelection();
    bool isPanelShown(Panel p) const;
    bool isHomePageShown() const;

    // Layout on resize and the two scroll handlers.
    void layoutWindow();
    void onVerticalScroll();
    void onHorizontalScroll();

    // Item commands of the File menu that live here.
    void closeItem();
    void openHighlightedCard();

    // The changed mark: set when the picture list of the open item changes.
    void setChangedMark() { m_changed = true; }

    HomePage& homePage() const { return *m_home; }
    PictureStrip& pictureStrip() const { return *m_strip; }
    NavigationBars& navigation() const { return *m_nav; }
    MainMenus& menus() const { return *m_menus; }
    // Text boxes and combo boxes in the window's creation order.
    const std::vector<QWidget*>& controlsInOrder() const { return m_controls; }

    // The outer size in twips as the layout sees it.
    float outerWidthTwips() const;
    float outerHeightTwips() const;

    // Item index on home page card 1 when the last item was opened.
    qint32 g_nHomePageFirstItem = 0;

    // What the item store needs of the window.
    void setBusy(bool busy) override;
    void stampRecordLastUpdated(const QString& when) override;
    std::vector<store::FieldBox> fieldBoxes() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void applyColourScheme();
    void setCornerPicture(const QString& pathText);
    void cornerFollowsFirstThumbnail();
    QStringList snapshot() const;
    QFrame* panelFrame(Panel p) const;
    void setScrollableHeight(float twips);
    void storePlacement();

    QWidget* m_central = nullptr;
    QFrame* m_corner = nullptr;      // picUpperLeftCorner
    QLabel* m_cornerImage = nullptr; // imgUpperLeftCorner
    QWidget* m_scrollable = nullptr; // picScrollable
    QScrollBar* m_vScroll = nullptr; // VScroll1
    QScrollBar* m_hScroll = nullptr; // HScroll2
    HomePage* m_home = nullptr;
    PictureStrip* m_strip = nullptr;
    NavigationBars* m_nav = nullptr;
    MainMenus* m_menus = nullptr;
    QFrame* m_detailedInfo = nullptr;
    QFrame* m_comments = nullptr;
    QFrame* m_online = nullptr;

    std::vector<QWidget*> m_controls;
    QStringList m_cleanSnapshot;
    QStringList m_currentSnapshot;
    bool m_changed = false;
    bool m_loaded = false;
    float m_scrollableHeight = 0;   // twips
    float m_homeFrameHeight = 8490; // twips
};
