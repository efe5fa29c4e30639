#pragma once
// The command line of orbel-export.

#include "export/export_request.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace orbel::exporter {

struct ParsedOptions {
    std::optional<ExportOptions> options;
    QString error; // why the command line was refused
};

ParsedOptions ParseExportOptions(const QStringList& arguments);
QString UsageLine();

} // namespace orbel::exporter
