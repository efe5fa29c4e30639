// The play menu's modes over the item list, on a hand-driven clock with a host that stands in for the
// item list: which items play in which order, the count-in, stops, and the messages.

#include "sound/play_modes.h"
#include "sound/play_texts.h"
#include "sound/player_rig.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace orbel {
namespace {

using testing::AllNotesOffOn;
using testing::CountInClick;
using testing::NoteOnOn;
using testing::PlayerRig;

// However a test goes wrong, a mode ends by this play-through rather than running on for good.
constexpr int LastPlayThrough = 50;

// A rig with an item list of `items` one-beat items, stopping at the start of play-through stopAt.
class ModeRig : public PlayerRig {
public:
    ModeRig(int items, int stopAt, PlayModes::RandomSource random = SeededRandom(11))
        : modes(*sled, std::move(random)) {
        state.itemCount = items;
        setMelody({{24, 24}});
        host.onPlayThrough = [this, stopAt](int n) {
            if (n == stopAt || n >= LastPlayThrough) sled->Stop();
        };
    }
    // The items that really played (the last play-through was stopped at its first tick).
    std::vector<int> played() const {
        std::vector<int> items = host.playedItems;
        if (!items.empty()) items.pop_back();
        return items;
    }
    void markFavourites(const std::vector<int>& items) {
        state.settings.StudyType = 3;
        state.study.phrases.PhraseFavourite.assign(static_cast<std::size_t>(state.itemCount), 0);
        for (int i : items)
            state.study.phrases.PhraseFavourite[static_cast<std::size_t>(i)] = 1;
    }

