#pragma once
// The study item as the play button plays it, turned into the tracks of a Standard MIDI File: the same
// timeline, accompaniment, clicks, count-in, repetitions and root progression, at the same milliseconds.
//
// The file keeps the player's time exactly: its division is 24 ticks of the player (24 × tick ms a quarter
// note) and its tempo 24 × tick × 1000 µs a quarter, so one MIDI tick is one millisecond and the bars fall
// where a sequencer or notation program expects them. The count-in, which the player times by the plain
// beat of the tempo, has a tempo of its own (one beat a quarter) for its two bars of 4/4.

#include "export_build.h"
#include "export_options.h"
#include "smf_writer.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace orbel::exporter {

namespace midi_tracks {
// Tempo, time signatures, the title and one marker per pass of the root progression.
static constexpr int Conductor = 0;
static constexpr const char* MelodyName = "Melody";
static constexpr const char* ChordsName = "Chords";
static constexpr const char* BassName = "Bass";
static constexpr const char* ClickName = "Click";
} // namespace midi_tracks

// The window starts with a tempo of its scroll bar's range: below it the fallback, above it the fastest.
namespace window_tempo {
static constexpr int Slowest = 50;
static constexpr int Fallback = 100;
static constexpr int Fastest = 300;
} // namespace window_tempo

struct RenderedMidi {
    int division = 0; // ticks per quarter note
    // The conductor track, then melody (channel 0); chords (1) and bass (2) when the accompaniment plays;
    // the click (9) when the click or the count-in is on.
    std::vector<SmfTrack> tracks;
    QStringList notices; // what the trainer would have shown on the way (a root it could not build)
};

// Plays build as the play button does: program changes, the rebuild for playing, the count-in, then
// options.repeats play-throughs in all. With RepeatOn = 1 the root moves by the RootProgression step after
// every RepeatCount of them (with the octave carried and the item rebuilt); with RepeatOn ≠ 1 all of them
// stay on the item's root. The accompaniment variant alternates from one play-through to the next, drawn
// from options.seed. The player's all-notes-off becomes a note-off for every note then sounding on the
// channel, and a click lasts until the next click or the end of the play-through. build's settings and
// sequence end as the last pass left them.
RenderedMidi RenderPlay(ExportBuild& build, const MidiOptions& options);

QByteArray MidiFileBytes(const RenderedMidi& midi);

} // namespace orbel::exporter
