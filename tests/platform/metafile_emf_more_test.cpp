// The rest of the enhanced records: 8-bit text, bitmap transfers, clipping to a path, round
// rectangles, poly-polygons, pens, stroked paths, opaque hatching and drawing from the
// current position.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/KpMetafilePlayer.h"

#include "image_helpers.h"
#include "platform/metafile_play.h"
#include "platform/metafile_writer.h"

using namespace kp;

namespace {

using mfw::Emf;
using testimg::inkBounds;
using testimg::inkCount;

using mfw::kBlackBrush;
using mfw::kBlackPen;
using mfw::kBlue;
using mfw::kNullBrush;
using mfw::kNullPen;
using mfw::kRed;

QImage play(Emf& emf) {
    TKpMetafileResult r;
    QImage img = mfw::PlayEmf(emf, &r);
    EXPECT_EQ(r.Skipped, 0);
    return img;
}

mfw::Bytes polyBody(std::initializer_list<int> counts, std::initializer_list<int> xy,
                    bool sixteen) {
    mfw::Bytes b;
    b.u32(0).u32(0).u32(0).u32(0).u32(uint32_t(counts.size())).u32(uint32_t(xy.size() / 2));
    for (int c : counts)
        b.u32(uint32_t(c));
    for (int v : xy)
        sixteen ? b.u16(uint16_t(v)) : b.u32(uint32_t(v));
    return b;
}

TEST(EmfRecords, AnsiTextFollowsItsAdvances) {
    Emf e;
    e.font(1, -20).rec(37, {1}).rec(18, {1});
    e.textA(10, 10, "HHH", {50, 50, 50});
    const QRect ink = inkBounds(play(e));
    EXPECT_GE(ink.left(), 10);
    EXPECT_GE(ink.right(), 110); // the third letter starts at 110
    EXPECT_LT(ink.right(), 130);
    EXPECT_LT(ink.bottom(), 35);
}

TEST(EmfRecords, BitBlitCopiesAndStretchBlitScales) {
    Emf e;
    e.blit(false, 10, 10, 2, 1, 2, 1, {0xFF0000, 0x0000FF});
    e.blit(true, 50, 50, 30, 20, 1, 1, {0x0000FF});
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(10, 10), kRed);
    EXPECT_EQ(img.pixel(11, 10), kBlue);
    EXPECT_EQ(inkBounds(img.copy(0, 0, 40, 40)), QRect(10, 10, 2, 1));
    EXPECT_EQ(inkBounds(img.copy(40, 40, 150, 150)).translated(40, 40), QRect(50, 50, 30, 20));
    EXPECT_EQ(inkCount(img), 2 + 600);
}

TEST(EmfRecords, AlphaBlendAndBitsToDevice) {
    Emf e;
    e.blit(true, 0, 0, 20, 20, 1, 1, {0xFF0000}, 0x00800000, 114); // half opaque
    mfw::Bytes info, bits, body;
    Emf::dib(info, bits, 2, 1, {0x0000FF, 0x00FF00});
    body.u32(0).u32(0).u32(0).u32(0).u32(50).u32(60).u32(0).u32(0).u32(2).u32(1);
    body.u32(76).u32(uint32_t(info.b.size())).u32(uint32_t(76 + info.b.size()));
    body.u32(uint32_t(bits.b.size())).u32(0).u32(0).u32(1);
    e.raw(80, body.b + info.b + bits.b);
    const QImage img = play(e);
    EXPECT_EQ(qRed(img.pixel(10, 10)), 255);
    EXPECT_NEAR(qGreen(img.pixel(10, 10)), 127, 1);
    EXPECT_EQ(inkBounds(img.copy(0, 0, 40, 40)), QRect(0, 0, 20, 20));
    EXPECT_EQ(img.pixel(50, 60), kBlue);
    EXPECT_EQ(img.pixel(51, 60), 0xFF00FF00u);
    EXPECT_EQ(inkCount(img, QRect(40, 40, 100, 100)), 2);
}

TEST(EmfRecords, OffsetClipMovesTheClip) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(30, {0, 0, 20, 20}).rec(26, {100, 50}).rec(43, {0, 0, 192, 192});
    EXPECT_EQ(inkBounds(play(e)), QRect(100, 50, 20, 20));
}

TEST(EmfRecords, ClipToPath) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(59, {}).rec(43, {0, 0, 50, 50}).rec(60, {}).rec(67, {5});
    e.rec(43, {0, 0, 192, 192});
    EXPECT_EQ(inkCount(play(e)), 50 * 50);
}

TEST(EmfRecords, RoundRectangleRoundsItsCorners) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush}).rec(44, {10, 10, 90, 90, 40, 40});
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(11, 11), testimg::kWhite);
    EXPECT_EQ(img.pixel(50, 11), testimg::kBlack);
    EXPECT_EQ(img.pixel(11, 50), testimg::kBlack);
    EXPECT_EQ(inkBounds(img), QRect(10, 10, 79, 79));
}

