// Entry of the trainer.

#include "app/program_folder.h"
#include "ui/captions.h"
#include "ui/main_mod.h"
#include "ui/message_box_prompter.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orbel"));
    QApplication::setApplicationDisplayName(orbel::captions::ProgramName);
    // The drawing font of the views is a Mincho face; serve it from IPA Mincho.
    QFont::insertSubstitution(orbel::captions::FormFontName, QStringLiteral("IPAMincho"));
    QApplication::setQuitOnLastWindowClosed(false);

    orbel::MessageBoxPrompter prompter;
    std::unique_ptr<orbel::Trainer> trainer = orbel::Main(orbel::ProgramFolder(), prompter);
    if (!trainer) return 0;
    prompter.setParent(trainer->window.get());
    return QApplication::exec();
}
