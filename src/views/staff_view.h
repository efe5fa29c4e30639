#pragma once
// Paints a laid-out staff on the views' surface.

namespace orbel {

class Surface;
struct StaffLayout;

// Every mark of layout, in order, in its font, pen and colour. The surface's font is left as it was.
void PaintStaff(Surface& surface, const StaffLayout& layout);

} // namespace orbel
