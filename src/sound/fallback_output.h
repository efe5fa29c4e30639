#pragma once
// An output that plays through a second one when the first cannot be opened: a chosen ALSA port that is
// gone still leaves the trainer with sound from the built-in synthesizer, and the user is told why.
// Thread: any thread, under the MIDI port's lock.

#include "sound/midi_output.h"

#include <memory>
#include <string>

namespace orbel {

class FallbackOutput final : public MidiOutput {
public:
    // preferredName names the first output in the notice, such as "The ALSA port 128:0".
    FallbackOutput(std::unique_ptr<MidiOutput> preferred, std::string preferredName,
                   std::unique_ptr<MidiOutput> fallback, std::string fallbackName);

    // Opens the preferred output, else the fallback; false only when neither opens, with both reasons.
    bool open(std::string& error) override;
    void send(ShortMessage message) override;
    void sendAt(ShortMessage message, MidiClock::time_point due) override;
    void cancelScheduled() override;
    std::chrono::microseconds outputDelay() const override;
    void wake() override;
    void reset() override;
    void close() override;
    bool isOpen() const override;
    std::string openNotice() const override;
    std::string soundFontInUse() const override {
        return active_ != nullptr ? active_->soundFontInUse() : std::string{};
    }

    // The output that plays now; null while closed.
    MidiOutput* active() const { return active_; }

private:
    std::unique_ptr<MidiOutput> preferred_;
    std::string preferredName_;
    std::unique_ptr<MidiOutput> fallback_;
    std::string fallbackName_;
    MidiOutput* active_ = nullptr;
    std::string notice_;
};

} // namespace orbel
