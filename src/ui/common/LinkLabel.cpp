#include "ui/common/LinkLabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    if (!m_inside) {
        m_inside = true;
        emit pointerEntered();
    }
}

void LinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (m_inside) {
        m_inside = false;
        emit pointerLeft();
    }
}

// While a button is held the label keeps the mouse, so leaving is seen here.
void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_inside) {
        m_inside = inside;
        if (inside) {
            emit pointerEntered();
        } else {
            emit pointerLeft();
        }
    }
    QLabel::mouseMoveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        m_inside = true;
        emit releasedInside();
    }
    event->accept();
}
