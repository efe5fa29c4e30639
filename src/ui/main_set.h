#pragma once
// The sound switches window: click, count-in, accompaniment and melody on or
// off, acting at once because the player reads them at every tick.

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;

namespace orbel {

struct Settings;

class MainSet : public QDialog {
    Q_OBJECT

public:
    // changed runs after every switch, so that a performance hears of it at its next tick.
    MainSet(Settings& settings, QWidget* parent = nullptr, std::function<void()> changed = {});

protected:
    // Built once and shown again: each showing takes the switches as the settings have them then.
    void showEvent(QShowEvent* event) override;

private:
    Settings& settings_;
    std::function<void()> changed_;
    // Each switch with the settings field it stands for.
    std::array<std::pair<QCheckBox*, bool Settings::*>, 4> switches_{};
};

} // namespace orbel
