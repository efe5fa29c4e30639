#pragma once
// Where the trainer's MIDI goes: one small interface with a backend per kind of output
// (built-in synthesizer, ALSA sequencer port, recorder for tests).
// Thread: any thread, under the MIDI port's lock; wake() on the player's thread.

#include <chrono>
#include <cstdint>
#include <string>

namespace orbel {

// A three-byte channel message: status in bits 0-7, first data byte in bits 8-15, second in bits 16-23.
using ShortMessage = std::uint32_t;

namespace midi_bytes {
static constexpr int NoteOn = 0x90;
static constexpr int NoteOff = 0x80;
static constexpr int KeyPressure = 0xA0;
static constexpr int ControlChange = 0xB0;
static constexpr int ProgramChange = 0xC0;
static constexpr int ChannelPressure = 0xD0;
static constexpr int PitchBend = 0xE0;
static constexpr int ControllerAllSoundOff = 0x78;
static constexpr int ControllerAllNotesOff = 0x7B;
static constexpr int ControllerSustain = 0x40;
static constexpr int Channels = 16;
static constexpr int PercussionChannel = 9;
static constexpr int DataMax = 127;
} // namespace midi_bytes

// status + 256 x data1 + 65536 x data2. Callers pass bytes already checked to be in range.
constexpr ShortMessage PackShortMessage(int status, int data1, int data2) {
    return static_cast<ShortMessage>(status) + 256U * static_cast<ShortMessage>(data1) +
           65536U * static_cast<ShortMessage>(data2);
}
constexpr int StatusOf(ShortMessage m) {
    return static_cast<int>(m & 0xFFU);
}
constexpr int Data1Of(ShortMessage m) {
    return static_cast<int>((m >> 8U) & 0xFFU);
}
constexpr int Data2Of(ShortMessage m) {
    return static_cast<int>((m >> 16U) & 0xFFU);
}

// The clock that due times are given on: the player's deadlines are points on it.
using MidiClock = std::chrono::steady_clock;

class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // Opens the device. On failure returns false and says why in error, in words a user can read.
    virtual bool open(std::string& error) = 0;
    // Sends one message at once. Does nothing while the output is not open; failures are not reported,
    // because the program cannot do anything useful about a lost note.
    virtual void send(ShortMessage message) = 0;
    // Sends a message that is due at `due` on MidiClock. An output that can schedule plays it exactly
    // outputDelay() after its due time (at once when that moment has already passed); the others play it
    // at once. Called from the player's thread and the window's, never both at once.
    virtual void sendAt(ShortMessage message, MidiClock::time_point due) {
        (void)due;
        send(message);
    }
    // Forgets every scheduled message that has not sounded yet: nothing handed over before a stop may
    // sound after it.
    virtual void cancelScheduled() {}
    // The constant time from a message's due time to its sound; zero for outputs that play at once.
    virtual std::chrono::microseconds outputDelay() const { return {}; }
    // Gets the output ready to play on time from now on: an output that releases its device while idle
    // opens it again and returns once it runs. Called before a performance's first deadline, on the
    // player's thread while another thread may send.
    virtual void wake() {}
    // Silences every channel at once.
    virtual void reset() = 0;
    // Releases the device; safe to call when it is not open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // After a successful open: what the user should know about it, such as a chosen port that failed and
    // the output that plays instead. Empty when the output is the one that was asked for.
    virtual std::string openNotice() const { return {}; }
    // The SoundFont an open synthesizer plays; empty for every other output.
    virtual std::string soundFontInUse() const { return {}; }
};

} // namespace orbel
