#pragma once
// The program folder holds the trainer's data files: settings, catalogues and phrase files.
//
// A copy run from its build folder keeps them beside the executable. An installed copy (the executable in
// <prefix>/bin, the factory files in <prefix>/share/orbel) gives each user a folder of their own,
// $XDG_DATA_HOME/orbel, seeded from the factory files: created at the first start, and at every start
// given the factory files it lacks, never overwriting one the user has. ORBEL_HOME overrides both.
// The music font, its licence and the manual are read where they were installed.

#include <QString>

namespace orbel {

struct ProgramFolders {
    QString folder;    // where the data files are read and written
    QString resources; // where the music font, its licence and the manual are
    QString error;     // one line, when there is no program folder to use (folder is then empty)
};

// Finds (and for an installed copy prepares) the program folder. executableFolder: where the running
// executable lies.
ProgramFolders LocateProgramFolders(const QString& executableFolder);
// The same for the running executable; no error checking beyond what LocateProgramFolders does.
ProgramFolders LocateProgramFolders();

// Gives folder every factory file it lacks (the resources excepted); an empty string or what went wrong.
QString SeedProgramFolder(const QString& factory, const QString& folder);

// Where the music font, its licence and the manual are for a program folder: in the folder itself when it
// has them (a build folder, or ORBEL_HOME with its own copies), else where they were installed.
QString ResourceFolderFor(const QString& programFolder);

// The program folder of the running executable (its error aside).
QString ProgramFolder();
// The program folder joined with a file name, with "/" as the separator.
QString ProgramFile(const QString& name);

} // namespace orbel
