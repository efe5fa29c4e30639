// The circle diagram with the staff and keyboard, drawn for every study type as the window draws it and
// played as the player plays it: every fill stays inside the disk, the cells get their colours, and the
// end of play (after the last note or a stop) leaves the views exactly as they were.

#include "app/program_state.h"
#include "app/study_session.h"
#include "app/window_sizing.h"
#include "theory/prepare_build.h"
#include "views/circle_content.h"
#include "views/colour.h"
#include "views/view_set.h"

#include <QFont>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace orbel {
namespace {

// Disk, polygon, root, chord tone, played: none of them is drawn anywhere else.
constexpr std::array<std::uint32_t, 5> Colours{0xC8F0FF, 0xFFE0C0, 0x8CA0FF, 0xC0F0C0, 0x00FFFF};
constexpr std::size_t Root = 2;
constexpr std::size_t Played = 4;

// A window placed on a screen of that many pixels, its views' area a little lower than the logical
// height makes it (the frame and the menu bar), so that across and up scale differently.
struct Screen {
    int width;
    int height;
    double ratio;
};

struct Window {
    WindowPlacement place;
    QSize pixels;
};

Window WindowOn(const Screen& screen) {
    constexpr double TwipsPerPixel = 15;
    constexpr int FrameAndMenu = 50;
    const WindowPlacement p = ComputeWindowPlacement(
        screen.width * TwipsPerPixel, screen.height * TwipsPerPixel, screen.height * TwipsPerPixel);
    return {p, QSize(static_cast<int>(p.width / TwipsPerPixel),
                     static_cast<int>(p.height / TwipsPerPixel) - FrameAndMenu)};
}

class PlayedCircle {
public:
    PlayedCircle(const Screen& screen, int studyType, int item, int root) : window_(WindowOn(screen)) {
        QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
        const WindowPlacement& p = window_.place;
        views_.resize(window_.pixels, screen.ratio, p.width, p.height);
        StudyState study;
        study.settings.StudyType = static_cast<std::int16_t>(studyType);
        study.settings.ShowDiagram = true;
        for (std::size_t i = 0; i < Colours.size(); ++i)
            study.settings.ViewColour[i] = Colours[i];
        InitIIVITables(study.iiviTables);
        StudySession session(study);
        session.loadItems(QStringLiteral(ORBEL_PROGRAM_DIR));
        session.choose(item);
        study.settings.RootKey = static_cast<std::int16_t>(root);
        // As the window does: the geometry first, which a pattern's build stores with its notes.
        const CircleFrame frame{p.height, RightColumnLeft(p.width), p.layoutMode, studyType, -1, -1};
        circle_.place = CircleLayout(frame);
        const QSizeF digit = views_.degreeTextSize(circle_.place.degreeSize);
        circle_.points =
            ComputeCircleGeometry(circle_.place, frame, digit.width(), digit.height(), screen.height * 15.0);
        EXPECT_FALSE(session.build(false));
        circle_.content = CircleContentFor(study, item, circle_.points);
        const StaffLayout staff = LayOutStaff(study.sequence, {studyType, 0, root},
                                              {p.width, p.height, RightColumnLeft(p.width), p.layoutMode});
        const KeyboardContent keys =
            KeyboardFor(study.sequence, true, false, studyType, 0xFF8000, 0x0080FF, RightColumnLeft(p.width));
        views_.show(staff, keys, circle_);
    }

    ViewSet& views() { return views_; }
    const CircleDiagram& circle() const { return circle_; }
    const QImage& picture() const { return views_.surface()->picture(); }

    // Whether a device pixel lies inside the disk, or on its rim.
    bool inDisk(int x, int y) const {
        const Surface& s = *views_.surface();
        const QPointF c = s.toDevice(circle_.place.centreX, circle_.place.centreY);
        const double margin = 2 * picture().devicePixelRatio();
        const double rx = circle_.place.radius * s.xScale() + margin;
        const double ry = circle_.place.radius * s.yScale() + margin;
        const double dx = (x - c.x()) / rx;
        const double dy = (y - c.y()) / ry;
        return dx * dx + dy * dy <= 1;
    }

