#include "sound/play_timing.h"

#include "app/program_state.h"
#include "theory/numbers.h"

#include <algorithm>
#include <array>

namespace orbel {

namespace {

constexpr double MsPerMinute = 60000.0;

// Shares of a tick for the long and the short half of a swung beat, by SwingLevel.
struct SwingShares {
    double longShare;
    double shortShare;
};
constexpr std::array<SwingShares, play_timing::SwingLevels> SwingTable{{{1.2, 0.8}, {1.4, 0.6}, {1.6, 0.4}}};

constexpr float LabelXWithKeyboard = 1.2F;
constexpr float LabelXWithoutKeyboard = 0.8F;

constexpr std::array<int, 4> ProgressionSteps{1, -1, 5, 0};

int AtLeastOneWait(int ms) {
    return std::max(ms, play_timing::ShortestWaitMs);
}

} // namespace

int BeatMs(int tempo) {
    return RoundHalfEven(MsPerMinute / std::max(tempo, play_timing::SlowestTempo));
}

TickLengths TickLengthsFor(int tempo, int swingLevel) {
    TickLengths lengths;
    lengths.beat = BeatMs(tempo);
    // beat / 8 / 3 is exact up to the last division, so it rounds as beat / 24 does.
    const int tick = RoundHalfEven(lengths.beat / 8.0 / 3.0);
    const SwingShares& shares =
        SwingTable[static_cast<std::size_t>(std::clamp(swingLevel, 0, play_timing::SwingLevels - 1))];
    lengths.tick = AtLeastOneWait(tick);
    lengths.swingLong = AtLeastOneWait(RoundHalfEven(tick * shares.longShare));
    lengths.swingShort = AtLeastOneWait(RoundHalfEven(tick * shares.shortShare));
    return lengths;
}

QString RepeatLabelText(int number, int count, int repeatOn) {
    if (repeatOn != 1) return {};
    return QStringLiteral("%1/%2").arg(number).arg(count);
}

LabelPosition RepeatLabelPosition(float cx, float cy, float r, bool keyboardShown) {
    if (keyboardShown) return {cx + LabelXWithKeyboard * r, cy - r};
    return {cx + LabelXWithoutKeyboard * r, play_timing::LabelYBesideKeyboard};
}

int ProgressionStep(int rootProgression) {
    if (rootProgression < 0 || rootProgression >= static_cast<int>(ProgressionSteps.size())) return 0;
    return ProgressionSteps[static_cast<std::size_t>(rootProgression)];
}

} // namespace orbel
