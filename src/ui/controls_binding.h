#pragma once
// The main window's settings controls bound to the settings model: each switch, option, list, the tempo
// bar and box and the view menu's items set their setting, and show it again whenever the model says it
// changed, whoever changed it (a settings window, the tour). What a change brings beyond its own
// control is said by EffectsOf and done by whoever the binding hands it to.
// Thread: the window's.

#include "app/settings_model.h"

#include <QObject>
#include <array>
#include <functional>
#include <utility>

class QAction;
class QCheckBox;

namespace orbel {

struct ControlPanel;
struct ViewMenuItems;
class PlayController;

// What a change of a setting brings besides its control showing it.
struct ChangeEffects {
    bool programChanges = false; // the instruments are sent again
    bool rebuild = false;        // the sequence is built again and the views drawn
    bool live = false;           // a running performance is handed the settings
    bool operator==(const ChangeEffects&) const = default;
};
ChangeEffects EffectsOf(SettingsFieldId field);

class ControlsBinding final : public QObject {
    Q_OBJECT

public:
    // follow hears the effects of every change, after its control shows it. The tempo's controls tell play
    // the user's tempo as well.
    ControlsBinding(ControlPanel& controls, ViewMenuItems viewItems, SettingsModel& model,
                    PlayController& play, std::function<void(ChangeEffects)> follow,
                    QObject* parent = nullptr);

    // Offers the repeat counts and has every control show its setting as the model has it.
    void showAll();

private:
    void changed(SettingsFieldId field);
    // The control of a setting shows the setting as it is (fields without a control here: nothing).
    void show(SettingsFieldId field);
    void tempoBarMoved(int value);
    // A typed tempo applies when the box is left or Enter is pressed.
    void tempoTyped();

    ControlPanel& controls_;
    // The switches and the view menu's items, with the setting each one shows and sets.
    std::array<std::pair<QCheckBox*, bool Settings::*>, 6> switches_;
    std::array<std::pair<QAction*, bool Settings::*>, 3> viewItems_;
    SettingsModel& model_;
    PlayController& play_;
    std::function<void(ChangeEffects)> follow_;
    // While a typed tempo is taken: the bar stays where it is.
    bool tempoTyped_ = false;
};

} // namespace orbel
