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
    caption->installEventFilter(this);

    m_filter = ui::named(new QComboBox(m_frame), QStringLiteral("cmbShowProperties"));
    m_filter->setEditable(false);
    m_filter->setMaxVisibleItems(20);
    placeTwips(m_filter, 4800, 1005, 6015, 360);
    m_filter->installEventFilter(this);
    connect(m_filter, &QComboBox::activated, this, &HomePage::onFilterChosen);

    for (int n = 1; n <= kCards; ++n) {
        Card& card = m_cards[static_cast<std::size_t>(n - 1)];
        card.frame = ui::element(new QFrame(m_frame), QStringLiteral("frameSelectProperty"), n);
        placeTwips(card.frame, kCardLefts[(n - 1) % 3], kCardTops[(n - 1) / 3], kCardWidth,
                   kCardHeight);
        card.frame->setFrameShape(QFrame::NoFrame);
        card.frame->hide();

        card.picture = ui::element(new QLabel(card.frame), QStringLiteral("picSelectProperty"), n);
        placeTwips(card.picture, 360, 360, 2655, 2535);
        card.picture->setFrameShape(QFrame::Box);
        card.picture->setLineWidth(1);
        card.picture->setScaledContents(true);

        card.line1 =
            ui::element(new QLabel(card.frame), QStringLiteral("lblSelectPropertyLine1"), n);
        placeTwips(card.line1, 25, 120, 3310, 255);
        card.line2 =
            ui::element(new QLabel(card.frame), QStringLiteral("lblSelectPropertyLine2"), n);
        placeTwips(card.line2, 30, 2930, 3315, 255);
        for (QLabel* line : {card.line1, card.line2}) {
            line->setAlignment(Qt::AlignCenter);
            line->setFont(ui::cardFont());
            line->setTextFormat(Qt::PlainText);
        }
        for (QWidget* w : {static_cast<QWidget*>(card.frame), static_cast<QWidget*>(card.picture),
                           static_cast<QWidget*>(card.line1), static_cast<QWidget*>(card.line2)}) {
            w->installEventFilter(this);
        }
    }

    m_previous = makePageLink(QStringLiteral("< Previous Page"), QStringLiteral("lblPreviousPage"),
                              Qt::AlignLeft, 240, &HomePage::onPreviousPage);
    m_next = makePageLink(QStringLiteral("Next Page >"), QStringLiteral("lblNextPage"),
                          Qt::AlignRight, 8880, &HomePage::onNextPage);

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
    m_emptyHint->installEventFilter(this);
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
}

void HomePage::loadPropertiesOnMainPage(qsizetype first, const QString& filter) {
    std::array<ui::CardContent, kCards> shown;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const Card& card = m_cards[i];
        shown[i].visible = !card.frame->isHidden();
        shown[i].tag = ui::tag(card.frame);
        shown[i].line1 = card.line1->text();
        shown[i].line2 = card.line2->text();
        shown[i].pictureTag = ui::tag(card.picture);
    }

    // noImageAvailable.jpg gives the same answer for every card of one fill.
    const QLabel* picture = m_cards[0].picture;
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

    const ui::HomePageContent page = ui::loadPropertiesOnMainPage(
        m_collection, first, filter, m_filter->currentIndex(), shown, noImageError);

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
    m_previous->setVisible(page.previousPage);
    m_next->setVisible(page.nextPage);
    m_emptyHint->setVisible(m_collection.count() == 0);
}

void HomePage::applyCard(int n, const ui::CardContent& content, const QPixmap& noImage) {
    const Card& card = m_cards[static_cast<std::size_t>(n - 1)];
    if (ui::tag(card.frame) != content.tag) {
        ui::setTag(card.frame, content.tag);
    }
    if (card.line1->text() != content.line1) {
        card.line1->setText(content.line1);
    }
    if (card.line2->text() != content.line2) {
        card.line2->setText(content.line2);
    }
    if (ui::tag(card.picture) != content.pictureTag) {
        ui::setTag(card.picture, content.pictureTag);
    }
    card.frame->setVisible(content.visible);

    // The last picture that loads wins; one that fails leaves what was there before it.
    const QSize shown = card.picture->contentsRect().size();
    const qreal dpr = card.picture->devicePixelRatioF();
    for (auto it = content.pictures.rbegin(); it != content.pictures.rend(); ++it) {
        const ui::LoadedPicture loaded =
            ui::loadPictureOrInvalid(app::nativePath(app::programPath(*it)), shown, dpr);
        if (loaded.status == ui::PictureStatus::Loaded) {
            card.picture->setPixmap(loaded.pixmap);
            return;
        }
    }
    if (content.pictureReset) {
        card.picture->setPixmap(noImage);
    }
}

void HomePage::selectCard(int n) {
    for (int k = 1; k <= kCards; ++k) {
        card(k).frame->setFrameShape(k == n ? QFrame::Box : QFrame::NoFrame);
    }
}

bool HomePage::cardHasBorder(int n) const {
    return n >= 1 && n <= kCards && card(n).frame->frameShape() == QFrame::Box;
}

bool HomePage::cardVisible(int n) const {
    return n >= 1 && n <= kCards && !card(n).frame->isHidden();
}

int HomePage::highlightedCard() const {
    for (int n = 1; n <= kCards; ++n) {
        if (cardHasBorder(n) && cardVisible(n)) {
            return n;
        }
    }
    return 0;
}

QString HomePage::cardTag(int n) const {
    return ui::tag(card(n).frame);
}
QString HomePage::cardLine1(int n) const {
    return card(n).line1->text();
}
QString HomePage::cardLine2(int n) const {
    return card(n).line2->text();
}
QString HomePage::cardPictureTag(int n) const {
    return ui::tag(card(n).picture);
}

int HomePage::cardOf(QObject* widget) const {
    for (int n = 1; n <= kCards; ++n) {
        const Card& c = card(n);
        if (widget == c.picture || widget == c.line1 || widget == c.line2) {
            return n;
        }
    }
    return 0;
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
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return false;
    }
    // Mouse events stop here, so a click on a card frame or the caption never
    // reaches the page behind it.
    const auto* mouse = static_cast<QMouseEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    const bool left = mouse->button() == Qt::LeftButton;
    const int n = cardOf(watched);
    if (type == QEvent::MouseButtonRelease && left &&
        widget->rect().contains(mouse->position().toPoint())) {
        if (n) {
            selectCard(n);
        } else if (watched == m_frame) {
            selectCard(-1);
        }
    } else if (type == QEvent::MouseButtonDblClick && left && n) {
        emit openCardRequested(n);
    }
    event->accept();
    return true;
}

void HomePage::onFilterChosen() {
    loadPropertiesOnMainPage(-1, m_filter->currentText());
    selectCard(-1);
}

void HomePage::onPreviousPage() {
    app::Guard guard;
    guard.step([&] {
        loadPropertiesOnMainPage(qsizetype{app::cLng(cardTag(1))} - kCards,
                                 m_filter->currentText());
    });
}

void HomePage::onNextPage() {
    app::Guard guard;
    guard.step([&] {
        loadPropertiesOnMainPage(qsizetype{app::cLng(cardTag(kCards))} + 1,
                                 m_filter->currentText());
    });
}
