#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "drawing/KpUnits.h"

using namespace kp;

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(kp::Round(2.5L), 2);
    EXPECT_EQ(kp::Round(3.5L), 4);
    EXPECT_EQ(kp::Round(-2.5L), -2);
    EXPECT_EQ(kp::Round(0.5L), 0);
    EXPECT_EQ(kp::Round(133.8L), 134);
    EXPECT_EQ(kp::Trunc(-2.7L), -2);
}

TEST(KpValue, UnitSettersRoundHalvesToEven) {
    TKpValue v;
    v.SetMillimeters(0.125L);
    EXPECT_EQ(v.value, 12);
    v.SetMillimeters(0.135L);
    EXPECT_EQ(v.value, 14);
    v.SetInches(1);
    EXPECT_EQ(v.value, 2540);
    v.SetPixels(96, 96);
    EXPECT_EQ(v.value, 2540);
    v.SetPixels(96, 20);
    EXPECT_EQ(v.value, 529); // 529.1666...
}

TEST(KpValue, Getters) {
    TKpValue v(2540);
    EXPECT_EQ(v.AsPixels(96), 96);
    EXPECT_EQ(v.AsPixels(300), 300);
    EXPECT_DOUBLE_EQ(static_cast<double>(v.AsMillimeters()), 25.4);
    EXPECT_DOUBLE_EQ(static_cast<double>(v.AsInches()), 1.0);
    TKpValue below(1283); // 48.49 px at 96 dpi
    EXPECT_EQ(below.AsPixels(96), 48);
    // At 254 ppi a pixel is ten KpUnits, so halves land exactly and go to even.
    EXPECT_EQ(TKpValue(25).AsPixels(254), 2);
    EXPECT_EQ(TKpValue(35).AsPixels(254), 4);
}

TEST(KpValue, OnChangeOnlyFromUnitSetters) {
    TKpValue v;
    std::vector<TKpValue*> senders;
    v.OnChange = [&](TKpValue* s) { senders.push_back(s); };
    v.value = 77;
    EXPECT_TRUE(senders.empty());
    v.SetMillimeters(0.77L); // same value: still notifies
    v.SetInches(0);
    v.SetPixels(96, 1);
    ASSERT_EQ(senders.size(), 3u);
    EXPECT_EQ(senders[0], &v);
}

TEST(ConvertUnits, BetweenUnits) {
    EXPECT_DOUBLE_EQ(static_cast<double>(ConvertUnits(kpMillimeters, kpUnits, 25)), 2500);
    EXPECT_DOUBLE_EQ(static_cast<double>(ConvertUnits(kpUnits, kpInches, 2540)), 1.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(ConvertUnits(kpCentimeters, kpMillimeters, 1)), 10);
    EXPECT_DOUBLE_EQ(static_cast<double>(ConvertUnits(kpPixels, kpUnits, 96)), 2540);
    EXPECT_DOUBLE_EQ(static_cast<double>(ConvertUnits(kpUnits, kpPixels, 2540)), 96);
    // Unknown codes count as KpUnits.
    EXPECT_DOUBLE_EQ(static_cast<double>(ConvertUnits(static_cast<TKpUnit>(9), kpMillimeters, 150)),
                     1.5);
}

TEST(ConvertUnits, CarriesExtendedPrecision) {
    // One pixel at 96 dpi is 26.458333... KpUnits; a double would lose the last digits
    // that an extended keeps.
    const Extended k = ConvertUnits(kpPixels, kpUnits, 1);
    EXPECT_NEAR(static_cast<double>(k), 26.4583333333, 1e-9);
    EXPECT_EQ(kp::Round(ConvertUnits(kpPixels, kpUnits, 3)), 79);
}

TEST(PaperDimensions, StandardAndCustom) {
    int w = 0, h = 0;
    PaperDimensions(A4, true, w, h);
    EXPECT_EQ(w, 29700);
    EXPECT_EQ(h, 21000);
    PaperDimensions(A5, false, w, h);
    EXPECT_EQ(w, 14850);
    EXPECT_EQ(h, 21000);
    PaperDimensions(C5, false, w, h);
    EXPECT_EQ(w, 16300);
    EXPECT_EQ(h, 22900);
    PaperDimensions(Letter, true, w, h);
    EXPECT_EQ(w, 27940);
    EXPECT_EQ(h, 21590);
    w = 30000;
    h = 10000;
    PaperDimensions(Custom, false, w, h);
    EXPECT_EQ(w, 10000);
    EXPECT_EQ(h, 30000);
    PaperDimensions(Custom, true, w, h);
    EXPECT_EQ(w, 30000);
    EXPECT_EQ(h, 10000);
}

TEST(NextToken, SplitsInPlace) {
    char text[] = " a, b,c";
    char* cursor = text;
    std::vector<std::string> tokens;
    for (int i = 0; i < 4; ++i)
        tokens.emplace_back(NextToken(cursor));
    EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b", "c", ""}));
    char* none = nullptr;
    EXPECT_EQ(NextToken(none), nullptr);
}

TEST(Helpers, MinMaxSwap) {
    EXPECT_EQ(MaxInt(3, -4), 3);
    EXPECT_EQ(MinInt(3, -4), -4);
    EXPECT_EQ(MaxFloat(1.5L, 2.5L), 2.5L);
    int a = 1, b = 2;
    SwapInt(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
}

TEST(KpValueRect, OwnsFourValues) {
    TKpValueRect r;
    r.Left().value = 1;
    r.Bottom().value = 4;
    EXPECT_EQ(r.Left().value, 1);
    EXPECT_EQ(r.Top().value, 0);
    EXPECT_EQ(r.Bottom().value, 4);
    EXPECT_NE(&r.Left(), &r.Right());
}
