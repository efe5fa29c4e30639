#include "theory/tempo_ramp.h"

#include <algorithm>

namespace orbel {

int RampTempo(const TempoRamp& ramp, int startTempo, int repetitionsDone) {
    const int step = std::clamp(ramp.step, ramp_limits::LowestStep, ramp_limits::HighestStep);
    const int every = std::clamp(ramp.every, ramp_limits::LowestEvery, ramp_limits::HighestEvery);
    if (startTempo >= ramp.ceiling || repetitionsDone <= 0) return startTempo;
    // Levels: the start, a step up each, the last one the ceiling itself.
    const int levels = (ramp.ceiling - startTempo + step - 1) / step + 1;
    int level = repetitionsDone / every;
    level = ramp.restart ? level % levels : std::min(level, levels - 1);
    return std::min(startTempo + level * step, ramp.ceiling);
}

} // namespace orbel
