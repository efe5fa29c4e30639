#include "export/midi_render.h"

#include "app/study_session.h"
#include "export/play_recording.h"
#include "sound/midi1.h"
#include "sound/midi_output.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "theory/prepare_build.h"

#include <algorithm>
#include <limits>

namespace orbel::exporter {

namespace {

constexpr std::int64_t MicrosecondsPerMs = 1000;
constexpr int ChannelBits = 0x0F;
constexpr int KindBits = 0xF0;

// a / b to the nearest whole number, for a ≥ 0 and b > 0.
std::int64_t Nearest(std::int64_t a, std::int64_t b) {
    return (a + b / 2) / b;
}

// Where a moment of the performance falls in the file. The file's tempo changes where the player's does:
// the count-in's quarters are the beats of the plain tempo, the play's are 24 of the player's ticks (so at
// the first tempo a file tick is a millisecond), and a tempo ramp starts a new segment at its repetition.
class FileTime {
public:
    struct Segment {
        std::int64_t fromMs = 0;
        std::int64_t msPerQuarter = 1;
        std::int64_t fromTicks = 0;
    };

    explicit FileTime(int division) : division_(division) {}

    // A segment from the moment at on (moments in order).
    void add(std::int64_t atMicros, int msPerQuarter) {
        Segment segment;
        segment.fromMs = Nearest(std::max<std::int64_t>(atMicros, 0), MicrosecondsPerMs);
        segment.msPerQuarter = std::max(msPerQuarter, 1);
        if (!segments_.empty()) {
            if (segments_.back().msPerQuarter == segment.msPerQuarter) return;
            segment.fromTicks = ticksAt(segment.fromMs);
            if (segments_.back().fromMs == segment.fromMs) segments_.pop_back();
        }
        segments_.push_back(segment);
    }

    std::uint32_t at(std::int64_t micros) const {
        const std::int64_t ticks = ticksAt(Nearest(std::max<std::int64_t>(micros, 0), MicrosecondsPerMs));
        return static_cast<std::uint32_t>(
            std::min<std::int64_t>(ticks, std::numeric_limits<std::uint32_t>::max()));
    }

    const std::vector<Segment>& segments() const { return segments_; }

private:
    std::int64_t ticksAt(std::int64_t ms) const {
        if (segments_.empty()) return ms;
        auto segment = std::upper_bound(segments_.begin(), segments_.end(), ms,
                                        [](std::int64_t t, const Segment& s) { return t < s.fromMs; });
        if (segment != segments_.begin()) --segment;
        return segment->fromTicks +
               Nearest(std::max<std::int64_t>(ms - segment->fromMs, 0) * division_, segment->msPerQuarter);
    }

    std::int64_t division_;
    std::vector<Segment> segments_;
};

struct Sounding {
    int key = 0;
    std::uint32_t since = 0;
};

// One track of the file for one channel of the player, with the keys sounding on it at the moment: the
// player ends its notes with all-notes-off, which a file must spell out as note-offs.
class Part {
public:
    Part(int channel, const char* name) : channel_(channel) {
        track_.events.push_back(TrackNameEvent(0, name));
    }

    int channel() const { return channel_; }

    // What one message of the player does on this channel.
    void play(std::uint32_t time, ShortMessage message) {
        const int kind = StatusOf(message) & KindBits;
        const int key = Data1Of(message);
        if (kind == midi_bytes::NoteOn) {
            const int velocity = Data2Of(message);
            if (velocity > 0) {
                start(time, key, velocity);
            } else if (channel_ == midi_channels::Percussion && key == midi_sounds::ClearKey) {
                // The click's silent note, which clears the click before it.
                endAll(time);
            } else {
                end(time, key); // a silent note-on is how a device reads a note-off
            }
        } else if (kind == midi_bytes::ControlChange && key == midi_bytes::ControllerAllNotesOff) {
            endAll(time);
        } else if (kind == midi_bytes::ProgramChange) {
            track_.events.push_back(ProgramChangeEvent(time, channel_, key + 1));
        }
    }

    void endAll(std::uint32_t time) {
        for (const Sounding& note : sounding_)
            track_.events.push_back(NoteOffEvent(time, channel_, note.key));
        sounding_.clear();
    }

    // The track, every note ended by its end.
    SmfTrack finish(std::uint32_t end) {
        endAll(end);
        track_.end = end;
        return std::move(track_);
    }

private:
    // A key struck again while it sounds ends first, so that every note-on has its own note-off; struck
    // twice at one moment (two chord voices in unison) it is written once.
    void start(std::uint32_t time, int key, int velocity) {
        const auto same = find(key);
        if (same != sounding_.end()) {
            if (same->since == time) return;
            track_.events.push_back(NoteOffEvent(time, channel_, key));
            sounding_.erase(same);
        }
        track_.events.push_back(NoteOnEvent(time, channel_, key, velocity));
        sounding_.push_back({key, time});
    }

    void end(std::uint32_t time, int key) {
        const auto note = find(key);
        if (note == sounding_.end()) return;
        track_.events.push_back(NoteOffEvent(time, channel_, key));
        sounding_.erase(note);
    }

    std::vector<Sounding>::iterator find(int key) {
        return std::find_if(sounding_.begin(), sounding_.end(),
                            [key](const Sounding& note) { return note.key == key; });
    }

