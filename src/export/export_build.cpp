#include "export/export_build.h"

#include "app/program_folder.h"
#include "app/settings_fields.h"
#include "app/settings_file.h"
#include "app/study_session.h"
#include "sound/midi_output.h"
#include "theory/fit_range.h"
#include "theory/prepare_build.h"
#include "theory/spelling.h"
#include "theory/title_text.h"
#include "theory/vocabulary.h"

#include "datafiles/bounded_read.h"

#include <algorithm>

namespace orbel::exporter {

Settings ReadSettingsReadOnly(const QString& programFolder) {
    Settings settings;
    const BoundedRead file =
        ReadRegularFile(programFolder + QLatin1Char('/') + QLatin1String(settings_file::FileName),
                        settings_file::RecordBytes);
    if (file.bytes) {
        if (std::optional<Settings> decoded = DecodeSettingsRecord(*file.bytes)) {
            settings = *decoded;
            settings.UserFilePath = UserFilePathFromField(settings);
        }
    }
    ApplyLoadRules(settings);
    return settings;
}

namespace {

// The shifts at which the notes come out as asked, in every format: inside the range the trainer's rebuilds
// keep (so the player's own rebuild leaves the shift alone), on the staff's pitches, and on MIDI keys both as
// written (MusicXML) and as sounding for a transposing instrument (the MIDI file).
ShiftRange ReachableShifts(const StudyState& study) {
    const Settings& s = study.settings;
    const PitchWindow trainer = FitRangeWindow(s);
    const int written = s.PitchBaseC;
    const int sounding = written + s.TransposeSemitones;
    const PitchWindow window{std::max({trainer.low, treble_staff::LowestPitch, -std::min(written, sounding)}),
                             std::min({trainer.high, treble_staff::HighestPitch,
                                       midi_bytes::DataMax - std::max(written, sounding)})};
    return ShiftsWithin(study.sequence, window);
}

// Puts the built notes `shift` octaves away, or says why they cannot go there.
std::optional<std::string> ApplyOctaveShift(StudyState& study, int shift) {
    const ShiftRange reach = ReachableShifts(study);
    if (reach.contains(shift)) {
        study.sequence.OctaveShift = static_cast<std::int16_t>(shift);
        return std::nullopt;
    }
    const QString where = reach.lowest > reach.highest
                              ? QStringLiteral("at no shift")
                              : QStringLiteral("only at shifts %1..%2").arg(reach.lowest).arg(reach.highest);
    return QStringLiteral("--octave-shift %1 is out of reach: the notes of study %2 item %3 on root %4 stay "
                          "within the playing range, the staff and MIDI keys 0..127 %5")
        .arg(shift)
        .arg(study.settings.StudyType)
        .arg(study.settings.StudyItem[static_cast<std::size_t>(study.settings.StudyType)])
        .arg(study.settings.RootKey)
        .arg(where)
        .toStdString();
}

} // namespace

ExportBuild BuildForExport(const ExportOptions& options) {
    ExportBuild b;
    const QString folder = options.home.isEmpty() ? ProgramFolder() : options.home;
    b.settings = ReadSettingsReadOnly(folder);
    for (const QString& assignment : options.assignments) {
        const std::string error = SetSettingsField(b.settings, assignment.toStdString());
        if (!error.empty()) {
            b.badSet = QStringLiteral("--set %1: %2").arg(assignment, QString::fromStdString(error));
            return b;
        }
        if (assignment.startsWith(QLatin1String("UserFilePath="))) StoreUserFilePath(b.settings);
    }
    ApplyLoadRules(b.settings);

    Settings& s = b.settings;
    s.StudyType = static_cast<std::int16_t>(options.study);
    if (options.item)
        s.StudyItem[static_cast<std::size_t>(s.StudyType)] = static_cast<std::int16_t>(*options.item);
    if (options.root) s.RootKey = static_cast<std::int16_t>(*options.root);

    // The window's own study, without the window.
    StudyState study;
    study.settings = s;
    InitIIVITables(study.iiviTables);
    StudySession session(study);
    const StudyItems items = session.loadItems(folder);
    b.notices = items.messages;

    const int item = session.currentItem();
    if (item < 0 || item >= study.itemCount) {
        b.refusal = QStringLiteral("study %1 has no item %2 (%3 items)")
                        .arg(s.StudyType)
                        .arg(item)
                        .arg(study.itemCount)
                        .toStdString();
        b.data = study.study;
        return b;
    }

    auto title = [&] { return session.texts(item, study.settings.RootKey).TitleText; };
    auto done = [&] {
        b.settings = study.settings;
        b.data = study.study;
        b.seq = study.sequence;
        return b;
    };
    // The window names the key before it builds; a phrase then sets the key it is written in, so its title
    // is taken again afterwards, or it would name the key of the previous item.
    b.title = title();
    if (BuildMessage refused = session.build(false)) {
        b.refusal = refused;
        return done();
    }
    if (session.isPhrase()) b.title = title();
    if (options.transposeTo) {
        study.settings.RootKey = static_cast<std::int16_t>(*options.transposeTo);
        b.title = title();
        if (BuildMessage refused = session.build(true)) {
            b.refusal = refused;
            return done();
        }
    }
    // Every format refuses alike what has nothing to show or play.
    if (study.sequence.SeqCount <= 0) {
        b.refusal = QStringLiteral("study %1 item %2 has no notes").arg(s.StudyType).arg(item).toStdString();
        return done();
    }
    if (options.octaveShift) b.refusal = ApplyOctaveShift(study, *options.octaveShift);
    return done();
}

StudyState StudyOf(const ExportBuild& build) {
    StudyState study;
    study.settings = build.settings;
    study.study = build.data;
    study.sequence = build.seq;
    InitIIVITables(study.iiviTables);
    return study;
}

} // namespace orbel::exporter
