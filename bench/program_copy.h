#pragma once
// A copy of the built program folder for a benchmark's trainer, with the factory settings in force, so that
// nothing of the build is changed and every run starts alike.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace orbel::bench {

inline void CopyProgramFolder(const QTemporaryDir& folder) {
    const QDir built(QCoreApplication::applicationDirPath());
    for (const QString& name : built.entryList(QDir::Files)) {
        if (name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".ttf")) ||
            name.endsWith(QLatin1String(".infdat")))
            QFile::copy(built.filePath(name), folder.filePath(name));
    }
    QFile::remove(folder.filePath(QStringLiteral("cfg.infdat")));
    QFile::copy(built.filePath(QStringLiteral("cfg_org.infdat")),
                folder.filePath(QStringLiteral("cfg.infdat")));
}

} // namespace orbel::bench
