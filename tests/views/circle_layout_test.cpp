// The circle diagram's place and points.

#include "views/circle_layout.h"

#include <cmath>
#include <gtest/gtest.h>

namespace orbel {
namespace {

constexpr double H = 15600;
constexpr double L = 19800;

TEST(CircleLayout, PlaceFollowsTheStudyAndTheViewsShown) {
    const struct {
        int studyType, layoutMode, score, keyboard;
        double r, cx, cy;
        int names, degrees;
    } cases[] = {
        {3, 1, -1, -1, 0.1, 0.8, 0.3, 16, 8},    {4, 3, -1, -1, 0.1, 0.7, 0.4, 16, 8},
        {0, 1, -1, -1, 0.22, 0.45, 0.5, 20, 12}, {0, 3, -1, -1, 0.2, 0.45, 0.5, 18, 10},
        {1, 1, 0, -1, 0.3, 0.45, 0.6, 22, 14},   {2, 1, -1, 0, 0.3, 0.45, 0.4, 24, 18},
        {0, 1, 0, 0, 0.35, 0.45, 0.5, 24, 18},
    };
    for (const auto& c : cases) {
        const CirclePlace p = CircleLayout({H, L, c.layoutMode, c.studyType, c.score, c.keyboard});
        EXPECT_DOUBLE_EQ(p.radius, c.r * H) << c.studyType << " " << c.score << " " << c.keyboard;
        EXPECT_DOUBLE_EQ(p.centreX, c.cx * L);
        EXPECT_DOUBLE_EQ(p.centreY, c.cy * H);
        EXPECT_EQ(p.nameSize, c.names);
        EXPECT_EQ(p.degreeSize, c.degrees);
    }
    const CirclePlace previous{1, 2, 3, 4, 5};
    EXPECT_EQ(CircleLayout({H, L, 1, 0, 1, 0}, previous).radius,
              1); // a flag that is neither shown nor hidden
}

TEST(CircleLayout, PitchClassesRunClockwiseFromCAtTheTopAndPatternsTurnTheirRim) {
    const CircleFrame frame{H, L, 1, 0, -1, -1};
    const CirclePlace place = CircleLayout(frame);
    const CircleGeometry g = ComputeCircleGeometry(place, frame, 0, 0, 16200);
    // C on top, E♭ (3) on the right, F♯ (6) at the bottom, A (9) on the left; entry 12 repeats C (π is
    // taken as 3.14, so to within a few units).
    EXPECT_NEAR(g[0][0], place.centreX, 5);
    EXPECT_GT(g[1][0], place.centreY + 0.9 * place.radius);
    EXPECT_GT(g[0][3], place.centreX + 0.9 * place.radius);
    EXPECT_LT(g[1][6], place.centreY - 0.9 * place.radius);
    EXPECT_LT(g[0][9], place.centreX - 0.9 * place.radius);
    EXPECT_NEAR(g[0][12], g[0][0], 15);

    CircleFrame pattern = frame;
    pattern.studyType = 2;
    const CircleGeometry t = ComputeCircleGeometry(CircleLayout(pattern), pattern, 0, 0, 16200);
    // The rim vertex of C turns fifteen degrees clockwise (the disk's aspect correction takes a little off);
    // its name stays above it.
    const double turned = std::atan2(t[0][0] - place.centreX, t[1][0] - place.centreY) * 180 / 3.14159;
    EXPECT_NEAR(turned, 15, 1.5);
    EXPECT_FLOAT_EQ(t[2][0], g[2][0]);
}

// A pattern note's stored place finds the cell of its label, even from a geometry measured a little
// differently; the middle of every cell lies between its ring's circles and its two spokes.
TEST(CircleLayout, APatternNoteFindsItsCellWhoseMiddleLiesInside) {
    const CircleFrame frame{H, L, 1, 2, -1, -1};
    const CirclePlace place = CircleLayout(frame);
    const CircleGeometry g = ComputeCircleGeometry(place, frame, 120, 260, 16200);
    const struct {
        int ring, pc;
        double dx, dy;
        bool found;
    } cases[] = {
        {circle_sets::InnerRingX, 0, 0, 0, true},
        {circle_sets::MiddleRingX, 6, 0.9, -0.9, true},
        {circle_sets::OuterRingX, 11, 40, 30, true},
        {circle_sets::OuterRingX, 5, 400, 0, false},
    };
    for (const auto& c : cases) {
        const auto r = static_cast<std::size_t>(c.ring);
        const auto p = static_cast<std::size_t>(c.pc);
        const std::optional<PatternCell> cell = PatternCellAt(g, g[r][p] + c.dx, g[r + 1][p] + c.dy);
        ASSERT_EQ(cell.has_value(), c.found) << c.ring << " " << c.pc;
        if (!c.found) continue;
        EXPECT_EQ(cell->ringSet, c.ring);
        EXPECT_EQ(cell->pitchClass, c.pc);
    }
    const std::pair<int, std::pair<double, double>> rings[] = {{circle_sets::InnerRingX, {0, 0.5}},
                                                               {circle_sets::MiddleRingX, {0.5, 0.75}},
                                                               {circle_sets::OuterRingX, {0.75, 1}}};
    for (const auto& [ring, edges] : rings) {
        for (int pc = 0; pc < 12; ++pc) {
            const CirclePoint m = PatternCellCentre(place, ring, pc);
            const double dx = m.x - place.centreX;
            const double dy = m.y - place.centreY;
            const double share = std::hypot(dx, dy) / place.radius;
            EXPECT_GT(share, edges.first + 0.1) << ring << " " << pc;
            EXPECT_LT(share, edges.second - 0.1) << ring << " " << pc;
            // Clockwise from the top, as the pitch classes run: halfway between the spokes 15° either side.
            const double angle = std::fmod(std::atan2(dx, dy) * 180 / 3.14159 + 360, 360);
            EXPECT_NEAR(angle, 30 * pc, 0.5) << ring << " " << pc;
        }
    }
}

} // namespace
} // namespace orbel
