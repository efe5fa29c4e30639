#pragma once
// The views' area of the main window: shows the picture of the view set's surface, pixel for pixel.

#include <QWidget>

namespace orbel {

class ViewSet;

class ViewArea final : public QWidget {
    Q_OBJECT

public:
    ViewArea(const ViewSet& views, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ViewSet& views_;
};

} // namespace orbel
