// The views while the music plays, for every study type at three roots: the play colours stay in the
// circle's cells and on the keys, nothing else of the window changes colour, and once the music stops or
// ends the views are as they were before it.

#include "desktop/desktop.h"
#include "desktop/trainer_run.h"

#include <gtest/gtest.h>
#include <thread>

namespace orbel::desktop {
namespace {

using namespace std::chrono_literals;

// Scales, chords, II–V–I patterns and phrases; a user's phrase file shows its circle as the phrases do.
constexpr int StudyTypes = 4;
constexpr int RootSteps[] = {0, 6, 4}; // C, then F♯, then A♯: one press of 半音＋ per semitone
// A played cell, the cursor and the tempo mark together stay well below this share of the views.
constexpr double PlayShare = 0.03;

long Changed(const QImage& a, const QImage& b, const QRect& area) {
    long n = 0;
    const QRect r = area & a.rect() & b.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

bool WaitUntilIdle(const TrainerRun& trainer, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        const auto play = trainer.control(QStringLiteral("frmMain/Command5"), 100ms);
        if (play && !play->state.contains(QStringLiteral("disabled"))) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

// The views' area left of the controls' column, whose buttons show where the focus is.
QRect Views(const TrainerRun& trainer) {
    const QRect surface = trainer.control(QStringLiteral("frmMain/Surface"))->rect;
    const QRect column = trainer.control(QStringLiteral("frmMain/Frame1"))->rect;
    return {surface.left(), surface.top(), column.left() - surface.left(), surface.height()};
}

class CircleWhilePlaying : public ::testing::TestWithParam<QSize> {};

TEST_P(CircleWhilePlaying, ColoursStayInTheirCellsAndGoWithTheMusic) {
    Desktop desktop(GetParam().width(), GetParam().height());
    ASSERT_TRUE(desktop.ready()) << desktop.problem();
    // It starts on the phrases, so that choosing each study type below builds it anew.
    TrainerRun trainer(desktop, {"StudyType=3", "RepeatOn=0", "CountInOn=0", "Tempo=300"});
    ASSERT_TRUE(trainer.started());
    const std::string size = std::to_string(GetParam().width());
    for (int study = 0; study < StudyTypes; ++study) {
        ASSERT_TRUE(trainer.choose(QStringLiteral("frmMain/Combo2"), study));
        // A new study type lays out the views anew; the first idle picture waits for all of it.
        std::this_thread::sleep_for(1s);
        for (const int step : RootSteps) {
            for (int i = 0; i < step; ++i)
                ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command3")));
            const std::string where = "study " + std::to_string(study) + " after " + std::to_string(step);
            SCOPED_TRACE(where);
            const QRect views = Views(trainer);
            const QRect row = trainer.control(QStringLiteral("frmMain/Check3"))->rect;
            // Above the keyboard and its row of check boxes (which are disabled while playing).
            const QRect upper(views.left(), views.top(), views.width(), row.top() - views.top());
            const std::string label =
                "circle-" + size + "-" + std::to_string(study) + "-" + std::to_string(step);
            const QImage idle = desktop.settledScreenshot((label + "-idle").c_str());
            ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command5")));
            std::this_thread::sleep_for(700ms);
            const QImage playing = desktop.screenshot(("circle-" + size + "-playing").c_str());
            ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command9")));
            ASSERT_TRUE(WaitUntilIdle(trainer, 3s));
            QImage stopped = desktop.settledScreenshot((label + "-stopped").c_str());
            // The first play of a run starts the sound server's stream, and what the player said meanwhile
            // arrives when the stream has started: a second look once all of it is in.
            if (Changed(idle, stopped, views) != 0) {
                std::this_thread::sleep_for(2s);
                stopped = desktop.settledScreenshot((label + "-stopped-again").c_str());
            }
            EXPECT_LT(Changed(idle, playing, upper), PlayShare * views.width() * views.height());
            EXPECT_EQ(Changed(idle, stopped, views), 0);
        }
        // One play-through to its end.
        const QRect views = Views(trainer);
        const QImage idle = desktop.settledScreenshot();
        ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command5")));
        std::this_thread::sleep_for(500ms);
        ASSERT_TRUE(WaitUntilIdle(trainer, 30s));
        EXPECT_EQ(Changed(idle, desktop.settledScreenshot(("circle-" + size + "-ended").c_str()), views), 0)
            << "study " << study << " after its play-through";
    }
}

INSTANTIATE_TEST_SUITE_P(ScreenSizes, CircleWhilePlaying,
                         ::testing::Values(QSize(1920, 1080), QSize(1366, 768)), [](const auto& info) {
                             return std::to_string(info.param.width()) + "x" +
                                    std::to_string(info.param.height());
                         });

} // namespace
} // namespace orbel::desktop
