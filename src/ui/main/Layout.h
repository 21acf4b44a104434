#pragma once

// The main window's layout on resize, as pure arithmetic over twips in single
// precision: the window calls it and applies the result.
namespace ui {

struct LayoutInput {
    float W = 0;                   // outer width
    float H = 0;                   // outer height
    float SW = 0;                  // inner width
    float SH = 0;                  // inner height
    float cornerWidth = 2285;      // picUpperLeftCorner
    float navigationHeight = 610;  // frameNavigation
    float scrollableWidth = 11295; // picScrollable
    float scrollableHeight = 0;
    float vScrollWidth = 255;    // VScroll1
    float hScrollHeight = 255;   // HScroll2
    bool vScrollVisible = false; // as the previous layout left it
    int vScrollPosition = 0;     // 0..3
    int hScrollPosition = 0;     // 0..3
};

struct LayoutResult {
    float frameHomeHeight = 0;
    float navigationWidth = 0; // both bars; also the end point of their bottom lines
    bool hScrollVisible = false;
    bool vScrollVisible = false;
    float vScrollLeft = 0, vScrollTop = 0, vScrollHeight = 0;
    float hScrollLeft = 0, hScrollTop = 0, hScrollWidth = 0;
    int vScrollPosition = 0; // a hidden bar is reset to 0
    int hScrollPosition = 0;
    float scrollableLeft = 0;
    float scrollableTop = 0;
};

LayoutResult computeLayout(const LayoutInput& in);

// The scroll handlers: where the content stands for a bar position.
float scrolledTop(float H, float scrollableHeight, bool visible, int position);
float scrolledLeft(float W, float scrollableWidth, bool visible, int position);

} // namespace ui
