#pragma once
// The ring that shows where the tour points: drawn over the main window, never in the way of a click. It
// fills red for the moment of a click.

#include <QWidget>

namespace orbel {

class TourMarker final : public QWidget {
    Q_OBJECT

public:
    explicit TourMarker(QWidget* window);

    // Centres the marker on a point of the window it belongs to.
    void placeAt(QPoint inWindow);
    void setFilled(bool filled);
    bool filled() const { return filled_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool filled_ = false;
};

} // namespace orbel
