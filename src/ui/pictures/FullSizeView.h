#pragma once

#include "ui/pictures/PictureGeometry.h"

#include <QDialog>

class QLabel;
class QPixmap;

// frmShowImage: one picture in a tool window of its own, at its natural size
// (picShowImage) or stretched over the window (imgShowImage). A click on the
// picture closes it.
class FullSizeView : public QDialog {
    Q_OBJECT
public:
    explicit FullSizeView(QWidget* parent);

    // Sizes the window's inner area to the layout and shows the picture,
    // decoded at that size, in the box the layout calls for.
    void showPicture(const QPixmap& picture, const ui::FullSizeLayout& layout);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_natural = nullptr; // picShowImage
    QLabel* m_scaled = nullptr;  // imgShowImage
    QObject* m_pressed = nullptr;
};

namespace ui {

// Shows picture `name`, relative to the program folder, in a new full-size
// window and returns when the user has closed it. The main window's width,
// in twips, decides whether the picture is scaled down.
void showPictureFullSize(const QString& name, QWidget* mainWindow, float mainWindowWidthTwips);

} // namespace ui
