#pragma once

#include <QObject>
#include <QString>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPixmap;
class QWidget;
class LinkLabel;

// The home page (frameHome): six item cards, the filter box and the paging
// links. Cards follow the order of the item table; paging moves by the item
// indices the cards carry in their tags.
class HomePage : public QObject {
    Q_OBJECT
public:
    static constexpr int kCards = 6;

    // Builds frameHome and its controls inside the scrolling area.
    explicit HomePage(QWidget* picScrollable);

    QFrame* frame() const { return m_frame; }
    QComboBox* filterBox() const { return m_filter; }

    // The filter list: "Show All Coins" shown as the text, then the other rows.
    void fillFilterList();

    // Fills the cards from item index `first` onward; a value below 1 becomes 1
    // and is written back.
    void loadPropertiesOnMainPage(qint32& first, const QString& sFilter = QString());

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
    struct CardState;
    int cardOf(QObject* widget) const;
    void onFilterChosen();
    void onPreviousPage();
    void onNextPage();
    void setUpLink(LinkLabel* link, void (HomePage::*action)());
    void applyCard(int n, const CardState& state);
    void applyPicture(int n, const CardState& state, const QPixmap* noImage);

    QFrame* m_frame = nullptr;
    QComboBox* m_filter = nullptr;
    LinkLabel* m_previous = nullptr;
    LinkLabel* m_next = nullptr;
    std::array<Card, kCards + 1> m_cards{}; // element 0 unused
};
