#pragma once
// A minute of clicks at tempo 300 in the real window, as a drummer hears them: the trainer plays on a test
// desktop, the sound server's output is recorded, and the interval between each two clicks is timed in the
// samples. Shared by the desktop suite and the steady-time benchmark.

#include "desktop/desktop.h"

#include <QString>
#include <chrono>
#include <optional>
#include <string>

namespace orbel::desktop {

// What else the machine does meanwhile.
enum class Disturbance {
    None,
    BusyLoops,        // two programs spinning on every core
    MenusEverySecond, // the File menu and the About box opened in the trainer, one after the other
};

struct ClickFigures {
    std::size_t clicks = 0;
    double beatMs = 0; // the median interval
    // How far each interval is from the beat (ms).
    double p50 = 0, p99 = 0, max = 0;
    double shortestMs = 0, longestMs = 0;
    std::string loadAverage;
    QString outputDelay; // as the trainer last said it
    // As the trainer said: how often the sound server ran dry, and the time line moved since, in all.
    int ranDry = 0;
    int timeLineMoves = 0;
    // Wake-ups of a real-time thread later than MachineStall in the measured minute, and the latest (ms):
    // the machine itself stopped every program.
    int machineStalls = 0;
    double worstMachineStallMs = 0;
    // When the interval furthest from the beat ended (s into the minute), and the latest wake-up of the
    // real-time thread while its sound was made (ms; 0 if it was always on time within a millisecond).
    double worstAtSeconds = 0;
    double stallNearWorstMs = 0;
    // From the trainer's MIDI trace: how long before its due time the player sent a message, at the least
    // (ms; below zero it was late), and how many it sent after their due time.
    double leastSentAheadMs = 0;
    int sentLate = 0;
};

inline constexpr std::chrono::milliseconds MachineStall{20};

// A first play of warmUp, a stop, then the measured play of `playing`. Nothing, with the reason in problem,
// when the trainer could not be driven or nothing was heard.
std::optional<ClickFigures> PlayClicks(Desktop& desktop, Disturbance disturbance, std::chrono::seconds warmUp,
                                       std::chrono::seconds playing, std::string& problem);

} // namespace orbel::desktop
