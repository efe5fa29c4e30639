// The main window on desktops of the sizes musicians have: all of it, frame included, on the screen.

#include "desktop/desktop.h"
#include "desktop/trainer_run.h"

#include <gtest/gtest.h>

namespace orbel::desktop {
namespace {

class WindowOnScreen : public ::testing::TestWithParam<QSize> {};

TEST_P(WindowOnScreen, FrameFitsTheWorkArea) {
    Desktop desktop(GetParam().width(), GetParam().height());
    ASSERT_TRUE(desktop.ready()) << desktop.problem();
    TrainerRun trainer(desktop);
    ASSERT_TRUE(trainer.started());
    const QRect work = desktop.workArea();
    (void)desktop.screenshot(("window-" + std::to_string(GetParam().width())).c_str());
    const QRect frame = trainer.frame();
    EXPECT_TRUE(work.contains(frame))
        << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
        << " work area " << work.width() << "x" << work.height();
    // 終了 is whole on the screen.
    const auto quit = trainer.control(QStringLiteral("frmMain/Command1"));
    ASSERT_TRUE(quit.has_value());
    EXPECT_TRUE(work.contains(quit->rect));
}

INSTANTIATE_TEST_SUITE_P(ScreenSizes, WindowOnScreen,
                         ::testing::Values(QSize(1920, 1080), QSize(1366, 768), QSize(1280, 1024)),
                         [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

} // namespace
} // namespace orbel::desktop
