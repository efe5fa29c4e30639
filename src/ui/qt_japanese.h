#pragma once
// Qt's own texts (the buttons of message boxes, the file and colour choosers) in Japanese, the language of
// the program, whatever the desktop's language.

class QTranslator;
class QCoreApplication;

namespace orbel {

// Installs Qt's Japanese translations (Debian's qt6-translations-l10n) in app, which owns them. Returns the
// translator, or nothing when they are not installed: Qt's texts then stay in English and standard error
// says why.
QTranslator* InstallQtJapanese(QCoreApplication& app);

} // namespace orbel
