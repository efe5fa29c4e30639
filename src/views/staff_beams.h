#pragma once
// The staff's beams and triplet brackets: the entries of a group (see beam_code) are collected as the layout
// places them, and the group's stems, beams, hooks and triplet digit are drawn when its last entry comes.

#include "views/staff_marks.h"

#include <vector>

namespace orbel {

class StaffBeams {
public:
    explicit StaffBeams(StaffMarkList& marks) : marks_(marks) {}

    // An entry of beam code `code` whose stem starts at (x, y); a group lying below stemThreshold on the
    // whole has its stems up.
    void add(int code, double x, double y, double stemThreshold);

private:
    struct Point {
        double x = 0;
        double y = 0;
        int code = 0;
    };
    void draw(double stemThreshold);

    StaffMarkList& marks_;
    std::vector<Point> group_;
};

} // namespace orbel
