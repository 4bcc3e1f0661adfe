// Qt's own values on the canvas's value types: double lengths, QColor, QFont and style flags
// built with |. The stored values stay what they were (colours 0x00BBGGRR, styles as bits).
#include <type_traits>

#include <gtest/gtest.h>

#include <QFont>
#include <QString>

#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"

using namespace kp;

struct LengthCase {
    int32_t value;
    double millimeters, centimeters, inches;
};

class DoubleLengths : public ::testing::TestWithParam<LengthCase> {};

TEST_P(DoubleLengths, MatchTheExtendedOnes) {
    const LengthCase c = GetParam();
    const TKpValue v(c.value);
    static_assert(std::is_same_v<decltype(v.Millimeters()), double>);
    EXPECT_DOUBLE_EQ(v.Millimeters(), c.millimeters);
    EXPECT_DOUBLE_EQ(v.Centimeters(), c.centimeters);
    EXPECT_DOUBLE_EQ(v.Inches(), c.inches);
    EXPECT_EQ(v.Millimeters(), static_cast<double>(v.AsMillimeters()));
}

INSTANTIATE_TEST_SUITE_P(Table, DoubleLengths,
                         ::testing::Values(LengthCase{2540, 25.4, 2.54, 1.0},
                                           LengthCase{21000, 210.0, 21.0, 210.0 / 25.4},
                                           LengthCase{-150, -1.5, -0.15, -1.5 / 25.4},
                                           LengthCase{0, 0.0, 0.0, 0.0}));

TEST(DoubleLengths, QStringNumberTakesThemAsTheyAre) {
    EXPECT_EQ(QString::number(TKpValue(21000).Millimeters()), "210");
    EXPECT_EQ(QString::number(TKpValue(2540).Inches()), "1");
}

TEST(QtColours, PenBrushAndFontStoreRedInTheLowByte) {
    TKpPen pen;
    TKpBrush brush;
    TKpFont font;
    int notified = 0;
    pen.OnChange = [&](void*) { ++notified; };
    pen.SetColor(QColor(255, 0, 0));
    EXPECT_EQ(pen.Color(), 0x0000FFu);
    pen.SetColor(Qt::blue);
    EXPECT_EQ(pen.Color(), 0xFF0000u);
    pen.SetColor(QColor(0, 0, 255)); // the same colour: no change
    EXPECT_EQ(notified, 2);
    brush.SetColor(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(brush.Color(), 0x563412u);
    brush.SetColor(Qt::green);
    EXPECT_EQ(brush.Color(), 0x00FF00u);
    font.SetColor(QColor(255, 128, 0));
    EXPECT_EQ(font.Color(), 0x0080FFu);
    pen.SetColor(clRed); // the stored kind still takes its own overload
    EXPECT_EQ(pen.Color(), clRed);
}

struct StyleCase {
    TKpFontStyles styles;
    TFontStyles bits;
};

class FontStyleFlags : public ::testing::TestWithParam<StyleCase> {};

TEST_P(FontStyleFlags, AreTheStoredBits) {
    const StyleCase c = GetParam();
    EXPECT_EQ(c.styles.Bits(), c.bits);
    TKpFont font;
    font.SetStyle(c.styles);
    EXPECT_EQ(font.Style(), c.bits);
    EXPECT_EQ(font.Styles(), c.styles);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FontStyleFlags,
    ::testing::Values(StyleCase{fsBold, 0x1}, StyleCase{fsItalic, 0x2},
                      StyleCase{fsBold | fsItalic, 0x3}, StyleCase{fsUnderline | fsStrikeOut, 0xC},
                      StyleCase{fsBold | fsItalic | fsUnderline | fsStrikeOut, 0xF},
                      StyleCase{TKpFontStyles(), 0x0}));

TEST(FontStyleFlags, OneStyleAloneAndTheBitsStillWork) {
    TKpFont font;
    font.SetStyle(fsBold);
    EXPECT_TRUE(font.HasStyle(fsBold));
    EXPECT_EQ(font.Style(), 0x1);
    font.SetStyle(FontStyleBit(fsItalic) | FontStyleBit(fsUnderline));
    EXPECT_EQ(font.Style(), 0x6);
    font.SetStyle(0);
    EXPECT_EQ(font.Style(), 0x0);
}

struct QFontCase {
    const char* name;
    int pointSize, pixelSize;
    bool bold, italic, underline, strikeOut;
    int height;
    TFontStyles style;
};

class FontFromQFont : public ::testing::TestWithParam<QFontCase> {};

TEST_P(FontFromQFont, TakesFaceSizeAndStyles) {
    const QFontCase c = GetParam();
    QFont q(QString::fromLatin1(c.name));
    if (c.pointSize > 0) q.setPointSize(c.pointSize);
    if (c.pixelSize > 0) q.setPixelSize(c.pixelSize);
    q.setBold(c.bold);
    q.setItalic(c.italic);
    q.setUnderline(c.underline);
    q.setStrikeOut(c.strikeOut);
    TKpFont font;
    font.SetPixelsPerInch(96);
    font.SetColor(clRed);
    font.SetEscapement(900);
    int notified = 0;
    font.OnChange = [&](void*) { ++notified; };
    font.Set(q);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(font.Name(), QString::fromLatin1(c.name));
    EXPECT_EQ(font.Height(), c.height);
    EXPECT_EQ(font.Style(), c.style);
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_EQ(font.Escapement(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FontFromQFont,
    ::testing::Values(QFontCase{"Times", 12, 0, true, false, false, false, -16, 0x1},
                      QFontCase{"Courier", 9, 0, false, true, true, false, -12, 0x6},
                      QFontCase{"Arial", 0, 20, true, true, true, true, -20, 0xF}),
    [](const auto& info) { return std::string(info.param.name); });
