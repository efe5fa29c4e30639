#pragma once
// Points of the circle diagram per pitch class, in the main window's logical
// units: 12 sets (x and y of the rim, the note names, the three ring labels and
// the root marker) of 13 entries (pitch class 0..11, entry 12 repeating C).

#include <array>

namespace orbel {

namespace circle_sets {
static constexpr int Count = 12;
static constexpr int Entries = 13;
static constexpr int OuterRingX = 4; // ring of the I chord; degree names of scales
static constexpr int OuterRingY = 5;
static constexpr int MiddleRingX = 6; // ring of the V chord
static constexpr int MiddleRingY = 7;
static constexpr int InnerRingX = 8; // ring of the II chord
static constexpr int InnerRingY = 9;
} // namespace circle_sets

using CircleGeometry = std::array<std::array<float, circle_sets::Entries>, circle_sets::Count>;

} // namespace orbel
