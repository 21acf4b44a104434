#include "ui/pictures/PictureStrip.h"

#include "app/ProgramFolder.h"
#include "ui/common/Controls.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace {

using ui::placeTwips;

// Design sizes, in twips.
constexpr double kPanelWidth = 10692, kPanelHeight = 8490;
constexpr double kTitleLeft = 2040, kTitleTop = 780, kTitleWidth = 8385, kTitleHeight = 495;
// The strip, buttons and picture panel share the title's centre line.
constexpr double kCentre = kTitleLeft + kTitleWidth / 2;
constexpr double kStripWidth = 8295, kStripHeight = 2295, kStripTop = 1425;
constexpr double kThumbTop = 120, kThumbWidth = 1935, kThumbHeight = 1815;
constexpr double kImageLeft = 90, kImageTop = 165, kImageWidth = 1740, kImageHeight = 1560;
constexpr double kScrollLeft = 10, kScrollTop = 2040, kScrollWidth = 8250, kScrollHeight = 255;
constexpr double kButtonWidth = 1800, kButtonHeight = 375, kButtonGap = 135;
constexpr double kButtonTop = kStripTop + kStripHeight + 150;
constexpr double kShowSide = 3975;
constexpr double kShowTop = kButtonTop + kButtonHeight + 150;
static_assert(kShowTop + kShowSide <= kPanelHeight);

// Left edge of frame `slot` when `shown` pictures are centred in the strip.
float thumbnailLeft(int shown, int slot) {
    constexpr float kEdges[5][4] = {
        {}, {3000}, {2160, 4200}, {960, 3000, 5040}, {120, 2160, 4200, 6240},
    };
    return kEdges[shown][slot - 1];
}

void setRaised(QLabel* image, bool raised) {
    image->setFrameStyle(raised ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame | QFrame::Plain);
    image->setLineWidth(raised ? 2 : 1);
}

} // namespace

PictureStrip::PictureStrip(QWidget* picScrollable, ItemEditor& editor)
    : QObject(picScrollable), m_editor(editor) {
    m_frame = ui::named(new QFrame(picScrollable), QStringLiteral("frameCoinImages"));
    placeTwips(m_frame, 0, 0, kPanelWidth, kPanelHeight);
    ui::setBackground(m_frame, ui::kWhite);
    m_frame->hide();

    ui::makePanelTitle(m_frame, 1, QStringLiteral("Coin Images"), ui::kTitleTeal);

    m_strip = ui::named(new QFrame(m_frame), QStringLiteral("framePropertyPictures"));
    placeTwips(m_strip, kCentre - kStripWidth / 2, kStripTop, kStripWidth, kStripHeight);
    ui::setBackground(m_strip, ui::kWhite);

    for (int k = 1; k <= kThumbnails; ++k) {
        Thumbnail& t = m_thumbs[static_cast<std::size_t>(k - 1)];
        t.frame = ui::element(new QFrame(m_strip), QStringLiteral("frmSelectPropertyImage"), k);
        placeTwips(t.frame, thumbnailLeft(kThumbnails, k), kThumbTop, kThumbWidth, kThumbHeight);
        ui::setBackground(t.frame, ui::kWhite);
        t.frame->hide();
        t.image = ui::element(new QLabel(t.frame), QStringLiteral("imgPropertyListItem"), k);
        placeTwips(t.image, kImageLeft, kImageTop, kImageWidth, kImageHeight);
        t.image->setScaledContents(true);
        setRaised(t.image, true);
    }

    m_scroll =
        ui::named(new QScrollBar(Qt::Horizontal, m_strip), QStringLiteral("hScrollPropertImages"));
    placeTwips(m_scroll, kScrollLeft, kScrollTop, kScrollWidth, kScrollHeight);
    m_scroll->setRange(0, 0);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(1);
    m_scroll->hide();
    connect(m_scroll, &QScrollBar::valueChanged, this, &PictureStrip::onScrolled);

    const double buttonsLeft = kCentre - (2 * kButtonWidth + kButtonGap) / 2;
    m_add = ui::named(new QPushButton(QStringLiteral("&Add Picture"), m_frame),
                      QStringLiteral("cmdAddPicture"));
    placeTwips(m_add, buttonsLeft, kButtonTop, kButtonWidth, kButtonHeight);
    m_delete = ui::named(new QPushButton(QStringLiteral("&Delete Picture"), m_frame),
                         QStringLiteral("cmdDeletePicture"));
    placeTwips(m_delete, buttonsLeft + kButtonWidth + kButtonGap, kButtonTop, kButtonWidth,
               kButtonHeight);
    m_delete->setEnabled(false);

    m_showFrame = ui::named(new QFrame(m_frame), QStringLiteral("frameShowImage"));
    placeTwips(m_showFrame, kCentre - kShowSide / 2, kShowTop, kShowSide, kShowSide);
    ui::setBackground(m_showFrame, ui::kWhite);
    m_showFrame->hide();
    m_showImage = ui::named(new QLabel(m_showFrame), QStringLiteral("imgShowImage"));
    placeTwips(m_showImage, 0, 0, kShowSide, kShowSide);
    m_showImage->setScaledContents(true);
    m_showImage->hide();
}

