// The range preview's staff: where each limit's head sits, its sharp and ledger lines, and the snapping.

#include "views/range_preview.h"
#include "views/surface.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(RangePreview, HeadsSitOnTheStaffWithTheirSharpsAndLedgerLines) {
    const struct {
        int low, high;
        double lowY, highY;
        bool lowSharp, highSharp;
        std::vector<double> lowLedgers, highLedgers;
    } cases[] = {
        {9, 60, 425, 1175, false, false, {650, 600, 550, 500, 450}, {950, 1000, 1050, 1100, 1150}},
        {28, 42, 700, 900, false, true, {}, {}},
        {24, 47, 650, 975, false, false, {650}, {950}},
        {3, 70, 425, 1175, false, false, {650, 600, 550, 500, 450}, {950, 1000, 1050, 1100, 1150}}, // snapped
        {27, 43, 675, 925, true, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high);
        const RangePreviewPicture p = LayOutRangePreview(c.low, c.high);
        EXPECT_DOUBLE_EQ(p.low.y, c.lowY);
        EXPECT_DOUBLE_EQ(p.high.y, c.highY);
        EXPECT_EQ(p.low.sharp, c.lowSharp);
        EXPECT_EQ(p.high.sharp, c.highSharp);
        EXPECT_EQ(p.low.ledgers, c.lowLedgers);
        EXPECT_EQ(p.high.ledgers, c.highLedgers);
    }
}

// The heads are filled black right through, at any screen ratio, and nothing leaks round them.
TEST(RangePreview, HeadsAreFilledWithoutLeaking) {
    for (double ratio : {1.0, 2.0}) {
        Surface surface(QSize(180, 270), ratio, range_preview::Width, range_preview::Height);
        const RangePreviewPicture p = LayOutRangePreview(9, 42);
        DrawRangePreview(surface, p);
        const QImage& image = surface.picture();
        const QPointF centre = surface.toDevice(p.low.x, p.low.y);
        EXPECT_EQ(image.pixelColor(centre.toPoint()), QColor(Qt::black)) << ratio;
        EXPECT_EQ(image.pixelColor(surface.toDevice(250, 300).toPoint()), QColor(Qt::white)) << ratio;
    }
}

// Each sharp stands at the height of its head: the ink the sharp adds to the picture is centred within a
// quarter of a line spacing of the head, for every sharp either limit can have and at any screen ratio.
TEST(RangePreview, SharpsStandBesideTheirHeads) {
    ASSERT_GE(QFontDatabase::addApplicationFont(QStringLiteral(ORBEL_PROGRAM_DIR "/ZEPHMUSIC.ttf")), 0);
    for (const double ratio : {1.0, 2.0}) {
        for (int pitch = range_preview::LowLimitMin; pitch <= range_preview::HighLimitMax; ++pitch) {
            if (!PreviewSharp(pitch)) continue;
            const bool low = pitch <= range_preview::LowLimitMax;
            RangePreviewPicture with = LayOutRangePreview(low ? pitch : 9, low ? 60 : pitch);
            RangePreviewPicture without = with;
            (low ? without.low : without.high).sharp = false;
            // Large, so that a quarter of a spacing is a few pixels.
            Surface a(QSize(540, 810), ratio, range_preview::Width, range_preview::Height);
            Surface b(QSize(540, 810), ratio, range_preview::Width, range_preview::Height);
            DrawRangePreview(a, with);
            DrawRangePreview(b, without);
            double weighted = 0;
            double ink = 0;
            for (int y = 0; y < a.picture().height(); ++y) {
                for (int x = 0; x < a.picture().width(); ++x) {
                    const int added = qGray(b.picture().pixel(x, y)) - qGray(a.picture().pixel(x, y));
                    if (added <= 0) continue;
                    weighted += added * static_cast<double>(y);
                    ink += added;
                }
            }
            ASSERT_GT(ink, 0) << pitch;
            const PreviewHead& head = low ? with.low : with.high;
            const double centre = weighted / ink;
            EXPECT_NEAR(centre, a.toDevice(head.x, head.y).y(), 0.25 * range_preview::Spacing * a.yScale())
                << "pitch " << pitch << " ratio " << ratio;
        }
    }
}

} // namespace
} // namespace orbel
