#include "ui/main/HomePage.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/AttributeLists.h"
#include "store/ItemDatabase.h"
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
const QString kInvalidPicture = QStringLiteral("invalidPictureFormat.jpg");

// The only keys the page looks at; every other key is passed over.
enum class Field { Other, Description, CurrentValue, MiscNotes, CoinType, FirstPicture };

Field fieldOf(const QString& key) {
    // The length test keeps the case-blind comparison off most keys.
    const auto is = [&key](QLatin1StringView name) {
        return key.compare(name, Qt::CaseInsensitive) == 0;
    };
    switch (key.size()) {
    case 11:
        return is(QLatin1StringView("cmbCoinType")) ? Field::CoinType : Field::Other;
    case 12:
        return is(QLatin1StringView("txtMiscNotes")) ? Field::MiscNotes : Field::Other;
    case 14:
        return is(QLatin1StringView("txtDescription")) ? Field::Description : Field::Other;
    case 15:
        return is(QLatin1StringView("txtCurrentValue")) ? Field::CurrentValue : Field::Other;
    case 25:
        return is(QLatin1StringView("g_sListOfImagesForItem(1)")) ? Field::FirstPicture
                                                                  : Field::Other;
    default:
        return Field::Other;
    }
}

// Items share one copy of each key name (the INI layer keeps them so), so
// within one fill a key is recognised by where its text lives. The table does
// not change during a fill, so an address cannot be reused meanwhile.
class FieldMemo {
public:
    Field of(const QString& key) {
        Seen& seen = m_seen[(reinterpret_cast<quintptr>(key.constData()) >> 4) % m_seen.size()];
        if (seen.text != key.constData() || seen.size != key.size()) {
            seen = {key.constData(), key.size(), fieldOf(key)};
        }
        return seen.field;
    }

private:
    struct Seen {
        const QChar* text = nullptr;
        qsizetype size = -1;
        Field field = Field::Other;
    };
    std::array<Seen, 64> m_seen{};
};

// The filter text, read once per fill.
struct FilterRules {
    bool showAll = false;
    bool valueCeiling = false;
    bool onlyType = false;
    bool withImages = false;
    bool withoutImages = false;
    std::optional<qint32> ceiling;
    int ceilingError = 0;
    qint32 coinType = 0;

    FilterRules(const QString& filter, int filterRow) {
        const QString f = filter.toLower();
        showAll = f == QLatin1StringView("show all coins");
        valueCeiling = f.contains(QLatin1StringView("current value < $"));
        onlyType = f.contains(QLatin1StringView("only "));
        withImages = f.contains(QLatin1StringView("with images"));
        withoutImages = f.contains(QLatin1StringView("without images"));
        coinType = filterRow - 1;
        if (valueCeiling) {
            try {
                ceiling = app::cLng(filter.mid(filter.indexOf(u'$') + 1));
            } catch (const app::RuntimeError& e) {
                ceilingError = e.number();
            }
        }
    }

    bool excludes(Field field, const QString& v, app::Guard& guard) const {
        if (showAll) {
            return false;
        }
        if (valueCeiling && field == Field::CurrentValue) {
            // A value or ceiling that is not a number fails the step and excludes.
            bool over = true;
            guard.step([&] {
                const qint32 value = app::cLng(v);
                if (!ceiling) {
                    app::raise(ceilingError);
                }
                over = value > *ceiling;
            });
            return over;
        }
        if (onlyType && field == Field::CoinType) {
            bool differs = true;
            guard.step([&] { differs = app::cLng(v) != coinType; });
            return differs;
        }
        if (withImages && field == Field::FirstPicture) {
            return app::isBlankText(v);
        }
        if (withoutImages && field == Field::FirstPicture) {
            return !app::isBlankText(v);
        }
        return false;
    }
};

} // namespace

// What a fill does to one card, applied to the widgets once at the end.
struct HomePage::CardState {
    bool visible = false;
    bool touched = false;
    QString tag;
    qint32 tagItem = 0; // when set, the tag is this item index
    QString line1;
    QString line2; // the stored current value until applied
    bool line2IsValue = false;
    QString pictureTag;
    bool pictureReset = false;     // noImageAvailable.jpg was loaded into it
    std::vector<QString> pictures; // item pictures tried after that, in order
};

