#pragma once
// An item of the factory catalogues built as orbel-export builds it, from a program folder of the test's own
// holding the factory settings and catalogues, with some settings overridden.

#include "export/export_build.h"

#include <QFile>
#include <QTemporaryDir>

namespace orbel::exporter {

inline ExportBuild FactoryBuild(const QTemporaryDir& home, int study, const QStringList& assignments,
                                int item = 0) {
    QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"), home.filePath("cfg.infdat"));
    for (const char* name : {"scale.txt", "code.txt", "ptn.txt", "ric.txt"})
        QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/") + name, home.filePath(name));
    ExportOptions options;
    options.home = home.path();
    options.study = study;
    options.item = item;
    options.assignments = assignments;
    return BuildForExport(options);
}

} // namespace orbel::exporter
