// The drawing surface of the views, on its computed positions and on its pixels.

#include "views/colour.h"
#include "views/flat_text.h"
#include "views/surface.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace orbel {
namespace {

constexpr std::uint32_t Grey = 0x808080;
constexpr std::uint32_t Red = 0x0000FF;
constexpr std::uint32_t Blue = 0xFF0000;

std::uint32_t PixelAt(const Surface& s, double x, double y) {
    const QPointF p = s.toDevice(x, y);
    return ToBgr(s.picture().pixel(static_cast<int>(p.x()), static_cast<int>(p.y())));
}

TEST(FlatText, FlatSignsArePulledTowardsTheLetterBefore) {
    // Every character 10 wide, except the letter b, 8 wide.
    const auto width = [](const QString& s) { return s == QLatin1String("b") ? 8.0 : 10.0 * s.size(); };
    const struct {
        QString text;
        std::vector<std::pair<double, QString>> pieces;
    } cases[] = {
        {"Ebm7", {{100, "E"}, {106.8, "♭"}, {118, "m"}, {128, "7"}}},
        {"b", {{100, "♭"}}},
        {"bb", {{100, "♭"}, {106.4, "♭"}}},
        {"Bm7", {{100, "Bm7"}}}, // no lower-case b: one piece, as plain text
    };
    for (const auto& c : cases) {
        const std::vector<TextPiece> pieces = LayOutFlatText(100, c.text, width);
        ASSERT_EQ(pieces.size(), c.pieces.size()) << c.text.toStdString();
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_NEAR(pieces[i].x, c.pieces[i].first, 1e-9) << c.text.toStdString() << " piece " << i;
            EXPECT_EQ(pieces[i].text, c.pieces[i].second);
        }
    }
}

TEST(Surface, LogicalUnitsRunUpwardOverTheDevicePixels) {
    const Surface s(QSize(400, 300), 2.0, 8000, 6000);
    EXPECT_EQ(s.picture().size(), QSize(800, 600));
    EXPECT_EQ(s.toDevice(0, 6000), QPointF(0, 0));
    EXPECT_EQ(s.toDevice(8000, 0), QPointF(800, 600));
    EXPECT_EQ(s.toDevice(4000, 1500), QPointF(400, 450));
}

TEST(Surface, FontSlotKeepsOneFontAndIgnoresSizesBelowOne) {
    Surface s(QSize(100, 100), 1.0, 1000, 1000);
    s.SetFormFont("IPAMincho", 20, false, false);
    s.SaveFormFont();
    s.SetFormFont("IPAGothic", 0, true, true);
    EXPECT_EQ(s.formFont(), (FormFont{"IPAMincho", 20, false, false}));
    s.SetFormFont("IPAGothic", 12, true, false);
    s.RestoreFormFont();
    EXPECT_EQ(s.formFont(), (FormFont{"IPAMincho", 20, false, false}));
}

// A diamond of antialiased diagonal lines: the fill stays inside it, and a fill with no outline around it
// reaches the edges of the surface.
TEST(Surface, FloodFillNeverLeavesAnAntialiasedOutline) {
    for (const double ratio : {1.0, 2.0}) {
        Surface s(QSize(200, 200), ratio, 2000, 2000);
        s.setForeColor(Red);
        s.line(1000, 300, 1700, 1000);
        s.line(1700, 1000, 1000, 1700);
        s.line(1000, 1700, 300, 1000);
        s.line(300, 1000, 1000, 300);
        s.FloodFillForm(1000, 1000, Red, Blue);
        EXPECT_EQ(PixelAt(s, 1000, 1000), Blue) << ratio;
        EXPECT_EQ(PixelAt(s, 1000, 600), Blue) << ratio;
        for (const auto& [x, y] :
             {std::pair{100.0, 100.0}, {1900.0, 1900.0}, {1600.0, 400.0}, {400.0, 1600.0}})
            EXPECT_EQ(PixelAt(s, x, y), bgr::White) << ratio << " at " << x << "," << y;
        EXPECT_EQ(s.foreColor(), Red);

        s.FloodFillForm(100, 100, Red, Grey);
        EXPECT_EQ(PixelAt(s, 100, 100), Grey);
        EXPECT_EQ(PixelAt(s, 1900, 1900), Grey);
        EXPECT_EQ(PixelAt(s, 1000, 1000), Blue);
    }
}

