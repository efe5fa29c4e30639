// midiselector: chooses the MIDI output the trainer plays through and writes it into the program folder.

#include "app/command_line.h"
#include "app/program_folder.h"
#include "output_list.h"
#include "selector_window.h"
#include "ui/folder_problem_text.h"
#include "ui/message_box_prompter.h"
#include "ui/qt_japanese.h"

#include <QApplication>

int main(int argc, char** argv) {
    const orbel::command_line::Program program{
        QStringLiteral("midiselector"), QStringLiteral("chooses the MIDI output the trainer plays through"),
        QStringLiteral("usage: midiselector [--help] [--version] [Qt options such as -platform NAME]"),
        QStringLiteral("The choice is written to midiout.txt in the program folder (ORBEL_HOME when set).")};
    if (const auto answered =
            orbel::command_line::AnswerHelpOrVersion(orbel::command_line::Arguments(argc, argv), program))
        return *answered;
    QApplication app(argc, argv);
    if (const QStringList left = QCoreApplication::arguments(); left.size() > 1)
        return orbel::command_line::RefuseUsage(QStringLiteral("unexpected argument: %1").arg(left[1]),
                                                program);
    QApplication::setApplicationName(QStringLiteral("midiselector"));
    orbel::InstallQtJapanese(app);
    orbel::MessageBoxPrompter prompter;
    const orbel::ProgramFolders folders = orbel::LocateProgramFolders();
    if (folders.problem) {
        prompter.message(orbel::FolderProblemText(folders.problem), orbel::PromptIcon::Exclamation);
        return 1;
    }
    const QString folder = folders.folder;
    orbel::SelectorWindow window(folder, orbel::LoadOutputList(folder), prompter);
    prompter.setParent(&window);
    window.exec();
    return 0;
}
