#pragma once
// Where the circle diagram of the twelve pitch classes goes and the points on it: the disk's centre and
// radius for the views that are shown, and per pitch class the rim vertex, the note name, the three ring
// labels and the root marker, in the window's logical units (y upward, C at the top, clockwise).

#include "theory/circle_geometry.h"

namespace orbel {

struct CirclePlace {
    double radius = 0;
    double centreX = 0;
    double centreY = 0;
    int nameSize = 0;   // points
    int degreeSize = 0; // points
};

// What decides the place: the window's logical height, where its right-hand column begins, its layout, the
// study type and which other views are shown (−1 shown, 0 hidden).
struct CircleFrame {
    double windowHeight = 0;
    double frame2Left = 0;
    int layoutMode = 1;
    int studyType = 0;
    int showScore = -1;
    int showKeyboard = -1;
};

// The place for frame; nothing changes (previous is returned) for flags other than −1 and 0.
CirclePlace CircleLayout(const CircleFrame& frame, const CirclePlace& previous = {});

// The points, for a degree font whose "4" is textWidth × textHeight logical units, on a screen
// screenHeight twips high (which corrects the disk's aspect a little).
CircleGeometry ComputeCircleGeometry(const CirclePlace& place, const CircleFrame& frame, double textWidth,
                                     double textHeight, double screenHeight);

namespace circle_sets {
static constexpr int RimX = 0;
static constexpr int RimY = 1;
static constexpr int NameX = 2;
static constexpr int NameY = 3;
static constexpr int MarkerX = 10;
static constexpr int MarkerY = 11;
} // namespace circle_sets

} // namespace orbel
