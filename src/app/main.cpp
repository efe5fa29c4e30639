// Entry of the trainer.

#include "app/command_line.h"
#include "app/program_folder.h"
#include "ui/captions.h"
#include "ui/control_map.h"
#include "ui/folder_problem_text.h"
#include "ui/frm_main.h"
#include "ui/main_mod.h"
#include "ui/message_box_prompter.h"
#include "ui/qt_japanese.h"
#include "ui/quit_signals.h"

#include <QApplication>
#include <QFont>
#include <cstdio>
#include <memory>

namespace {

orbel::command_line::Program TrainerProgram() {
    return {QStringLiteral("orbel"), QStringLiteral("a practice trainer for jazz improvisation"),
            QStringLiteral("usage: orbel [--help] [--version] [Qt options such as -platform NAME]"),
            QStringLiteral(
                "The trainer opens its window; everything else is chosen there.\n\n"
                "Environment:\n"
                "  ORBEL_HOME          the program folder (settings, catalogues, phrase files)\n"
                "  ORBEL_MIDI_BACKEND  where the sound goes: synth [SOUNDFONT], alsa PORT or recorder\n"
                "  ORBEL_MIDI_LOG      a file that records every MIDI message sent")};
}

} // namespace

int main(int argc, char** argv) {
    const orbel::command_line::Program program = TrainerProgram();
    if (const auto answered =
            orbel::command_line::AnswerHelpOrVersion(orbel::command_line::Arguments(argc, argv), program))
        return *answered;
    QApplication app(argc, argv);
    // Qt has taken its own options out; anything left is not ours either.
    if (const QStringList left = QCoreApplication::arguments(); left.size() > 1)
        return orbel::command_line::RefuseUsage(QStringLiteral("unexpected argument: %1").arg(left[1]),
                                                program);
    QApplication::setApplicationName(QStringLiteral("orbel"));
    QApplication::setApplicationDisplayName(orbel::captions::ProgramName);
    orbel::InstallQtJapanese(app);
    // The drawing font of the views is a Mincho face; serve it from IPA Mincho.
    QFont::insertSubstitution(orbel::captions::FormFontName, QStringLiteral("IPAMincho"));
    QApplication::setQuitOnLastWindowClosed(false);

    // Programs that drive the trainer from outside learn where its controls are.
    std::unique_ptr<orbel::ControlMap> controlMap;
    if (const QString mapPath = qEnvironmentVariable(orbel::control_map::PathVariable); !mapPath.isEmpty())
        controlMap = std::make_unique<orbel::ControlMap>(mapPath);

    orbel::MessageBoxPrompter prompter;
    const orbel::ProgramFolders folders = orbel::LocateProgramFolders();
    if (folders.problem) {
        prompter.message(orbel::FolderProblemText(folders.problem), orbel::PromptIcon::Exclamation);
        return 1;
    }
    std::unique_ptr<orbel::Trainer> trainer = orbel::Main(folders.folder, prompter);
    if (!trainer) return 0;
    prompter.setParent(trainer->window.get());
    // A log-out or Ctrl+C quits as 終了 does, keeping what the session changed.
    const orbel::QuitSignals quitSignals([window = trainer->window.get()] { window->quitWithoutAsking(); });
    if (!quitSignals.problem().isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(quitSignals.problem()));
    return QApplication::exec();
}
