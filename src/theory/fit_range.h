#pragma once
// Keeping the notes of the sequence playable by moving its octave shift.

#include "theory/play_sequence.h"
#include "theory/settings.h"

namespace orbel {

namespace fit_range_limits {
// Without a range limit the shifted notes must lie within this window.
static constexpr int LowestPitch = 1;
static constexpr int HighestPitch = 71;
// The shift never goes beyond this many octaves either way, however the limits are set: every note would be
// out of the instrument's reach long before.
static constexpr int MaxOctaveShift = 10;
} // namespace fit_range_limits

// Moves OctaveShift by at most one octave towards the range of the sounding notes (rests do not count): the
// user's limits RangeLow..RangeHigh when settings.RangeLimitOn is on, else 1..71. A note above the range
// takes precedence over a note below it, so a range narrower than the notes makes the shift alternate from
// one build to the next. One step per build keeps the shift from jumping when only a single note is out of
// range.
void FitRange(PlaySequence& seq, const Settings& settings);

// The pitches FitRange moves the sounding notes into.
struct PitchWindow {
    int low = fit_range_limits::LowestPitch;
    int high = fit_range_limits::HighestPitch;
};
PitchWindow FitRangeWindow(const Settings& settings);

// The octave shifts, within MaxOctaveShift, that put every sounding note of seq inside window; any of them
// when nothing sounds. Empty (lowest > highest) when no shift does.
struct ShiftRange {
    int lowest = 0;
    int highest = 0;
    bool contains(int shift) const { return shift >= lowest && shift <= highest; }
};
ShiftRange ShiftsWithin(const PlaySequence& seq, PitchWindow window);

} // namespace orbel
