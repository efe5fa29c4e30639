#include "theory/fit_range.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace orbel {

namespace {

static constexpr int Octave = 12;

void StepShift(PlaySequence& seq, int step) {
    const int shifted = seq.OctaveShift + step;
    if (shifted < -fit_range_limits::MaxOctaveShift || shifted > fit_range_limits::MaxOctaveShift) return;
    seq.OctaveShift = static_cast<std::int16_t>(shifted);
}

// The lowest and the highest sounding pitch; none when every entry is a rest.
std::optional<PitchWindow> SoundingSpan(const PlaySequence& seq) {
    std::optional<PitchWindow> span;
    const int count = std::clamp<int>(seq.SeqCount, 0, sequence_limits::Notes);
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (seq.SeqRest[at] != 0) continue;
        const int pitch = seq.SeqPitch[at];
        if (!span) span = PitchWindow{pitch, pitch};
        span->low = std::min(span->low, pitch);
        span->high = std::max(span->high, pitch);
    }
    return span;
}

int FloorDiv(int a, int b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

} // namespace

PitchWindow FitRangeWindow(const Settings& settings) {
    if (!settings.RangeLimitOn) return {};
    return {settings.RangeLow, settings.RangeHigh};
}

void FitRange(PlaySequence& seq, const Settings& settings) {
    // The span is taken from the far edges of 1..71 inwards, so a sequence of rests still moves a shift that
    // has left the window.
    const PitchWindow span = SoundingSpan(seq).value_or(
        PitchWindow{fit_range_limits::HighestPitch, fit_range_limits::LowestPitch});
    const int hi = std::max(fit_range_limits::LowestPitch, span.high);
    const int lo = std::min(fit_range_limits::HighestPitch, span.low);
    const int s = Octave * seq.OctaveShift;
    const PitchWindow window = FitRangeWindow(settings);
    if (hi + s > window.high) {
        StepShift(seq, -1);
    } else if (lo + s < window.low) {
        StepShift(seq, +1);
    }
}

ShiftRange ShiftsWithin(const PlaySequence& seq, PitchWindow window) {
    ShiftRange range{-fit_range_limits::MaxOctaveShift, fit_range_limits::MaxOctaveShift};
    const std::optional<PitchWindow> span = SoundingSpan(seq);
    if (!span) return range;
    range.lowest = std::max(range.lowest, -FloorDiv(span->low - window.low, Octave));
    range.highest = std::min(range.highest, FloorDiv(window.high - span->high, Octave));
    return range;
}

} // namespace orbel
