#pragma once
// Points of the circle diagram per pitch class, in the main window's logical
// units: 12 sets (x and y of the rim, the note names, the three ring labels and
// the root marker) of 13 entries (pitch class 0..11, entry 12 repeating C).

#include "theory/play_sequence.h"

#include <array>
#include <cstddef>
#include <cstdint>

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

// The sets holding the points of a ring of the diagram (see circle_ring); the outer ring for none.
struct RingSets {
    std::size_t x;
    std::size_t y;
};
constexpr RingSets RingSetsOf(std::int8_t ring) {
    switch (ring) {
    case circle_ring::Middle:
        return {circle_sets::MiddleRingX, circle_sets::MiddleRingY};
    case circle_ring::Inner:
        return {circle_sets::InnerRingX, circle_sets::InnerRingY};
    default:
        return {circle_sets::OuterRingX, circle_sets::OuterRingY};
    }
}

} // namespace orbel
