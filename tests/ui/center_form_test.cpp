// Placing a form on the screen.
#include "ui/center_form.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace orbel {
namespace {

struct PlacementCase {
    int widthShort; // screen width − form width
    int heightShort;
    int left; // relative to the screen
    int top;
};

class CenterFormTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(CenterFormTest, CentresAcrossAndSitsAboveTheMiddle) {
    const PlacementCase& c = GetParam();
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->geometry();

    QWidget form;
    form.resize(area.width() - c.widthShort, area.height() - c.heightShort);
    CenterForm(form);
    EXPECT_EQ(form.frameGeometry().topLeft(), area.topLeft() + QPoint(c.left, c.top));
}

INSTANTIATE_TEST_SUITE_P(Formula, CenterFormTest,
                         ::testing::Values(PlacementCase{200, 250, 100, 100}, PlacementCase{0, 0, 0, 0},
                                           // Halves go to the even pixel; 7 / 2.5 = 2.8.
                                           PlacementCase{201, 7, 100, 3}, PlacementCase{203, 5, 102, 2},
                                           // A form larger than the screen reaches past its top-left corner.
                                           PlacementCase{-100, -50, -50, -20}));

} // namespace
} // namespace orbel
