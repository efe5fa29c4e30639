#pragma once
// What an export asks for: the study item, the format to write it in and the options of each format. The
// command line of orbel-export fills it in (tools/export/export_options.h).

#include "theory/performance_score.h"
#include "theory/tempo_ramp.h"
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace orbel::exporter {

enum class Format { Json, Midi, Png, Svg, Pdf, MusicXml };

// A picture of the staff rather than data.
inline bool IsPicture(Format f) {
    return f == Format::Png || f == Format::Svg || f == Format::Pdf;
}

namespace midi_defaults {
// The accompaniment's draws start from a fixed seed, so the same command line writes the same file.
static constexpr std::uint32_t Seed = 1;
static constexpr int Repeats = 1;
static constexpr int MaxRepeats = 100;
} // namespace midi_defaults

// What only the MIDI file needs: how many repetitions the play button would play, and the seed of the
// accompaniment's patterns.
struct MidiOptions {
    int repeats = midi_defaults::Repeats;
    std::uint32_t seed = midi_defaults::Seed;
    std::optional<TempoRamp> ramp; // the tempo ramp of practice, as the trainer plays it
};

struct ExportOptions {
    QString home; // program folder; empty = the trainer's own
    int study = 0;
    std::optional<int> item;        // default: the item stored in the settings
    std::optional<int> root;        // default: the root stored in the settings
    std::optional<int> octaveShift; // default: where the build puts the notes
    std::optional<int> transposeTo;
    QStringList assignments; // Field=Value, applied in order
    Format format = Format::Json;
    QString output; // empty = standard output
    MidiOptions midi;
    bool allKeys = false; // a picture: the item in all twelve keys, round the cycle of fourths
    // --score: a performance file to score instead of writing the item; --repeats given or not.
    QString scoreFile;
    ScoreOptions scoring;
    bool repeatsGiven = false;
};

} // namespace orbel::exporter
