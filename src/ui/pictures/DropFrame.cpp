#include "ui/pictures/DropFrame.h"

#include <QDropEvent>
#include <QMimeData>

DropFrame::DropFrame(QWidget* parent) : QFrame(parent) {
    setAcceptDrops(true);
}

void DropFrame::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void DropFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData() != nullptr && ui::holdsPictures(*event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropFrame::dropEvent(QDropEvent* event) {
    if (event->mimeData() == nullptr) {
        return;
    }
    const QList<ui::PictureSource> pictures = ui::picturesIn(*event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (!pictures.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, pictures] { emit picturesDropped(pictures); }, Qt::QueuedConnection);
    }
}
