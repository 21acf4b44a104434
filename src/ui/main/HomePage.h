#pragma once

#include "ui/main/HomePageFill.h"

#include <QFrame>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QPixmap;
class QWidget;
class LinkLabel;
namespace store {
class Collection;
}

// One card of the home page (frameSelectProperty): the item's picture and two
// lines. It reports a left click released over the picture or a line, and a
// left double click there; its margin does nothing.
class ItemCard : public QFrame {
    Q_OBJECT
public:
    ItemCard(QWidget* parent, int element);

    QLabel* picture() const { return m_picture; }
    QLabel* line1() const { return m_line1; }
    QLabel* line2() const { return m_line2; }

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool onContent(const QPoint& at) const;

    QLabel* m_picture; // picSelectProperty
    QLabel* m_line1;   // lblSelectPropertyLine1
    QLabel* m_line2;   // lblSelectPropertyLine2
};

// The home page (frameHome): six item cards, the filter box and the paging
// links. It owns what it shows: the cards' contents from the scan, the
// highlighted card and the filter row; the widgets only show them. Cards
// follow the order of the collection; paging moves by the item numbers the
// cards carry in their tags.
class HomePage : public QObject {
    Q_OBJECT
public:
    static constexpr int kCards = ui::kHomeCards;

    // Builds frameHome and its controls inside the scrolling area.
    HomePage(QWidget* picScrollable, const store::Collection& collection);

    QFrame* frame() const { return m_frame; }
    QComboBox* filterBox() const { return m_filter; }

    // The filter list: "Show All Coins" shown as the text, then the other rows.
    void fillFilterList();
    // The row of the filter list chosen last.
    int filterRow() const { return m_filterRow; }

    // Fills the cards from item number `first` (counted from 1, a value
    // below 1 counting as 1) onward, through the filter row (-1: none).
    void loadPropertiesOnMainPage(qsizetype first, int filterRow = -1);

    // Card n (1..6) gets the single-line border, every other card none; any
    // other n selects none.
    void selectCard(int n);

    bool cardHasBorder(int n) const;
    bool cardVisible(int n) const;
    // The first card (1..6) with the border that is visible, or 0.
    int highlightedCard() const;
    // Where the coin card n shows stands in the collection.
    std::optional<qsizetype> cardItem(int n) const;
    QString cardTag(int n) const;
    QString cardLine1(int n) const;
    QString cardLine2(int n) const;
    QString cardPictureTag(int n) const;

signals:
    // Double-click on a card's picture or lines, or Enter in the filter box
    // while a card is highlighted.
    void openCardRequested(int n);
    // The Collection List link below the cards.
    void collectionListRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const ui::CardContent& shown(int n) const {
        return m_shown.at(static_cast<std::size_t>(n - 1));
    }
    void onPreviousPage();
    void onNextPage();
    void onCollectionList() { emit collectionListRequested(); }
    // A paging link below the cards: navy, hover look, its action on release over it.
    LinkLabel* makePageLink(const QString& text, const QString& name, Qt::Alignment alignment,
                            double left, void (HomePage::*action)());
    void applyCard(int n, const ui::CardContent& content, const QPixmap& noImage);

    const store::Collection& m_collection;
    QFrame* m_frame = nullptr;
    QComboBox* m_filter = nullptr;
    LinkLabel* m_previous = nullptr;
    LinkLabel* m_next = nullptr;
    QLabel* m_emptyHint = nullptr; // lblEmptyCollection
    std::array<ItemCard*, kCards> m_cards{};

    std::array<ui::CardContent, kCards> m_shown{};
    int m_highlighted = -1; // the card with the border, from 0; -1 for none
    int m_filterRow = 0;
};
