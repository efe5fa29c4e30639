#include "views/staff_view.h"

#include "views/colour.h"
#include "views/staff_layout.h"
#include "views/surface.h"

namespace orbel {

void PaintStaff(Surface& surface, const StaffLayout& layout) {
    surface.SaveFormFont();
    const int width = surface.drawWidth();
    for (const StaffMark& m : layout.marks) {
        surface.setForeColor(m.colour);
        surface.setDrawWidth(m.width);
        switch (m.kind) {
        case StaffMark::Kind::Glyph:
            surface.SetFormFont(m.font.name, m.font.size, m.font.bold, m.font.italic);
            surface.PrintText(m.x, m.y, m.text, m.colour);
            break;
        case StaffMark::Kind::FlatText:
            surface.SetFormFont(m.font.name, m.font.size, m.font.bold, m.font.italic);
            surface.PrintTextFlat(m.x, m.y, m.text, m.colour);
            break;
        case StaffMark::Kind::Line:
            surface.line(m.x, m.y, m.x2, m.y2);
            break;
        case StaffMark::Kind::Box:
            surface.box(m.x, m.y, m.x2, m.y2, true);
            break;
        case StaffMark::Kind::Blank:
            // The background of the views: what a rest clears away from the staff behind it.
            surface.setForeColor(bgr::White);
            surface.box(m.x, m.y, m.x2, m.y2, true);
            break;
        case StaffMark::Kind::Arc:
            surface.arc(m.x, m.y, m.x2, m.y2, m.startAngle, m.endAngle);
            break;
        case StaffMark::Kind::Dot:
            surface.disc(m.x, m.y, m.x2);
            break;
        }
    }
    surface.setDrawWidth(width);
    surface.RestoreFormFont();
}

} // namespace orbel
