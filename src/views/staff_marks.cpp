#include "views/staff_marks.h"

namespace orbel {

namespace {

StaffMark Between(StaffMark::Kind kind, double x1, double y1, double x2, double y2) {
    StaffMark m;
    m.kind = kind;
    m.x = x1;
    m.y = y1;
    m.x2 = x2;
    m.y2 = y2;
    return m;
}

} // namespace

void StaffMarkList::line(double x1, double y1, double x2, double y2, int width) {
    StaffMark m = Between(StaffMark::Kind::Line, x1, y1, x2, y2);
    m.width = width;
    marks_.push_back(m);
}

void StaffMarkList::box(StaffMark::Kind kind, double x1, double y1, double x2, double y2) {
    marks_.push_back(Between(kind, x1, y1, x2, y2));
}

void StaffMarkList::glyph(char16_t code, double x, double y, int size) {
    StaffMark m;
    m.kind = StaffMark::Kind::Glyph;
    m.x = x;
    m.y = y;
    m.text = QString(QChar(code));
    m.font = {staff_fonts::Music, size, false, false};
    marks_.push_back(m);
}

void StaffMarkList::flatText(const QString& text, double x, double y, int size) {
    StaffMark m;
    m.kind = StaffMark::Kind::FlatText;
    m.x = x;
    m.y = y;
    m.text = text;
    m.font = {staff_fonts::Text, size, true, false};
    marks_.push_back(m);
}

} // namespace orbel
