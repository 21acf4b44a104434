#include "ui/pictures/PictureStrip.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "platform/Platform.h"
#include "ui/common/BusyCursor.h"
#include "ui/common/Controls.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/pictures/DropFrame.h"
#include "ui/pictures/FittedPicture.h"
#include "ui/pictures/PictureGeometry.h"
#include "ui/pictures/PictureList.h"
#include "ui/pictures/Thumbnail.h"

#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <algorithm>

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

// Where the last pictures were chosen, in the settings store.
const QString kFolderKey = QStringLiteral("AddPictureFolder");

QString startFolder() {
    const std::optional<QString> last = platform::settings().get(kFolderKey);
    if (last && QFileInfo(*last).isDir()) {
        return *last;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

QString labelOf(const ui::PictureSource& source) {
    const QString name = QFileInfo(source.file).fileName();
    return name.isEmpty() ? source.file : name;
}

void setRaised(QLabel* image, bool raised) {
    image->setFrameStyle(raised ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame | QFrame::Plain);
    image->setLineWidth(raised ? 2 : 1);
}

} // namespace

PictureStrip::PictureStrip(QWidget* picScrollable, ItemEditor& editor)
    : QObject(picScrollable), m_editor(editor) {
    auto* panel = ui::named(new DropFrame(picScrollable), QStringLiteral("frameCoinImages"));
    connect(panel, &DropFrame::picturesDropped, this, &PictureStrip::addPictures);
    m_frame = panel;
    placeTwips(m_frame, 0, 0, kPanelWidth, kPanelHeight);
    ui::setBackground(m_frame, ui::kWhite);
    m_frame->hide();

    ui::makePanelTitle(m_frame, 1, QStringLiteral("Coin Images"), ui::kTitleTeal);

    m_strip = ui::named(new QFrame(m_frame), QStringLiteral("framePropertyPictures"));
    placeTwips(m_strip, kCentre - kStripWidth / 2, kStripTop, kStripWidth, kStripHeight);
    ui::setBackground(m_strip, ui::kWhite);

    for (int s = 0; s < kThumbnails; ++s) {
        SlotWidgets& t = m_thumbs[static_cast<std::size_t>(s)];
        t.frame = ui::element(new QFrame(m_strip), QStringLiteral("frmSelectPropertyImage"), s + 1);
        placeTwips(t.frame, thumbnailLeft(kThumbnails, s + 1), kThumbTop, kThumbWidth,
                   kThumbHeight);
        ui::setBackground(t.frame, ui::kWhite);
        t.frame->hide();
        t.image = ui::element(new Thumbnail(t.frame), QStringLiteral("imgPropertyListItem"), s + 1);
        placeTwips(t.image, kImageLeft, kImageTop, kImageWidth, kImageHeight);
        t.image->setScaledContents(true);
        setRaised(t.image, true);
        connect(t.image, &Thumbnail::clicked, this, [this, s] { selectThumbnail(s + 1); });
        connect(t.image, &Thumbnail::doubleClicked, this,
                [this, s] { showThumbnailFullSize(s + 1); });
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
        if (m_panelShown && m_selected >= 0) {
            deleteSelectedPicture();
        }
    });
}

void PictureStrip::addPicture() {
    app::Guard guard;
    QStringList chosen;
    guard.step([&] {
        chosen = platform::fileDialogs().openFiles(ui::addPictureTitle(), ui::addPictureFilters(),
                                                   startFolder());
    });
    if (chosen.isEmpty()) {
        return;
    }
    guard.step([&] {
        if (!platform::settings().set(kFolderKey, QFileInfo(chosen.front()).absolutePath())) {
            app::raise(app::kPermissionDenied);
        }
    });
    QList<ui::PictureSource> pictures;
    for (const QString& file : chosen) {
        pictures.append({file, {}});
    }
    addPictures(pictures);
}

void PictureStrip::addPictures(const QList<ui::PictureSource>& pictures) {
    app::Guard guard;
    QStringList list = m_editor.pictures();
    QList<std::pair<QString, QString>> failures;
    {
        const ui::BusyCursor busy;
        for (const ui::PictureSource& source : pictures) {
            ui::ImportedPicture added;
            // A copy that did not reach the disk is logged, and told with the others.
            guard.step([&] {
                try {
                    added = ui::importPicture(source, m_clock(), list);
                } catch (const app::RuntimeError& e) {
                    added.refusal = app::failureCause(e);
                    throw;
                } catch (const std::bad_alloc&) {
                    added.refusal = QStringLiteral("there is not enough memory for it");
                    throw;
                }
            });
            if (!added.name.isEmpty()) {
                list = ui::withPictureFirst(list, added.name);
            } else {
                failures.append({labelOf(source), added.refusal.isEmpty()
                                                      ? QStringLiteral("it could not be read")
                                                      : added.refusal});
            }
        }
    }
    if (failures.size() < pictures.size()) {
        m_editor.setPictures(list);
        m_editor.markChanged();
        // The list moved under the marked frame: nothing stays selected.
        resetPictureSelection();
        m_offset = 0;
        fillPictureStrip();
        emit pictureListChanged();
    }
    if (!failures.isEmpty()) {
        platform::messageBoxes().show({ui::notAddedText(failures, pictures.size()), app::kTitle,
                                       platform::Buttons::Ok, platform::Icon::Warning, 1});
    }
}

void PictureStrip::pastePicture() {
    if (const QMimeData* data = QGuiApplication::clipboard()->mimeData()) {
        addPictures(ui::picturesIn(*data));
    }
}