HomePage::HomePage(QWidget* picScrollable) : QObject(picScrollable) {
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
        Card& card = m_cards[n];
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

    m_previous = ui::named(new LinkLabel(QStringLiteral("< Previous Page"), m_frame),
                           QStringLiteral("lblPreviousPage"));
    m_previous->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(m_previous, 240, 8135, 1905, 255);
    setUpLink(m_previous, &HomePage::onPreviousPage);

    m_next = ui::named(new LinkLabel(QStringLiteral("Next Page >"), m_frame),
                       QStringLiteral("lblNextPage"));
    m_next->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeTwips(m_next, 8880, 8135, 1905, 255);
    setUpLink(m_next, &HomePage::onNextPage);
}

void HomePage::setUpLink(LinkLabel* link, void (HomePage::*action)()) {
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
}

void HomePage::fillFilterList() {
    m_filter->clear();
    m_filter->addItem(QStringLiteral("Show All Coins"));
    m_filter->setCurrentIndex(0);
    for (const QString& type : store::coinTypeList()) {
        m_filter->addItem(QStringLiteral("ONLY ") + type);
    }
    static const char* const kCeilings[] = {"1",     "5",      "10",    "25",    "50",    "100",
                                            "200",   "300",    "400",   "500",   "750",   "1,000",
                                            "1,250", "1,500",  "2,000", "2,500", "3,000", "4,000",
                                            "5,000", "10,000", "20,000"};
    for (const char* ceiling : kCeilings) {
        m_filter->addItem(QStringLiteral("Current Value < $") + QLatin1StringView(ceiling));
    }
    m_filter->addItem(QStringLiteral("Show Coins With Images"));
    m_filter->addItem(QStringLiteral("Show Coins Without Images"));
}

void HomePage::loadPropertiesOnMainPage(qint32& first, const QString& sFilter) {
    app::Guard guard;
    if (first < 1) {
        first = 1;
    }
    const FilterRules rules(sFilter, m_filter->currentIndex());

    std::array<CardState, kCards + 1> states;
    for (int n = 1; n <= kCards; ++n) {
        const Card& card = m_cards[n];
        states[n].tag = ui::tag(card.frame);
        states[n].line1 = card.line1->text();
        states[n].line2 = card.line2->text();
        states[n].pictureTag = ui::tag(card.picture);
    }

    // noImageAvailable.jpg gives the same answer for every card of one fill.
    std::optional<ui::LoadedPicture> noImage;
    const auto loadNoImage = [&] {
        if (!noImage) {
            QLabel* picture = m_cards[1].picture;
            noImage =
                ui::loadPictureScaled(app::nativePath(ui::programImagePath(kNoImage)),
                                      picture->contentsRect().size(), picture->devicePixelRatioF());
        }
        return noImage->status == ui::PictureStatus::Loaded;
    };

    FieldMemo fields;
    int card = 1;
    guard.step([&] {
        const qint32 count = std::min(store::g_lNumberOfItems, store::g_sAllItems.itemBound());
        for (qint32 i = first; card <= kCards && i <= count; ++i) {
            CardState& state = states[card];
            state.touched = true;
            state.line1.clear();
            state.line2.clear();
            state.line2IsValue = false;
            guard.step([&] {
                if (!loadNoImage()) {
                    const bool exists =
                        QFileInfo::exists(app::nativePath(ui::programImagePath(kNoImage)));
                    app::raise(!exists ? app::kFileNotFound
                               : noImage->status == ui::PictureStatus::NotAPicture
                                   ? app::kInvalidPicture
                                   : app::kPathFileAccessError);
                }
                state.pictureReset = true;
                state.pictures.clear();
            });
            state.pictureTag = kNoImage;

            bool excluded = false;
            for (const store::IniEntry& slot : store::g_sAllItems.ownSlots(i)) {
                const Field field = fields.of(slot.key);
                if (field == Field::Other) {
                    continue;
                }
                const QString& v = slot.value;
                if (rules.excludes(field, v, guard)) {
                    state.visible = false;
                    excluded = true;
                    break;
                }
                switch (field) {
                case Field::Description:
                    state.visible = true;
                    state.tagItem = i;
                    state.line1 = v;
                    break;
                case Field::CurrentValue:
                    state.visible = true;
                    // Formatting waits for the end; only the failure is due now.
                    guard.step([&] {
                        if (!app::parseNumber(v)) {
                            app::raise(app::kTypeMismatch);
                        }
                        state.line2 = v;
                        state.line2IsValue = true;
                    });
                    break;
                case Field::MiscNotes:
                    state.visible = true;
                    break;
                case Field::FirstPicture:
                    if (!app::isBlankText(v)) {
                        state.visible = true;
                        state.pictures.push_back(v);
                        state.pictureTag = v;
                    }
                    break;
                default:
                    break;
                }
            }
            if (!excluded) {
                ++card;
            }
        }
    });

    // The cards' own pictures are decoded side by side before they are shown.
    QStringList wanted;
    for (int n = 1; n <= kCards; ++n) {
        if (states[n].touched && !states[n].pictures.empty()) {
            wanted << app::nativePath(app::programPath(states[n].pictures.back()));
        }
    }
    if (!wanted.isEmpty()) {
        const QLabel* picture = m_cards[1].picture;
        ui::preloadPicturesScaled(wanted, picture->contentsRect().size(),
                                  picture->devicePixelRatioF());
    }
    for (int n = 1; n <= kCards; ++n) {
        applyCard(n, states[n]);
        if (states[n].touched) {
            applyPicture(n, states[n], states[n].pictureReset ? &noImage->pixmap : nullptr);
        }
    }
    m_previous->setVisible(first >= 2);
    m_next->setVisible(card == kCards + 1);
}

