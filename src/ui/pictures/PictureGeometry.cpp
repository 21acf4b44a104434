#include "ui/pictures/PictureGeometry.h"

#include <algorithm>
#include <array>

namespace ui {

float thumbnailLeft(int shown, int slot) {
    static constexpr std::array<std::array<float, 4>, 5> kEdges = {{
        {},
        {3000},
        {2160, 4200},
        {960, 3000, 5040},
        {120, 2160, 4200, 6240},
    }};
    const auto row = static_cast<std::size_t>(std::clamp(shown, 0, 4));
    const auto column = static_cast<std::size_t>(std::clamp(slot, 1, 4) - 1);
    return kEdges[row][column];
}

PanelPlacement fitInPanel(float pictureWidth, float pictureHeight, float panelSide) {
    PanelPlacement p;
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return p;
    }
    if (pictureWidth >= pictureHeight) {
        p.width = panelSide;
        p.height = panelSide * pictureHeight / pictureWidth;
    } else {
        p.height = panelSide;
        p.width = panelSide * pictureWidth / pictureHeight;
    }
    p.left = p.width < panelSide ? (panelSide - p.width) / 2 : 0;
    return p;
}

FullSizeLayout fullSizeLayout(float pictureWidth, float pictureHeight, float frameWidth,
                              float frameHeight, float mainWindowWidth, float maxOuterHeight) {
    FullSizeLayout l;
    l.outerWidth = frameWidth + pictureWidth;
    l.outerHeight = frameHeight + pictureHeight;
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        l.innerWidth = std::max(pictureWidth, 0.0f);
        l.innerHeight = std::max(pictureHeight, 0.0f);
        return l;
    }
    if (0.75f * mainWindowWidth < l.outerWidth) {
        l.scaled = true;
        l.outerWidth = 0.75f * mainWindowWidth;
        l.outerHeight = pictureHeight / pictureWidth * l.outerWidth;
    }
    if (maxOuterHeight > frameHeight && l.outerHeight > maxOuterHeight) {
        const float shrink = (maxOuterHeight - frameHeight) / (l.outerHeight - frameHeight);
        l.scaled = true;
        l.outerWidth = frameWidth + (l.outerWidth - frameWidth) * shrink;
        l.outerHeight = maxOuterHeight;
    }
    if (!l.scaled) {
        l.innerWidth = pictureWidth;
        l.innerHeight = pictureHeight;
        return l;
    }
    l.innerWidth = std::max(l.outerWidth - frameWidth, 0.0f);
    l.innerHeight = std::max(l.outerHeight - frameHeight, 0.0f);
    return l;
}

} // namespace ui
