#pragma once
// Size and place the main window from the screen, in twips.

#include <QRect>

namespace orbel {

namespace layout_mode {
static constexpr int Wide = 1;
static constexpr int Narrow = 3;
} // namespace layout_mode

// The right-hand column of control frames, in twips: its width and its distance from the window's right edge.
// The views (the staff among them) use the width to its left.
namespace right_column {
static constexpr double FrameWidth = 3700;
static constexpr double RightMargin = 200;
} // namespace right_column

// Where the column's frames begin for a window of the given width: the staff stops short of it.
inline double RightColumnLeft(double windowWidth) {
    return windowWidth - right_column::FrameWidth - right_column::RightMargin;
}

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

// Where the window goes on the screen, in pixels, frame and all: the placement kept on the work area, so that
// no frame reaches under a panel or past the screen's edge.
QRect FrameOnWorkArea(const WindowPlacement& p, double twipsPerPixel, const QRect& screen,
                      const QRect& workArea);

// Twips per pixel for a logical resolution in dots per inch.
double TwipsPerPixel(double logicalDpi);

} // namespace orbel
