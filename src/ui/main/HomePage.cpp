#include "ui/main/HomePage.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/AttributeLists.h"
#include "store/Collection.h"
#include "ui/common/Controls.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace {

using ui::placeTwips;

// Design geometry, in twips.
constexpr double kPageWidth = 11295, kPageHeight = 8490;
constexpr double kCardWidth = 3372, kCardHeight = 3220;
constexpr double kCardLefts[3] = {240, 3840, 7440};
constexpr double kCardTops[2] = {1680, 4920};

const QString kNoImage = QStringLiteral("noImageAvailable.jpg");

} // namespace

ItemCard::ItemCard(QWidget* parent, int element) : QFrame(parent) {
    ui::element(this, QStringLiteral("frameSelectProperty"), element);
    placeTwips(this, kCardLefts[(element - 1) % 3], kCardTops[(element - 1) / 3], kCardWidth,
               kCardHeight);
    setFrameShape(QFrame::NoFrame);
    hide();

    m_picture = ui::element(new QLabel(this), QStringLiteral("picSelectProperty"), element);
    placeTwips(m_picture, 360, 360, 2655, 2535);
    m_picture->setFrameShape(QFrame::Box);
    m_picture->setLineWidth(1);
    m_picture->setScaledContents(true);

    m_line1 = ui::element(new QLabel(this), QStringLiteral("lblSelectPropertyLine1"), element);
    placeTwips(m_line1, 25, 120, 3310, 255);
    m_line2 = ui::element(new QLabel(this), QStringLiteral("lblSelectPropertyLine2"), element);
    placeTwips(m_line2, 30, 2930, 3315, 255);
    for (QLabel* line : {m_line1, m_line2}) {
        line->setAlignment(Qt::AlignCenter);
        line->setFont(ui::cardFont());
        line->setTextFormat(Qt::PlainText);
    }
}

bool ItemCard::onContent(const QPoint& at) const {
    const QWidget* child = childAt(at);
    return child == m_picture || child == m_line1 || child == m_line2;
}

// Mouse events stop here, so a click on a card never reaches the page behind it.
void ItemCard::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void ItemCard::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && onContent(event->position().toPoint())) {
        emit clicked();
    }
}

void ItemCard::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && onContent(event->position().toPoint())) {
        emit doubleClicked();
    }
}

HomePage::HomePage(QWidget* picScrollable, const store::Collection& collection)
    : QObject(picScrollable), m_collection(collection) {
    m_frame = ui::named(new QFrame(picScrollable), QStringLiteral("frameHome"));
    placeTwips(m_frame, 0, 0, kPageWidth, kPageHeight);
    ui::setBackground(m_frame, ui::kWhite);
    m_frame->installEventFilter(this);

    auto* caption = ui::named(new QLabel(QStringLiteral("Filter Coins"), m_frame),
                              QStringLiteral("lblFilterCoins"));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeTwips(caption, 2880, 1060, 1905, 255);

    m_filter = ui::named(new QComboBox(m_frame), QStringLiteral("cmbShowProperties"));
    m_filter->setEditable(false);
    m_filter->setMaxVisibleItems(20);
    placeTwips(m_filter, 4800, 1005, 6015, 360);
    m_filter->installEventFilter(this);
    connect(m_filter, &QComboBox::activated, this, [this](int row) {
        m_filterRow = row;
        loadPropertiesOnMainPage(-1, m_filterRow);
        selectCard(-1);
    });

    for (int n = 1; n <= kCards; ++n) {
        auto* card = new ItemCard(m_frame, n);
        m_cards[static_cast<std::size_t>(n - 1)] = card;
        connect(card, &ItemCard::clicked, this, [this, n] { selectCard(n); });
        connect(card, &ItemCard::doubleClicked, this, [this, n] { emit openCardRequested(n); });
    }

    m_previous = makePageLink(QStringLiteral("< Previous Page"), QStringLiteral("lblPreviousPage"),
                              Qt::AlignLeft, 240, &HomePage::onPreviousPage);
    m_next = makePageLink(QStringLiteral("Next Page >"), QStringLiteral("lblNextPage"),
                          Qt::AlignRight, 8880, &HomePage::onNextPage);
    // Between the paging links, where the design has nothing.
    makePageLink(QStringLiteral("Collection List"), QStringLiteral("lblCollectionList"),
                 Qt::AlignHCenter, (kPageWidth - 1905) / 2, &HomePage::onCollectionList)
        ->show();

    // A new collector's first look: where the first coin comes from.
    m_emptyHint = ui::named(
        new QLabel(QStringLiteral("Your collection is empty. Choose File > Add New Item to "
                                  "enter your first coin."),
                   m_frame),
        QStringLiteral("lblEmptyCollection"));
    m_emptyHint->setTextFormat(Qt::PlainText);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setFont(ui::sansFont(10));
    ui::setTextColour(m_emptyHint, ui::kNavy);
    placeTwips(m_emptyHint, kCardLefts[0], kCardTops[0] + 1200,
               kCardLefts[2] + kCardWidth - kCardLefts[0], 600);
    m_emptyHint->hide();
}

LinkLabel* HomePage::makePageLink(const QString& text, const QString& name, Qt::Alignment alignment,
                                  double left, void (HomePage::*action)()) {
    auto* link = ui::named(new LinkLabel(text, m_frame), name);
    link->setAlignment(alignment | Qt::AlignVCenter);
    placeTwips(link, left, 8135, 1905, 255);
    const auto plain = [link] {
        ui::setTextColour(link, ui::kNavy);
        ui::setUnderline(link, false);
    };
    plain();
    link->hide();
    connect(link, &LinkLabel::pointerEntered, this, [link] {
        ui::setTextColour(link, ui::kLinkHover);
        ui::setUnderline(link, true);
    });
    connect(link, &LinkLabel::pointerLeft, this, plain);
    connect(link, &LinkLabel::releasedInside, this, [this, plain, action] {
        plain();
        (this->*action)();
    });
    return link;
}

