#pragma once

#include <QLabel>

// A thumbnail image of the picture strip (imgPropertyListItem): reports a
// click (pressed and released on it) and a double click.
class Thumbnail : public QLabel {
    Q_OBJECT
public:
    explicit Thumbnail(QWidget* parent = nullptr);

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