TEST(EmfRecords, PolyPolygonsAndPolyPolylinesInBothWidths) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.raw(8, polyBody({4, 4}, {0, 0, 20, 0, 20, 20, 0, 20, 40, 0, 60, 0, 60, 20, 40, 20}, false).b);
    e.raw(91, polyBody({3}, {100, 0, 140, 0, 100, 40}, true).b);
    e.rec(37, {kBlackPen});
    e.raw(90, polyBody({2, 2}, {0, 100, 30, 100, 0, 120, 30, 120}, true).b);
    e.raw(7, polyBody({2}, {0, 150, 40, 150}, false).b);
    const QImage img = play(e);
    EXPECT_EQ(inkCount(img, QRect(0, 0, 70, 30)), 2 * 400);
    EXPECT_EQ(img.pixel(105, 5), testimg::kBlack);
    EXPECT_EQ(img.pixel(135, 35), testimg::kWhite);
    EXPECT_EQ(inkCount(img, QRect(0, 90, 192, 40)), 60);
    EXPECT_EQ(inkCount(img, QRect(0, 140, 192, 20)), 40);
}

TEST(EmfRecords, WidePensAndDashes) {
    Emf e;
    e.rec(38, {1, 0x2200, 10, 0, 0x0000FF}).rec(37, {1}); // flat ends, 10 wide, red
    e.rec(27, {20, 50}).rec(54, {150, 50});
    e.rec(38, {2, 1, 0, 0, 0}).rec(37, {2}); // dashed hairline
    e.rec(27, {20, 150}).rec(54, {170, 150});
    const QImage img = play(e);
    EXPECT_EQ(inkBounds(img.copy(0, 0, 192, 100)), QRect(20, 45, 130, 10));
    EXPECT_EQ(img.pixel(80, 50), kRed);
    const int dashes = inkCount(img, QRect(0, 150, 192, 1));
    EXPECT_GT(dashes, 60);
    EXPECT_LT(dashes, 140);
}

TEST(EmfRecords, StrokedPathsAndStrokeAndFill) {
    Emf e;
    e.rec(37, {kBlackPen});
    e.rec(39, {1, 0, 0x0000FF, 0}).rec(37, {1});
    e.rec(59, {}).rec(43, {10, 10, 50, 50}).rec(60, {}).rec(64, {0, 0, 0, 0});
    e.rec(59, {}).rec(43, {100, 10, 140, 50}).rec(60, {}).rec(63, {0, 0, 0, 0});
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(10, 30), testimg::kBlack);
    EXPECT_EQ(img.pixel(30, 30), testimg::kWhite);
    EXPECT_EQ(img.pixel(100, 30), testimg::kBlack);
    EXPECT_EQ(img.pixel(120, 30), kRed);
}

TEST(EmfRecords, OpaqueHatchingFillsTheGapsWithTheBackground) {
    Emf e;
    e.rec(37, {kNullPen}).rec(25, {0xFF0000}).rec(18, {2});
    e.rec(39, {1, 2, 0x000000, 0}).rec(37, {1}); // horizontal hatch
    e.rec(43, {0, 0, 64, 64});
    const QImage img = play(e);
    int blue = 0, black = 0;
    for (int y = 0; y < 63; ++y) {
        blue += img.pixel(30, y) == kBlue;
        black += img.pixel(30, y) == testimg::kBlack;
    }
    EXPECT_EQ(blue + black, 63);
    EXPECT_GT(black, 4);
    EXPECT_GT(blue, 40);
}

TEST(EmfRecords, LinesAndCurvesFromTheCurrentPosition) {
    Emf e;
    e.rec(37, {kBlackPen}).rec(27, {10, 10});
    e.rec(6, {0, 0, 0, 0, 2, 60, 10, 60, 60}); // poly line to, 32-bit
    mfw::Bytes to16;
    to16.u32(0).u32(0).u32(0).u32(0).u32(3);
    for (int v : {60, 100, 100, 100, 100, 60})
        to16.u16(uint16_t(v));
    e.raw(88, to16.b);                                    // poly Bézier to, 16-bit
    e.rec(5, {0, 0, 0, 0, 3, 100, 20, 140, 20, 140, 60}); // poly Bézier to, 32-bit
    e.rec(54, {180, 60});
    const QImage img = play(e);
    EXPECT_EQ(inkCount(img, QRect(10, 10, 50, 1)), 50);
    EXPECT_EQ(inkCount(img, QRect(60, 11, 1, 49)), 49);
    EXPECT_GT(inkCount(img, QRect(61, 61, 40, 40)), 30);
    EXPECT_GT(inkCount(img, QRect(101, 20, 40, 40)), 30);
    EXPECT_EQ(inkCount(img, QRect(141, 60, 39, 1)), 39);
}

} // namespace
