// Page placement of the facing and continuous views, in pixels, without widgets.
#include <gtest/gtest.h>

#include "preview/KpPageLayout.h"

using namespace kp;

namespace {

constexpr Extended A4W = 210 / 25.4L, A4H = 297 / 25.4L;

struct PlacementCase {
    TKpViewMode mode;
    int zoom;
    QSize box;
    QRect page1, page2, page3;
    QSize content;
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

} // namespace

// Three A4 portrait pages, margin and gap 30, a 1000-pixel-wide viewport.
TEST_P(Placement, ThreeA4Pages) {
    const PlacementCase& c = GetParam();
    const QSize box = TKpPageLayout::PageBox(A4W, A4H, c.zoom / 100.0L, 96);
    ASSERT_EQ(box, c.box);
    TKpPageLayout layout;
    layout.Arrange(c.mode, 3, box, 30, 30, 1000);
    EXPECT_EQ(layout.PageRect(1), c.page1);
    EXPECT_EQ(layout.PageRect(2), c.page2);
    EXPECT_EQ(layout.PageRect(3), c.page3);
    EXPECT_EQ(layout.ContentSize(), c.content);
    EXPECT_EQ(layout.PageRect(0), QRect());
    EXPECT_EQ(layout.PageRect(4), QRect());
}

INSTANTIATE_TEST_SUITE_P(
    Views, Placement,
    ::testing::Values(PlacementCase{vmContinuous,
                                    20,
                                    {159, 225},
                                    {420, 30, 159, 225},
                                    {420, 285, 159, 225},
                                    {420, 540, 159, 225},
                                    {1000, 795}},
                      PlacementCase{vmContinuous,
                                    50,
                                    {397, 561},
                                    {301, 30, 397, 561},
                                    {301, 621, 397, 561},
                                    {301, 1212, 397, 561},
                                    {1000, 1803}},
                      PlacementCase{vmContinuous,
                                    100,
                                    {794, 1123},
                                    {103, 30, 794, 1123},
                                    {103, 1183, 794, 1123},
                                    {103, 2336, 794, 1123},
                                    {1000, 3489}},
                      // Page 1 alone on the right; then even pages on the left, odd on the right.
                      PlacementCase{vmFacingPages,
                                    20,
                                    {159, 225},
                                    {515, 30, 159, 225},
                                    {326, 285, 159, 225},
                                    {515, 285, 159, 225},
                                    {1000, 540}},
                      PlacementCase{vmFacingPages,
                                    50,
                                    {397, 561},
                                    {515, 30, 397, 561},
                                    {88, 621, 397, 561},
                                    {515, 621, 397, 561},
                                    {1000, 1212}},
                      // Wider than the viewport: the content grows and keeps its margin.
                      PlacementCase{vmFacingPages,
                                    100,
                                    {794, 1123},
                                    {854, 30, 794, 1123},
                                    {30, 1183, 794, 1123},
                                    {854, 1183, 794, 1123},
                                    {1678, 2336}}));

TEST(PageLayout, MixedSizesMeetAtTheSpineAndCentreInTheColumn) {
    // Page 2 landscape at 50 %: 561 by 397.
    const std::vector<QSize> boxes{{397, 561}, {561, 397}, {397, 561}};
    TKpPageLayout layout;
    layout.Arrange(vmFacingPages, boxes, 30, 30, 1000);
    // Column 561 wide: row width 1152 + margins = 1212 content.
    EXPECT_EQ(layout.ContentSize(), QSize(1212, 30 + 561 + 30 + 561 + 30));
    EXPECT_EQ(layout.PageRect(2), QRect(30, 621, 561, 397));
    EXPECT_EQ(layout.PageRect(3), QRect(621, 621, 397, 561));
    EXPECT_EQ(layout.PageRect(1), QRect(621, 30, 397, 561));
    layout.Arrange(vmContinuous, boxes, 30, 30, 1000);
    EXPECT_EQ(layout.PageRect(1), QRect(301, 30, 397, 561));
    EXPECT_EQ(layout.PageRect(2), QRect(219, 621, 561, 397));
    EXPECT_EQ(layout.PageRect(3), QRect(301, 1048, 397, 561));
}

TEST(PageLayout, PagesAtPointsAndInRectangles) {
    TKpPageLayout layout;
    layout.Arrange(vmFacingPages, 5, QSize(397, 561), 30, 30, 1000);
    struct {
        QPoint p;
        int page;
    } const points[] = {{{515, 30}, 1},   {{911, 590}, 1}, {{912, 30}, 0},   {{514, 30}, 0},
                        {{484, 621}, 2},  {{485, 621}, 0}, {{515, 1212}, 5}, {{300, 1181}, 2},
                        {{300, 1182}, 0}, {{100, 20}, 0}};
    for (const auto& pt : points)
        EXPECT_EQ(layout.PageAt(pt.p), pt.page) << pt.p.x() << "," << pt.p.y();
    EXPECT_EQ(layout.PagesIn(QRect(0, 0, 1000, 700)), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(layout.PagesIn(QRect(0, 591, 1000, 30)), (std::vector<int>{}));
    EXPECT_EQ(layout.PagesIn(QRect(500, 600, 20, 700)), (std::vector<int>{3, 5}));
}

TEST(PageLayout, TheCurrentPageFillsMostOfTheView) {
    TKpPageLayout layout;
    layout.Arrange(vmContinuous, 4, QSize(397, 561), 30, 30, 1000);
    // Page 1 spans 30..590, page 2 621..1181. A view from 300 to 800 shows 291 of page 1
    // and 180 of page 2; from 400, 191 and 280.
    EXPECT_EQ(layout.MostVisiblePage(QRect(0, 300, 1000, 501)), 1);
    EXPECT_EQ(layout.MostVisiblePage(QRect(0, 400, 1000, 501)), 2);
    EXPECT_EQ(layout.MostVisiblePage(QRect(0, 5000, 1000, 500)), 0);
    // Both pages of a spread in full view: the current one stays, else the lower.
    layout.Arrange(vmFacingPages, 4, QSize(397, 561), 30, 30, 1000);
    EXPECT_EQ(layout.MostVisiblePage(QRect(0, 600, 1000, 700), 3), 3);
    EXPECT_EQ(layout.MostVisiblePage(QRect(0, 600, 1000, 700), 1), 2);
}

TEST(PageLayout, TenThousandPagesFindTheFewInView) {
    TKpPageLayout layout;
    layout.Arrange(vmContinuous, 10000, QSize(159, 225), 30, 30, 1000);
    EXPECT_EQ(layout.ContentSize().height(), 30 + 10000 * 255);
    // A view of 800 pixels from row 5000's top shows pages 5001..5004.
    const QRect view(0, 30 + 5000 * 255, 1000, 800);
    EXPECT_EQ(layout.PagesIn(view), (std::vector<int>{5001, 5002, 5003, 5004}));
    EXPECT_EQ(layout.MostVisiblePage(view), 5001);
    EXPECT_EQ(layout.PageAt(QPoint(500, view.top() + 255)), 5002);
}