void HomePage::fillFilterList() {
    const QStringList& rows = ui::homeFilterList();
    m_filter->clear();
    m_filter->addItem(rows.first());
    m_filter->setCurrentIndex(0);
    m_filter->addItems(rows.mid(1));
    m_filterRow = 0;
}

void HomePage::loadPropertiesOnMainPage(qsizetype first, int filterRow) {
    // noImageAvailable.jpg gives the same answer for every card of one fill.
    const QLabel* picture = m_cards[0]->picture();
    const QSize size = picture->contentsRect().size();
    const qreal dpr = picture->devicePixelRatioF();
    const QString noImagePath = app::nativePath(ui::programImagePath(kNoImage));
    const ui::LoadedPicture noImage = ui::loadPictureScaled(noImagePath, size, dpr);
    int noImageError = 0;
    if (noImage.status != ui::PictureStatus::Loaded) {
        noImageError = !QFileInfo::exists(noImagePath) ? app::kFileNotFound
                       : noImage.status == ui::PictureStatus::NotAPicture
                           ? app::kInvalidPicture
                           : app::kPathFileAccessError;
    }

    const ui::HomePageContent page =
        ui::loadPropertiesOnMainPage(m_collection, first, filterRow, m_shown, noImageError);

    // The cards' own pictures are decoded side by side before they are shown.
    QStringList wanted;
    for (const ui::CardContent& content : page.cards) {
        if (!content.pictures.isEmpty()) {
            wanted << app::nativePath(app::programPath(content.pictures.back()));
        }
    }
    if (!wanted.isEmpty()) {
        ui::preloadPicturesScaled(wanted, size, dpr);
    }
    for (int n = 1; n <= kCards; ++n) {
        applyCard(n, page.cards[static_cast<std::size_t>(n - 1)], noImage.pixmap);
    }
    m_shown = page.cards;
    m_previous->setVisible(page.previousPage);
    m_next->setVisible(page.nextPage);
    m_emptyHint->setVisible(m_collection.count() == 0);
}

void HomePage::applyCard(int n, const ui::CardContent& content, const QPixmap& noImage) {
    ItemCard* card = m_cards[static_cast<std::size_t>(n - 1)];
    // The tags are the design's data; nothing reads them back.
    ui::setTag(card, content.tag);
    ui::setTag(card->picture(), content.pictureTag);
    if (card->line1()->text() != content.line1) {
        card->line1()->setText(content.line1);
    }
    if (card->line2()->text() != content.line2) {
        card->line2()->setText(content.line2);
    }
    card->setVisible(content.visible);

    // The last picture that loads wins; one that fails leaves what was there before it.
    QLabel* picture = card->picture();
    const QSize shown = picture->contentsRect().size();
    const qreal dpr = picture->devicePixelRatioF();
    for (auto it = content.pictures.rbegin(); it != content.pictures.rend(); ++it) {
        const ui::LoadedPicture loaded =
            ui::loadPictureOrInvalid(app::nativePath(app::programPath(*it)), shown, dpr);
        if (loaded.status == ui::PictureStatus::Loaded) {
            picture->setPixmap(loaded.pixmap);
            return;
        }
    }
    if (content.pictureReset) {
        picture->setPixmap(noImage);
    }
}

void HomePage::selectCard(int n) {
    m_highlighted = n >= 1 && n <= kCards ? n - 1 : -1;
    for (int k = 0; k < kCards; ++k) {
        m_cards[static_cast<std::size_t>(k)]->setFrameShape(k == m_highlighted ? QFrame::Box
                                                                               : QFrame::NoFrame);
    }
}

bool HomePage::cardHasBorder(int n) const {
    return n >= 1 && n <= kCards && n - 1 == m_highlighted;
}

bool HomePage::cardVisible(int n) const {
    return n >= 1 && n <= kCards && shown(n).visible;
}

int HomePage::highlightedCard() const {
    return cardVisible(m_highlighted + 1) ? m_highlighted + 1 : 0;
}

std::optional<qsizetype> HomePage::cardItem(int n) const {
    return cardVisible(n) ? shown(n).position : std::nullopt;
}

QString HomePage::cardTag(int n) const {
    return shown(n).tag;
}
QString HomePage::cardLine1(int n) const {
    return shown(n).line1;
}
QString HomePage::cardLine2(int n) const {
    return shown(n).line2;
}
QString HomePage::cardPictureTag(int n) const {
    return shown(n).pictureTag;
}

bool HomePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filter) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (const int n = highlightedCard()) {
                    emit openCardRequested(n);
                }
                return true;
            }
        }
        return false;
    }
    // The page's own background: a click released on it clears the highlight;
    // no mouse event reaches what lies behind the page.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
        m_frame->rect().contains(mouse->position().toPoint()) &&
        m_frame->childAt(mouse->position().toPoint()) == nullptr) {
        selectCard(-1);
    }
    event->accept();
    return true;
}

void HomePage::onPreviousPage() {
    app::Guard guard;
    guard.step(
        [&] { loadPropertiesOnMainPage(qsizetype{app::cLng(cardTag(1))} - kCards, m_filterRow); });
}

void HomePage::onNextPage() {
    app::Guard guard;
    guard.step(
        [&] { loadPropertiesOnMainPage(qsizetype{app::cLng(cardTag(kCards))} + 1, m_filterRow); });
}
