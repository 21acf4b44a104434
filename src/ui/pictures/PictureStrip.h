#pragma once

#include <QObject>
#include <QPixmap>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QWidget;
class ItemEditor;

// The Coin Images panel (frameCoinImages): the strip of four thumbnails over
// the open item's picture list, its scroll bar, the Add and Delete Picture
// buttons and the picture panel. Thumbnail tags number the pictures from 1.
class PictureStrip : public QObject {
    Q_OBJECT
public:
    static constexpr int kThumbnails = 4;

    // Builds frameCoinImages (with its title label, lblBigDescription element 1)
    // inside the scrolling area.
    PictureStrip(QWidget* picScrollable, ItemEditor& editor);

    QFrame* frame() const { return m_frame; }
    QScrollBar* scrollBar() const { return m_scroll; }
    QPushButton* deleteButton() const { return m_delete; }

    // Shows the list in the strip at the scroll bar's offset.
    void fillPictureStrip();
    // Takes the selected thumbnail's picture out of the list, one place
    // shorter; the marked frame stays marked. The file stays where it is.
    void deleteSelectedPicture();
    // No thumbnail selected, Delete Picture disabled, picture panel hidden.
    void resetPictureSelection();
    // Removes the pictures of the four thumbnails.
    void clearThumbnails();
    // Removes the border of the four thumbnail frames (the window's start-up).
    void removeThumbnailFrameBorders();

    bool thumbnailFrameVisible(int k) const;
    bool thumbnailSelected(int k) const;
    // Thumbnail k's picture; null when it holds none.
    QPixmap thumbnailPicture(int k) const;
    QString thumbnailTag(int k) const;

signals:
    // The strip was scrolled by the user: the window gives the focus to the
    // corner picture when that is visible.
    void scrolled();

private:
    struct Thumbnail {
        QFrame* frame = nullptr; // frmSelectPropertyImage
        QLabel* image = nullptr; // imgPropertyListItem
    };
    void onScrolled();

    ItemEditor& m_editor;
    QFrame* m_frame = nullptr;
    QFrame* m_strip = nullptr;      // framePropertyPictures
    QScrollBar* m_scroll = nullptr; // hScrollPropertImages
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QFrame* m_showFrame = nullptr; // frameShowImage
    QLabel* m_showImage = nullptr; // imgShowImage
    const Thumbnail& thumbnail(int k) const { return m_thumbs.at(static_cast<std::size_t>(k - 1)); }
    std::array<Thumbnail, kThumbnails> m_thumbs{};
    bool m_filling = false;
};
