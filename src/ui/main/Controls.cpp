#include "ui/main/Controls.h"

#include "ui/main/Twips.h"

#include <QLabel>
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

QLabel* MakePanelTitle(QWidget* panel, int element, const QString& caption,
                       const QColor& background) {
    auto* title = Element(new QLabel(caption, panel), QStringLiteral("lblBigDescription"), element);
    PlaceTwips(title, 2040, 780, 8385, 495);
    SetBackground(title, background);
    SetTextColour(title, kNavy);
    QFont f = title->font();
    f.setPointSize(12);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The corner picture overlaps the title's left end.
    title->setIndent(Px(375));
    title->setTextFormat(Qt::PlainText);
    return title;
}

} // namespace ui
