#include "export/smf_writer.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace orbel::exporter {

namespace {

constexpr std::array<std::uint8_t, 4> HeaderId{'M', 'T', 'h', 'd'};
constexpr std::array<std::uint8_t, 4> TrackId{'M', 'T', 'r', 'k'};
constexpr std::uint32_t HeaderLength = 6;
constexpr int QuarterNotePower = 2; // the time signature's denominator as a power of two
constexpr int ClocksPerClick = 24;
constexpr int ThirtySecondsPerQuarter = 8;
constexpr int ChannelMask = 0x0F;

std::uint8_t DataByte(int value) {
    return static_cast<std::uint8_t>(value & smf::DataMax);
}

std::uint8_t Status(std::uint8_t kind, int channel) {
    return static_cast<std::uint8_t>(kind | (channel & ChannelMask));
}

void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

SmfEvent MetaEvent(std::uint32_t time, std::uint8_t type, const std::vector<std::uint8_t>& data) {
    SmfEvent event{time, {smf::Meta, type}};
    AppendVariableLength(event.bytes, static_cast<std::uint32_t>(data.size()));
    event.bytes.insert(event.bytes.end(), data.begin(), data.end());
    return event;
}

SmfEvent TextMeta(std::uint32_t time, std::uint8_t type, std::string_view text) {
    // A text longer than a variable-length quantity can say is cut; no title comes near it.
    const std::size_t length = std::min<std::size_t>(text.size(), smf::MaxVariableLength);
    return MetaEvent(time, type,
                     std::vector<std::uint8_t>(text.begin(), text.begin() + static_cast<long>(length)));
}

void AppendTrack(std::vector<std::uint8_t>& out, const SmfTrack& track) {
    // Events may have been added out of time order; equal times keep their order, so a note-off written
    // before a note-on of the same key at the same moment stays before it.
    std::vector<std::size_t> order(track.events.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return track.events[a].time < track.events[b].time;
    });

    std::vector<std::uint8_t> body;
    std::uint32_t now = 0;
    for (std::size_t index : order) {
        const SmfEvent& event = track.events[index];
        AppendVariableLength(body, event.time - now);
        body.insert(body.end(), event.bytes.begin(), event.bytes.end());
        now = event.time;
    }
    AppendVariableLength(body, std::max(track.end, now) - now);
    body.insert(body.end(), {smf::Meta, smf::MetaEndOfTrack, 0x00});

    out.insert(out.end(), TrackId.begin(), TrackId.end());
    AppendBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

} // namespace

SmfEvent NoteOnEvent(std::uint32_t time, int channel, int key, int velocity) {
    return {time, {Status(smf::NoteOn, channel), DataByte(key), DataByte(velocity)}};
}

SmfEvent NoteOffEvent(std::uint32_t time, int channel, int key) {
    return {time, {Status(smf::NoteOff, channel), DataByte(key), 0}};
}

SmfEvent ProgramChangeEvent(std::uint32_t time, int channel, int program) {
    return {time, {Status(smf::ProgramChange, channel), DataByte(program - 1)}};
}

SmfEvent TempoEvent(std::uint32_t time, std::uint32_t microsecondsPerQuarter) {
    std::vector<std::uint8_t> data;
    AppendBigEndian(data, std::min(microsecondsPerQuarter, smf::MaxTempo), 3);
    return MetaEvent(time, smf::MetaTempo, data);
}

SmfEvent TimeSignatureEvent(std::uint32_t time, int numerator) {
    return MetaEvent(time, smf::MetaTimeSignature,
                     {static_cast<std::uint8_t>(std::clamp(numerator, 1, 0xFF)), QuarterNotePower,
                      ClocksPerClick, ThirtySecondsPerQuarter});
}

SmfEvent TrackNameEvent(std::uint32_t time, std::string_view text) {
    return TextMeta(time, smf::MetaTrackName, text);
}

SmfEvent MarkerEvent(std::uint32_t time, std::string_view text) {
    return TextMeta(time, smf::MetaMarker, text);
}

void AppendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
    value = std::min(value, smf::MaxVariableLength);
    std::array<std::uint8_t, 4> groups{};
    int count = 0;
    do {
        groups[static_cast<std::size_t>(count++)] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    for (int i = count - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(groups[static_cast<std::size_t>(i)] | (i > 0 ? 0x80 : 0)));
}

std::vector<std::uint8_t> WriteSmf(int division, const std::vector<SmfTrack>& tracks) {
    std::vector<std::uint8_t> out(HeaderId.begin(), HeaderId.end());
    AppendBigEndian(out, HeaderLength, 4);
    AppendBigEndian(out, smf::Format, 2);
    AppendBigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    AppendBigEndian(out, static_cast<std::uint32_t>(std::clamp(division, 1, smf::MaxDivision)), 2);
    for (const SmfTrack& track : tracks)
        AppendTrack(out, track);
    return out;
}

} // namespace orbel::exporter
