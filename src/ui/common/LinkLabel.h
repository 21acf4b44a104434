#pragma once

#include <QLabel>

// A label that behaves as a hyperlink: it reports the pointer entering and
// leaving it and a mouse button released over it, and shows the hand cursor.
// The owners set colours and underline.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void pointerEntered();
    void pointerLeft();
    void releasedInside();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_inside = false;
};
