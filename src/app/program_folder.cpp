#include "app/program_folder.h"

#include "datafiles/atomic_save.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <array>

namespace orbel {

namespace {

// Relative to the executable's folder, where an installation puts the factory files.
constexpr const char* InstalledFactory = "../share/orbel";
constexpr const char* UserFolderName = "orbel";
// A catalogue every program folder has: a folder with it beside the executable is a build folder.
constexpr const char* MarkerFile = "scale.txt";
// Read where installed, never copied: the user has nothing to change in them.
constexpr std::array ResourceFiles = {"ZEPHMUSIC.ttf", "ZEPHMUSIC-OFL.txt", "help.pdf"};

bool IsResource(const QString& name) {
    for (const char* resource : ResourceFiles)
        if (name == QLatin1String(resource)) return true;
    return false;
}

QString UserDataHome() {
    // $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute, as desktops agree.
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

} // namespace

QString FolderProblem::english() const {
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::IsAFile:
        return QStringLiteral("%1 is a file, so the program folder cannot be there").arg(path);
    case Kind::CannotCreate:
        return QStringLiteral("the program folder %1 cannot be created (check the permissions of %2)")
            .arg(path, QFileInfo(path).absolutePath());
    case Kind::CannotCopy:
        return QStringLiteral("%1 cannot be copied into the program folder %2").arg(file, path);
    case Kind::FactoryMissing:
        return QStringLiteral("the factory files are missing from %1: install the program again").arg(path);
    }
    return {};
}

FolderProblem SeedProgramFolder(const QString& factory, const QString& folder) {
    const QFileInfo place(folder);
    if (place.exists() && !place.isDir()) return {FolderProblem::Kind::IsAFile, folder, {}};
    if (!QDir().mkpath(folder)) return {FolderProblem::Kind::CannotCreate, folder, {}};
    const QDir from(factory);
    const QStringList names = from.entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) {
        if (IsResource(name)) continue;
        const QString target = QDir(folder).filePath(name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) continue; // the user's own stays
        if (!CopyFileAtomic(from.filePath(name), target))
            return {FolderProblem::Kind::CannotCopy, folder, name};
    }
    return {};
}

ProgramFolders LocateProgramFolders(const QString& executableFolder) {
    ProgramFolders result;
    const QDir executable(executableFolder);
    // A build folder has the data files beside the executable; an installation has them in share/orbel.
    const bool installed = !QFileInfo::exists(executable.filePath(QString::fromLatin1(MarkerFile)));
    const QString factory = QDir::cleanPath(executable.filePath(QString::fromLatin1(InstalledFactory)));
    result.resources = installed ? factory : QDir::cleanPath(executableFolder);
    const QString home = qEnvironmentVariable("ORBEL_HOME");
    if (!home.isEmpty()) {
        result.folder = QDir::cleanPath(home);
        // A folder of the user's choosing keeps its own copies of the resources when it has them.
        if (QFileInfo::exists(QDir(result.folder).filePath(QString::fromLatin1(ResourceFiles[0]))))
            result.resources = result.folder;
        return result;
    }
    if (!installed) {
        result.folder = QDir::cleanPath(executableFolder);
        return result;
    }
    if (!QFileInfo::exists(QDir(factory).filePath(QString::fromLatin1(MarkerFile)))) {
        result.problem = {FolderProblem::Kind::FactoryMissing, factory, {}};
    } else {
        const QString folder = UserDataHome() + QLatin1Char('/') + QLatin1String(UserFolderName);
        result.problem = SeedProgramFolder(factory, folder);
        if (!result.problem) result.folder = folder;
    }
    result.error = result.problem.english();
    return result;
}

ProgramFolders LocateProgramFolders() {
    return LocateProgramFolders(QCoreApplication::applicationDirPath());
}

QString ResourceFolderFor(const QString& programFolder) {
    if (QFileInfo::exists(QDir(programFolder).filePath(QString::fromLatin1(ResourceFiles[0]))))
        return programFolder;
    return LocateProgramFolders().resources;
}

QString ProgramFolder() {
    return LocateProgramFolders().folder;
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + QLatin1Char('/') + name;
}

QString HelperProgramPath(const QString& name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

} // namespace orbel
