#pragma once
// An output that plays nothing and keeps every message with the time it was sent, so that tests can
// check what the trainer would have played and when.
// Thread: any thread, under the MIDI port's lock; read once the player has ended.

#include "sound/midi_output.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orbel {

class RecordingOutput final : public MidiOutput {
public:
    struct Record {
        std::int64_t micros; // on the recorder's clock
        ShortMessage message;
        // For a scheduled message: when it is due, in microseconds since MidiClock's epoch.
        std::optional<std::int64_t> dueMicros;
        bool operator==(const Record&) const = default;
    };
    // Microseconds on a monotonic clock.
    using Clock = std::function<std::int64_t()>;

    // Stamps with the steady clock, counted from the recorder's creation.
    RecordingOutput();
    explicit RecordingOutput(Clock clock);

    bool open(std::string& error) override;
    // Kept only while open, as a device would play it only while open.
    void send(ShortMessage message) override;
    void sendAt(ShortMessage message, MidiClock::time_point due) override;
    void reset() override;
    void close() override;
    bool isOpen() const override { return open_; }

    // Makes the recorder stand for an output that plays every message `delay` after its due time: it says
    // so to the player, and a cancel forgets the scheduled messages that would not have sounded yet.
    void scheduleWithDelay(std::chrono::microseconds delay) { delay_ = delay; }
    std::chrono::microseconds outputDelay() const override { return delay_; }
    void cancelScheduled() override;

    // Makes every later open fail, as a missing device would.
    void refuseOpen(bool refuse) { refuseOpen_ = refuse; }

    const std::vector<Record>& records() const { return records_; }
    std::vector<ShortMessage> messages() const;
    void clearRecords() { records_.clear(); }

    // How often the output was opened, closed while open, and reset while open.
    int openCount() const { return openCount_; }
    int closeCount() const { return closeCount_; }
    int resetCount() const { return resetCount_; }

private:
    Clock clock_;
    std::vector<Record> records_;
    bool open_ = false;
    bool refuseOpen_ = false;
    int openCount_ = 0;
    int closeCount_ = 0;
    int resetCount_ = 0;
    std::chrono::microseconds delay_{0};
};

} // namespace orbel
