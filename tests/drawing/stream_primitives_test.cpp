// The 80-bit codec and the chunk stream primitives, byte for byte.
#include <gtest/gtest.h>

#include <cmath>

#include <QBuffer>

#include "drawing/KpExtended.h"
#include "drawing/KpStream.h"
#include "stream_test_util.h"

using namespace kp;

using streamtest::Bytes;
using streamtest::Hex;

namespace {

QByteArray Ext80Bytes(const TKpExt80& e) {
    return QByteArray(reinterpret_cast<const char*>(e.Bytes.data()), 10);
}

} // namespace

TEST(Extended80, DocumentVersionBytes) {
    EXPECT_EQ(Ext80Bytes(Ext80FromDecimal("2.42")), Hex("48 E1 7A 14 AE 47 E1 9A 00 40"));
    EXPECT_EQ(Ext80Bytes(ExtendedToExt80(2.42L)), Hex("48 E1 7A 14 AE 47 E1 9A 00 40"));
}

TEST(Extended80, KeyBytesAreTheNearestExtendedValue) {
    EXPECT_EQ(Ext80Bytes(Ext80FromDecimal("2.01")), Hex("D7 A3 70 3D 0A D7 A3 80 00 40"));
    EXPECT_EQ(Ext80Bytes(Ext80FromDecimal("10.05")), Hex("CD CC CC CC CC CC CC A0 02 40"));
    EXPECT_EQ(Ext80Bytes(Ext80FromDecimal("1005")), Hex("00 00 00 00 00 00 40 FB 08 40"));
    EXPECT_EQ(Ext80Bytes(Ext80FromDecimal("30.02")), Hex("F6 28 5C 8F C2 F5 28 F0 03 40"));
}

TEST(Extended80, DoubleWidenedValueDiffers) {
    // 2.01 as a double, widened: mantissa 80A3D70A3D70A000.
    const TKpExt80 widened = ExtendedToExt80(static_cast<Extended>(2.01));
    EXPECT_EQ(Ext80Bytes(widened), Hex("00 A0 70 3D 0A D7 A3 80 00 40"));
    EXPECT_FALSE(widened == Ext80FromDecimal("2.01"));
}

TEST(Extended80, DecimalMatchesTheCompilersNearestValue) {
    if (!streamtest::LongDoubleIsX87()) GTEST_SKIP() << "long double is not the 80-bit format here";
    const struct {
        const char* text;
        long double value;
    } cases[] = {{"0.1", 0.1L},     {"10.1", 10.1L},   {"51.01", 51.01L}, {"3.07", 3.07L},
                 {"1003", 1003L},   {"-30.5", -30.5L}, {"1e0", 0},        {"0.3", 0.3L},
                 {"10.09", 10.09L}, {"2.3", 2.3L}};
    for (const auto& c : cases) {
        if (std::string(c.text) == "1e0") continue;
        EXPECT_EQ(Ext80Bytes(Ext80FromDecimal(c.text)), Bytes().x87(c.value).data()) << c.text;
    }
    EXPECT_THROW(Ext80FromDecimal("1e0"), std::invalid_argument);
    EXPECT_THROW(Ext80FromDecimal(""), std::invalid_argument);
}

TEST(Extended80, RoundTripsSpecialAndOrdinaryValues) {
    const Extended values[] = {0.0L, -0.0L, 1.0L, -1.5L, 2.42L, 1e300L, -1e-300L, 123456789.125L};
    for (Extended v : values)
        EXPECT_EQ(Ext80ToExtended(ExtendedToExt80(v)), v);
    EXPECT_TRUE(std::isinf(Ext80ToExtended(ExtendedToExt80(INFINITY))));
    EXPECT_TRUE(std::isnan(Ext80ToExtended(ExtendedToExt80(NAN))));
    EXPECT_EQ(Ext80Bytes(ExtendedToExt80(1.0L)), Hex("00 00 00 00 00 00 00 80 FF 3F"));
    EXPECT_EQ(Ext80Bytes(ExtendedToExt80(-2.0L)), Hex("00 00 00 00 00 00 00 80 00 C0"));
    EXPECT_EQ(Ext80Bytes(ExtendedToExt80(0.0L)), Hex("00 00 00 00 00 00 00 00 00 00"));
}

