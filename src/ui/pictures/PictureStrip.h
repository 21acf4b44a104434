#pragma once

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
    QPushButton* addButton() const { return m_add; }
    QPushButton* deleteButton() const { return m_delete; }
    QLabel* pictureImage() const { return m_showImage; }

    // Where the copy of an added picture gets its time stamp.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Add Picture: the chosen file copied into the picture folder under a
    // time-stamped name, which goes first in the list.
    void addPicture();
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onScrolled();
    // The list element thumbnail k shows, by its tag; raises when there is none.
    qsizetype elementOf(int k) const;

    struct Thumbnail {
        QFrame* frame = nullptr; // frmSelectPropertyImage
        QLabel* image = nullptr; // imgPropertyListItem
    };

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
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
    bool m_filling = false;
    int m_pressed = 0; // the thumbnail a click began on
};
