#include "export/smf_reader.h"

#include <algorithm>

namespace orbel::exporter {

namespace {

constexpr std::uint32_t DefaultMicrosPerQuarter = 500'000; // 120 a minute, when the file sets none
constexpr int HeaderLength = 6;
constexpr int MetaTrackName = 0x03;
constexpr int MetaTempo = 0x51;
constexpr int MetaEndOfTrack = 0x2F;

class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
    bool atEnd() const { return at_ >= data_.size(); }
    std::size_t left() const { return data_.size() - at_; }
    std::size_t position() const { return at_; }
    bool byte(std::uint8_t& out) {
        if (atEnd()) return false;
        out = data_[at_++];
        return true;
    }
    bool peek(std::uint8_t& out) const {
        if (atEnd()) return false;
        out = data_[at_];
        return true;
    }
    bool bigEndian(int count, std::uint32_t& out) {
        out = 0;
        for (int i = 0; i < count; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) return false;
            out = (out << 8) | b;
        }
        return true;
    }
    // A variable-length quantity of at most four bytes.
    bool variable(std::uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) return false;
            out = (out << 7) | (b & 0x7FU);
            if ((b & 0x80U) == 0) return true;
        }
        return false;
    }
    bool skip(std::size_t count) {
        if (count > left()) return false;
        at_ += count;
        return true;
    }
    std::span<const std::uint8_t> take(std::size_t count) {
        const auto part = data_.subspan(at_, std::min(count, left()));
        at_ += part.size();
        return part;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

struct TickedNote {
    std::uint64_t tick = 0;
    SmfNote note;
};

// The tempo changes as read; in order of tick once every track is in, the last one read at a tick holding.
struct TempoChange {
    std::uint64_t tick = 0;
    std::uint32_t micros = 0;
};

enum class TrackResult { Ok, Truncated, TooManyNotes, TooManyTempi };

TrackResult ReadTrack(std::span<const std::uint8_t> chunk, int track, std::vector<TickedNote>& notes,
                      std::vector<TempoChange>& tempi, std::string& name) {
    Bytes in(chunk);
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!in.atEnd()) {
        std::uint32_t delta = 0;
        if (!in.variable(delta)) return TrackResult::Truncated;
        tick += delta;
        std::uint8_t status = 0;
        if (!in.peek(status)) return TrackResult::Truncated;
        if (status >= 0x80) {
            in.byte(status);
        } else if (running == 0) {
            return TrackResult::Truncated; // data without a status: the file is damaged
        } else {
            status = running;
        }
        if (status == 0xFF) {
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            if (!in.byte(type) || !in.variable(length) || length > in.left()) return TrackResult::Truncated;
            const auto data = in.take(length);
            if (type == MetaTempo && length == 3) {
                const std::uint32_t micros = (data[0] << 16) | (data[1] << 8) | data[2];
                if (micros > 0) {
                    if (tempi.size() >= smf_limits::MaxTempoChanges) return TrackResult::TooManyTempi;
                    tempi.push_back({tick, micros});
                }
            } else if (type == MetaTrackName && name.empty()) {
                name.assign(data.begin(), data.end());
            } else if (type == MetaEndOfTrack) {
                return TrackResult::Ok;
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!in.variable(length) || !in.skip(length)) return TrackResult::Truncated;
            continue;
        }
        if (status >= 0xF0) continue; // a real-time or common message has no business here: skipped
        running = status;
        const int kind = status & 0xF0;
        const int dataBytes = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
        std::uint8_t d1 = 0;
        std::uint8_t d2 = 0;
        if (!in.byte(d1) || (dataBytes == 2 && !in.byte(d2))) return TrackResult::Truncated;
        // A data byte with its top bit set is a status where none may be: the track is damaged.
        if (d1 >= 0x80 || d2 >= 0x80) return TrackResult::Truncated;
        if (kind == 0x90 && d2 > 0) {
            if (notes.size() >= smf_limits::MaxNotes) return TrackResult::TooManyNotes;
            notes.push_back({tick, SmfNote{track, status & 0x0F, d1, d2, 0.0}});
        }
    }
    return TrackResult::Ok;
}

} // namespace

