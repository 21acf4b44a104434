#pragma once

#include <QRect>
#include <QWidget>
#include <cmath>

// The design is in twips (1440 per inch); at 96 logical dpi a logical pixel is
// 15 twips. Every conversion goes through here.
namespace ui {

constexpr double kTwipsPerPixel = 15.0;

inline int px(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(double left, double top, double width, double height) {
    return {px(left), px(top), px(width), px(height)};
}

inline void placeTwips(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(twipsRect(left, top, width, height));
}

} // namespace ui
