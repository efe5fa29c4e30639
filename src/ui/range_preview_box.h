#pragma once
// The picture box of the sound settings dialog that shows the range limits on a small staff.

#include "views/range_preview.h"
#include "views/surface.h"

#include <QWidget>
#include <memory>

namespace orbel {

class RangePreviewBox final : public QWidget {
    Q_OBJECT

public:
    explicit RangePreviewBox(QWidget* parent = nullptr);
    ~RangePreviewBox() override;

    // Draws the two limits (each snapped into its span) afresh.
    void Drowgosen(int low, int high);
    const RangePreviewPicture& picture() const { return picture_; }
    const Surface* surface() const { return surface_.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void redraw();

    RangePreviewPicture picture_;
    std::unique_ptr<Surface> surface_;
};

} // namespace orbel
