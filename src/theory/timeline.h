#pragma once
// The player's tick table: what each voice does at each tick (24 ticks to a
// quarter note), with per-tick copies of what the views show for the melody.
// The tables hold at least 3001 ticks and grow for longer sequences.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

namespace timeline_limits {
static constexpr std::int16_t NoEvent = -100;  // any value at or below it: nothing happens
static constexpr std::int16_t MelodyStop = -9; // rest, tied note, end of the line
static constexpr int Variants = 2;
static constexpr int Voices = 11;
static constexpr int VoiceMelody = 0;
static constexpr int FirstChordVoice = 1;
static constexpr int ChordVoices = 4;
static constexpr int VoiceBass = 5;
static constexpr int MinimumTicks = 3001; // ticks 0..3000
// The longest timeline that is built: every one of the 513 notes two bars long. Built sequences stay well
// inside it; a longer one is cut there rather than taking the memory of a malformed duration.
static constexpr int MaximumLength = 513 * 2 * 96;
static constexpr int TicksPerBeat = 24;
} // namespace timeline_limits

struct Timeline {
    using Voice = std::vector<std::int16_t>;
    // Cells by variant, voice and tick; the melody uses variant 0 only.
    std::array<std::array<Voice, timeline_limits::Voices>, timeline_limits::Variants> Cells;
    std::vector<std::int16_t> TieAt;     // 1 where the melody event continues the previous note
    std::vector<std::string> EventChord; // chord symbol of the note starting here, blank elsewhere
    std::vector<float> EventNoteX;       // the melody note's staff x and row base
    std::vector<float> EventRowBase;
    std::vector<std::string> EventDegree; // degree label of the melody note
    int TimelineLength = 0;               // ticks 0..TimelineLength-1 are played

    // Number of ticks the tables hold.
    int capacity() const { return static_cast<int>(TieAt.size()); }
    // True when every table has a cell for tick.
    bool holds(int tick) const { return tick >= 0 && tick < capacity(); }
    std::int16_t cell(int variant, int voice, int tick) const {
        return Cells[static_cast<std::size_t>(variant)][static_cast<std::size_t>(voice)]
                    [static_cast<std::size_t>(tick)];
    }
    std::int16_t& cell(int variant, int voice, int tick) {
        return Cells[static_cast<std::size_t>(variant)][static_cast<std::size_t>(voice)]
                    [static_cast<std::size_t>(tick)];
    }
};

} // namespace orbel
