#pragma once

#include "ui/pictures/PictureImport.h"

#include <QDateTime>
#include <QObject>
#include <QPixmap>
#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QWidget;
class ItemEditor;
class Thumbnail;

// The Coin Images panel (frameCoinImages): the strip of four thumbnails over
// the open item's picture list, its scroll bar, the Add and Delete Picture
// buttons and the picture panel. The strip keeps what it shows and which
// thumbnail is marked itself, counted from 0; the public thumbnail numbers k
// and the thumbnails' tags count from 1, as the window's controls do.
class PictureStrip : public QObject {
    Q_OBJECT
public:
    static constexpr int kThumbnails = 4;

    // Builds frameCoinImages (with its title label, lblBigDescription element 1)
    // inside the scrolling area.
    PictureStrip(QWidget* picScrollable, ItemEditor& editor);

    QFrame* frame() const { return m_frame; }
    QScrollBar* scrollBar() const { return m_scroll; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* deleteButton() const { return m_delete; }
    QLabel* pictureImage() const { return m_showImage; }

    // Where the copy of an added picture gets its time stamp.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Add Picture: the files chosen in the dialog, added by addPictures. The
    // dialog opens where the last pictures were chosen, at first in the
    // user's pictures folder.
    void addPicture();
    // Each picture copied into the picture folder under a time-stamped name
    // of its own and put first in the list, in the given order, so that the
    // last ends up first. Those that cannot be added are left out and told in
    // one message; the strip is refreshed once.
    void addPictures(const QList<ui::PictureSource>& pictures);
    // The files copied to the clipboard, or else its picture, as addPictures.
    void pastePicture();
    // Shows the list in the strip at the scroll bar's offset.
    void fillPictureStrip();
    // Thumbnail k (1 to 4) marked and its picture in the picture panel.
    void selectThumbnail(int k);
    // The list element `name` fitted into the picture panel.
    void showPictureInPanel(const QString& name);
    // Takes the selected thumbnail's picture out of the list, one place
    // shorter; the marked frame stays marked. The file stays where it is.
    void deleteSelectedPicture();
    // Asks for thumbnail k's picture at full size, as a double click does.
    void showThumbnailFullSize(int k);
    // No thumbnail selected, Delete Picture disabled, picture panel hidden.
    void resetPictureSelection();
    // Removes the pictures of the four thumbnails.
    void clearThumbnails();
    // Removes the border of the four thumbnail frames (the window's start-up).
    void removeThumbnailFrameBorders();

    bool thumbnailFrameVisible(int k) const;
    bool thumbnailSelected(int k) const;
    // The first selected thumbnail (1 to 4), 0 for none.
    int selectedThumbnail() const;
    // Thumbnail k's picture; null when it holds none.
    QPixmap thumbnailPicture(int k) const;
    QString thumbnailTag(int k) const;

signals:
    // The strip was scrolled by the user, or a thumbnail clicked: the window
    // gives the focus to the corner picture when that is visible.
    void scrolled();
    void thumbnailClicked();
    // A picture was added or removed: the corner picture follows thumbnail 1.
    void pictureListChanged();
    // The picture named so (relative to the program folder) at full size.
    void fullSizeRequested(const QString& name);

private:
    void onScrolled(int value);
    // The list element slot s (from 0) shows; raises when it shows none.
    qsizetype elementOf(int slot) const;
    // Frames and looks after the marked slot.
    void showSelection();

    struct SlotWidgets {
        QFrame* frame = nullptr;    // frmSelectPropertyImage
        Thumbnail* image = nullptr; // imgPropertyListItem
    };
    // What a slot shows: a list element (from 0) or none, and whether its
    // frame is on show (an empty name keeps its element but shows no frame).
    struct Slot {
        qsizetype element = -1;
        bool onShow = false;
    };

    ItemEditor& m_editor;
    QFrame* m_frame = nullptr;
    QFrame* m_strip = nullptr;      // framePropertyPictures
    QScrollBar* m_scroll = nullptr; // hScrollPropertImages
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QFrame* m_showFrame = nullptr; // frameShowImage
    QLabel* m_showImage = nullptr; // imgShowImage
    std::array<SlotWidgets, kThumbnails> m_thumbs{};
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };

    std::array<Slot, kThumbnails> m_slots{};
    int m_offset = 0;          // list elements scrolled past
    bool m_scrolling = false;  // the scroll bar is on show
    int m_selected = -1;       // the marked slot, -1 for none
    bool m_panelShown = false; // the picture panel shows the marked slot's picture
    bool m_filling = false;    // the strip sets its own scroll bar
};
