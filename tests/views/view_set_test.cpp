// The view set: the surface follows the views' area.

#include "views/view_set.h"

#include "theory/vocabulary.h"
#include "views/colour.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(ViewSet, SurfaceFollowsTheAreaAndEachChangeAsksForARepaint) {
    int repaints = 0;
    ViewSet views([&repaints](const QRectF&) { ++repaints; });
    EXPECT_EQ(views.surface(), nullptr);
    views.resize(QSize(), 1.0, 8000, 6000); // a hidden area has no surface
    EXPECT_EQ(views.surface(), nullptr);

    views.resize(QSize(400, 300), 2.0, 8000, 6000);
    ASSERT_NE(views.surface(), nullptr);
    EXPECT_EQ(views.surface()->picture().size(), QSize(800, 600));
    EXPECT_EQ(views.surface()->picture().devicePixelRatio(), 2.0);
    EXPECT_EQ(repaints, 1);

    const Surface* same = views.surface();
    views.resize(QSize(400, 300), 2.0, 8000, 6000);
    EXPECT_EQ(views.surface(), same);
    EXPECT_EQ(repaints, 1);

    views.resize(QSize(500, 300), 1.0, 8000, 6000);
    EXPECT_EQ(views.surface()->picture().size(), QSize(500, 300));
    EXPECT_EQ(repaints, 2);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