TEST(ExtStream, IntegerReadsPastTheEndGiveZero) {
    TKpExtStream s(Hex("01 02 03 04 05 06"));
    EXPECT_EQ(s.ReadInteger(), 0x04030201);
    EXPECT_EQ(s.ReadInteger(), 0x0605); // two bytes left: the high bytes are 0
    EXPECT_EQ(s.ReadInteger(), 0);
    EXPECT_EQ(s.Position(), 6);
}

TEST(ExtStream, StringsAreLengthThenLatin1Bytes) {
    TKpExtStream s;
    s.WriteString(QStringLiteral("Ab\u00e9"));
    s.WriteString(QString());
    EXPECT_EQ(s.Bytes(), Bytes().i32(3).hex({'A', 'b', 0xE9}).i32(0).data());
    s.SetPosition(0);
    EXPECT_EQ(s.ReadString(), QStringLiteral("Ab\u00e9"));
    EXPECT_EQ(s.ReadString(), QString());
}

TEST(ExtStream, StringLongerThanWhatRemainsIsAReadError) {
    TKpExtStream s(Bytes().i32(0x7FFFFFFF).hex({'a', 'b'}));
    EXPECT_THROW(s.ReadString(), EReadError);
    TKpExtStream negative(Bytes().i32(-5));
    EXPECT_EQ(negative.ReadString(), QString());
}

TEST(ExtStream, ChunkReadConsumesExactlyItsLength) {
    const QByteArray bytes = Bytes().chunk(Bytes().i32(7).i32(8).i32(9)).i32(42);
    TKpExtStream parent{QByteArray(bytes)};
    TKpExtStream child;
    child.LoadChunk(parent);
    EXPECT_EQ(child.ReadInteger(), 7); // the reader stops early
    EXPECT_EQ(parent.Position(), 16);
    EXPECT_EQ(parent.ReadInteger(), 42);
    // A reader that reads past the chunk's end gets zeros and leaves the parent alone.
    TKpExtStream again{QByteArray(bytes)};
    child.LoadChunk(again);
    for (int i = 0; i < 5; ++i)
        child.ReadInteger();
    EXPECT_EQ(child.ReadInteger(), 0);
    EXPECT_EQ(again.ReadInteger(), 42);
}

TEST(ExtStream, ChunkLongerThanItsParentIsAReadError) {
    TKpExtStream parent(Bytes().i32(100).i32(1));
    TKpExtStream child;
    EXPECT_THROW(child.LoadChunk(parent), EReadError);
    TKpExtStream negative(Bytes().i32(-1));
    EXPECT_THROW(child.LoadChunk(negative), EReadError);
    TKpExtStream shortLength(Hex("05 00"));
    EXPECT_THROW(child.LoadChunk(shortLength), EReadError);
}

TEST(ExtStream, ChunkFromADeviceRefusesAnImpossibleLength) {
    QByteArray data = Bytes().i32(0x7FFFFFF0).i32(1);
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    TKpExtStream child;
    EXPECT_THROW(child.LoadChunk(device), EReadError);
    QByteArray good = Bytes().chunk(Bytes().i32(5)).i32(6);
    QBuffer goodDevice(&good);
    goodDevice.open(QIODevice::ReadOnly);
    child.LoadChunk(goodDevice);
    EXPECT_EQ(child.ReadInteger(), 5);
    EXPECT_EQ(goodDevice.pos(), 8);
}

TEST(ExtStream, SaveChunkWritesLengthThenContent) {
    TKpExtStream inner;
    inner.WriteInteger(-2);
    inner.WriteByte(1);
    TKpExtStream outer;
    inner.SaveChunk(outer);
    EXPECT_EQ(outer.Bytes(), Bytes().i32(5).i32(-2).u8(1).data());
    // In-place chunks give the same bytes.
    TKpExtStream inPlace;
    const int64_t mark = inPlace.BeginChunk();
    inPlace.WriteInteger(-2);
    inPlace.WriteByte(1);
    inPlace.EndChunk(mark);
    EXPECT_EQ(inPlace.Bytes(), outer.Bytes());
}

TEST(ExtStream, PrimitivesLittleEndian) {
    TKpExtStream s;
    s.WriteDouble(1.0);
    s.WriteExtended(2.42L);
    s.WriteByte(0xAB);
    EXPECT_EQ(s.Bytes(), Hex("00 00 00 00 00 00 F0 3F 48 E1 7A 14 AE 47 E1 9A 00 40 AB"));
    s.SetPosition(0);
    EXPECT_EQ(s.ReadDouble(), 1.0);
    EXPECT_EQ(s.ReadExtended(), 2.42L);
    EXPECT_EQ(s.ReadByte(), 0xAB);
}