void HomePage::applyCard(int n, const CardState& state) {
    const Card& card = m_cards[n];
    const QString tag = state.tagItem > 0 ? QString::number(state.tagItem) : state.tag;
    if (ui::tag(card.frame) != tag) {
        ui::setTag(card.frame, tag);
    }
    if (card.line1->text() != state.line1) {
        card.line1->setText(state.line1);
    }
    QString line2 = state.line2;
    if (state.line2IsValue) {
        line2 = QStringLiteral("Current Value = ") + app::formatCurrency(*app::parseNumber(line2));
    }
    if (card.line2->text() != line2) {
        card.line2->setText(line2);
    }
    if (ui::tag(card.picture) != state.pictureTag) {
        ui::setTag(card.picture, state.pictureTag);
    }
    card.frame->setVisible(state.visible);
}

// The last picture tried wins; one that fails leaves what was there before it.
void HomePage::applyPicture(int n, const CardState& state, const QPixmap* noImage) {
    QLabel* picture = m_cards[n].picture;
    const QSize shown = picture->contentsRect().size();
    const qreal dpr = picture->devicePixelRatioF();
    for (auto it = state.pictures.rbegin(); it != state.pictures.rend(); ++it) {
        ui::LoadedPicture loaded =
            ui::loadPictureScaled(app::nativePath(app::programPath(*it)), shown, dpr);
        if (loaded.status == ui::PictureStatus::NotAPicture) {
            loaded = ui::loadPictureScaled(app::nativePath(ui::programImagePath(kInvalidPicture)),
                                           shown, dpr);
        }
        if (loaded.status == ui::PictureStatus::Loaded) {
            picture->setPixmap(loaded.pixmap);
            return;
        }
    }
    if (noImage) {
        picture->setPixmap(*noImage);
    }
}

void HomePage::selectCard(int n) {
    for (int k = 1; k <= kCards; ++k) {
        m_cards[k].frame->setFrameShape(k == n ? QFrame::Box : QFrame::NoFrame);
    }
}

bool HomePage::cardHasBorder(int n) const {
    return n >= 1 && n <= kCards && m_cards[n].frame->frameShape() == QFrame::Box;
}

bool HomePage::cardVisible(int n) const {
    return n >= 1 && n <= kCards && !m_cards[n].frame->isHidden();
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
    return ui::tag(m_cards.at(n).frame);
}
QString HomePage::cardLine1(int n) const {
    return m_cards.at(n).line1->text();
}
QString HomePage::cardLine2(int n) const {
    return m_cards.at(n).line2->text();
}
QString HomePage::cardPictureTag(int n) const {
    return ui::tag(m_cards.at(n).picture);
}

int HomePage::cardOf(QObject* widget) const {
    for (int n = 1; n <= kCards; ++n) {
        const Card& c = m_cards[n];
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
    qint32 first = -1;
    loadPropertiesOnMainPage(first, m_filter->currentText());
    selectCard(-1);
}

void HomePage::onPreviousPage() {
    app::Guard guard;
    guard.step([&] {
        qint32 first =
            std::max(app::cLng(cardTag(1)), std::numeric_limits<qint32>::min() + kCards) - kCards;
        loadPropertiesOnMainPage(first, m_filter->currentText());
    });
}

void HomePage::onNextPage() {
    app::Guard guard;
    guard.step([&] {
        const qint32 last = app::cLng(cardTag(kCards));
        if (last == std::numeric_limits<qint32>::max()) {
            app::raise(app::kOverflow);
        }
        qint32 first = last + 1;
        loadPropertiesOnMainPage(first, m_filter->currentText());
    });
}
