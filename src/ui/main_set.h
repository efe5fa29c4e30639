#pragma once
// The sound switches window: click, count-in, accompaniment and melody on or
// off, acting at once because the player reads them at every tick.

#include <QDialog>

class QCheckBox;

namespace orbel {

struct Settings;

class MainSet : public QDialog {
    Q_OBJECT

public:
    MainSet(Settings& settings, QWidget* parent = nullptr);

private:
    Settings& settings_;
};

} // namespace orbel
