#include "ui/pictures/Thumbnail.h"

#include <QMouseEvent>
#include <utility>

Thumbnail::Thumbnail(QWidget* parent) : QLabel(parent) {}

void Thumbnail::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return QLabel::mousePressEvent(event);
    }
    m_pressed = true;
}

void Thumbnail::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return QLabel::mouseReleaseEvent(event);
    }
    if (std::exchange(m_pressed, false) && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

// The release that ends a double click is no click of its own.
void Thumbnail::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return QLabel::mouseDoubleClickEvent(event);
    }
    m_pressed = false;
    emit doubleClicked();
}
