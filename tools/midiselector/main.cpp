// midiselector: chooses the MIDI output the trainer plays through and writes it into the program folder.

#include "app/program_folder.h"
#include "output_list.h"
#include "selector_window.h"
#include "ui/message_box_prompter.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    orbel::MessageBoxPrompter prompter;
    const QString folder = orbel::ProgramFolder();
    orbel::SelectorWindow window(folder, orbel::LoadOutputList(folder), prompter);
    prompter.setParent(&window);
    window.exec();
    return 0;
}
