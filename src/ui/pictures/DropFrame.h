#pragma once

#include "ui/pictures/PictureImport.h"

#include <QFrame>

// A frame that takes pictures dropped on it or on anything inside it: files
// from a file manager, or a picture dragged out of another program.
class DropFrame : public QFrame {
    Q_OBJECT
public:
    explicit DropFrame(QWidget* parent = nullptr);

signals:
    // Sent once the drop is over, so that the other program is not kept
    // waiting while the pictures are copied or a message is shown.
    void picturesDropped(const QList<ui::PictureSource>& pictures);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
