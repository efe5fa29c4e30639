#include "ui/qt_japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace orbel {

QTranslator* InstallQtJapanese(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        std::fprintf(stderr,
                     "%s: Qt's Japanese translations (qtbase_ja.qm) are not in %s; Qt's dialogs speak "
                     "English\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(folder));
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace orbel
