#pragma once
// The colour settings window: seven boxes, one per marking colour of the circle diagram and the keyboard;
// a click on a box opens the desktop's colour chooser. OK stores the colours and saves the settings,
// Cancel leaves them as they were.

#include "app/prompter.h"
#include "theory/settings.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QPushButton;

namespace orbel {

class FrmColset : public QDialog {
    Q_OBJECT

public:
    // saved: called after OK has stored the colours, to write the settings file.
    FrmColset(Settings& settings, Prompter& prompter, std::function<void()> saved, QWidget* parent = nullptr);

    // Shows the window with the colours of the settings as they are now; an open window comes forward as it
    // is.
    void start();
    void Picture1_Click(int index);
    std::uint32_t boxColour(int index) const { return colours_.at(static_cast<std::size_t>(index)); }

private:
    void Command2_Click(); // O K
    // The boxes take the colours of the settings.
    void Form_Load();
    void showBox(int index);

    Settings& settings_;
    std::function<void()> saved_;
    Prompter& prompter_;
    std::array<std::uint32_t, settings_limits::ColourSwatches> colours_{};
    std::array<QPushButton*, settings_limits::ColourSwatches> boxes_{};
};

} // namespace orbel
