#include "export/performance_check.h"

#include "datafiles/bounded_read.h"
#include "export/midi_render.h"
#include "sound/midi1.h"
#include "sound/midi_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace orbel::exporter {

namespace {

// A performance of one item, however long, fits in this; the note limit of the reader comes first.
constexpr qint64 LargestPerformanceFile = 32LL * 1024 * 1024;
constexpr int DrumChannel = 9;
constexpr double MsPerMicro = 1e-3;

double Rounded(double value) {
    return std::round(value * 10.0) / 10.0;
}

} // namespace

std::vector<MelodyRepetition> MelodyOf(const Performance& performance) {
    std::vector<MelodyRepetition> melody;
    const auto ms = [&](std::int64_t micros) {
        return static_cast<double>(micros - performance.playStart) * MsPerMicro;
    };
    for (std::size_t edge = 0; edge + 1 < performance.playThroughEdges.size(); edge += 2) {
        const PlayMoment& start = performance.playThroughEdges[edge];
        const PlayMoment& end = performance.playThroughEdges[edge + 1];
        MelodyRepetition repetition;
        repetition.startMs = ms(start.micros);
        repetition.endMs = ms(end.micros);
        if (edge / 2 < performance.playThroughTempi.size())
            repetition.tempo = performance.playThroughTempi[edge / 2];
        for (std::size_t i = start.sent; i < end.sent && i < performance.records.size(); ++i) {
            const RecordingOutput::Record& r = performance.records[i];
            if (StatusOf(r.message) == (midi_bytes::NoteOn | midi_channels::Melody) && Data2Of(r.message) > 0)
                repetition.notes.push_back({Data1Of(r.message), ms(r.micros)});
        }
        melody.push_back(std::move(repetition));
    }
    return melody;
}

std::vector<NoteOnset> PlayedOf(const SmfNotes& file, double playStartMs) {
    std::vector<bool> sounds(file.trackNames.size(), false);
    for (const SmfNote& note : file.notes)
        if (note.track >= 0 && static_cast<std::size_t>(note.track) < sounds.size())
            sounds[static_cast<std::size_t>(note.track)] = true;
    // A track named Melody without a note (left over in a sequencer, say) gives way to a later one with
    // notes.
    int only = -1;
    for (std::size_t t = 0; t < file.trackNames.size(); ++t) {
        if (file.trackNames[t] != midi_tracks::MelodyName) continue;
        if (sounds[t]) {
            only = static_cast<int>(t);
            break;
        }
        if (only < 0) only = static_cast<int>(t);
    }
    std::vector<NoteOnset> played;
    for (const SmfNote& note : file.notes) {
        if (only >= 0 ? note.track != only : note.channel == DrumChannel) continue;
        played.push_back({note.key, note.ms - playStartMs});
    }
    return played;
}

QByteArray ScoresJson(const std::vector<RepetitionScore>& scores, const ScoreOptions& options) {
    QJsonArray repetitions;
    int number = 0;
    for (const RepetitionScore& s : scores) {
        repetitions.append(QJsonObject{
            {QStringLiteral("repetition"), ++number},
            {QStringLiteral("tempo"), s.tempo},
            {QStringLiteral("start_ms"), Rounded(s.startMs)},
            {QStringLiteral("right"), s.right},
            {QStringLiteral("total"), s.total},
            {QStringLiteral("missed"), s.missed},
            {QStringLiteral("extra"), s.extra},
            {QStringLiteral("wrong"), s.wrong},
            {QStringLiteral("accuracy"), Rounded(s.accuracy() * 100.0) / 100.0},
            {QStringLiteral("mean_offset_ms"), Rounded(s.meanOffsetMs)},
        });
    }
    const QJsonObject root{
        {QStringLiteral("repetitions"), repetitions},
        {QStringLiteral("window_ms"), options.windowMs},
        {QStringLiteral("any_octave"), options.anyOctave},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ScoreReport ScoreFile(const ExportBuild& build, const MidiOptions& midi, bool repeatsGiven,
                      const QString& path, const ScoreOptions& options) {
    ScoreReport report;
    const BoundedRead read = ReadRegularFile(path, LargestPerformanceFile);
    if (!read.bytes) {
        switch (read.failure) {
        case ReadFailure::Missing:
            report.error = QStringLiteral("%1: no such file").arg(path);
            break;
        case ReadFailure::NotRegularFile:
            report.error = QStringLiteral("%1: not a regular file").arg(path);
            break;
        case ReadFailure::TooLarge:
            report.error = QStringLiteral("%1: larger than %2 MiB, not a performance of one item")
                               .arg(path)
                               .arg(LargestPerformanceFile / (1024 * 1024));
            break;
        case ReadFailure::Unreadable:
            report.error = QStringLiteral("%1: cannot be read").arg(path);
            break;
        }
        return report;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(read.bytes->constData());
    const SmfReadResult file = ReadSmfNotes({data, static_cast<std::size_t>(read.bytes->size())});
    if (!file.file) {
        report.error = QStringLiteral("%1: %2").arg(path, QString::fromStdString(file.error));
        return report;
    }

    // The melody sounds in the trainer's check even when the user mutes it.
    Settings settings = PlaySettings(build);
    settings.MelodyOn = 1;
    MidiOptions played = midi;
    if (!repeatsGiven) played.repeats = midi_defaults::MaxRepeats;
    const Performance performance = RecordPerformance(build, settings, played);
    report.notices = performance.notices;
    std::vector<MelodyRepetition> melody = MelodyOf(performance);
    const std::vector<NoteOnset> notes =
        PlayedOf(*file.file, static_cast<double>(performance.playStart) * MsPerMicro);
    if (notes.empty()) {
        report.error = QStringLiteral("%1: no notes to score").arg(path);
        return report;
    }
    if (!repeatsGiven) {
        // As many repetitions as the performance lasts: none that begins after its last note.
        const double last =
            std::max_element(notes.begin(), notes.end(), [](const NoteOnset& a, const NoteOnset& b) {
                return a.ms < b.ms;
            })->ms;
        while (melody.size() > 1 && melody.back().startMs > last)
            melody.pop_back();
    }
    report.json = ScoresJson(ScorePerformance(melody, notes, options), options);
    return report;
}

} // namespace orbel::exporter
