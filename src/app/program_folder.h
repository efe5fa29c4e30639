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

// What stands in the way of a program folder, for the window to say in its own words and the command line in
// one English line.
struct FolderProblem {
    enum class Kind { None, IsAFile, CannotCreate, CannotCopy, FactoryMissing };
    Kind kind = Kind::None;
    QString path; // the program folder, or the factory folder that is missing
    QString file; // CannotCopy: the factory file
    explicit operator bool() const { return kind != Kind::None; }
    QString english() const;
};

struct ProgramFolders {
    QString folder;    // where the data files are read and written
    QString resources; // where the music font, its licence and the manual are
    FolderProblem problem;
    QString error; // problem.english(), empty when there is a program folder (folder is then empty otherwise)
};

// Finds (and for an installed copy prepares) the program folder. executableFolder: where the running
// executable lies.
ProgramFolders LocateProgramFolders(const QString& executableFolder);
// The same for the running executable; no error checking beyond what LocateProgramFolders does.
ProgramFolders LocateProgramFolders();

// Gives folder every factory file it lacks (the resources excepted); what went wrong, if anything.
FolderProblem SeedProgramFolder(const QString& factory, const QString& folder);

// Where the music font, its licence and the manual are for a program folder: in the folder itself when it
// has them (a build folder, or ORBEL_HOME with its own copies), else where they were installed.
QString ResourceFolderFor(const QString& programFolder);

// Where a helper program of ours (the output chooser) is: beside the running executable, in a build folder as
// in an installed bin/, never in a data folder, where whoever can write a data file could plant one.
QString HelperProgramPath(const QString& name);

// The program folder of the running executable (its error aside).
QString ProgramFolder();
// The program folder joined with a file name, with "/" as the separator.
QString ProgramFile(const QString& name);

} // namespace orbel
