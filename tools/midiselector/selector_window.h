#pragma once
// The chooser's window: the list of outputs with the one in use marked, テスト to hear the selected one,
// O K to write it into midiout.txt in the program folder, キャンセル to leave the file as it is.

#include "app/prompter.h"
#include "output_list.h"
#include "scale_player.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace orbel {

// Makes the output that テスト plays through; tests give a recorder instead of a device.
using OutputMaker = std::function<std::unique_ptr<MidiOutput>(const MidiBackendChoice&)>;

class SelectorWindow : public QDialog {
    Q_OBJECT

public:
    SelectorWindow(QString programFolder, OutputList list, Prompter& prompter,
                   OutputMaker makeOutput = MakeMidiOutput, QWidget* parent = nullptr);

    // The entry selected in the list; nothing when no row is.
    std::optional<std::size_t> selectedEntry() const;

private:
    void testClicked();
    void okClicked();
    void selectionChanged();
    QStringList notes() const;

    QString programFolder_;
    OutputList list_;
    Prompter& prompter_;
    OutputMaker makeOutput_;
    ScalePlayer player_;
    QListWidget* entries_ = nullptr;
    QPushButton* test_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace orbel
