#pragma once

#include <QObject>
#include <array>
#include <functional>

class QFrame;
class QLabel;
class QWidget;
class LinkLabel;

enum class Panel { DetailedInfo = 0, CoinImages = 1, Comments = 2, OnlineStuff = 3 };

// The two bars along the top: frameNavigation with one link per item panel,
// and frameHomeNavigation, the home page's title bar.
class NavigationBars : public QObject {
    Q_OBJECT
public:
    // isShown tells whether a panel is on show; its link then ignores the mouse.
    NavigationBars(QWidget* parent, std::function<bool(Panel)> isShown);

    QFrame* itemBar() const { return m_itemBar; }
    QFrame* homeBar() const { return m_homeBar; }
    LinkLabel* link(Panel p) const { return m_links[static_cast<int>(p)]; }

    // Both bars and their bottom lines, in pixels.
    void setWidth(int pixels);
    // Underline off, navy: every link plain.
    void resetLinks();
    // The link of the panel on show.
    void markCurrent(Panel p);

signals:
    void panelChosen(Panel p);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireLink(Panel p);

    QFrame* m_itemBar = nullptr;
    QFrame* m_homeBar = nullptr;
    QFrame* m_itemLine = nullptr;
    QFrame* m_homeLine = nullptr;
    std::array<LinkLabel*, 4> m_links{};
    std::array<QLabel*, 3> m_clickAreas{}; // imgDetailedInfo, imgCoinImages, imgComments
    std::function<bool(Panel)> m_isShown;
};
