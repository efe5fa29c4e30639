#pragma once
// Standard MIDI Files, type 1: the events of each track with their absolute times, and the bytes of the
// file they make. No running status, so every event stands on its own.

#include <cstdint>
#include <string_view>
#include <vector>

namespace orbel::exporter {

namespace smf {
static constexpr int Format = 1;
static constexpr int MaxDivision = 0x7FFF;          // ticks per quarter note; the top bit would mean SMPTE
static constexpr std::uint32_t MaxTempo = 0xFFFFFF; // microseconds per quarter note, three bytes
static constexpr std::uint32_t MaxVariableLength = 0x0FFFFFFF;
static constexpr std::uint8_t NoteOff = 0x80;
static constexpr std::uint8_t NoteOn = 0x90;
static constexpr std::uint8_t ProgramChange = 0xC0;
static constexpr std::uint8_t Meta = 0xFF;
static constexpr std::uint8_t MetaTrackName = 0x03;
static constexpr std::uint8_t MetaMarker = 0x06;
static constexpr std::uint8_t MetaEndOfTrack = 0x2F;
static constexpr std::uint8_t MetaTempo = 0x51;
static constexpr std::uint8_t MetaTimeSignature = 0x58;
static constexpr int DataMax = 0x7F;
static constexpr int Channels = 16;
} // namespace smf

// One event: its time in MIDI ticks from the start of the file and its bytes after the delta time (a
// channel message, or FF type length data).
struct SmfEvent {
    std::uint32_t time = 0;
    std::vector<std::uint8_t> bytes;
};

struct SmfTrack {
    std::vector<SmfEvent> events; // events at the same time keep the order they were added in
    std::uint32_t end = 0;        // where the end-of-track event goes, if later than the last event
};

// Channel messages. Callers keep channel, key, velocity and program within their ranges; the values are
// masked to their bits so that a stray one cannot corrupt the stream.
SmfEvent NoteOnEvent(std::uint32_t time, int channel, int key, int velocity);
SmfEvent NoteOffEvent(std::uint32_t time, int channel, int key);
// program counts from 1, as General MIDI lists name them.
SmfEvent ProgramChangeEvent(std::uint32_t time, int channel, int program);

// Meta events of the conductor track.
SmfEvent TempoEvent(std::uint32_t time, std::uint32_t microsecondsPerQuarter);
// numerator over a quarter-note denominator (n/4), with the usual 24 clocks per click and 8 32nds a quarter.
SmfEvent TimeSignatureEvent(std::uint32_t time, int numerator);
SmfEvent TrackNameEvent(std::uint32_t time, std::string_view text);
SmfEvent MarkerEvent(std::uint32_t time, std::string_view text);

// Appends value (at most MaxVariableLength) as a variable-length quantity: seven bits a byte, most
// significant first, the top bit set on every byte but the last.
void AppendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value);

// The whole file: header chunk with division (ticks per quarter note, 1..MaxDivision) and one track chunk
// per track, each closed by its end-of-track event.
std::vector<std::uint8_t> WriteSmf(int division, const std::vector<SmfTrack>& tracks);

} // namespace orbel::exporter
