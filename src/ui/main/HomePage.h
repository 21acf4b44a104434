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
    void FillFilterList();

    // Fills the cards from item index `first` onward; a value below 1 becomes 1
    // and is written back.
    void LoadPropertiesOnMainPage(qint32& first, const QString& sFilter = QString());

    // Card n (1..6) gets the single-line border, every other card none; any
    // other n selects none.
    void SelectCard(int n);

    bool CardHasBorder(int n) const;
    bool CardVisible(int n) const;
    // The first card (1..6) with the border that is visible, or 0.
    int HighlightedCard() const;
    QString CardTag(int n) const;
    QString CardLine1(int n) const;
    QString CardLine2(int n) const;
    QString CardPictureTag(int n) const;

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
    int CardOf(QObject* widget) const;
    void OnFilterChosen();
    void OnPreviousPage();
    void OnNextPage();
    void SetUpLink(LinkLabel* link, void (HomePage::*action)());
    void ApplyCard(int n, const CardState& state);
    void ApplyPicture(int n, const CardState& state, const QPixmap* noImage);

    QFrame* m_frame = nullptr;
    QComboBox* m_filter = nullptr;
    LinkLabel* m_previous = nullptr;
    LinkLabel* m_next = nullptr;
    std::array<Card, kCards + 1> m_cards{}; // element 0 unused
};
