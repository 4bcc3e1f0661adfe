// Page breaking over a column of units, without any text engine.
#include <gtest/gtest.h>

#include "richtext/KpRichTextPager.h"

using namespace kp;

namespace {

// Units of the given heights stacked from 0, starting at characters 0, 10, 20, …
std::vector<TKpLayoutUnit> Stack(std::initializer_list<double> heights) {
    std::vector<TKpLayoutUnit> units;
    double y = 0;
    for (double h : heights) {
        units.push_back({static_cast<int>(units.size()) * 10, y, y + h, false, false});
        y += h;
    }
    return units;
}

struct PagerCase {
    const char* name;
    std::vector<TKpLayoutUnit> units;
    double height;
    std::vector<std::size_t> pageStarts; // first unit of each page
};

class PagerCases : public ::testing::TestWithParam<PagerCase> {};

TEST_P(PagerCases, PagesTakeUnitsWhileTheyFit) {
    const PagerCase& c = GetParam();
    std::vector<std::size_t> starts;
    for (std::size_t first = 0; first < c.units.size();) {
        const TKpPageSpan page = NextPage(c.units, first, c.height, c.units.size());
        ASSERT_GT(page.last, first) << c.name;
        starts.push_back(first);
        EXPECT_DOUBLE_EQ(page.top, c.units[first].top) << c.name;
        EXPECT_LE(page.bottom - page.top, c.height) << c.name;
        first = page.last;
    }
    EXPECT_EQ(starts, c.pageStarts) << c.name;
}

std::vector<TKpLayoutUnit> WithBreaks(std::vector<TKpLayoutUnit> units, std::size_t before,
                                      std::size_t after) {
    units[before].breakBefore = true;
    units[after].breakAfter = true;
    return units;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PagerCases,
    ::testing::Values(
        PagerCase{"all fit", Stack({10, 10, 10}), 100, {0}},
        PagerCase{"exact fit", Stack({50, 50, 50}), 100, {0, 2}},
        PagerCase{"one over", Stack({50, 50, 1}), 100, {0, 2}},
        PagerCase{"taller than a page", Stack({30, 150, 30}), 100, {0, 1, 2}},
        PagerCase{"breaks", WithBreaks(Stack({10, 10, 10, 10, 10}), 1, 2), 100, {0, 1, 3}},
        PagerCase{"break before the first unit", WithBreaks(Stack({10, 10}), 0, 0), 100, {0, 1}},
        PagerCase{"zero height", Stack({10, 10}), 0, {0, 1}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(Pager, PageClipEndsAtTheNextUnitOrTheFrame) {
    // A gap between units (space after a paragraph) stays off the page's band.
    std::vector<TKpLayoutUnit> units{
        {0, 0, 40, false, false}, {5, 60, 90, false, false}, {9, 95, 130, false, false}};
    TKpPageSpan page = NextPage(units, 0, 100, units.size());
    EXPECT_EQ(page.last, 2u);
    EXPECT_DOUBLE_EQ(page.bottom, 95);
    page = NextPage(units, 2, 100, units.size());
    EXPECT_DOUBLE_EQ(page.bottom, 195); // the last page shows the whole frame
    // A unit taller than the frame is cut at the frame.
    units = Stack({250});
    EXPECT_DOUBLE_EQ(NextPage(units, 0, 100, 1).bottom, 100);
}

TEST(Pager, EndLimitsThePage) {
    const auto units = Stack({10, 10, 10, 10});
    EXPECT_EQ(NextPage(units, 0, 100, 2).last, 2u);
    EXPECT_EQ(NextPage(units, 3, 100, 2).last, 3u); // nothing left before the end
}

TEST(Pager, UnitAtFindsTheUnitHoldingACharacter) {
    const auto units = Stack({10, 10, 10});
    const std::pair<int, std::size_t> cases[] = {{-5, 0}, {0, 0},  {9, 0},
                                                 {10, 1}, {25, 2}, {99, 2}};
    for (auto [position, unit] : cases)
        EXPECT_EQ(UnitAt(units, position), unit) << position;
}

} // namespace
