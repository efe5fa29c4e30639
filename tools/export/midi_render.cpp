#include "midi_render.h"

#include "sound/instrument_tables.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "theory/accompaniment.h"
#include "theory/circle_geometry.h"
#include "theory/numbers.h"
#include "theory/prepare_build.h"
#include "theory/timeline_build.h"
#include "theory/title_text.h"
#include "theory/vocabulary.h"

#include <algorithm>
#include <optional>

namespace orbel::exporter {

namespace {

using timeline_limits::NoEvent;
using timeline_limits::VoiceBass;
using timeline_limits::VoiceMelody;

// Two bars of 4/4: two half-note clicks, then four quarter-note clicks.
constexpr int CountInHalfNotes = 2;
constexpr int CountInQuarterNotes = 4;
constexpr int CountInBeats = 2 * CountInHalfNotes + CountInQuarterNotes;
constexpr int CountInBeatsPerBar = 4;
constexpr int SixteenthsPerBeat = 4;
constexpr std::uint32_t MicrosecondsPerMs = 1000;
constexpr int Octave = 12;

struct Sounding {
    int key = 0;
    std::uint32_t since = 0;
};

// The notes of one channel in one track, with the keys that sound at the moment: the player ends notes
// with all-notes-off, which a file must spell out as note-offs.
struct Part {
    explicit Part(int ch) : channel(ch) {}
    int channel;
    SmfTrack track;
    std::vector<Sounding> sounding;
};

struct Band {
    Part melody{midi_channels::Melody};
    Part chords{midi_channels::Chord};
    Part bass{midi_channels::Bass};
    Part click{midi_channels::Percussion};
};

// The player's all-notes-off on the part's channel.
void EndNotes(Part& part, std::uint32_t time) {
    for (const Sounding& note : part.sounding)
        part.track.events.push_back(NoteOffEvent(time, part.channel, note.key));
    part.sounding.clear();
}

// A note-on as the output sends it: a key outside the MIDI range is dropped, the velocity brought into
// range. A velocity of 0 sounds nothing (in a file it would read as a note-off). A key struck again while
// it sounds ends first, so every note-on has its own note-off; struck twice at one moment (two chord voices
// in unison) it is written once.
void StartNote(Part& part, std::uint32_t time, long long key, int velocity) {
    if (key < 0 || key > smf::DataMax) return;
    const int strength = std::clamp(velocity, 0, smf::DataMax);
    if (strength == 0) return;
    const int k = static_cast<int>(key);
    const auto same = std::find_if(part.sounding.begin(), part.sounding.end(),
                                   [k](const Sounding& note) { return note.key == k; });
    if (same != part.sounding.end()) {
        if (same->since == time) return;
        part.track.events.push_back(NoteOffEvent(time, part.channel, k));
        part.sounding.erase(same);
    }
    part.track.events.push_back(NoteOnEvent(time, part.channel, k, strength));
    part.sounding.push_back({k, time});
}

// The written pitch sounding for the transposing instrument, as the player's note-ons send it.
void StartPitch(Part& part, std::uint32_t time, int pitch, int velocity, const Settings& s) {
    StartNote(part, time, static_cast<long long>(pitch) + s.PitchBaseC + s.TransposeSemitones, velocity);
}

// The metronome click: the sound before it ends, then the key of ClickSound at ClickVolume (none for a
// ClickSound outside the table).
void Click(Part& click, std::uint32_t time, const Settings& s) {
    EndNotes(click, time);
    if (const auto key = PercussionNoteFor(s.ClickSound)) StartNote(click, time, *key, s.ClickVolume);
}

void CountInClick(Part& click, std::uint32_t time) {
    EndNotes(click, time);
    StartNote(click, time, midi_sounds::CountInKey, midi_sounds::CountInVelocity);
}

void EndAll(Band& band, std::uint32_t time) {
    for (Part* part : {&band.melody, &band.chords, &band.bass, &band.click})
        EndNotes(*part, time);
}

// What the player sends at tick v of the timeline, at time.
void PlayTick(Band& band, const Timeline& timeline, int v, int variant, const Settings& s,
              std::uint32_t time) {
    bool chordStruck = false;
    for (int voice = VoiceMelody; voice <= VoiceBass; ++voice) {
        const int cell = timeline.cell(voice == VoiceMelody ? 0 : variant, voice, v);
        if (cell <= NoEvent) continue;
        if (voice == VoiceMelody) {
            // Early notes ring on into the next ones; later each melody event ends the note before it,
            // unless it is tied to it.
            if (v > play_limits::RingingUntilTick && timeline.TieAt[static_cast<std::size_t>(v)] != 1)
                EndNotes(band.melody, time);
            if (cell >= 0 && s.MelodyOn == 1) StartPitch(band.melody, time, cell, s.MelodyVolume, s);
        } else if (cell >= 0) {
            if (voice == VoiceBass) {
                EndNotes(band.bass, time);
                StartPitch(band.bass, time, cell, s.BassVolume, s);
            } else {
                // A new chord replaces the one before.
                if (!chordStruck) EndNotes(band.chords, time);
                chordStruck = true;
                StartPitch(band.chords, time, cell, s.ChordVolume, s);
            }
        }
    }
}

// One play-through from start: each tick lasts the player's wait, long and short in swing feel. Returns
// the time it ends, when every note is switched off.
std::uint32_t PlayThrough(Band& band, const Timeline& timeline, int variant, const Settings& s,
                          const TickLengths& lengths, std::uint32_t start) {
    const int accompanimentVariant = std::clamp(variant, 0, timeline_limits::Variants - 1);
    std::uint32_t now = start;
    int wait = lengths.tick;
    for (int v = 0; v < timeline.TimelineLength && timeline.holds(v); ++v) {
        const int inBeat = v % play_timing::TicksPerBeat;
        if (s.ClickOn == 1 && inBeat == 0) Click(band.click, now, s);
        if (s.SwingOn == 1) {
            if (inBeat == 0) wait = lengths.swingLong;
            if (inBeat == play_timing::HalfBeatTicks) wait = lengths.swingShort;
        } else {
            wait = lengths.tick;
        }
        PlayTick(band, timeline, v, accompanimentVariant, s, now);
        now += static_cast<std::uint32_t>(wait);
    }
    EndAll(band, now);
    return now;
}

// The count-in's clicks in the quarter notes of the file; its tempo makes each quarter one beat long.
void PlayCountIn(Part& click, int division) {
    std::uint32_t now = 0;
    const auto quarter = static_cast<std::uint32_t>(division);
    for (int i = 0; i < CountInHalfNotes; ++i, now += 2 * quarter)
        CountInClick(click, now);
    for (int i = 0; i < CountInQuarterNotes; ++i, now += quarter)
        CountInClick(click, now);
    EndNotes(click, now);
}

// The sixteenth rest the player adds after a repetition of a scale with an odd number of notes.
int PauseAfterRepetition(const Settings& s, const PlaySequence& seq) {
    if (s.StudyType != study_type::Scale || seq.SeqCount % 2 == 0) return 0;
    return RoundHalfEven(static_cast<double>(BeatMs(s.Tempo)) / SixteenthsPerBeat);
}

void UseWindowTempo(Settings& s) {
    if (s.Tempo < window_tempo::Slowest) s.Tempo = window_tempo::Fallback;
    if (s.Tempo > window_tempo::Fastest) s.Tempo = window_tempo::Fastest;
}

// The root one pass of the repeat loop moves to, with the octave carried over the top and the bottom.
void MoveRoot(Settings& s, PlaySequence& seq, int step) {
    int root = s.RootKey + step;
    if (root > 11) ++seq.OctaveShift;
    if (root < 0) {
        --seq.OctaveShift;
        root += Octave;
    }
    s.RootKey = static_cast<std::int16_t>(((root % Octave) + Octave) % Octave);
}

// The player's rebuild before it plays: the sequence for the current root (a phrase is moved, not parsed
// again), the timeline, and both accompaniment variants.
class Rebuilder {
public:
    Rebuilder(ExportBuild& build, std::uint32_t seed) : build_(build), accompaniment_(SeededRandom(seed)) {
        InitIIVITables(tables_);
    }

