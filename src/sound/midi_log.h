#pragma once
// A plain-text trace of every MIDI message the trainer sends, for checking a whole run from outside:
// one line "<microseconds since the log began> <status> <data1> <data2>", decimal, and for a message the
// player scheduled a fifth field: the microsecond (on the same count) at which it is due.
// Thread: any thread, under the MIDI port's lock.

#include "sound/midi_output.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>

namespace orbel {

namespace midi_log {
// Names the file to append the trace to.
static constexpr const char* PathVariable = "ORBEL_MIDI_LOG";
} // namespace midi_log

// The trace file named by ORBEL_MIDI_LOG; nothing when the variable is unset or empty.
std::optional<std::filesystem::path> MidiLogPathFromEnvironment();

class MidiLog {
public:
    // Appends to the file. When it cannot be opened the trace stays off; the program plays on.
    explicit MidiLog(const std::filesystem::path& file);

    bool isOn() const { return out_.is_open() && out_.good(); }
    // Each line is flushed at once, so the trace is complete even if the program is killed.
    void write(ShortMessage message, std::optional<std::chrono::steady_clock::time_point> due = {});

private:
    std::chrono::steady_clock::time_point start_;
    std::ofstream out_;
};

} // namespace orbel
