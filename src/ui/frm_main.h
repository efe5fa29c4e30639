#pragma once
// The main window: the views area on the left and the right-hand column of
// three frames with the study, play and sound controls.

#include "app/logical_scale.h"
#include "app/program_state.h"
#include "ui/private_font.h"

#include <QMainWindow>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;

namespace orbel {

class Prompter;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    frmMain(ProgramState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~frmMain() override;

    // Sizes and lays out the window from the screen and installs the music font.
    void Form_Load();
    // Shows the window and fills the controls from the settings.
    void start();

    bool FontSet();
    void FontReset();

    const LogicalScale& scale() const { return scale_; }
    QWidget* surface() const { return surface_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Quit confirmation and saving; false keeps the program running.
    bool Form_QueryUnload();
    // Final release before the process ends.
    void Form_Unload();

    void buildMenus();
    void buildFrames();
    void layoutFrames();
    void toggleView(std::int16_t& flag, QAction* item);

    ProgramState& state_;
    Prompter& prompter_;
    PrivateFont musicFont_;
    LogicalScale scale_;
    bool unloaded_ = false;

    QWidget* surface_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command6_ = nullptr;
    QPushButton* command7_ = nullptr;
    QPushButton* command8_ = nullptr;
    QPushButton* command10_ = nullptr;
    QMenu* playMenu_ = nullptr;
    QAction* midiSelect_ = nullptr;
    QAction* showScore_ = nullptr;
    QAction* showDiagram_ = nullptr;
    QAction* showKeyboard_ = nullptr;
};

} // namespace orbel
