#include "online/OnlineFeatures.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/SharedRoutines.h"
#include "ui/common/Controls.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

using ui::placeTwips;

constexpr double kBoxWidth = 4575;
constexpr double kBoxHeight = 1455;
constexpr double kButtonLeft = 1080;
constexpr double kButtonTop = 1080;
constexpr double kButtonWidth = 2295;
constexpr double kButtonHeight = 375;
constexpr double kHeadingHeight = 360;
constexpr double kTextTop = 375;

// A plain word in a rounded outline, standing in for a site's name in a
// heading. Drawn here so that no third party's artwork is shipped.
QPixmap nameBadge(const QString& word, int width, int height, const QColor& ink, qreal dpr) {
    QPixmap pixmap(QSize(width, height) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0.5, 0.5, width - 1.0, height - 1.0);
    p.setPen(QPen(QColor(0xB0, 0xB8, 0xC4), 1.0));
    p.setBrush(QColor(0xF4, 0xF6, 0xF9));
    p.drawRoundedRect(frame, 4, 4);
    QFont f = ui::sansFont(9, true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(frame, Qt::AlignCenter, word);
    return pixmap;
}

struct LookUp {
    double left;
    double top;
    QString heading;  // the whole heading, or the word before the badge
    QString siteName; // empty for a plain heading
    QString explanation;
    QString button;
    QString caption;
    QString linkType;
};

QWidget* newHeading(const LookUp& l, QWidget* box, const QFont& bold) {
    auto* heading = new QWidget(box);
    placeTwips(heading, 0, 0, kBoxWidth, kHeadingHeight);
    auto* row = new QHBoxLayout(heading);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(ui::px(75));
    auto addText = [&](const QString& text) {
        auto* label = new QLabel(text, heading);
        label->setFont(bold);
        label->setTextFormat(Qt::PlainText);
        ui::setTextColour(label, ui::kNavy);
        row->addWidget(label);
        return label;
    };
    if (l.siteName.isEmpty()) {
        addText(l.heading);
    } else {
        addText(l.heading);
        const qreal dpr = box->devicePixelRatioF();
        if (l.linkType == QLatin1String("ebaysearch")) {
            auto* badge = ui::named(new QLabel(heading), QStringLiteral("imgEbayBadge"));
            badge->setPixmap(nameBadge(l.siteName, 42, 20, QColor(0x2B, 0x4C, 0x7E), dpr));
            row->addWidget(badge);
        } else if (l.linkType == QLatin1String("googlesearch")) {
            auto* badge = ui::named(new QLabel(heading), QStringLiteral("imgGoogleBadge"));
            badge->setPixmap(nameBadge(l.siteName, 70, 23, QColor(0x3A, 0x6E, 0x3A), dpr));
            row->addWidget(badge);
        } else {
            auto* name = ui::named(addText(l.siteName), QStringLiteral("lblZentavio"));
            ui::setTextColour(name, QColor(0x00, 0x70, 0x70));
        }
        addText(QStringLiteral("for Similar Coins"));
    }
    row->addStretch(1);
    return heading;
}

} // namespace

