#pragma once
// The program folder holds the executable's data files: settings, catalogues,
// phrase files and the music font. ORBEL_HOME overrides it (tests, packaged installs).

#include <QString>

namespace orbel {

QString ProgramFolder();
// The program folder joined with a file name, with "/" as the separator.
QString ProgramFile(const QString& name);

} // namespace orbel
