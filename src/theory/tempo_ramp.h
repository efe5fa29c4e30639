#pragma once
// The tempo ramp of practice: a loop that speeds up as the player gets it. After every `every` repetitions
// the tempo rises by `step`, up to `ceiling`, where it holds, or with `restart` goes back to where it began.

namespace orbel {

namespace ramp_limits {
static constexpr int LowestStep = 1;
static constexpr int HighestStep = 20;
static constexpr int LowestEvery = 1;
static constexpr int HighestEvery = 20;
} // namespace ramp_limits

struct TempoRamp {
    int step = 5;
    int every = 2;
    int ceiling = 200;
    bool restart = false;
};

// The tempo after `repetitionsDone` repetitions of a ramp that began at startTempo. A start at or above the
// ceiling stays where it is.
int RampTempo(const TempoRamp& ramp, int startTempo, int repetitionsDone);

} // namespace orbel