QFrame* buildOnlineFeaturesPanel(QWidget* picScrollable, const ItemEditor& editor) {
    auto* panel = ui::named(new QFrame(picScrollable), QStringLiteral("frameOnlineStuff"));
    panel->setFrameShape(QFrame::NoFrame);
    placeTwips(panel, 0, 0, 10692, 8640);
    ui::setBackground(panel, ui::kWhite);
    panel->hide();

    ui::makePanelTitle(panel, 3, QStringLiteral("Online Features"), ui::kTitleTeal);

    const QString partner = app::kPartnerDomain;
    const LookUp lookUps[] = {
        {720,
         1800,
         QStringLiteral("What's My Coin Worth?"),
         {},
         QStringLiteral("Search the exclusive online database to see what other collectors think "
                        "this coin is valued at."),
         QStringLiteral("cmdWebGetCoinValue"),
         QStringLiteral("Get this Coin's Value Now!"),
         QStringLiteral("lookupvalue")},
        {5880, 1800, QStringLiteral("Search"), QStringLiteral("ebay"),
         QStringLiteral(
             "Find coins for sale that are similar to yours on ebay, the world's largest "
             "online marketplace."),
         QStringLiteral("cmdWebSearchEbay"), QStringLiteral("Search ebay Now!"),
         QStringLiteral("ebaysearch")},
        {720, 3960, QStringLiteral("Search"), QStringLiteral("Google"),
         QStringLiteral("Find other coins similar to your coin using Google, the world's largest "
                        "search engine."),
         QStringLiteral("cmdWebSearchGoogle"), QStringLiteral("Search Google Now!"),
         QStringLiteral("googlesearch")},
        {5880, 3960, QStringLiteral("Search"), QStringLiteral("Zentavio"),
         QStringLiteral("See what other coin collectors keep in their inventories on %1, the "
                        "collectors' own online catalog.")
             .arg(partner),
         QStringLiteral("cmdWebSearchZentavio"), QStringLiteral("Search %1 Now!").arg(partner),
         QStringLiteral("zentaviosearch")},
        {3240,
         6120,
         QStringLiteral("Other Helpful Online Links"),
         {},
         QStringLiteral("View a page of other helpful coin collecting links, including forums, "
                        "products and more!"),
         QStringLiteral("cmdWebOtherHelpfulLinks"),
         QStringLiteral("Show Links in Browser Now!"),
         QStringLiteral("helpfullinks")},
    };

    QFont bold;
    bold.setBold(true);
    bold.setPointSize(9);

    std::vector<QPushButton*> buttons;
    int buttonWidth = ui::px(kButtonWidth);
    int index = 0;
    for (const LookUp& l : lookUps) {
        auto* box = ui::element(new QFrame(panel), QStringLiteral("frameWebLookUp"), index++);
        box->setFrameShape(QFrame::NoFrame);
        placeTwips(box, l.left, l.top, kBoxWidth, kBoxHeight);

        newHeading(l, box, bold);

        auto* text = new QLabel(l.explanation, box);
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        placeTwips(text, kButtonLeft, kTextTop, kBoxWidth - kButtonLeft, kButtonTop - kTextTop);

        auto* button = ui::named(new QPushButton(l.caption, box), l.button);
        placeTwips(button, kButtonLeft, kButtonTop, kButtonWidth, kButtonHeight);
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
        buttons.push_back(button);

        const QString linkType = l.linkType;
        QObject::connect(button, &QPushButton::clicked, panel,
                         [&editor, linkType] { openWebLinkForThisItem(editor, linkType); });
    }
    // The design width is kept where the captions fit; a wider font grows all
    // five buttons alike rather than cutting a caption.
    for (QPushButton* button : buttons) {
        button->resize(std::min(buttonWidth, ui::px(kBoxWidth - kButtonLeft)), button->height());
    }
    return panel;
}

QString webLinkAddress(const QString& linkType, const QString& year, const QString& country,
                       const QString& coinType, const QString& mintMark, const QString& grade) {
    const QString tail = QStringLiteral("&year=") + year + QStringLiteral("&country=") + country +
                         QStringLiteral("&cointype=") + coinType + QStringLiteral("&mintmark=") +
                         mintMark + QStringLiteral("&grade=") + grade;
    return app::SiteAddress + QStringLiteral("/clientlink.php?linktype=") + linkType +
           app::urlEncode(tail);
}

void openWebLinkForThisItem(const ItemEditor& editor, const QString& linkType) {
    app::Guard guard;
    guard.step([&] {
        app::launchBrowser(
            webLinkAddress(linkType, editor.text(store::Field::Year),
                           editor.text(store::Field::Country), editor.text(store::Field::CoinType),
                           editor.text(store::Field::MintMark), editor.text(store::Field::Grade)));
    });
}
