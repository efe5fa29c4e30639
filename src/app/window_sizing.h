#pragma once
// Size and place the main window from the screen, in twips.

namespace orbel {

namespace layout_mode {
static constexpr int Wide = 1;
static constexpr int Narrow = 3;
} // namespace layout_mode

struct WindowPlacement {
    int layoutMode = layout_mode::Wide;
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// screenWidth, screenHeight and workAreaHeight in twips. A screen wider than one
// and a half times its height gets a window of that proportion, centred; narrower
// screens give the whole width to the window.
WindowPlacement ComputeWindowPlacement(double screenWidth, double screenHeight, double workAreaHeight);

// Twips per pixel for a logical resolution in dots per inch.
double TwipsPerPixel(double logicalDpi);

} // namespace orbel
