#pragma once
// location.txt hands a user-defined phrase file and a study type to the next start, and is deleted once used.
//
//   FILE=<phrase file, relative to the program folder>   a later FILE= line replaces an earlier one
//   SLCT=<study type>                                     reading stops here
// Lines starting with ";", "#" or "'" are comments; keys are case-insensitive.

#include "theory/settings.h"

#include <QString>

namespace orbel {

namespace location_file {
static constexpr const char* FileName = "location.txt";
static constexpr const char* FactoryFileName = "location_org.txt";
} // namespace location_file

// True when location.txt named an existing file: it then becomes UserFilePath (and field 0), its SLCT= value
// becomes StudyType and location.txt is deleted. Otherwise nothing changes and location.txt stays.
bool ReadLocationFile(Settings& s, const QString& programFolder);

} // namespace orbel
