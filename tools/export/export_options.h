#pragma once
// The command line of orbel-export.

#include <QString>
#include <QStringList>
#include <optional>

namespace orbel::exporter {

enum class Format { Json };

struct ExportOptions {
    QString home; // program folder; empty = the trainer's own
    int study = 0;
    std::optional<int> item; // default: the item stored in the settings
    std::optional<int> root; // default: the root stored in the settings
    int octaveShift = 0;
    std::optional<int> transposeTo;
    QStringList assignments; // Field=Value, applied in order
    Format format = Format::Json;
    QString output; // empty = standard output
};

struct ParsedOptions {
    std::optional<ExportOptions> options;
    QString error; // why the command line was refused
};

ParsedOptions ParseExportOptions(const QStringList& arguments);
QString UsageLine();

} // namespace orbel::exporter