TEST(ViewSet, PlayCursorFollowsTheNotesAndLeavesTheStaffAsItWas) {
    ViewSet views;
    views.resize(QSize(800, 500), 1.0, 24300, 15000);
    PlaySequence seq;
    for (int i = 0; i < 4; ++i) {
        seq.SeqPitch[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(28 + i);
        seq.SeqDur[static_cast<std::size_t>(i)] = 24;
    }
    seq.SeqCount = 4;
    const StaffLayout staff = LayOutStaff(seq, {3, 0, 0}, {24300, 15000, 19800, 1});
    views.showStaff(staff);
    const QImage plain = views.surface()->picture().copy();
    const auto cursorAt = [&](std::size_t entry) {
        const QPointF p = views.surface()->toDevice(staff.noteX[entry], staff.rowBase[entry] + 5 * 150);
        return views.surface()->picture().pixel(static_cast<int>(p.x()), static_cast<int>(p.y())) !=
               0xFFFFFFFFU;
    };

    views.MovePlayCursor(0, true);
    EXPECT_TRUE(cursorAt(0));
    views.MovePlayCursor(24, false);
    EXPECT_FALSE(cursorAt(0));
    EXPECT_TRUE(cursorAt(1));
    views.MovePlayCursor(30, false); // inside the second note: the cursor stays on it
    EXPECT_TRUE(cursorAt(1));
    views.HidePlayCursor();
    EXPECT_EQ(views.surface()->picture(), plain);

    // With the staff off nothing is drawn.
    views.showStaff({});
    const QImage blank = views.surface()->picture().copy();
    views.MovePlayCursor(0, true);
    EXPECT_EQ(views.surface()->picture(), blank);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// A tempo mark blanks the place of the one before it and touches nothing outside that place.
TEST(ViewSet, TempoMarkReplacesTheMarkBeforeItInItsOwnPlace) {
    ASSERT_GE(QFontDatabase::addApplicationFont(QStringLiteral(ORBEL_PROGRAM_DIR "/ZEPHMUSIC.ttf")), 0);
    ViewSet views;
    views.resize(QSize(810, 520), 1.0, 24300, 15600);
    Surface& s = *views.surface();
    s.setForeColor(0x0000FF);
    s.box(0, 0, 24300, 15600, true); // everything red, so that the blanked place shows
    views.DrawTempoMark(6000, 6000, 120, "1/4");
    const QImage first = s.picture().copy();
    views.DrawTempoMark(6000, 6000, 300, "2/4");
    const QImage second = s.picture().copy();
    EXPECT_NE(first, second);
    const QRectF place(s.toDevice(6000, 6200), s.toDevice(9000, 5600));
    for (int y = 0; y < second.height(); y += 3) {
        for (int x = 0; x < second.width(); x += 3) {
            if (place.adjusted(-1, -1, 1, 1).contains(x, y)) continue;
            ASSERT_EQ(second.pixel(x, y), 0xFFFF0000U) << x << "," << y;
        }
    }
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// The circle's marker of a scale follows the notes and leaves the diagram exactly as it was.
TEST(ViewSet, CircleMarkerOfAScaleLeavesTheDiagramAsItWas) {
    ViewSet views;
    views.resize(QSize(810, 520), 1.0, 24300, 15600);
    const CircleFrame frame{15600, 19800, 1, 0, 0, 0};
    CircleDiagram circle;
    circle.place = CircleLayout(frame);
    circle.points = ComputeCircleGeometry(circle.place, frame, 100, 200, 16200);
    circle.content.shown = true;
    circle.content.steps = "2212221";
    circle.content.colours = {0xDCF8FF, 0xFFE6C8, 0x8CA0FF, 0xAAE6AA, 0x00E6FF};
    for (int pc : {0, 2, 4}) {
        const auto p = static_cast<std::size_t>(pc);
        circle.content.markers.push_back({pc * 12, circle.points[4][p], circle.points[5][p]});
    }
    views.show({}, {}, circle);
    const QImage drawn = views.surface()->picture().copy();
    views.CircleShowTick(0, true);
    const QImage first = views.surface()->picture().copy();
    EXPECT_NE(first, drawn);
    views.CircleShowTick(24, false);
    views.CircleShowTick(48, false);
    views.CircleEndPlay();
    EXPECT_EQ(views.surface()->picture(), drawn);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// Every cell of the pattern's rings in the colour of its role, and no fill outside the disk.
TEST(ViewSet, PatternCellsTakeTheColourOfTheirRole) {
    ViewSet views;
    views.resize(QSize(1620, 1040), 1.0, 24300, 15600);
    const CircleFrame frame{15600, 19800, 1, 2, -1, -1};
    IIVITables tables;
    InitIIVITables(tables);
    CircleDiagram circle;
    circle.place = CircleLayout(frame);
    circle.points = ComputeCircleGeometry(circle.place, frame, 60, 160, 16200);
    CircleContent& c = circle.content;
    c.shown = true;
    c.studyType = 2;
    c.patternDigits = "1357";
    c.chordScales = {tables.IIVIScales[0], tables.IIVIScales[12], tables.IIVIScales[24]};
    c.colours = {0xDCF8FF, 0xFFE6C8, 0x8CA0FF, 0xAAE6AA, 0x00E6FF};
    views.show({}, {}, circle);
    const Surface& s = *views.surface();
    const auto colourAt = [&s](double x, double y) {
        const QPointF p = s.toDevice(x, y);
        return ToBgr(s.picture().pixel(static_cast<int>(p.x()), static_cast<int>(p.y())));
    };
    const struct {
        int ring;
        int offset;
    } chords[] = {{8, 2}, {6, 7}, {4, 0}};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string& scale = c.chordScales[k];
        for (std::size_t d = 1; d <= 4 && d <= scale.size(); ++d) {
            const int v = scale[d - 1] >= 'A' ? scale[d - 1] - 'A' + 10 : scale[d - 1] - '0';
            const auto q = static_cast<std::size_t>((v + chords[k].offset) % 12);
            const std::uint32_t want = d == 1 ? c.colours[2] : (d % 2 == 1 ? c.colours[3] : c.colours[0]);
            // Just above and left of the label, inside its cell.
            EXPECT_EQ(colourAt(circle.points[static_cast<std::size_t>(chords[k].ring)][q] - 20,
                               circle.points[static_cast<std::size_t>(chords[k].ring) + 1][q] + 40),
                      want)
                << "chord " << k << " digit " << d;
        }
    }
    EXPECT_EQ(colourAt(circle.place.centreX + 1.1 * circle.place.radius,
                       circle.place.centreY - 0.2 * circle.place.radius),
              bgr::White);
}

} // namespace
} // namespace orbel
