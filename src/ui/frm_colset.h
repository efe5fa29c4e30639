#pragma once
// The colour settings window: seven boxes, one per marking colour of the circle diagram and the keyboard;
// a click on a box opens the desktop's colour chooser. The window edits a copy of the colours, taken as it
// opens; OK commits the copy to the settings model and saves the settings, Cancel drops it.

#include "app/prompter.h"
#include "theory/settings.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QPushButton;

namespace orbel {

class SettingsModel;

class FrmColset : public QDialog {
    Q_OBJECT

public:
    // saved: called after OK has stored the colours, to write the settings file. model must outlive the
    // window.
    FrmColset(SettingsModel& model, Prompter& prompter, std::function<void()> saved,
              QWidget* parent = nullptr);

    // Shows the window with the colours of the settings as they are now; an open window comes forward as it
    // is.
    void start();
    void Picture1_Click(int index);
    std::uint32_t boxColour(int index) const { return colours_.at(static_cast<std::size_t>(index)); }

private:
    void Command2_Click(); // O K
    // A fresh copy of the settings' colours, shown in the boxes.
    void Form_Load();
    void showBox(int index);

    SettingsModel& model_;
    std::function<void()> saved_;
    Prompter& prompter_;
    // The copy the window edits.
    std::array<std::uint32_t, settings_limits::ColourSwatches> colours_{};
    std::array<QPushButton*, settings_limits::ColourSwatches> boxes_{};
};

} // namespace orbel
