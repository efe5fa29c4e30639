#pragma once
// The sound switches window: click, count-in, accompaniment and melody on or
// off, acting at once because the player reads them at every tick.

#include <QDialog>
#include <functional>

class QCheckBox;

namespace orbel {

struct Settings;

class MainSet : public QDialog {
    Q_OBJECT

public:
    // changed runs after every switch, so that a performance hears of it at its next tick.
    MainSet(Settings& settings, QWidget* parent = nullptr, std::function<void()> changed = {});

private:
    Settings& settings_;
    std::function<void()> changed_;
};

} // namespace orbel
