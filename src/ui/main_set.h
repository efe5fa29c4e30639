#pragma once
// The sound switches window: click, count-in, accompaniment and melody on or
// off, acting at once because the player reads them at every tick. No OK and
// no Cancel: every switch goes to the settings model as it is clicked, and the
// switches follow the model.

#include <QDialog>
#include <array>

class QCheckBox;

namespace orbel {

struct Settings;
class SettingsModel;

class MainSet : public QDialog {
    Q_OBJECT

public:
    // model must outlive the window.
    explicit MainSet(SettingsModel& model, QWidget* parent = nullptr);

protected:
    // Built once and shown again: each showing takes the switches as the settings have them then.
    void showEvent(QShowEvent* event) override;

private:
    void showSwitches();

    SettingsModel& model_;
    // Each switch with the settings field it stands for.
    std::array<std::pair<QCheckBox*, bool Settings::*>, 4> switches_{};
};

} // namespace orbel