void PictureStrip::fillPictureStrip() {
    const QStringList& list = m_editor.pictures();
    const int n = static_cast<int>(list.size());

    m_filling = true;
    if (n < 5) {
        m_scroll->hide();
    } else {
        m_scroll->show();
        m_scroll->setRange(0, n - 4); // QAbstractSlider clamps the value into the range
    }
    m_filling = false;

    for (const Thumbnail& t : m_thumbs) {
        t.frame->hide();
    }

    const int o = m_scroll->isHidden() ? 0 : m_scroll->value();
    const int last = n >= 4 ? o + 4 : n;
    const QSize shown(ui::px(kImageWidth), ui::px(kImageHeight));
    const qreal dpr = m_frame->devicePixelRatioF();
    for (int i = last; i >= o + 1; --i) {
        const Thumbnail& t = thumbnail(i - o);
        ui::setTag(t.image, QString::number(i));
        const QString& name = list[i - 1];
        // An empty name is no file: its slot and tag stay, its frame is not shown.
        if (name.isEmpty()) {
            t.image->clear();
            continue;
        }
        const ui::LoadedPicture picture =
            ui::loadPictureOrInvalid(app::nativePath(app::programPath(name)), shown, dpr);
        if (picture.status == ui::PictureStatus::Loaded) {
            t.image->setPixmap(picture.pixmap);
        }
        t.frame->show();
    }

    // Empty names count as shown pictures here, so the others keep their places.
    const int count = n < 4 ? last : 4;
    for (int k = 1; k <= count; ++k) {
        placeTwips(thumbnail(k).frame, thumbnailLeft(count, k), kThumbTop, kThumbWidth,
                   kThumbHeight);
    }

    const bool anyShown = std::any_of(m_thumbs.begin(), m_thumbs.end(),
                                      [](const Thumbnail& t) { return !t.frame->isHidden(); });
    m_delete->setEnabled(anyShown);
}

void PictureStrip::deleteSelectedPicture() {
    QStringList list = m_editor.pictures();
    if (list.isEmpty()) {
        return;
    }
    for (int k = 1; k <= kThumbnails; ++k) {
        const qsizetype number = ui::tag(thumbnail(k).image).toLongLong();
        if (thumbnailSelected(k) && number >= 1 && number <= list.size()) {
            list[number - 1].clear();
            m_editor.markChanged();
        }
    }
    QStringList rebuilt;
    for (const QString& name : list) {
        if (!name.isEmpty()) {
            rebuilt << name;
        }
    }
    // Empty names fill the places the list still has.
    while (rebuilt.size() < list.size() - 1) {
        rebuilt << QString();
    }
    m_editor.setPictures(rebuilt);
    fillPictureStrip();
}

void PictureStrip::resetPictureSelection() {
    removeThumbnailFrameBorders();
    for (const Thumbnail& t : m_thumbs) {
        setRaised(t.image, true);
    }
    m_delete->setEnabled(false);
    m_showFrame->hide();
}

void PictureStrip::clearThumbnails() {
    for (const Thumbnail& t : m_thumbs) {
        t.image->clear();
    }
}

void PictureStrip::removeThumbnailFrameBorders() {
    for (const Thumbnail& t : m_thumbs) {
        t.frame->setFrameShape(QFrame::NoFrame);
    }
}

bool PictureStrip::thumbnailFrameVisible(int k) const {
    return k >= 1 && k <= kThumbnails && !thumbnail(k).frame->isHidden();
}

bool PictureStrip::thumbnailSelected(int k) const {
    return k >= 1 && k <= kThumbnails && thumbnail(k).frame->frameShape() == QFrame::Box;
}

QPixmap PictureStrip::thumbnailPicture(int k) const {
    return k >= 1 && k <= kThumbnails ? thumbnail(k).image->pixmap() : QPixmap();
}

QString PictureStrip::thumbnailTag(int k) const {
    return k >= 1 && k <= kThumbnails ? ui::tag(thumbnail(k).image) : QString();
}

void PictureStrip::onScrolled() {
    // Only the user's scrolling counts; the strip's own range changes do not.
    if (m_filling || m_scroll->isHidden()) {
        return;
    }
    fillPictureStrip();
    resetPictureSelection();
    emit scrolled();
}
