// Grid arithmetic without widgets.
#include <gtest/gtest.h>

#include "content/KpGridLayout.h"

using namespace kp;

TEST(GridLayout, PixelsBecomeRoundedKpUnits) {
    EXPECT_EQ(TKpGridLayout::Units(64), 1693); // 1693.33
    EXPECT_EQ(TKpGridLayout::Units(30), 794);  // 793.75
    EXPECT_EQ(TKpGridLayout::Units(24), 635);
    EXPECT_EQ(TKpGridLayout::Units(640), 16933);
}

TEST(GridLayout, ScaleFactorDividesTheRoundedWidthByTheRoundedSum) {
    EXPECT_EQ(TKpGridLayout::ScaleFactor(0, 0), 1.0L);
    EXPECT_EQ(TKpGridLayout::ScaleFactor(0, 640), 1.0L);
    EXPECT_EQ(TKpGridLayout::ScaleFactor(16933.4L, 640), 1.0L);
    EXPECT_NEAR(static_cast<double>(TKpGridLayout::ScaleFactor(8467, 640)), 0.50003, 1e-5);
    EXPECT_THROW(TKpGridLayout::ScaleFactor(5000, 0), EKpGridLayout);
}

TEST(GridLayout, CellsRunAcrossThenDownWithUnscaledRowHeights) {
    TKpGridLayout layout(0.5L, 1000, 2000);
    const TKpCellRect a = layout.NextCell(64, 30);
    const TKpCellRect b = layout.NextCell(64, 30);
    EXPECT_EQ(a, (TKpCellRect{1000, 2000, 1000 + 846, 2794}));
    EXPECT_EQ(b, (TKpCellRect{1846, 2000, 1846 + 846, 2794}));
    layout.EndRow(b);
    EXPECT_EQ(layout.X(), 1000);
    EXPECT_EQ(layout.Y(), 2794);
}

TEST(GridLayout, APageIsFullOnceARowPassesTheLimitUnlessItWasTheLast) {
    TKpGridLayout layout(1, 0, 25000);
    layout.EndRow(layout.NextCell(64, 30)); // y = 25794
    EXPECT_FALSE(layout.PageFull(25794, false));
    EXPECT_TRUE(layout.PageFull(25793, false));
    EXPECT_FALSE(layout.PageFull(25793, true));
    layout.StartPage(4000);
    EXPECT_EQ(layout.Y(), 4000);
}
