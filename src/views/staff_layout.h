#pragma once
// The staff view laid out: what goes where, in the main window's logical units, before anything is painted.
// Rows of a treble staff, clef and time signature, bar lines, notes and rests of the music font, ledger
// lines, accidentals remembered within a bar, dots, ties, chord symbols and the title lines; and for every
// entry of the sequence the x and row where the play cursor stands while it sounds.

#include "theory/play_sequence.h"
#include "views/surface.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace orbel {

namespace staff_geometry {
static constexpr double LineSpacing = 150; // s
static constexpr int MaxRows = 10;
static constexpr int WideLayout = 1;
} // namespace staff_geometry

// One thing to paint.
struct StaffMark {
    enum class Kind {
        Glyph,    // text of the music font (or any font) without flat signs, top-left at (x, y)
        FlatText, // text with its "b" drawn as flats, top-left at (x, y)
        Line,     // (x, y)-(x2, y2)
        Box,      // filled, corners (x, y) and (x2, y2)
        Blank,    // filled with the background, corners (x, y) and (x2, y2)
        Arc,      // centre (x, y), half-axes x2 across and y2 up, from startAngle to endAngle (radians)
        Dot,      // a small disc centred at (x, y)
    };
    Kind kind = Kind::Line;
    double x = 0;
    double y = 0;
    double x2 = 0;
    double y2 = 0;
    double startAngle = 0;
    double endAngle = 0;
    QString text;
    FormFont font;
    std::uint32_t colour = 0;
    int width = 1;
};

// Where the staff goes: the main window's size in logical units, where the play frame begins (the staff
// stops short of it), and the layout the window chose for its screen (1 wide, 3 narrow).
struct StaffFrame {
    double windowWidth = 0;
    double windowHeight = 0;
    double frame2Left = 0;
    int layoutMode = staff_geometry::WideLayout;
};

// What of the selection the staff reads besides the sequence.
struct StaffStudy {
    int studyType = 0;
    int upDown = 0;
    int rootKey = 0;
};

struct StaffLayout {
    std::vector<StaffMark> marks;
    // Per sequence entry: the play cursor's x while it sounds, and the bottom line of its row.
    std::vector<float> noteX;
    std::vector<float> rowBase;
    // Per sequence entry: the tick of the play-through at which it starts.
    std::vector<int> startTick;
    // The bottom line of the last row, where the titles go under.
    double lastBase = 0;
    // Messages for the user; when the sequence is too short to show, marks stay empty.
    std::vector<QString> messages;
};

StaffLayout LayOutStaff(const PlaySequence& seq, const StaffStudy& study, const StaffFrame& frame);

// The title under the score (the favourite stars left out) and, for phrases, the comment under it.
void LayOutTitles(StaffLayout& layout, const QString& title, const QString& subtitle, int layoutMode);

} // namespace orbel
