#include "ui/main/Controls.h"

#include <QPalette>

namespace ui {

void SetBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

QColor TextColour(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

void SetUnderline(QWidget* w, bool on) {
    QFont f = w->font();
    f.setUnderline(on);
    w->setFont(f);
}

QFont CardFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(8.25);
    f.setBold(true);
    return f;
}

} // namespace ui
