#pragma once
// orbel-export --score: a performance read from a Standard MIDI File, scored against the item as the
// trainer plays it, repetition by repetition, with the trainer's own scoring.
//
// The file is laid out as the trainer's own MIDI file: it begins where the play button was pressed, so a
// count-in, when on, comes first. Scoring counts from the first beat after the count-in. A file with a track
// named "Melody" (as ours) is scored on the first such track that holds notes; any other on every channel but
// the drums'.

#include "export/export_build.h"
#include "export/export_request.h"
#include "export/play_recording.h"
#include "export/smf_reader.h"

#include "theory/performance_score.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace orbel::exporter {

// The melody of every play-through, in milliseconds from the first beat after the count-in.
std::vector<MelodyRepetition> MelodyOf(const Performance& performance);
// The notes of a performance file that count, on the same time line.
std::vector<NoteOnset> PlayedOf(const SmfNotes& file, double playStartMs);
QByteArray ScoresJson(const std::vector<RepetitionScore>& scores, const ScoreOptions& options);

struct ScoreReport {
    std::optional<QByteArray> json;
    QString error; // one line, when there is no result
    QStringList notices;
};

// Scores the file at path. Without repeatsGiven, as many repetitions as the performance lasts.
ScoreReport ScoreFile(const ExportBuild& build, const MidiOptions& midi, bool repeatsGiven,
                      const QString& path, const ScoreOptions& options);

} // namespace orbel::exporter