// Twelve spokes in a ring, a label in each sector, every sector filled in a light colour: the antialiased
// spokes and the labels keep their ink wherever the flat copy's pixels fall, and the fills stay inside.
TEST(Surface, FillsKeepTheInkOfTheLinesAndLabelsTheyMeet) {
    constexpr std::uint32_t PaleGreen = 0xC0F0C0;
    constexpr std::uint32_t Salmon = 0x8CA0FF;
    constexpr double Centre = 1500;
    constexpr double Radius = 1200;
    for (const double ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        Surface s(QSize(311, 297), ratio, 3000, 3000); // across and up scale a little differently
        const double step = std::numbers::pi / 6;
        const auto along = [&](int k, double share) {
            const double a = (k + 0.5) * step;
            return QPointF(Centre + share * Radius * std::cos(a), Centre + share * Radius * std::sin(a));
        };
        s.setForeColor(bgr::Black);
        s.arc(Centre, Centre, Radius, Radius, 0, 2 * std::numbers::pi);
        for (int k = 0; k < 12; ++k)
            s.line(Centre, Centre, along(k, 1).x(), along(k, 1).y());
        s.SetFormFont("IPAMincho", 8, true, false);
        const auto label = [&](int k) {
            const double a = k * step;
            return QPointF(Centre + 0.8 * Radius * std::cos(a), Centre + 0.8 * Radius * std::sin(a));
        };
        int labelInk = 0;
        const auto countInk = [&] {
            int n = 0;
            for (int y = 0; y < s.picture().height(); ++y)
                for (int x = 0; x < s.picture().width(); ++x)
                    n += qGray(s.picture().pixel(x, y)) < 96 ? 1 : 0;
            return n;
        };
        const int linesInk = countInk();
        for (int k = 0; k < 12; ++k)
            s.PrintText(label(k).x(), label(k).y(), "VII", bgr::Black);
        labelInk = countInk() - linesInk;
        for (int k = 0; k < 12; ++k) {
            const double a = k * step;
            s.FloodFillForm(Centre + 0.5 * Radius * std::cos(a), Centre + 0.5 * Radius * std::sin(a),
                            bgr::Black, k % 2 == 0 ? PaleGreen : Salmon);
        }
        EXPECT_EQ(PixelAt(s, 100, 100), bgr::White);
        EXPECT_EQ(PixelAt(s, 2900, 1500), bgr::White);
        EXPECT_GE(countInk(), linesInk + labelInk);
        // Every spoke still dark all along: somewhere within a pixel of each point on it.
        for (int k = 0; k < 12; ++k) {
            for (double share = 0.1; share < 0.95; share += 0.02) {
                const QPointF d = s.toDevice(along(k, share).x(), along(k, share).y());
                int darkest = 255;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        darkest = std::min(darkest, qGray(s.picture().pixel(static_cast<int>(d.x()) + dx,
                                                                            static_cast<int>(d.y()) + dy)));
                ASSERT_LT(darkest, 100) << "spoke " << k << " at " << share;
            }
        }
    }
}

TEST(Surface, XorPenDrawnTwiceLeavesThePictureAsItWas) {
    Surface s(QSize(120, 80), 2.0, 1200, 800);
    s.setForeColor(Red);
    s.box(100, 100, 700, 500, true);
    s.SetFormFont("IPAGothic", 10, false, false);
    s.PrintText(200, 700, "Dm7", bgr::Black);
    const QImage before = s.picture().copy();
    s.setXorPen(true);
    s.setForeColor(0x00FF00);
    for (int pass = 0; pass < 2; ++pass) {
        s.line(50, 50, 1100, 750);
        s.box(300, 200, 900, 600, false);
    }
    EXPECT_EQ(s.picture(), before);
}

TEST(Surface, BevelBoxIsLightAboveAndLeftWhenRaised) {
    for (const bool raised : {true, false}) {
        Surface s(QSize(100, 100), 1.0, 1000, 1000);
        s.clear(Grey);
        DrawBevelBox(s, 200, 200, 800, 800, raised);
        const std::uint32_t light = raised ? bgr::White : bgr::Black;
        const std::uint32_t dark = raised ? bgr::Black : bgr::White;
        EXPECT_EQ(PixelAt(s, 500, 800), light) << "top";
        EXPECT_EQ(PixelAt(s, 200, 500), light) << "left";
        EXPECT_EQ(PixelAt(s, 800, 500), dark) << "right";
        EXPECT_EQ(PixelAt(s, 500, 200), dark) << "bottom";
        EXPECT_EQ(s.drawWidth(), 1);
    }
}

} // namespace
} // namespace orbel
