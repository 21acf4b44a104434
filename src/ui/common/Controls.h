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

template <class W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

// Element n of a control group: the group's name plus the "index" property.
template <class W> W* element(W* w, const QString& name, int index) {
    w->setObjectName(name);
    w->setProperty("index", index);
    return w;
}

inline QString tag(const QWidget* w) {
    return w->property("tag").toString();
}
inline void setTag(QWidget* w, const QString& tag) {
    w->setProperty("tag", tag);
}

void setBackground(QWidget* w, const QColor& colour);
void setTextColour(QWidget* w, const QColor& colour);
QColor textColour(const QWidget* w);
void setUnderline(QWidget* w, bool on);

// The window's sans-serif face at a size; the window itself uses 8 points,
// the card lines and navigation links bold 8.25.
QFont sansFont(qreal pointSize, bool bold = false);
inline QFont windowFont() {
    return sansFont(8);
}
inline QFont cardFont() {
    return sansFont(8.25, true);
}

// The title label of an item panel: element `index` of lblBigDescription.
QLabel* makePanelTitle(QWidget* panel, int index, const QString& caption, const QColor& background);

} // namespace ui
