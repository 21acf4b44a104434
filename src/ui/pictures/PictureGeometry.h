#pragma once

// Where pictures go, in twips and single precision, apart from any widget.
namespace ui {

// The thumbnail strip: left edge of frame `slot` (1 to 4) when `shown`
// frames (0 to 4) are centred in it.
float thumbnailLeft(int shown, int slot);

struct PanelPlacement {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// A picture of the given natural size fitted into the square picture panel,
// keeping its proportions, centred across and at the top.
PanelPlacement fitInPanel(float pictureWidth, float pictureHeight, float panelSide = 3975);

struct FullSizeLayout {
    float outerWidth = 0;
    float outerHeight = 0;
    float innerWidth = 0;
    float innerHeight = 0;
    bool scaled = false; // stretched over the inner area instead of shown at natural size
};

// The full-size window around a picture. `frameWidth` and `frameHeight` are
// what the window's border and title add to its inner area. A picture too
// wide for three quarters of the main window gets that width and the
// picture's proportions for the window's outer size; only the width decides.
// A window taller than `maxOuterHeight` (the screen; 0 for no limit) is
// brought down to it, proportions kept, so the whole picture stays in view.
FullSizeLayout fullSizeLayout(float pictureWidth, float pictureHeight, float frameWidth,
                              float frameHeight, float mainWindowWidth, float maxOuterHeight = 0);

} // namespace ui
