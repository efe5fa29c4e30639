#pragma once
// The shortcut description window.

#include <QDialog>

namespace orbel {

class sample : public QDialog {
    Q_OBJECT

public:
    explicit sample(QWidget* parent = nullptr);
    // The lines of the description, in order.
    static QStringList Lines();
};

} // namespace orbel
