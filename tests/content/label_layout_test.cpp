// Label positions and fill orders without a preview.
#include <gtest/gtest.h>

#include "content/KpLabelLayout.h"

using namespace kp;

TEST(LabelLayout, VisitsColumnByColumnAndFillsAcrossRows) {
    const TKpLabelLayout layout({720, 950, 6350, 4660, 6600, 4660, 3, 6});
    ASSERT_TRUE(layout.Problem().isEmpty());
    EXPECT_EQ(layout.Count(), 18);
    EXPECT_EQ(layout.Corner(0), QPoint(720, 950));
    EXPECT_EQ(layout.Corner(5), QPoint(720, 950 + 5 * 4660));
    EXPECT_EQ(layout.Corner(6), QPoint(7320, 950));
    EXPECT_EQ(layout.Corner(17), QPoint(13920, 950 + 5 * 4660));
    // Across then down: the fifth label to fill (index 4) is row 2, column 2.
    int visitOfFifth = -1;
    for (int k = 0; k < 18; ++k)
        if (layout.FillIndex(k, false) == 4) visitOfFifth = k;
    EXPECT_EQ(layout.Column(visitOfFifth), 1);
    EXPECT_EQ(layout.Row(visitOfFifth), 1);
    // Down: the visiting order itself.
    EXPECT_EQ(layout.FillIndex(7, true), 7);
}

TEST(LabelLayout, ZeroPitchesAreTheLabelSizeAndEmptySheetsAreProblems) {
    const TKpLabelLayout layout({0, 0, 500, 700, 0, 0, 2, 2});
    EXPECT_EQ(layout.Corner(3), QPoint(500, 700));
    EXPECT_FALSE(TKpLabelLayout({0, 0, 500, 700, 0, 0, 0, 2}).Problem().isEmpty());
    EXPECT_FALSE(TKpLabelLayout({0, 0, 0, 700, 0, 0, 1, 2}).Problem().isEmpty());
    EXPECT_FALSE(TKpLabelLayout({0, 0, 5, 7, 0, 0, 1000, 2}).Problem().isEmpty());
    EXPECT_EQ(TKpLabelLayout({0, 0, 5, 7, 0, 0, 1000, 2}).Count(), 0);
}