    int channel_;
    SmfTrack track_;
    std::vector<Sounding> sounding_;
};

bool ValidBar(int beatsPerBar) {
    return beatsPerBar >= 1 && beatsPerBar <= 0xFF;
}

// The melody always; chords and bass when the accompaniment plays; the click when the click or the
// count-in is on. The player's messages on any other channel have no track.
std::vector<Part> PartsFor(const Settings& s) {
    std::vector<Part> parts;
    parts.emplace_back(midi_channels::Melody, midi_tracks::MelodyName);
    if (s.AccompanimentOn == 1 && s.StudyType != study_type::Scale) {
        parts.emplace_back(midi_channels::Chord, midi_tracks::ChordsName);
        parts.emplace_back(midi_channels::Bass, midi_tracks::BassName);
    }
    if (s.ClickOn == 1 || s.CountInOn == 1)
        parts.emplace_back(midi_channels::Percussion, midi_tracks::ClickName);
    return parts;
}

// Plays the recorded messages into the parts. The player never ends a click: it lasts until the next one
// or, at the latest, until the play-through it belongs to (or the count-in before the first) ends.
void PlayInto(std::vector<Part>& parts, const Performance& performance, const FileTime& fileTime) {
    const auto partFor = [&parts](int channel) -> Part* {
        const auto part = std::find_if(parts.begin(), parts.end(),
                                       [channel](const Part& p) { return p.channel() == channel; });
        return part == parts.end() ? nullptr : &*part;
    };
    Part* click = partFor(midi_channels::Percussion);
    auto edge = performance.playThroughEdges.begin();
    const auto passEdgesUntil = [&](std::size_t sent) {
        for (; edge != performance.playThroughEdges.end() && edge->sent <= sent; ++edge)
            if (click != nullptr) click->endAll(fileTime.at(edge->micros));
    };
    const std::vector<RecordingOutput::Record>& records = performance.records;
    for (std::size_t i = 0; i < records.size(); ++i) {
        passEdgesUntil(i);
        const RecordingOutput::Record& record = records[i];
        if (Part* part = partFor(StatusOf(record.message) & ChannelBits))
            part->play(fileTime.at(record.micros), record.message);
    }
    passEdgesUntil(records.size());
}

// The title, the tempi and metre of the count-in and of the play, and a marker for every pass.
SmfTrack ConductorTrack(const Performance& performance, const FileTime& fileTime, const std::string& title,
                        bool countIn) {
    SmfTrack conductor;
    conductor.events.push_back(TrackNameEvent(0, title));
    const std::uint32_t playStart = fileTime.at(performance.playStart);
    if (countIn) conductor.events.push_back(TimeSignatureEvent(0, count_in::BeatsPerBar));
    for (const FileTime::Segment& segment : fileTime.segments())
        conductor.events.push_back(
            TempoEvent(static_cast<std::uint32_t>(segment.fromTicks),
                       static_cast<std::uint32_t>(segment.msPerQuarter * MicrosecondsPerMs)));
    const int beatsPerBar = performance.beatsPerBar;
    if (ValidBar(beatsPerBar) && (!countIn || beatsPerBar != count_in::BeatsPerBar))
        conductor.events.push_back(TimeSignatureEvent(playStart, beatsPerBar));
    for (const PassStart& pass : performance.passes)
        conductor.events.push_back(MarkerEvent(fileTime.at(pass.at.micros), pass.title));
    return conductor;
}

} // namespace

Settings PlaySettings(const ExportBuild& build) {
    Settings s = build.settings;
    // The window starts with a tempo of its scroll bar's range.
    s.Tempo = static_cast<std::int16_t>(StartingTempo(s.Tempo));
    return s;
}

RenderedMidi RenderPlay(const ExportBuild& build, const MidiOptions& options) {
    const Settings s = PlaySettings(build);
    const Performance performance = RecordPerformance(build, s, options);

    RenderedMidi midi;
    midi.notices = performance.notices;
    const TickLengths lengths = TickLengthsFor(s.Tempo, s.SwingLevel);
    const int beatMs = BeatMs(s.Tempo);
    midi.division = std::min(play_timing::TicksPerBeat * lengths.tick, smf::MaxDivision);
    FileTime fileTime(midi.division);
    if (performance.playStart > 0) fileTime.add(0, beatMs);
    fileTime.add(performance.playStart, play_timing::TicksPerBeat * lengths.tick);
    for (std::size_t i = 0; i < performance.playThroughTempi.size(); ++i) {
        const int tempo = performance.playThroughTempi[i];
        const std::size_t edge = 2 * i; // every play-through has its start and its end
        if (edge < performance.playThroughEdges.size())
            fileTime.add(performance.playThroughEdges[edge].micros,
                         play_timing::TicksPerBeat * TickLengthsFor(tempo, s.SwingLevel).tick);
    }
    const std::uint32_t end = fileTime.at(performance.end);

    std::vector<Part> parts = PartsFor(s);
    PlayInto(parts, performance, fileTime);
    midi.tracks.push_back(ConductorTrack(performance, fileTime, build.title, s.CountInOn == 1));
    midi.tracks.front().end = end;
    for (Part& part : parts)
        midi.tracks.push_back(part.finish(end));
    return midi;
}

QByteArray MidiFileBytes(const RenderedMidi& midi) {
    const std::vector<std::uint8_t> bytes = WriteSmf(midi.division, midi.tracks);
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

} // namespace orbel::exporter
