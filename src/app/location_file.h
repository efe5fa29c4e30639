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

struct LocationResult {
    bool taken = false; // the named phrase file is now the user-defined file
    QString refusal;    // why a named file that exists was not taken, for a message box; empty otherwise
};

// When location.txt names an existing phrase file (a regular file whose name ends in ".txt", in an ordinary
// folder, reached directly or through links), it becomes UserFilePath (and field 0), its SLCT= value becomes
// StudyType and location.txt is deleted. Otherwise nothing changes and location.txt stays; a named file that
// is anything else (a script, a folder, a device) is refused with a message.
LocationResult ReadLocationFile(Settings& s, const QString& programFolder);

} // namespace orbel
