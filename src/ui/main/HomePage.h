#pragma once

#include "ui/main/HomePageFill.h"

#include <QObject>
#include <QString>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPixmap;
class QWidget;
class LinkLabel;
namespace store {
class Collection;
}

// The home page (frameHome): six item cards, the filter box and the paging
// links. Cards follow the order of the item table; paging moves by the item
// indices the cards carry in their tags.
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

    // Fills the cards from item number `first` (counted from 1, a value
    // below 1 counting as 1) onward, through the filter.
    void loadPropertiesOnMainPage(qsizetype first, const QString& filter = QString());

    // Card n (1..6) gets the single-line border, every other card none; any
    // other n selects none.
    void selectCard(int n);

    bool cardHasBorder(int n) const;
    bool cardVisible(int n) const;
    // The first card (1..6) with the border that is visible, or 0.
    int highlightedCard() const;
    QString cardTag(int n) const;
    QString cardLine1(int n) const;
    QString cardLine2(int n) const;
    QString cardPictureTag(int n) const;

signals:
    // Double-click on a card's picture or lines, or Enter in the filter box
    // while a card is highlighted.
    void openCardRequested(int n);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Card {
        QFrame* frame = nullptr;   // frameSelectProperty
        QLabel* picture = nullptr; // picSelectProperty
        QLabel* line1 = nullptr;   // lblSelectPropertyLine1
        QLabel* line2 = nullptr;   // lblSelectPropertyLine2
    };
    const Card& card(int n) const { return m_cards.at(static_cast<std::size_t>(n - 1)); }
    int cardOf(QObject* widget) const;
    void onFilterChosen();
    void onPreviousPage();
    void onNextPage();
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
    std::array<Card, kCards> m_cards{};
};
