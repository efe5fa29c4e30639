#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>

namespace orbel {

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("ORBEL_HOME");
    if (!home.isEmpty()) return QDir::cleanPath(home);
    return QCoreApplication::applicationDirPath();
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + QLatin1Char('/') + name;
}

} // namespace orbel
