// The player's notifications reach the window's thread in the order the player made them, whether they
// are for the views or the window, with and without the output's delay.

#include "ui/queued_player_events.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace orbel {
namespace {

using namespace std::chrono_literals;

struct Heard final : PlayerEvents, PlayerViews {
    void studyChanged(const StudyChange& change) override {
        order.push_back("root " + std::to_string(change.RootKey));
    }
    void MovePlayCursor(int tick, bool /*first*/) override {
        order.push_back("tick " + std::to_string(tick));
    }
    void HidePlayCursor() override { order.push_back("end"); }
    std::vector<std::string> order;
};

TEST(QueuedPlayerEvents, TheWindowHearsViewsAndStateInThePlayersOrder) {
    for (const std::chrono::milliseconds delay : {0ms, 30ms}) {
        Heard heard;
        QObject window;
        QueuedPlayerEvents events(heard, window, [delay] { return delay; });
        QueuedPlayerViews views(heard, window, [delay] { return delay; });
        // The last steps of a pass, then the player's move to the next root, sent from another thread.
        std::thread player([&] {
            views.MovePlayCursor(90, false);
            views.HidePlayCursor();
            events.studyChanged({5, 0, 0, nullptr});
            views.MovePlayCursor(0, true);
        });
        player.join();
        for (int i = 0; i < 200 && heard.order.size() < 4; ++i)
            QTest::qWait(5);
        EXPECT_EQ(heard.order, (std::vector<std::string>{"tick 90", "end", "root 5", "tick 0"}))
            << delay.count() << " ms";
    }
}

} // namespace
} // namespace orbel
