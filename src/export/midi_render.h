#pragma once
// The study item as the play button plays it, turned into the tracks of a Standard MIDI File: the trainer's
// own player performs it (see play_recording.h) and every message it sends is written at its millisecond.
//
// The file keeps the player's time exactly: its division is 24 ticks of the player (24 × tick ms a quarter
// note) and its tempo 24 × tick × 1000 µs a quarter, so one MIDI tick is one millisecond and the bars fall
// where a sequencer or notation program expects them. The count-in, which the player times by the plain
// beat of the tempo, has a tempo of its own (one beat a quarter) for its two bars of 4/4.

#include "export/export_build.h"
#include "export/export_request.h"
#include "export/smf_writer.h"

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

struct RenderedMidi {
    int division = 0; // ticks per quarter note
    // The conductor track, then melody (channel 0); chords (1) and bass (2) when the accompaniment plays;
    // the click (9) when the click or the count-in is on.
    std::vector<SmfTrack> tracks;
    QStringList notices; // what the trainer would have shown on the way (a root it could not build)
};

// Plays build as the play button does (see RecordPerformance), at the tempo the window starts with. The
// player's all-notes-off becomes a note-off for every note then sounding on the channel. A click, which the
// player leaves to die away, lasts until the next click or the end of its play-through; a click of the
// count-in, until the play begins. A marker names the item at the start of every pass of the root
// progression.
RenderedMidi RenderPlay(const ExportBuild& build, const MidiOptions& options);

// The settings the item is played with: build's, at the tempo the window starts with.
Settings PlaySettings(const ExportBuild& build);

QByteArray MidiFileBytes(const RenderedMidi& midi);

} // namespace orbel::exporter
