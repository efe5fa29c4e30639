#pragma once
// Where the trainer's MIDI goes: one small interface with a backend per kind of output
// (built-in synthesizer, ALSA sequencer port, recorder for tests).

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

class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // Opens the device. On failure returns false and says why in error, in words a user can read.
    virtual bool open(std::string& error) = 0;
    // Sends one message at once. Does nothing while the output is not open; failures are not reported,
    // because the program cannot do anything useful about a lost note.
    virtual void send(ShortMessage message) = 0;
    // Silences every channel at once.
    virtual void reset() = 0;
    // Releases the device; safe to call when it is not open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

} // namespace orbel
