#pragma once
// A MIDI keyboard the user plays along on: its ports, the one open, and the keys struck on it, each with the
// moment it arrived. The handler is called on the input's own thread.
// Thread: opened on the window's thread; the handler is called on the input's own.

#include "sound/midi_output.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orbel {

class MidiInput {
public:
    // velocity 0 is a release.
    using NoteHandler = std::function<void(int key, int velocity, MidiClock::time_point at)>;

    MidiInput() = default;
    virtual ~MidiInput() = default;
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    // The inputs present now; empty when there are none or the sequencer cannot be used.
    virtual std::vector<std::string> ports() = 0;
    // Listens on the port of that name; false with the reason in words a user can read.
    virtual bool open(const std::string& port, std::string& error) = 0;
    virtual void close() = 0;
    virtual std::optional<std::string> openPort() const = 0;
    virtual void setHandler(NoteHandler handler) = 0;
};

} // namespace orbel
