#include "online/AboutBox.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/SharedRoutines.h"
#include "platform/Platform.h"
#include "ui/common/Controls.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"

#include <QDate>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace {

const QColor kLinkBlue(0, 0, 255);

constexpr double kIconWidth = 2400;
constexpr double kIconHeight = 1500;
constexpr double kTextWidth = 3600;

QLabel* plainLabel(const QString& name, QWidget* parent) {
    auto* label = ui::named(new QLabel(parent), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// "www.corvantheil.example"
QString siteHostName() {
    return QUrl(app::SiteAddress).host();
}

QString copyrightLine(int year) {
    return QStringLiteral("Copyright \u00A9 %1 %2").arg(year).arg(app::SiteDomain);
}

// Runs the given filling steps on a new frmAbout and shows it; a step that
// fails leaves its control as built.
template <class Fill> void showFilled(QWidget* window, Fill&& fill) {
    AboutBox box(window);
    app::Guard guard;
    fill(box, guard);
    platform::modalDialogs().exec(box);
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));

    m_icon = ui::named(new QLabel(this), QStringLiteral("picIcon"));
    m_icon->setFixedSize(ui::px(kIconWidth), ui::px(kIconHeight));
    m_icon->setScaledContents(true);
    m_icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    m_title = plainLabel(QStringLiteral("lblTitle"), this);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_title->setFont(titleFont);
    m_title->setText(app::kTitle);

    m_copyright = plainLabel(QStringLiteral("lblCopyright"), this);

    m_link = ui::named(new LinkLabel(QString(), this), QStringLiteral("lblURL"));
    m_link->setTextFormat(Qt::PlainText);
    ui::setTextColour(m_link, ui::kNavy);
    connect(m_link, &LinkLabel::pointerEntered, this, [this] {
        ui::setTextColour(m_link, kLinkBlue);
        ui::setUnderline(m_link, true);
    });
    connect(m_link, &LinkLabel::pointerLeft, this, [this] {
        ui::setUnderline(m_link, false);
        ui::setTextColour(m_link, ui::kNavy);
    });
    connect(m_link, &LinkLabel::releasedInside, this, [this] {
        ui::setUnderline(m_link, false);
        ui::setTextColour(m_link, ui::kNavy);
        app::launchBrowser(ui::tag(m_link));
    });
    setLink(siteHostName(), app::SiteAddress);

    m_note = plainLabel(QStringLiteral("lblNote"), this);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_smallPrint = plainLabel(QStringLiteral("lblSmallPrint"), this);
    m_smallPrint->setWordWrap(true);
    m_smallPrint->setFixedWidth(ui::px(kIconWidth + kTextWidth) + 12);
    QFont smallFont = m_smallPrint->font();
    smallFont.setPointSizeF(smallFont.pointSizeF() * 0.85);
    m_smallPrint->setFont(smallFont);

    m_ok = ui::named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    // The link takes only its text's width, so that the pointer is over it only
    // while it is over the words.
    auto* linkRow = new QHBoxLayout;
    linkRow->setContentsMargins(0, 0, 0, 0);
    linkRow->addWidget(m_link);
    linkRow->addStretch(1);

    auto* text = new QVBoxLayout;
    text->setSpacing(ui::px(90));
    text->addWidget(m_title);
    text->addWidget(m_copyright);
    text->addLayout(linkRow);
    text->addWidget(m_note);
    text->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(ui::px(240), ui::px(240), ui::px(240), ui::px(240));
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(ui::px(180));
    grid->addWidget(m_icon, 0, 0, Qt::AlignTop);
    grid->addLayout(text, 0, 1);
    grid->setColumnMinimumWidth(1, ui::px(kTextWidth));
    grid->addWidget(m_smallPrint, 1, 0, 1, 2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::setLink(const QString& text, const QString& address) {
    m_link->setText(text);
    ui::setTag(m_link, address);
}

void AboutBox::setIcon(const QString& picturePath) {
    const QString file = app::nativePath(picturePath);
    const ui::LoadedPicture picture =
        ui::loadPictureScaled(file, m_icon->size(), m_icon->devicePixelRatioF());
    if (picture.status != ui::PictureStatus::Loaded) {
        app::raise(QFileInfo(file).isFile() ? app::kInvalidPicture : app::kFileNotFound);
    }
    m_icon->setPixmap(picture.pixmap);
}

void showNewsletterBox(QWidget* window) {
    showFilled(window, [](AboutBox& box, app::Guard& guard) {
        guard.step(
            [&] { box.copyright()->setText(QStringLiteral("To subscribe, visit us online at:")); });
        guard.step([&] { box.setLink(siteHostName(), app::SiteAddress + "/subscribe.php"); });
        guard.step([&] { box.setIcon(app::defaultImagePath()); });
        guard.step([&] { box.note()->setText("or:  " + app::kNewsletterAddress); });
        guard.step([&] { box.title()->setText(app::kTitle + " Newsletter"); });
        guard.step([&] { box.setWindowTitle(QStringLiteral("Newsletter")); });
        guard.step([&] {
            box.smallPrint()->setText(
                QStringLiteral("Subscribe now to get updates, new releases, and other great "
                               "collecting tips and information!"));
        });
    });
}

void showAboutBox(QWidget* window) {
    showFilled(window, [](AboutBox& box, app::Guard& guard) {
        guard.step([&] { box.setWindowTitle("About " + app::kTitle); });
        guard.step([&] { box.setIcon(app::defaultImagePath()); });
        guard.step([&] { box.title()->setText(app::kTitle + " v" + app::versionText()); });
        guard.step([&] { box.copyright()->setText(copyrightLine(QDate::currentDate().year())); });
        guard.step([&] { box.setLink(siteHostName(), app::SiteAddress); });
        guard.step([&] {
            box.smallPrint()->setText(
                QStringLiteral("This tool is intended for analysis purposes only and in no way "
                               "guarantees results of returns on your investments."));
        });
    });
}