TEST(ExtStream, BrushAndPenChunks) {
    TKpExtStream s;
    s.WriteBrush(TKpBrushData{KpRGB(1, 2, 3), bsCross});
    s.WritePen(TKpPenData{clRed, psDashDot, 7, pmXor});
    EXPECT_EQ(s.Bytes(), Bytes()
                             .chunk(Bytes().i32(0x030201).i32(6))
                             .chunk(Bytes().i32(0x0000FF).i32(3).i32(7).i32(14))
                             .data());
    s.SetPosition(0);
    EXPECT_EQ(s.ReadBrush(), (TKpBrushData{KpRGB(1, 2, 3), bsCross}));
    EXPECT_EQ(s.ReadPen(), (TKpPenData{clRed, psDashDot, 7, pmXor}));
}

TEST(ExtStream, FontChunkWritesStyleLetters) {
    TKpFontData f;
    f.Angle = 90;
    f.Color = clBlue;
    f.Name = QStringLiteral("Arial");
    f.Size = 14;
    f.Style = FontStyleBit(fsBold) | FontStyleBit(fsItalic);
    TKpExtStream s;
    s.WriteFont(f);
    const QByteArray expected = Bytes()
                                    .chunk(Bytes()
                                               .hex({0, 0, 0, 0, 0, 0, 0, 0xB4, 0x05, 0x40})
                                               .i32(0xFF0000)
                                               .str("Arial")
                                               .i32(14)
                                               .str("BI"))
                                    .data();
    EXPECT_EQ(s.Bytes(), expected);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadFont(), f);
}

TEST(ExtStream, FontStyleLettersReadAnywhereUpperCaseOnly) {
    const TFontStyles boldItalic = FontStyleBit(fsBold) | FontStyleBit(fsItalic);
    for (const char* style : {"BI", "IB", "BIX"}) {
        TKpExtStream s(Bytes().chunk(Bytes().x87(0).i32(0).str("Arial").i32(10).str(style)));
        EXPECT_EQ(s.ReadFont().Style, boldItalic) << style;
    }
    EXPECT_EQ(TextToFontStyle(QStringLiteral("bius")), 0);
    EXPECT_EQ(TextToFontStyle(QStringLiteral("SB")),
              FontStyleBit(fsBold) | FontStyleBit(fsStrikeOut));
    EXPECT_EQ(FontStyleToText(0xF), QStringLiteral("BIUS"));
    EXPECT_EQ(FontStyleToText(0), QString());
}

TEST(ExtStream, FontAnglesThatCannotBeDrawnAreMadeSafe) {
    const QByteArray nan = Hex("00 00 00 00 00 00 00 C0 FF 7F");
    TKpExtStream s(Bytes().chunk(Bytes().raw(nan).i32(0).str("Arial").i32(10).str("")));
    EXPECT_EQ(s.ReadFont().Angle, 0);
    TKpExtStream big(Bytes().chunk(Bytes().x87(1e30L).i32(0).str("Arial").i32(10).str("")));
    const Extended a = big.ReadFont().Angle;
    EXPECT_LT(std::fabs(a), 360);
    TKpExtStream normal(Bytes().chunk(Bytes().x87(-725.5L).i32(0).str("Arial").i32(10).str("")));
    EXPECT_EQ(normal.ReadFont().Angle, -725.5L); // ordinary angles are kept as stored
}

// Found by fuzzing: a size near the integer limits overflowed the pixel height of the font.
TEST(ExtStream, FontSizesBeyondDrawableAreClamped) {
    TKpExtStream s(Bytes()
                       .chunk(Bytes().x87(0).i32(0).str("Arial").i32(INT32_MIN).str(""))
                       .chunk(Bytes().x87(0).i32(0).str("Arial").i32(INT32_MAX).str(""))
                       .chunk(Bytes().x87(0).i32(0).str("Arial").i32(-9).str("")));
    EXPECT_EQ(s.ReadFont().Size, -MaxFontPoints);
    EXPECT_EQ(s.ReadFont().Size, MaxFontPoints);
    EXPECT_EQ(s.ReadFont().Size, -9); // ordinary sizes are kept as stored
}
