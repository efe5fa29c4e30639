// The view set: the surface follows the views' area.

#include "views/view_set.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(ViewSet, SurfaceFollowsTheAreaAndEachChangeAsksForARepaint) {
    int repaints = 0;
    ViewSet views([&repaints] { ++repaints; });
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