SmfReadResult ReadSmfNotes(std::span<const std::uint8_t> bytes) {
    SmfReadResult result;
    Bytes in(bytes);
    std::uint32_t id = 0;
    std::uint32_t length = 0;
    if (!in.bigEndian(4, id) || id != 0x4D546864U /* MThd */) {
        result.error = "not a MIDI file";
        return result;
    }
    std::uint32_t format = 0;
    std::uint32_t trackCount = 0;
    std::uint32_t division = 0;
    if (!in.bigEndian(4, length) || length < HeaderLength || !in.bigEndian(2, format) ||
        !in.bigEndian(2, trackCount) || !in.bigEndian(2, division) || !in.skip(length - HeaderLength)) {
        result.error = "the MIDI file is truncated";
        return result;
    }
    if (format > 2 || division == 0 || trackCount > smf_limits::MaxTracks) {
        result.error = "the MIDI file's header is not one this program reads";
        return result;
    }

    SmfNotes file;
    std::vector<TickedNote> notes;
    std::vector<TempoChange> tempi;
    for (std::uint32_t t = 0; t < trackCount && !in.atEnd(); ++t) {
        if (!in.bigEndian(4, id) || !in.bigEndian(4, length) || length > in.left()) {
            result.error = "the MIDI file is truncated";
            return result;
        }
        const auto chunk = in.take(length);
        if (id != 0x4D54726BU /* MTrk */) {
            --t; // an unknown chunk is skipped, as the format asks
            continue;
        }
        std::string name;
        switch (ReadTrack(chunk, static_cast<int>(t), notes, tempi, name)) {
        case TrackResult::Ok:
            break;
        case TrackResult::Truncated:
            result.error = "the MIDI file is truncated or damaged";
            return result;
        case TrackResult::TooManyNotes:
            result.error = "the MIDI file has more than " + std::to_string(smf_limits::MaxNotes) + " notes";
            return result;
        case TrackResult::TooManyTempi:
            result.error = "the MIDI file has more than " + std::to_string(smf_limits::MaxTempoChanges) +
                           " tempo changes";
            return result;
        }
        file.trackNames.push_back(std::move(name));
    }

    std::stable_sort(notes.begin(), notes.end(),
                     [](const TickedNote& a, const TickedNote& b) { return a.tick < b.tick; });
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    const bool smpte = (division & 0x8000U) != 0;
    if (smpte) {
        // Frames a second (29 meaning 29.97) times ticks a frame.
        const int fps = 256 - static_cast<int>(division >> 8);
        const double ticksPerSecond = (fps == 29 ? 29.97 : fps) * static_cast<double>(division & 0xFFU);
        if (ticksPerSecond <= 0) {
            result.error = "the MIDI file's header is not one this program reads";
            return result;
        }
        for (TickedNote& n : notes)
            n.note.ms = static_cast<double>(n.tick) * 1000.0 / ticksPerSecond;
    } else {
        // Walk the tempo map alongside the notes, both in order of tick.
        std::uint64_t segmentTick = 0;
        double segmentMs = 0.0;
        std::uint32_t micros = DefaultMicrosPerQuarter;
        auto change = tempi.begin();
        for (TickedNote& n : notes) {
            for (; change != tempi.end() && change->tick <= n.tick; ++change) {
                segmentMs += static_cast<double>(change->tick - segmentTick) * micros / 1000.0 / division;
                segmentTick = change->tick;
                micros = change->micros;
            }
            n.note.ms = segmentMs + static_cast<double>(n.tick - segmentTick) * micros / 1000.0 / division;
        }
    }
    file.notes.reserve(notes.size());
    for (const TickedNote& n : notes)
        file.notes.push_back(n.note);
    result.file = std::move(file);
    return result;
}

} // namespace orbel::exporter
