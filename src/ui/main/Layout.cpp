#include "ui/main/Layout.h"

namespace ui {

float scrolledTop(float H, float scrollableHeight, bool visible, int position) {
    if (!visible || position == 0) {
        return 0;
    }
    return (H - 920.0f - scrollableHeight) / static_cast<float>(4 - position);
}

float scrolledLeft(float W, float scrollableWidth, bool visible, int position) {
    if (!visible || position == 0) {
        return 0;
    }
    return (W - scrollableWidth) / static_cast<float>(4 - position);
}

LayoutResult computeLayout(const LayoutInput& in) {
    LayoutResult r;
    r.frameHomeHeight = in.H - 520.0f;
    r.navigationWidth = in.W - 100.0f - in.cornerWidth;

    r.hScrollVisible = in.vScrollVisible ? in.scrollableWidth + 100.0f + in.vScrollWidth > in.W
                                         : in.scrollableWidth + 100.0f > in.W;
    r.vScrollVisible = r.hScrollVisible ? in.scrollableHeight + 700.0f + in.hScrollHeight > in.H
                                        : in.scrollableHeight + 700.0f > in.H;

    r.vScrollLeft = in.W - in.vScrollWidth - 100.0f;
    r.vScrollTop = in.navigationHeight;
    r.vScrollHeight = r.hScrollVisible ? in.SH - in.navigationHeight - in.hScrollHeight
                                       : in.SH - in.navigationHeight;
    r.hScrollLeft = 0;
    r.hScrollTop = in.H - 1025.0f;
    r.hScrollWidth = r.vScrollVisible ? in.SW - in.vScrollWidth : in.SW;

    r.vScrollPosition = r.vScrollVisible ? in.vScrollPosition : 0;
    r.hScrollPosition = r.hScrollVisible ? in.hScrollPosition : 0;
    r.scrollableTop = scrolledTop(in.H, in.scrollableHeight, r.vScrollVisible, r.vScrollPosition);
    r.scrollableLeft = scrolledLeft(in.W, in.scrollableWidth, r.hScrollVisible, r.hScrollPosition);

    // Runs after the horizontal handler: a resize always ends at left 0 or centred.
    r.scrollableLeft = in.W > 11440.0f ? in.W / 2.0f - in.scrollableWidth / 2.0f : 0.0f;
    return r;
}

} // namespace ui
