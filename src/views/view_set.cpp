#include "views/view_set.h"

#include "views/colour.h"
#include "views/staff_view.h"

#include <utility>

namespace orbel {

ViewSet::ViewSet(std::function<void()> repaint) : repaint_(std::move(repaint)) {}

void ViewSet::resize(QSize pixels, double devicePixelRatio, double logicalWidth, double logicalHeight) {
    if (pixels.isEmpty() || logicalWidth <= 0 || logicalHeight <= 0) return;
    if (surface_ && pixels == pixels_ && devicePixelRatio == devicePixelRatio_ &&
        logicalWidth == logicalWidth_ && logicalHeight == logicalHeight_)
        return;
    pixels_ = pixels;
    devicePixelRatio_ = devicePixelRatio;
    logicalWidth_ = logicalWidth;
    logicalHeight_ = logicalHeight;
    surface_ = std::make_unique<Surface>(pixels, devicePixelRatio, logicalWidth, logicalHeight);
    redrawViews();
}

void ViewSet::showStaff(const StaffLayout& staff) {
    staff_ = std::make_unique<StaffLayout>(staff);
    redrawViews();
}

void ViewSet::redrawViews() {
    // The keyboard and the circle draw here too as they arrive.
    if (surface_) {
        surface_->clear(bgr::White);
        if (staff_) PaintStaff(*surface_, *staff_);
    }
    if (repaint_) repaint_();
}

} // namespace orbel
