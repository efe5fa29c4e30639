#pragma once
// The MIDI keyboard through the ALSA sequencer. Nothing is printed: every problem comes back as words for
// the practice window.
// Thread: opened on the window's thread; keys arrive on the sequencer's input thread.

#include "sound/midi_input.h"

#include <memory>
#include <mutex>

class RtMidiIn;

namespace orbel {

class RtMidiInput final : public MidiInput {
public:
    RtMidiInput();
    ~RtMidiInput() override;

    std::vector<std::string> ports() override;
    bool open(const std::string& port, std::string& error) override;
    void close() override;
    std::optional<std::string> openPort() const override { return openPort_; }
    void setHandler(NoteHandler handler) override;

    // Called by the sequencer's thread for every message.
    void deliver(const std::vector<unsigned char>& message);

private:
    // A sequencer client for listing, made once; none when the sequencer cannot be used.
    std::unique_ptr<RtMidiIn> lister_;
    bool triedLister_ = false;
    std::unique_ptr<RtMidiIn> in_;
    std::optional<std::string> openPort_;
    std::mutex handlerMutex_;
    NoteHandler handler_;
};

} // namespace orbel
