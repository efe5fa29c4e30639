#include "theory/fit_range.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace orbel {

namespace {

void StepShift(PlaySequence& seq, int step) {
    const int shifted = seq.OctaveShift + step;
    if (shifted < -fit_range_limits::MaxOctaveShift || shifted > fit_range_limits::MaxOctaveShift) return;
    seq.OctaveShift = static_cast<std::int16_t>(shifted);
}

} // namespace

void FitRange(PlaySequence& seq, const Settings& settings) {
    int hi = fit_range_limits::LowestPitch;
    int lo = fit_range_limits::HighestPitch;
    const int count = std::min<int>(seq.SeqCount, sequence_limits::Notes);
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (seq.SeqRest[at] != 0) continue;
        hi = std::max<int>(hi, seq.SeqPitch[at]);
        lo = std::min<int>(lo, seq.SeqPitch[at]);
    }
    const int s = 12 * seq.OctaveShift;
    const bool limited = settings.RangeLimitOn == 1;
    const int high = limited ? settings.RangeHigh : fit_range_limits::HighestPitch;
    const int low = limited ? settings.RangeLow : fit_range_limits::LowestPitch;

    if (hi + s > high) {
        StepShift(seq, -1);
    } else if (lo + s < low) {
        StepShift(seq, +1);
    }
}

} // namespace orbel