    // The pixels outside the disk that differ from before, or (without before) that have a fill's colour.
    int outsideDisk(const QImage* before = nullptr) const {
        const QImage& now = picture();
        int n = 0;
        for (int y = 0; y < now.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(now.constScanLine(y));
            for (int x = 0; x < now.width(); ++x) {
                if (inDisk(x, y)) continue;
                const bool off = before != nullptr ? row[x] != before->pixel(x, y)
                                                   : std::find(Colours.begin(), Colours.end(),
                                                               ToBgr(row[x])) != Colours.end();
                n += off ? 1 : 0;
            }
        }
        return n;
    }

    // The pattern's cells (ring, pitch class) whose middle has the colour.
    std::vector<std::pair<int, int>> cellsOf(std::uint32_t colour) const {
        std::vector<std::pair<int, int>> cells;
        for (const int ring : {circle_sets::InnerRingX, circle_sets::MiddleRingX, circle_sets::OuterRingX}) {
            for (int pc = 0; pc < 12; ++pc) {
                const CirclePoint m = PatternCellCentre(circle_.place, ring, pc);
                // The colour most pixels around the middle have: a label may lie across it.
                const QPoint at = views_.surface()->toDevice(m.x, m.y).toPoint();
                std::map<QRgb, int> counts;
                const int reach = static_cast<int>(8 * picture().devicePixelRatio());
                for (int dy = -reach; dy <= reach; ++dy)
                    for (int dx = -reach; dx <= reach; ++dx)
                        ++counts[picture().pixel(at + QPoint(dx, dy))];
                const auto most =
                    std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
                if (ToBgr(most->first) == colour) cells.emplace_back(ring, pc);
            }
        }
        return cells;
    }

private:
    Window window_;
    ViewSet views_;
    CircleDiagram circle_;
};

TEST(CircleFill, EveryFillStaysInItsCellAndTheEndOfPlayLeavesTheViewsAsTheyWere) {
    // Wide and narrow layouts, at whole and fractional ratios.
    const Screen screens[] = {{1920, 1080, 1.0}, {1366, 768, 1.0}, {1280, 1024, 1.5}, {1366, 768, 2.0}};
    const struct { int studyType, item; } studies[] = {{0, 0}, {1, 3}, {2, 2}, {2, 4}, {2, 10}, {3, 0}};
    for (const Screen& screen : screens) {
        for (const auto& study : studies) {
            for (const int root : {0, 6, 11}) {
                SCOPED_TRACE(testing::Message()
                             << screen.width << "x" << screen.height << "@" << screen.ratio << " study "
                             << study.studyType << " item " << study.item << " root " << root);
                PlayedCircle c(screen, study.studyType, study.item, root);
                ASSERT_EQ(c.outsideDisk(), 0) << "a fill of the drawing leaked";
                const bool pattern = study.studyType == 2;
                if (pattern) {
                    EXPECT_EQ(c.cellsOf(Colours[Root]).size(), 3U) << "one root cell a chord";
                }
                const QImage idle = c.picture().copy();
                const auto& markers = c.circle().content.markers;
                ASSERT_FALSE(markers.empty());
                // Halfway, then stopped; then right through.
                for (const std::size_t stop : {markers.size() / 2 + 1, markers.size()}) {
                    for (std::size_t i = 0; i < stop; ++i) {
                        c.views().CircleShowTick(markers[i].tick, i == 0);
                        if (!pattern) continue;
                        const auto played = c.cellsOf(Colours[Played]);
                        ASSERT_EQ(played.size(), 1U) << "note " << i;
                        const auto at = PatternCellAt(c.circle().points, markers[i].x, markers[i].y);
                        ASSERT_TRUE(at);
                        EXPECT_EQ(played.front(), std::pair(at->ringSet, at->pitchClass)) << "note " << i;
                    }
                    // A scale's ring may reach past the rim; a cell's fill may not.
                    if (pattern) {
                        ASSERT_EQ(c.outsideDisk(&idle), 0) << "at note " << stop;
                    }
                    c.views().CircleEndPlay();
                    ASSERT_EQ(c.picture(), idle) << "after " << stop << " notes";
                }
            }
        }
    }
}

} // namespace
} // namespace orbel
