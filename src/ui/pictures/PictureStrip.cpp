#include "ui/pictures/PictureStrip.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "platform/Platform.h"
#include "ui/common/Controls.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/pictures/FittedPicture.h"
#include "ui/pictures/PictureGeometry.h"
#include "ui/pictures/PictureList.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <vector>

namespace {

using ui::placeTwips;
using ui::thumbnailLeft;

// Design sizes, in twips.
constexpr double kPanelWidth = 10692, kPanelHeight = 8490;
constexpr double kTitleLeft = 2040, kTitleWidth = 8385;
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

QString pathOf(const QString& name) {
    return app::nativePath(app::programPath(name));
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
        t.image->installEventFilter(this);
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

    connect(m_add, &QPushButton::clicked, this, &PictureStrip::addPicture);
    connect(m_delete, &QPushButton::clicked, this, [this] {
        if (!m_showFrame->isHidden() && selectedThumbnail() != 0) {
            deleteSelectedPicture();
        }
    });
}

void PictureStrip::addPicture() {
    app::Guard guard;
    std::optional<QString> chosen;
    guard.step([&] {
        chosen = platform::fileDialogs().openFile(ui::addPictureTitle(), ui::addPictureFilters());
    });
    if (!chosen) {
        return;
    }
    const QString name = ui::copiedPictureName(m_clock(), *chosen);
    // A copy that fails is logged; its name is listed all the same.
    guard.step([&] { ui::copyPictureFile(*chosen, pathOf(name)); });
    m_editor.setPictures(ui::withPictureFirst(m_editor.pictures(), name));
    m_editor.markChanged();
    // The list moved under the marked frame: nothing stays selected.
    resetPictureSelection();
    m_filling = true;
    m_scroll->setValue(0);
    m_filling = false;
    fillPictureStrip();
    emit pictureListChanged();
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
    QStringList paths;
    for (int i = o + 1; i <= last; ++i) {
        if (!list[i - 1].isEmpty()) {
            paths << pathOf(list[i - 1]);
        }
    }
    ui::preloadPicturesScaled(paths, shown, dpr);
    for (int i = last; i >= o + 1; --i) {
        const Thumbnail& t = thumbnail(i - o);
        ui::setTag(t.image, QString::number(i));
        const QString& name = list[i - 1];
        // An empty name is no file: its slot and tag stay, its frame is not shown.
        if (name.isEmpty()) {
            t.image->clear();
            continue;
        }
        const ui::LoadedPicture picture = ui::loadPictureOrInvalid(pathOf(name), shown, dpr);
        if (picture.status == ui::PictureStatus::Loaded) {
            t.image->setPixmap(picture.pixmap);
        }
        t.frame->show();
    }

    // The frames on show close up and are centred as a group.
    std::vector<const Thumbnail*> onShow;
    for (const Thumbnail& t : m_thumbs) {
        if (!t.frame->isHidden()) {
            onShow.push_back(&t);
        }
    }
    const int count = static_cast<int>(onShow.size());
    for (int k = 1; k <= count; ++k) {
        placeTwips(onShow[static_cast<std::size_t>(k - 1)]->frame, thumbnailLeft(count, k),
                   kThumbTop, kThumbWidth, kThumbHeight);
    }
    m_delete->setEnabled(count > 0);
}

qsizetype PictureStrip::elementOf(int k) const {
    const qsizetype number = app::cLng(thumbnailTag(k));
    if (number < 1 || number > m_editor.pictures().size()) {
        app::raise(app::kSubscriptOutOfRange);
    }
    return number;
}

void PictureStrip::selectThumbnail(int k) {
    if (k < 1 || k > kThumbnails) {
        return;
    }
    app::Guard guard;
    resetPictureSelection();
    thumbnail(k).frame->setFrameShape(QFrame::Box);
    m_delete->setEnabled(true);
    setRaised(thumbnail(k).image, false);
    guard.step([&] { showPictureInPanel(m_editor.pictures()[elementOf(k) - 1]); });
    emit thumbnailClicked();
}

void PictureStrip::showPictureInPanel(const QString& name) {
    m_showImage->move(m_showImage->x(), 0);
    m_showImage->hide();
    m_showFrame->hide();
    const auto placementFor = [](QSize natural) {
        return ui::fitInPanel(static_cast<float>(ui::twips(natural.width())),
                              static_cast<float>(ui::twips(natural.height())),
                              static_cast<float>(kShowSide));
    };
    const ui::FittedPicture picture = ui::loadFittedOrInvalid(
        pathOf(name),
        [&](QSize natural) {
            const ui::PanelPlacement p = placementFor(natural);
            return QSize(ui::px(p.width), ui::px(p.height));
        },
        m_frame->devicePixelRatioF());
    const ui::PanelPlacement p = placementFor(picture.naturalSize);
    placeTwips(m_showImage, p.left, p.top, p.width, p.height);
    if (picture.loaded.status == ui::PictureStatus::Loaded) {
        m_showImage->setPixmap(picture.loaded.pixmap);
    }
    m_showImage->show();
    m_showFrame->show();
}

void PictureStrip::deleteSelectedPicture() {
    const int k = selectedThumbnail();
    if (k == 0) {
        return;
    }
    app::Guard guard;
    const bool removed = guard.step([&] {
        m_editor.setPictures(ui::withPictureRemoved(m_editor.pictures(), elementOf(k) - 1));
        m_editor.markChanged();
    });
    if (!removed) {
        return;
    }
    fillPictureStrip();
    emit pictureListChanged();
}

void PictureStrip::showThumbnailFullSize(int k) {
    if (k < 1 || k > kThumbnails) {
        return;
    }
    app::Guard guard;
    guard.step([&] { emit fullSizeRequested(m_editor.pictures()[elementOf(k) - 1]); });
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

int PictureStrip::selectedThumbnail() const {
    for (int k = 1; k <= kThumbnails; ++k) {
        if (thumbnailSelected(k)) {
            return k;
        }
    }
    return 0;
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

bool PictureStrip::eventFilter(QObject* watched, QEvent* event) {
    int k = 0;
    for (int slot = 1; slot <= kThumbnails; ++slot) {
        k = thumbnail(slot).image == watched ? slot : k;
    }
    const QEvent::Type type = event->type();
    if (k == 0 || (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
                   type != QEvent::MouseButtonDblClick)) {
        return QObject::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) {
        return false;
    }
    if (type == QEvent::MouseButtonPress) {
        m_pressed = k;
    } else if (type == QEvent::MouseButtonDblClick) {
        // The release that ends a double click is no click of its own.
        m_pressed = 0;
        showThumbnailFullSize(k);
    } else if (m_pressed == k) {
        m_pressed = 0;
        if (thumbnail(k).image->rect().contains(mouse->position().toPoint())) {
            selectThumbnail(k);
        }
    }
    return true;
}