void PictureStrip::fillPictureStrip() {
    const QStringList& list = m_editor.pictures();
    const int n = static_cast<int>(list.size());

    // A hidden scroll bar keeps its offset for when it shows again.
    m_scrolling = n >= 5;
    if (m_scrolling) {
        m_offset = std::clamp(m_offset, 0, n - 4);
    }
    m_filling = true;
    m_scroll->setVisible(m_scrolling);
    if (m_scrolling) {
        m_scroll->setRange(0, n - 4);
        m_scroll->setValue(m_offset);
    }
    m_filling = false;

    const int o = m_scrolling ? m_offset : 0;
    const int shownCount = std::min(n - o, int(kThumbnails));
    const QSize shown(ui::px(kImageWidth), ui::px(kImageHeight));
    const qreal dpr = m_frame->devicePixelRatioF();
    QStringList paths;
    for (int s = 0; s < shownCount; ++s) {
        if (!list[o + s].isEmpty()) {
            paths << pathOf(list[o + s]);
        }
    }
    ui::preloadPicturesScaled(paths, shown, dpr);
    int onShow = 0;
    for (int s = kThumbnails - 1; s >= 0; --s) {
        Slot& slot = m_slots[static_cast<std::size_t>(s)];
        slot = {};
        if (s >= shownCount) {
            continue;
        }
        slot.element = o + s;
        Thumbnail* image = m_thumbs[static_cast<std::size_t>(s)].image;
        ui::setTag(image, QString::number(slot.element + 1));
        const QString& name = list[slot.element];
        // An empty name is no file: its slot and tag stay, its frame is not shown.
        if (name.isEmpty()) {
            image->clear();
            continue;
        }
        const ui::LoadedPicture picture = ui::loadPictureOrInvalid(pathOf(name), shown, dpr);
        if (picture.status == ui::PictureStatus::Loaded) {
            image->setPixmap(picture.pixmap);
        }
        slot.onShow = true;
        ++onShow;
    }

    // The frames on show close up and are centred as a group.
    for (int s = 0, place = 1; s < kThumbnails; ++s) {
        QFrame* frame = m_thumbs[static_cast<std::size_t>(s)].frame;
        const bool visible = m_slots[static_cast<std::size_t>(s)].onShow;
        if (visible) {
            placeTwips(frame, thumbnailLeft(onShow, place++), kThumbTop, kThumbWidth, kThumbHeight);
        }
        frame->setVisible(visible);
    }
    m_delete->setEnabled(onShow > 0);
}

qsizetype PictureStrip::elementOf(int slot) const {
    const qsizetype element = m_slots.at(static_cast<std::size_t>(slot)).element;
    if (element < 0 || element >= m_editor.pictures().size()) {
        app::raise(app::kSubscriptOutOfRange);
    }
    return element;
}

void PictureStrip::selectThumbnail(int k) {
    if (k < 1 || k > kThumbnails) {
        return;
    }
    app::Guard guard;
    resetPictureSelection();
    m_selected = k - 1;
    showSelection();
    m_delete->setEnabled(true);
    guard.step([&] { showPictureInPanel(m_editor.pictures()[elementOf(m_selected)]); });
    emit thumbnailClicked();
}

void PictureStrip::showPictureInPanel(const QString& name) {
    m_showImage->move(m_showImage->x(), 0);
    m_showImage->hide();
    m_showFrame->hide();
    m_panelShown = false;
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
    m_panelShown = true;
}

void PictureStrip::deleteSelectedPicture() {
    if (m_selected < 0) {
        return;
    }
    app::Guard guard;
    const bool removed = guard.step([&] {
        m_editor.setPictures(ui::withPictureRemoved(m_editor.pictures(), elementOf(m_selected)));
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
    guard.step([&] { emit fullSizeRequested(m_editor.pictures()[elementOf(k - 1)]); });
}

void PictureStrip::resetPictureSelection() {
    removeThumbnailFrameBorders();
    m_delete->setEnabled(false);
    m_showFrame->hide();
    m_panelShown = false;
}

void PictureStrip::clearThumbnails() {
    for (const SlotWidgets& t : m_thumbs) {
        t.image->clear();
    }
}

void PictureStrip::removeThumbnailFrameBorders() {
    m_selected = -1;
    showSelection();
}

void PictureStrip::showSelection() {
    for (int s = 0; s < kThumbnails; ++s) {
        const SlotWidgets& t = m_thumbs[static_cast<std::size_t>(s)];
        t.frame->setFrameShape(s == m_selected ? QFrame::Box : QFrame::NoFrame);
        setRaised(t.image, s != m_selected);
    }
}

bool PictureStrip::thumbnailFrameVisible(int k) const {
    return k >= 1 && k <= kThumbnails && m_slots[static_cast<std::size_t>(k - 1)].onShow;
}

bool PictureStrip::thumbnailSelected(int k) const {
    return k >= 1 && k <= kThumbnails && m_selected == k - 1;
}

QPixmap PictureStrip::thumbnailPicture(int k) const {
    return k >= 1 && k <= kThumbnails ? m_thumbs[static_cast<std::size_t>(k - 1)].image->pixmap()
                                      : QPixmap();
}

int PictureStrip::selectedThumbnail() const {
    return m_selected + 1;
}

QString PictureStrip::thumbnailTag(int k) const {
    if (k < 1 || k > kThumbnails || m_slots[static_cast<std::size_t>(k - 1)].element < 0) {
        return {};
    }
    return QString::number(m_slots[static_cast<std::size_t>(k - 1)].element + 1);
}

void PictureStrip::onScrolled(int value) {
    m_offset = value;
    // Only the user's scrolling counts; the strip's own range changes do not.
    if (m_filling || !m_scrolling) {
        return;
    }
    fillPictureStrip();
    resetPictureSelection();
    emit scrolled();
}
