#pragma once
// Where the circle diagram of the twelve pitch classes goes and the points on it: the disk's centre and
// radius for the views that are shown, and per pitch class the rim vertex, the note name, the three ring
// labels and the root marker, in the window's logical units (y upward, C at the top, clockwise).

#include "views/circle_geometry.h"

#include <optional>

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

// The II–V–I pattern's target: circles at these shares of the radius part its inner ring (II) from the
// middle one (V), and the middle one from the outer one (I).
namespace pattern_rings {
static constexpr double InnerEdge = 0.5;
static constexpr double OuterEdge = 0.75;
} // namespace pattern_rings

struct CirclePoint {
    double x = 0;
    double y = 0;
};

// A point in the middle of the pattern's cell of a ring (circle_sets::InnerRingX, MiddleRingX or
// OuterRingX) and a pitch class, well clear of its outline at any size: where the cell's fill starts. (A
// label's corner may lie on a spoke or outside the cell.)
CirclePoint PatternCellCentre(const CirclePlace& place, int ringSet, int pitchClass);

// The ring and pitch class whose label stands at (x, y), as the build stores a pattern note's place: the
// nearest label within a small reach, none when no label is that near.
struct PatternCell {
    int ringSet = 0;
    int pitchClass = 0;
};
std::optional<PatternCell> PatternCellAt(const CircleGeometry& points, double x, double y);

namespace circle_sets {
static constexpr int RimX = 0;
static constexpr int RimY = 1;
static constexpr int NameX = 2;
static constexpr int NameY = 3;
static constexpr int MarkerX = 10;
static constexpr int MarkerY = 11;
} // namespace circle_sets

} // namespace orbel
