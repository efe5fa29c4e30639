#include "export_build.h"

#include "app/program_folder.h"
#include "app/settings_fields.h"
#include "app/settings_file.h"
#include "theory/circle_geometry.h"
#include "theory/prepare_build.h"
#include "theory/title_text.h"
#include "theory/vocabulary.h"

#include <QFile>
#include <algorithm>

namespace orbel::exporter {

Settings ReadSettingsReadOnly(const QString& programFolder) {
    Settings settings;
    QFile file(programFolder + QLatin1Char('/') + QLatin1String(settings_file::FileName));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(settings_file::RecordBytes + 1);
        if (std::optional<Settings> decoded = DecodeSettingsRecord(bytes)) {
            settings = *decoded;
            settings.UserFilePath = UserFilePathFromField(settings);
        }
    }
    ApplyLoadRules(settings);
    return settings;
}

std::string ItemTitle(const Settings& settings, const StudyData& data, const PlaySequence& seq) {
    const int type = std::clamp<int>(settings.StudyType, 0, settings_limits::StudyItemSlots - 1);
    const int item = settings.StudyItem[static_cast<std::size_t>(type)];
    return MakeItemTexts(settings, data.catalogue, data.phrases, seq.MajorSpelling, item, settings.RootKey)
        .TitleText;
}

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

    const StudyItems items = LoadStudyItems(s.StudyType, s, folder, b.data);
    b.notices = items.messages;

    IIVITables tables;
    InitIIVITables(tables);
    const CircleGeometry noDiagram{};
    const int item = s.StudyItem[static_cast<std::size_t>(s.StudyType)];
    if (item < 0 || item >= items.entries.size()) {
        b.refusal = QStringLiteral("study %1 has no item %2 (%3 items)")
                        .arg(s.StudyType)
                        .arg(item)
                        .arg(items.entries.size())
                        .toStdString();
        return b;
    }

    b.seq.OctaveShift = static_cast<std::int16_t>(options.octaveShift);
    auto title = [&] { return ItemTitle(s, b.data, b.seq); };
    // The window names the key before it builds; a phrase then sets the key it is written in, so its title
    // is taken again afterwards, or it would name the key of the previous item.
    const bool phrase = s.StudyType >= study_type::IIVIPhrase;
    b.title = title();
    if (BuildMessage refused =
            BuildSequenceForSelection(b.seq, s, b.data.catalogue, b.data.phrases, tables, noDiagram, false)) {
        b.refusal = refused;
        return b;
    }
    if (phrase) b.title = title();
    if (options.transposeTo) {
        s.RootKey = static_cast<std::int16_t>(*options.transposeTo);
        b.title = title();
        if (BuildMessage refused = BuildSequenceForSelection(b.seq, s, b.data.catalogue, b.data.phrases,
                                                             tables, noDiagram, true))
            b.refusal = refused;
    }
    return b;
}

} // namespace orbel::exporter
