// The keyboard: its keys, the marks of the sequence, the hit test, and a played key on the pixels.

#include "views/colour.h"
#include "views/keyboard_view.h"
#include "views/surface.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

constexpr double ViewsRight = 19800;

TEST(Keyboard, PitchesFromFToCHaveKeys) {
    const struct {
        int pitch;
        std::optional<int> key;
    } cases[] = {{5, 1}, {6, 2}, {60, 56}, {61, std::nullopt}, {4, std::nullopt}, {-9, std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(KeyOfPitch(c.pitch), c.key) << c.pitch;
    const KeyTable keys = BuildKeyTable(ViewsRight);
    EXPECT_TRUE(keys[1].white);  // F
    EXPECT_FALSE(keys[2].white); // F sharp
    EXPECT_EQ(keys[2].bottom, 820);
    EXPECT_EQ(keys[1].top, 1898);
    EXPECT_LT(keys[56].right, ViewsRight);
}

TEST(Keyboard, MarksFollowTheSoundingNotesAndTheOctaveShift) {
    PlaySequence seq;
    for (int p = 24; p <= 36; ++p) {
        const auto i = static_cast<std::size_t>(seq.SeqCount++);
        seq.SeqPitch[i] = static_cast<std::int16_t>(p);
        seq.SeqRest[i] = p == 30 ? 1 : 0;
    }
    seq.OctaveShift = -1;
    const auto marks = MarkedKeys(seq, true);
    for (int key = 0; key < keyboard::Marks; ++key) {
        const int pitch = key + keyboard::LowestPitch - 1 + 12; // before the shift
        EXPECT_EQ(marks[static_cast<std::size_t>(key)], key >= 8 && key <= 20 && pitch != 30) << key;
    }
    const auto none = MarkedKeys(seq, false);
    EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
}

TEST(Keyboard, APointLiesOnTheBlackKeyAboveAWhiteOneAndEdgesBelongToNeither) {
    const KeyTable keys = BuildKeyTable(ViewsRight);
    const KeyRect& black = keys[2];
    const KeyRect& white = keys[1];
    EXPECT_EQ(KeyAt(keys, (black.left + black.right) / 2.0, 1500), 2);
    EXPECT_EQ(KeyAt(keys, white.left + 10, 1500), 1);
    EXPECT_EQ(KeyAt(keys, white.left + 10, 500), 1);
    EXPECT_EQ(KeyAt(keys, white.left, 500), std::nullopt);
    EXPECT_EQ(KeyAt(keys, white.left + 10, white.top), std::nullopt);
}

// The played white key lights; the marked black key beside it keeps its mark colour on top.
TEST(Keyboard, APlayedWhiteKeyLeavesTheMarkedBlackKeyBesideItMarked) {
    constexpr std::uint32_t Mark = 0xFFC896;
    constexpr std::uint32_t Played = 0x008CFF;
    PlaySequence seq;
    seq.SeqCount = 2;
    seq.SeqPitch[0] = 7; // G, key 3
    seq.SeqPitch[1] = 8; // G sharp, key 4, marked
    seq.SeqDur[0] = seq.SeqDur[1] = 24;
    KeyboardView view;
    view.setContent(KeyboardFor(seq, true, true, 0, Mark, Played, ViewsRight));
    Surface s(QSize(1320, 1040), 1.0, 24300, 15600);
    view.DrawKeyboard(s);
    view.ShowPlayedKey(s, 0);
    const auto colourAt = [&s](double x, double y) {
        const QPointF p = s.toDevice(x, y);
        return ToBgr(s.picture().pixel(static_cast<int>(p.x()), static_cast<int>(p.y())));
    };
    const KeyRect& g = view.keys()[3];
    const KeyRect& gSharp = view.keys()[4];
    EXPECT_EQ(colourAt((g.left + g.right) / 2.0, 400), Played);
    EXPECT_EQ(colourAt((gSharp.left + gSharp.right) / 2.0, 1500), Mark);
    view.ShowPlayedKey(s, 24); // the black key sounds next; G goes back to its mark
    EXPECT_EQ(colourAt((g.left + g.right) / 2.0, 400), Mark);
    EXPECT_EQ(colourAt((view.keys()[1].left + view.keys()[1].right) / 2.0, 400), bgr::White);
    EXPECT_EQ(colourAt((gSharp.left + gSharp.right) / 2.0, 1500), Played);
    view.EndPlayKeyboard(s);
    EXPECT_EQ(colourAt((gSharp.left + gSharp.right) / 2.0, 1500), Mark);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// Through a play-through the key lit is always the key of the note sounding, and none is lit at the end;
// with the entry display off nothing is marked but the played key is still lit.
TEST(Keyboard, TheLitKeyFollowsTheMelodyAndGoesOutAtTheEnd) {
    constexpr std::uint32_t Mark = 0xFFC896;
    constexpr std::uint32_t Played = 0x008CFF;
    const std::vector<std::pair<int, bool>> notes{
        {7, false}, {9, false}, {0, true}, {10, false}, {12, false}};
    PlaySequence seq;
    for (const auto& [pitch, rest] : notes) {
        const auto i = static_cast<std::size_t>(seq.SeqCount++);
        seq.SeqPitch[i] = static_cast<std::int16_t>(pitch);
        seq.SeqRest[i] = rest ? 1 : 0;
        seq.SeqDur[i] = 24;
    }
    for (const bool entryDisplay : {true, false}) {
        KeyboardView view;
        view.setContent(KeyboardFor(seq, true, entryDisplay, 0, Mark, Played, ViewsRight));
        Surface s(QSize(1320, 1040), 1.0, 24300, 15600);
        view.DrawKeyboard(s);
        view.DrawKeyMarks(s);
        const auto keyColour = [&](int key) {
            const KeyRect& r = view.keys()[static_cast<std::size_t>(key)];
            const QPointF p = s.toDevice((r.left + r.right) / 2.0, r.white ? 400 : 1500);
            return ToBgr(s.picture().pixel(static_cast<int>(p.x()), static_cast<int>(p.y())));
        };
        const auto litKeys = [&] {
            std::vector<int> lit;
            for (int k = 1; k < keyboard::KeyCount; ++k)
                if (keyColour(k) == Played) lit.push_back(k);
            return lit;
        };
        for (std::size_t i = 0; i < notes.size(); ++i) {
            view.ShowPlayedKey(s, static_cast<int>(i) * 24);
            const std::vector<int> expected =
                notes[i].second ? std::vector<int>{} : std::vector<int>{*KeyOfPitch(notes[i].first)};
            EXPECT_EQ(litKeys(), expected) << "note " << i << " entry display " << entryDisplay;
        }
        view.EndPlayKeyboard(s);
        EXPECT_TRUE(litKeys().empty()) << entryDisplay;
        EXPECT_EQ(keyColour(*KeyOfPitch(7)), entryDisplay ? Mark : bgr::White);
    }
}

} // namespace
} // namespace orbel
