#pragma once
// The play sequence as one JSON object.

#include "export/export_build.h"

#include <QByteArray>

namespace orbel::exporter {

QByteArray SequenceJson(const ExportBuild& build);

} // namespace orbel::exporter