    PlayModes modes;
};

// Draws from a fixed list, then 0.
PlayModes::RandomSource Scripted(std::vector<double> values) {
    auto queue = std::make_shared<std::deque<double>>(values.begin(), values.end());
    return [queue] {
        if (queue->empty()) return 0.0;
        const double r = queue->front();
        queue->pop_front();
        return r;
    };
}

// --- Picks and cycles

TEST(RandomPick, RoundsHalvesToEvenAndStaysInRange) {
    EXPECT_EQ(RandomPick(0.0, 3), 0);
    EXPECT_EQ(RandomPick(0.25, 3), 0); // 0.5 → 0
    EXPECT_EQ(RandomPick(0.26, 3), 1);
    EXPECT_EQ(RandomPick(0.74, 3), 1);
    EXPECT_EQ(RandomPick(0.75, 3), 2); // 1.5 → 2
    EXPECT_EQ(RandomPick(0.999, 1), 0);
    EXPECT_EQ(RandomPick(1.5, 3), 2);
    EXPECT_EQ(RandomPick(0.5, 0), 0);
}

// --- Random modes

struct RandomCase {
    const char* name;
    int items;
    std::vector<int> favourites; // empty: the mode over all items
    std::uint32_t seed;
};

void PrintTo(const RandomCase& c, std::ostream* os) {
    *os << c.name;
}

class RandomModeTest : public ::testing::TestWithParam<RandomCase> {};

TEST_P(RandomModeTest, EveryCandidateOncePerCycleAfterOneCountIn) {
    const RandomCase& c = GetParam();
    const int plays = 12;
    ModeRig rig(c.items, plays + 1, SeededRandom(c.seed));
    rig.state.settings.CountInOn = 1;
    std::vector<int> candidates = c.favourites;
    if (c.favourites.empty()) {
        for (int i = 0; i < c.items; ++i)
            candidates.push_back(i);
        rig.modes.PlayAllAtRandom();
    } else {
        rig.markFavourites(c.favourites);
        rig.modes.PlayFavouritesAtRandom();
    }
    const std::vector<int> played = rig.played();
    ASSERT_EQ(played.size(), static_cast<std::size_t>(plays));
    const std::size_t n = candidates.size();
    for (std::size_t cycle = 0; cycle + n <= played.size(); cycle += n) {
        std::vector<int> round(played.begin() + static_cast<long>(cycle),
                               played.begin() + static_cast<long>(cycle + n));
        std::sort(round.begin(), round.end());
        EXPECT_EQ(round, candidates) << "cycle starting at play " << cycle;
    }
    EXPECT_EQ(rig.recordsWhere(CountInClick()).size(), 6U);
    EXPECT_EQ(rig.host.controls.front(), true);
    EXPECT_EQ(rig.host.controls.back(), false);
}

INSTANTIATE_TEST_SUITE_P(PlayModes, RandomModeTest,
                         ::testing::Values(RandomCase{"ThreeItems", 3, {}, 1},
                                           RandomCase{"ThreeItemsAgain", 3, {}, 99},
                                           RandomCase{"FourItems", 4, {}, 5}, RandomCase{"OneItem", 1, {}, 3},
                                           RandomCase{"ThreeFavourites", 8, {1, 4, 6}, 2},
                                           RandomCase{"OneFavourite", 5, {2}, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlayModes, ARandomPickOnAUsedItemTakesTheLowestUnused) {
    // 0.99 → 3; 0.99 → 3 again, used: 0; 0.0 → 0, used: 1; 0.7 → 2; a new cycle: 0.99 → 3.
    ModeRig rig(4, 6, Scripted({0.99, 0.99, 0.0, 0.7, 0.99}));
    rig.modes.PlayAllAtRandom();
    EXPECT_EQ(rig.played(), (std::vector<int>{3, 0, 1, 2, 3}));
}

// --- In-order modes

TEST(PlayModes, FavouritesInOrderRepeatAfterOneCountIn) {
    ModeRig rig(7, 5);
    rig.state.settings.CountInOn = 1;
    rig.markFavourites({3, 5});
    rig.modes.PlayFavouritesInOrder();
    EXPECT_EQ(rig.played(), (std::vector<int>{3, 5, 3, 5}));
    EXPECT_EQ(rig.recordsWhere(CountInClick()).size(), 6U);
    EXPECT_EQ(rig.prompter.messages, QStringList{});
}

TEST(PlayModes, StopWhileAllInOrderPlaysItemFourLeavesItSelected) {
    ModeRig rig(6, 0);
    rig.host.onPlayThrough = [&rig](int) {
        if (rig.host.selected == 4) rig.onYield = [&rig] { rig.sled->Stop(); };
    };
    rig.modes.PlayAllInOrder();
    EXPECT_EQ(rig.host.playedItems, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(rig.host.selected, 4);
    EXPECT_EQ(rig.host.controls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(rig.sled->continuousPlay());
}

TEST(PlayModes, AStopWhileAnItemIsChosenIsNotLost) {
    ModeRig rig(6, 0);
    rig.host.onSelect = [&rig](int item) {
        if (item == 2) rig.sled->Stop();
    };
    rig.modes.PlayAllInOrder();
    EXPECT_EQ(rig.host.playedItems, (std::vector<int>{0, 1}));
    EXPECT_EQ(rig.host.controls.back(), false);
}

TEST(PlayModes, StopDuringTheCountInPlaysNothing) {
    ModeRig rig(3, 0);
    rig.state.settings.CountInOn = 1;
    rig.onYield = [&rig] { rig.sled->Stop(); };
    rig.modes.PlayAllInOrder();
    EXPECT_TRUE(rig.host.playedItems.empty());
    EXPECT_TRUE(rig.recordsWhere(NoteOnOn(0)).empty());
    EXPECT_EQ(rig.host.controls.back(), false);
}

// --- Messages

TEST(PlayModes, NoFavouritesIsToldByBothFavouriteModes) {
    for (const bool random : {false, true}) {
        ModeRig rig(4, 0);
        rig.markFavourites({});
        random ? rig.modes.PlayFavouritesAtRandom() : rig.modes.PlayFavouritesInOrder();
        EXPECT_EQ(rig.prompter.messages, QStringList{play_texts::NoFavourites});
        EXPECT_EQ(rig.host.controls, (std::vector<bool>{true, false}));
        EXPECT_TRUE(rig.host.playedItems.empty());
    }
}

TEST(PlayModes, MarksLeftFromAPhraseListAreNoFavouritesOfACatalogue) {
    ModeRig rig(4, 0);
    rig.markFavourites({1});
    rig.state.settings.StudyType = 0;
    rig.modes.PlayFavouritesInOrder();
    EXPECT_EQ(rig.prompter.messages, QStringList{play_texts::NoFavourites});
}

TEST(PlayModes, AFaultIsToldAndTheModeEndsIdle) {
    ModeRig rig(5, 0);
    rig.host.onSelect = [](int item) {
        if (item == 2) throw std::runtime_error("broken item");
    };
    rig.modes.PlayAllInOrder();
    EXPECT_EQ(rig.prompter.messages, QStringList{play_texts::UnexpectedError});
    EXPECT_EQ(rig.host.playedItems, (std::vector<int>{0, 1}));
    EXPECT_EQ(rig.host.controls.back(), false);
    EXPECT_EQ(rig.host.quitAndReference.back(), true);
    EXPECT_FALSE(rig.sled->continuousPlay());
    // Nothing is left sounding.
    const auto messages = rig.output->messages();
    ASSERT_GE(messages.size(), 3U);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_TRUE(
            AllNotesOffOn(channel)(messages[messages.size() - 3 + static_cast<std::size_t>(channel)]));
}

// --- The current item once

TEST(PlayModes, PlayThisPlaysOnceAndRedrawsTheViews) {
    ModeRig rig(5, 0);
    rig.state.settings.CountInOn = 1;
    rig.modes.PlayThis();
    EXPECT_EQ(rig.host.playedItems.size(), 1U);
    EXPECT_TRUE(rig.recordsWhere(CountInClick()).empty());
    EXPECT_TRUE(rig.host.controls.empty());
    EXPECT_EQ(rig.host.quitAndReference, (std::vector<bool>{false, true}));
    EXPECT_EQ(rig.host.redraws, 1);
    // The instruments are sent before the item plays.
    const auto programChanges =
        rig.recordsWhere([](ShortMessage m) { return (StatusOf(m) & 0xF0) == midi_bytes::ProgramChange; });
    EXPECT_EQ(programChanges.size(), 4U);
}

TEST(PlayModes, AnEmptyListPlaysNothing) {
    ModeRig rig(0, 0);
    rig.modes.PlayAllInOrder();
    rig.modes.PlayAllAtRandom();
    EXPECT_TRUE(rig.host.playedItems.empty());
    EXPECT_TRUE(rig.host.controls.empty());
}

} // namespace
} // namespace orbel