    // The message the trainer would show when the item cannot be built on this root.
    BuildMessage rebuild(Timeline& timeline) {
        Settings& s = build_.settings;
        PlaySequence& seq = build_.seq;
        BuildMessage refused = BuildSequenceForSelection(seq, s, build_.data.catalogue, build_.data.phrases,
                                                         tables_, noDiagram_, true);
        ClearTimeline(timeline, static_cast<int>(
                                    std::min<long long>(SequenceTicks(seq), timeline_limits::MaximumLength)));
        BuildTimeline(timeline, seq);
        for (int variant = 0; variant < timeline_limits::Variants; ++variant)
            accompaniment_.BuildAccompaniment(timeline, variant, s, seq.BeatsPerBar, s.StudyType);
        return refused;
    }

    std::string title() const {
        const Settings& s = build_.settings;
        const int type = std::clamp<int>(s.StudyType, 0, settings_limits::StudyItemSlots - 1);
        const int item = s.StudyItem[static_cast<std::size_t>(type)];
        return MakeItemTexts(s, build_.data.catalogue, build_.data.phrases, build_.seq.MajorSpelling, item,
                             s.RootKey)
            .TitleText;
    }

private:
    ExportBuild& build_;
    Accompaniment accompaniment_;
    IIVITables tables_;
    const CircleGeometry noDiagram_{};
};

void NameTrack(Part& part, const char* name) {
    part.track.events.push_back(TrackNameEvent(0, name));
}

// SendProgramChanges for the channels the file has tracks for; a program outside 1..128 is not sent.
void SendProgram(Part& part, std::optional<int> program) {
    if (program && *program >= sound_tables::ProgramMin && *program <= sound_tables::ProgramMax)
        part.track.events.push_back(ProgramChangeEvent(0, part.channel, *program));
}

bool ValidBar(int beatsPerBar) {
    return beatsPerBar >= 1 && beatsPerBar <= 0xFF;
}

} // namespace

RenderedMidi RenderPlay(ExportBuild& build, const MidiOptions& options) {
    RenderedMidi midi;
    Settings& s = build.settings;
    UseWindowTempo(s);
    const TickLengths lengths = TickLengthsFor(s.Tempo, s.SwingLevel);
    midi.division = std::min(play_timing::TicksPerBeat * lengths.tick, smf::MaxDivision);
    const auto playQuarter = static_cast<std::uint32_t>(midi.division) * MicrosecondsPerMs;
    const bool countIn = s.CountInOn == 1;
    const bool accompanied = s.AccompanimentOn == 1 && s.StudyType != study_type::Scale;
    const bool clicks = s.ClickOn == 1 || countIn;

    Band band;
    NameTrack(band.melody, midi_tracks::MelodyName);
    NameTrack(band.chords, midi_tracks::ChordsName);
    NameTrack(band.bass, midi_tracks::BassName);
    NameTrack(band.click, midi_tracks::ClickName);
    SendProgram(band.melody, s.MelodyProgram);
    SendProgram(band.chords, s.ChordProgram);
    SendProgram(band.bass, BassProgramFor(s.BassSound));

    Rebuilder rebuilder(build, options.seed);
    Timeline timeline;
    if (BuildMessage refused = rebuilder.rebuild(timeline)) midi.notices << QString::fromStdString(*refused);

    SmfTrack conductor;
    conductor.events.push_back(TrackNameEvent(0, build.title));
    const int beatsPerBar = build.seq.BeatsPerBar;
    std::uint32_t now = 0;
    if (countIn) {
        conductor.events.push_back(
            TempoEvent(0, static_cast<std::uint32_t>(BeatMs(s.Tempo)) * MicrosecondsPerMs));
        conductor.events.push_back(TimeSignatureEvent(0, CountInBeatsPerBar));
        PlayCountIn(band.click, midi.division);
        now = static_cast<std::uint32_t>(CountInBeats * midi.division);
    }
    conductor.events.push_back(TempoEvent(now, playQuarter));
    if (ValidBar(beatsPerBar) && (!countIn || beatsPerBar != CountInBeatsPerBar))
        conductor.events.push_back(TimeSignatureEvent(now, beatsPerBar));

    // The play button's repeat loop, for options.repeats play-throughs in all.
    const int step = ProgressionStep(s.RootProgression);
    const int perPass = s.RepeatOn == 1 ? std::max<int>(s.RepeatCount, 1) : options.repeats;
    int played = 0;
    int counter = 0;
    bool firstPass = true;
    int savedRoot = s.RootKey;
    while (played < options.repeats) {
        if (!firstPass && s.RootKey != savedRoot) {
            if (BuildMessage refused = rebuilder.rebuild(timeline))
                midi.notices << QString::fromStdString(*refused);
        }
        // The player stops at a pass with nothing to play.
        if (timeline.TimelineLength <= 0) break;
        conductor.events.push_back(MarkerEvent(now, firstPass ? build.title : rebuilder.title()));
        for (int k = 1; k <= perPass && played < options.repeats; ++k) {
            now = PlayThrough(band, timeline, counter % 2, s, lengths, now);
            if (++played == options.repeats) break;
            now += static_cast<std::uint32_t>(PauseAfterRepetition(s, build.seq));
            if (++counter > play_limits::CounterWrap) counter = 0;
        }
        if (played >= options.repeats) break;
        savedRoot = s.RootKey;
        MoveRoot(s, build.seq, step);
        firstPass = false;
    }

    conductor.end = now;
    midi.tracks.push_back(std::move(conductor));
    std::vector<Part*> parts{&band.melody};
    if (accompanied) parts.insert(parts.end(), {&band.chords, &band.bass});
    if (clicks) parts.push_back(&band.click);
    for (Part* part : parts) {
        part->track.end = now;
        midi.tracks.push_back(std::move(part->track));
    }
    return midi;
}

QByteArray MidiFileBytes(const RenderedMidi& midi) {
    const std::vector<std::uint8_t> bytes = WriteSmf(midi.division, midi.tracks);
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

} // namespace orbel::exporter
