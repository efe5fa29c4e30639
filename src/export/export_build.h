#pragma once
// Builds the requested study item the way the trainer's rebuild does, from the
// settings of a program folder that is only ever read.

#include "app/study_items.h"
#include "app/study_session.h"
#include "export/export_request.h"
#include "theory/play_sequence.h"
#include "theory/settings.h"

#include <QStringList>
#include <optional>
#include <string>

namespace orbel::exporter {

struct ExportBuild {
    Settings settings;
    StudyData data;
    PlaySequence seq;
    std::string title;
    QStringList notices;                // messages the trainer would have shown on the way
    std::optional<QString> badSet;      // a --set that could not be applied
    std::optional<std::string> refusal; // the item could not be built
};

// The settings of programFolder's cfg.infdat after the load rules; the zero
// record's values when the file is missing or not one record.
Settings ReadSettingsReadOnly(const QString& programFolder);

ExportBuild BuildForExport(const ExportOptions& options);

// The study as the trainer holds it after build: for rebuilding the item on other roots.
StudyState StudyOf(const ExportBuild& build);

} // namespace orbel::exporter
