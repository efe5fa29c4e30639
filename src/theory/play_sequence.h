#pragma once
// The play sequence: the notes of the current study item as the builder wrote
// them, read by the player, the accompaniment and the views.

#include <array>
#include <cstdint>
#include <string>

namespace orbel {

namespace sequence_limits {
static constexpr int Notes = 513;     // entries 0..512
static constexpr int ChordChars = 24; // a chord symbol is cut at this many characters
static constexpr int DegreeChars = 5;
static constexpr std::int16_t RestPitch = 30;
} // namespace sequence_limits

template <typename T> using PerNote = std::array<T, sequence_limits::Notes>;

// The rings of the circle diagram, from the rim inwards: where a II–V–I pattern's notes are marked (the
// ring of their chord). The diagram's view finds the ring's point of each pitch class when it paints.
namespace circle_ring {
static constexpr std::int8_t None = 0;
static constexpr std::int8_t Outer = 1;  // the I chord; the degrees of scales
static constexpr std::int8_t Middle = 2; // the V chord
static constexpr std::int8_t Inner = 3;  // the II chord
} // namespace circle_ring

struct PlaySequence {
    std::int16_t SeqCount = 0;
    PerNote<std::int16_t> SeqPitch{};
    PerNote<std::int16_t> SeqDur{};
    PerNote<std::int16_t> SeqRest{};
    PerNote<std::int16_t> SeqTie{};
    // Chord symbol above this note, empty for none: UTF-8, at most ChordChars characters, not padded.
    PerNote<std::string> SeqChord{};
    PerNote<std::int16_t> SeqBarStart{};
    PerNote<std::int16_t> SeqBeam{};
    PerNote<std::string> SeqDegree{}; // degree name relative to the chord root (II–V–I patterns)
    PerNote<std::int8_t> SeqRing{};   // the ring of the circle diagram a pattern note is marked on

    std::int16_t BeatsPerBar = 4;
    std::int16_t OctaveShift = 0;   // whole octaves added when the notes are played or shown
    std::int16_t LastBuiltRoot = 0; // RootKey after the last phrase build: the reference for transposing it
    std::int16_t MajorSpelling = 1; // 1 = spell notes as in a major key, 0 = as in a minor key
};

} // namespace orbel
