#pragma once
// An external MIDI device or program reached through an ALSA sequencer output port.
// Thread: any thread, under the MIDI port's lock.

#include "sound/midi_output.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class RtMidiOut;

namespace orbel {

class AlsaPortOutput final : public MidiOutput {
public:
    // port: the port's number, or its name as the sequencer lists it (a part of the name is enough);
    // empty means the first port.
    explicit AlsaPortOutput(std::string port);
    ~AlsaPortOutput() override;
    AlsaPortOutput(const AlsaPortOutput&) = delete;
    AlsaPortOutput& operator=(const AlsaPortOutput&) = delete;

    bool open(std::string& error) override;
    void send(ShortMessage message) override;
    void reset() override;
    void close() override;
    bool isOpen() const override;

    // The names of the sequencer's output ports in port-number order; empty with a reason in error
    // when there is no sequencer.
    static std::vector<std::string> PortNames(std::string& error);

private:
    std::string port_;
    std::unique_ptr<RtMidiOut> out_;
    std::string lastError_;
};

// The port a choice names among the sequencer's ports: a number is the port's position, an exact name
// wins over a name that only contains the text, and an empty choice means the first port.
std::optional<std::size_t> FindAlsaPort(const std::vector<std::string>& names, const std::string& wanted);

} // namespace orbel
