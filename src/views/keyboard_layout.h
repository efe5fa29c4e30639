#pragma once
// The piano keyboard along the bottom of the views: 56 keys from the F of pitch 5 to the C of pitch 60, their
// rectangles in the window's logical units (y upward), which keys carry a note of the sequence, and which
// key a point lies on.

#include "theory/play_sequence.h"

#include <array>
#include <optional>

namespace orbel {

namespace keyboard {
static constexpr int KeyCount = 56;
static constexpr int LowestPitch = 5; // key 1
static constexpr int KeyHeight = 1800;
static constexpr int Marks = 101; // key numbers 0..100 can be marked
} // namespace keyboard

struct KeyRect {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    bool white = false;
};

// Keys 1..56 at indexes 1..56; index 0 is empty.
using KeyTable = std::array<KeyRect, keyboard::KeyCount + 1>;

// The keys for views that end at frame2Left (where the right-hand column begins).
KeyTable BuildKeyTable(double frame2Left);

// The key of a pitch, or nothing when the keyboard has none.
std::optional<int> KeyOfPitch(int pitch);

// The key a point lies on, strictly inside its rectangle; black keys first, since they lie on top.
std::optional<int> KeyAt(const KeyTable& keys, double x, double y);

// Keys carrying a note of the sequence (not a rest) when the entry display is on.
std::array<bool, keyboard::Marks> MarkedKeys(const PlaySequence& seq, bool entryDisplay);

} // namespace orbel
