#include "ui/common/Controls.h"

#include "ui/common/Twips.h"

#include <QLabel>
#include <QPalette>

namespace ui {

void setBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

QColor textColour(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

void setUnderline(QWidget* w, bool on) {
    QFont f = w->font();
    f.setUnderline(on);
    w->setFont(f);
}

QFont sansFont(qreal pointSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QLabel* makePanelTitle(QWidget* panel, int index, const QString& caption,
                       const QColor& background) {
    auto* title = element(new QLabel(caption, panel), QStringLiteral("lblBigDescription"), index);
    placeTwips(title, 2040, 780, 8385, 495);
    setBackground(title, background);
    setTextColour(title, kNavy);
    QFont f = title->font();
    f.setPointSize(12);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The corner picture overlaps the title's left end.
    title->setIndent(px(375));
    title->setTextFormat(Qt::PlainText);
    return title;
}

} // namespace ui
