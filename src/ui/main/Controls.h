#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>
#include <QWidget>

class QLabel;

// Small helpers for the window's controls: names, element numbers of control
// groups, tags, colours and fonts.
namespace ui {

inline const QColor kNavy(0, 0, 128);
inline const QColor kLinkHover(102, 153, 204);
inline const QColor kWhite(0xFF, 0xFF, 0xFF);
inline const QColor kBarGrey(0xE0, 0xE0, 0xE0);
inline const QColor kTitleTeal(0x00, 0x9D, 0x9D);

template <class W> W* Named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

// Element n of a control group: the group's name plus the "index" property.
template <class W> W* Element(W* w, const QString& name, int index) {
    w->setObjectName(name);
    w->setProperty("index", index);
    return w;
}

inline QString Tag(const QWidget* w) {
    return w->property("tag").toString();
}
inline void SetTag(QWidget* w, const QString& tag) {
    w->setProperty("tag", tag);
}

void SetBackground(QWidget* w, const QColor& colour);
void SetTextColour(QWidget* w, const QColor& colour);
QColor TextColour(const QWidget* w);
void SetUnderline(QWidget* w, bool on);

// Bold 8.25-point sans-serif, the card lines' font.
QFont CardFont();

// The title label of an item panel: element `element` of lblBigDescription.
QLabel* MakePanelTitle(QWidget* panel, int element, const QString& caption,
                       const QColor& background);

} // namespace ui
