#pragma once

#include <QRect>
#include <QWidget>
#include <cmath>

// The design is in twips (1440 per inch); at 96 logical dpi a logical pixel is
// 15 twips. Every conversion goes through here.
namespace ui {

constexpr double kTwipsPerPixel = 15.0;

inline int Px(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double Twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect TwipsRect(double left, double top, double width, double height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

inline void PlaceTwips(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(TwipsRect(left, top, width, height));
}

} // namespace ui
