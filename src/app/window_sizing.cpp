#include "app/window_sizing.h"

namespace orbel {

namespace {
static constexpr double NarrowBelowTwips = 22001;
static constexpr double WideAspect = 1.5;
static constexpr double TwipsPerInch = 1440;
} // namespace

WindowPlacement ComputeWindowPlacement(double screenWidth, double screenHeight, double workAreaHeight) {
    WindowPlacement p;
    if (screenHeight * WideAspect >= screenWidth || screenWidth < NarrowBelowTwips) {
        p.layoutMode = layout_mode::Narrow;
        p.width = screenWidth;
    } else {
        p.layoutMode = layout_mode::Wide;
        p.width = screenHeight * WideAspect;
    }
    p.height = workAreaHeight;
    p.top = 0;
    p.left = (screenWidth - p.width) / 2;
    return p;
}

QRect FrameOnWorkArea(const WindowPlacement& p, double twipsPerPixel, const QRect& screen,
                      const QRect& workArea) {
    const QRect placed(screen.x() + qRound(p.left / twipsPerPixel),
                       workArea.y() + qRound(p.top / twipsPerPixel), qRound(p.width / twipsPerPixel),
                       qRound(p.height / twipsPerPixel));
    return placed.intersected(workArea);
}

double TwipsPerPixel(double logicalDpi) {
    return logicalDpi > 0 ? TwipsPerInch / logicalDpi : 15.0;
}

} // namespace orbel
