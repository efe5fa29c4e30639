#include "app/window_sizing.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(WindowSizing, ScreensChooseWideOrNarrowLayout) {
    // 1920 × 1080 at 15 twips per pixel: wide, one and a half heights, centred.
    const WindowPlacement wide = ComputeWindowPlacement(28800, 16200, 15600);
    EXPECT_EQ(wide.layoutMode, layout_mode::Wide);
    EXPECT_DOUBLE_EQ(wide.width, 24300);
    EXPECT_DOUBLE_EQ(wide.left, (28800 - 24300) / 2.0);
    EXPECT_DOUBLE_EQ(wide.height, 15600);
    EXPECT_DOUBLE_EQ(wide.top, 0);

    // 1280 × 1024: narrower than 22001 twips, the window takes the whole width.
    const WindowPlacement narrow = ComputeWindowPlacement(19200, 15360, 14800);
    EXPECT_EQ(narrow.layoutMode, layout_mode::Narrow);
    EXPECT_DOUBLE_EQ(narrow.width, 19200);
    EXPECT_DOUBLE_EQ(narrow.left, 0);

    // Wide enough in twips but not wider than 1.5 heights (a 4:3 screen): narrow.
    EXPECT_EQ(ComputeWindowPlacement(30000, 22500, 22000).layoutMode, layout_mode::Narrow);
    // Exactly 1.5 heights counts as narrow; the boundary of 22001 twips counts as wide.
    EXPECT_EQ(ComputeWindowPlacement(24000, 16000, 15000).layoutMode, layout_mode::Narrow);
    EXPECT_EQ(ComputeWindowPlacement(22001, 10000, 9000).layoutMode, layout_mode::Wide);
    EXPECT_EQ(ComputeWindowPlacement(22000, 10000, 9000).layoutMode, layout_mode::Narrow);
}

// The frame, title bar and all, lies on the work area: a panel above or below takes its share of the height
// and a wide window stays centred on the screen.
TEST(WindowSizing, FrameLiesOnTheWorkArea) {
    const struct {
        QRect screen, work, frame;
    } cases[] = {
        {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {150, 0, 1620, 1080}},
        {{0, 0, 1920, 1080}, {0, 32, 1920, 1048}, {150, 32, 1620, 1048}},
        {{0, 0, 1366, 768}, {0, 0, 1366, 740}, {0, 0, 1366, 740}},
        {{0, 0, 1280, 1024}, {64, 0, 1216, 1024}, {64, 0, 1216, 1024}},          // a dock on the left
        {{1920, 0, 1280, 1024}, {1920, 24, 1280, 1000}, {1920, 24, 1280, 1000}}, // a second screen
    };
    for (const auto& c : cases) {
        const double twips = TwipsPerPixel(96);
        const WindowPlacement p = ComputeWindowPlacement(c.screen.width() * twips, c.screen.height() * twips,
                                                         c.work.height() * twips);
        const QRect frame = FrameOnWorkArea(p, twips, c.screen, c.work);
        EXPECT_EQ(frame, c.frame) << c.screen.width() << "x" << c.screen.height();
        EXPECT_TRUE(c.work.contains(frame));
    }
}

TEST(WindowSizing, TwipsPerPixelFollowsTheLogicalResolution) {
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(120), 12);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(0), 15); // a screen that reports nothing
}

} // namespace
} // namespace orbel
