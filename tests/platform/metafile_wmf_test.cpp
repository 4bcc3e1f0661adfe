// 16-bit metafiles written record by record: the placeable box maps onto the target, a file
// without it maps its first window, objects take the lowest free slot, parameters come in
// reverse order.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/KpMetafilePlayer.h"

#include "image_helpers.h"
#include "platform/metafile_writer.h"

using namespace kp;

namespace {

using mfw::Wmf;
using testimg::inkBounds;
using testimg::inkCount;

constexpr QRgb kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

QImage play(Wmf& wmf, int size = 100) {
    QImage img = testimg::whiteImage(size, size);
    QPainter p(&img);
    const TKpMetafileResult r = KpPlayMetafile(wmf.done(), p, QRectF(0, 0, size, size));
    p.end();
    EXPECT_TRUE(r.Ok) << r.Error.toStdString() << " at " << r.Offset;
    return img;
}

// Brush (style 0, colour 0x00BBGGRR) and a null pen, created and selected in slots 0 and 1.
Wmf& solid(Wmf& w, int color) {
    w.rec(0x02FC, {0, color & 0xFFFF, color >> 16, 0}).rec(0x012D, {0});
    return w.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {1});
}

TEST(WmfPlayer, PlaceableFrame) {
    Wmf w(true, 0, 0, 1440, 720, 1440);
    const TKpMetafileFrame f = KpMetafileFrame(w.done());
    EXPECT_EQ(f.Kind, TKpMetafileKind::Wmf);
    EXPECT_EQ(f.Frame, QRect(0, 0, 2540, 1270));
    EXPECT_EQ(f.PixelSize, QSize(96, 48));
}

TEST(WmfPlayer, PlaceableBoxMapsOntoTheTarget) {
    Wmf w(true, 0, 0, 1000, 1000, 1000);
    solid(w, 0x0000FF).rec(0x041B, {500, 500, 0, 0}); // bottom, right, top, left
    EXPECT_EQ(inkBounds(play(w)), QRect(0, 0, 49, 49));
}

TEST(WmfPlayer, WithoutPlaceableHeaderTheFirstWindowIsThePicture) {
    Wmf w(false);
    w.rec(0x0103, {8}).rec(0x020B, {100, 100}).rec(0x020C, {200, 200});
    solid(w, 0xFF0000).rec(0x041B, {200, 300, 100, 100});
    const QImage img = play(w);
    EXPECT_EQ(KpMetafileFrame(Wmf(false).rec(0x020C, {50, 80}).done()).PixelSize, QSize(80, 50));
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 99, 49));
    EXPECT_EQ(img.pixel(50, 20), kBlue);
}

TEST(WmfPlayer, ObjectsTakeTheLowestFreeSlot) {
    Wmf w(true, 0, 0, 100, 100, 96);
    w.rec(0x02FC, {0, 0x00FF, 0, 0})    // slot 0: red
        .rec(0x02FC, {0, 0, 0xFF, 0})   // slot 1: blue
        .rec(0x01F0, {0})               // slot 0 free again
        .rec(0x02FA, {5, 0, 0, 0, 0})   // slot 0: null pen
        .rec(0x02FC, {0, 0xFF00, 0, 0}) // slot 2: green
        .rec(0x012D, {0})
        .rec(0x012D, {1})
        .rec(0x041B, {20, 20, 0, 0})
        .rec(0x012D, {2})
        .rec(0x0418, {100, 100, 50, 50}); // ellipse
    const QImage img = play(w);
    EXPECT_EQ(img.pixel(10, 10), kBlue);
    EXPECT_EQ(img.pixel(75, 75), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(52, 52), testimg::kWhite);
}

TEST(WmfPlayer, LinesPolygonsAndClipping) {
    Wmf w(true, 0, 0, 100, 100, 96);
    w.rec(0x02FA, {0, 0, 0, 0, 0}).rec(0x012D, {0}); // black pen
    w.rec(0x0214, {5, 10}).rec(0x0213, {5, 40});     // move to (10, 5), line to (40, 5)
    w.rec(0x0325, {2, 10, 90, 40, 90});              // polyline
    w.rec(0x02FC, {0, 0, 0, 0}).rec(0x012D, {1});
    w.rec(0x0416, {40, 90, 20, 10}); // intersect clip (10, 20)-(90, 40)
    w.rec(0x0324, {4, 0, 0, 100, 0, 100, 60, 0, 60});
    const QImage img = play(w);
    EXPECT_EQ(inkCount(img, QRect(0, 5, 100, 1)), 30);
    EXPECT_EQ(inkCount(img, QRect(0, 90, 100, 1)), 30);
    EXPECT_EQ(inkCount(img, QRect(0, 10, 100, 70)), 80 * 20);
}

TEST(WmfPlayer, TextAndStretchedBits) {
    Wmf w(true, 0, 0, 100, 100, 96);
    mfw::Bytes font;
    font.u16(uint16_t(-16)).u16(0).u16(0).u16(0).u16(400).u32(0).u32(0);
    font.b += QByteArray("DejaVu Sans", 12);
    w.raw(0x02FB, font.b).rec(0x012D, {0}).rec(0x0102, {1});
    mfw::Bytes text;
    text.u16(3).b += QByteArray("HHx", 3);
    text.u8(0).u16(10).u16(10); // padding, y, x
    w.raw(0x0521, text.b);
    mfw::Bytes bits, info, stretch;
    mfw::Emf::dib(info, bits, 1, 1, {0x0000FF});
    stretch.u32(0x00CC0020).u16(0).u16(1).u16(1).u16(0).u16(0);
    stretch.u16(20).u16(30).u16(60).u16(50); // dest height, width, y, x
    stretch.b += info.b + bits.b;
    w.raw(0x0F43, stretch.b);
    const QImage img = play(w);
    const QRect text_ink = inkBounds(img.copy(0, 0, 100, 40));
    EXPECT_GE(text_ink.left(), 10);
    EXPECT_GE(text_ink.top(), 10);
    EXPECT_LT(text_ink.bottom(), 30);
    EXPECT_EQ(inkBounds(img.copy(0, 40, 100, 60)), QRect(50, 20, 30, 20));
    EXPECT_EQ(img.pixel(60, 70), kBlue);
}

TEST(WmfPlayer, ExtendedTextWithAdvancesAndAnOpaqueBox) {
    Wmf w(true, 0, 0, 192, 192, 96);
    mfw::Bytes font;
    font.u16(uint16_t(-20)).u16(0).u16(0).u16(0).u16(400).u32(0).u32(0);
    font.b += QByteArray("DejaVu Sans", 12);
    w.raw(0x02FB, font.b).rec(0x012D, {0}).rec(0x0102, {1});
    w.rec(0x0201, {0x0000, 0x00FF}); // blue background for the box
    mfw::Bytes text;
    text.u16(10).u16(10).u16(3).u16(2); // y, x, count, opaque
    text.u16(100).u16(100).u16(150).u16(120);
    text.b += QByteArray("HHH\0", 4);
    text.u16(50).u16(50).u16(50);
    w.raw(0x0A32, text.b);
    QImage img = testimg::whiteImage(192, 192);
    QPainter p(&img);
    EXPECT_TRUE(KpPlayMetafile(w.done(), p, QRectF(0, 0, 192, 192)).Ok);
    p.end();
    const QRect ink = inkBounds(img.copy(0, 0, 192, 60));
    EXPECT_GE(ink.left(), 10);
    EXPECT_GE(ink.right(), 110);
    EXPECT_LT(ink.right(), 130);
    EXPECT_EQ(inkBounds(img.copy(0, 90, 192, 100)).translated(0, 90), QRect(100, 100, 50, 20));
    EXPECT_EQ(img.pixel(140, 115), kBlue);
}

TEST(WmfPlayer, ArcsPiesChordsAndRoundRectangles) {
    Wmf w(true, 0, 0, 100, 100, 96);
    solid(w, 0x000000);
    // Pie from 3 to 12 o'clock: the upper right quarter (end y, x, start y, x, box).
    w.rec(0x081A, {0, 20, 20, 40, 40, 40, 0, 0});
    w.rec(0x0830, {50, 50, 100, 100, 100, 100, 50, 50}); // chord: upper right half
    w.rec(0x061C, {20, 20, 100, 40, 60, 0});             // round rectangle
    const QImage img = play(w);
    EXPECT_EQ(img.pixel(30, 10), testimg::kBlack);
    EXPECT_EQ(img.pixel(10, 30), testimg::kWhite);
    EXPECT_EQ(img.pixel(85, 60), testimg::kBlack);
    EXPECT_EQ(img.pixel(65, 90), testimg::kWhite);
    EXPECT_EQ(img.pixel(20, 80), testimg::kBlack);
    EXPECT_EQ(img.pixel(1, 61), testimg::kWhite);
}

TEST(WmfPlayer, SaveRestorePatternBlitAndRegionClip) {
    Wmf w(true, 0, 0, 100, 100, 96);
    solid(w, 0x0000FF);
    w.rec(0x001E, {});
    w.rec(0x02FC, {0, 0, 0xFF, 0}).rec(0x012D, {2}); // blue brush in slot 2
    w.rec(0x0127, {-1});
    w.rec(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0}); // pattern copy (0, 0, 10, 10)
    // A region of one band, (50, 50)-(70, 60), selected as the clip.
    w.rec(0x06FF, {0, 6, 0, 0, 36, 1, 0, 50, 50, 70, 60, 2, 50, 60, 50, 70, 2});
    w.rec(0x012C, {3}).rec(0x041B, {100, 100, 0, 0});
    const QImage img = play(w);
    EXPECT_EQ(img.pixel(5, 5), kRed);
    EXPECT_EQ(inkCount(img, QRect(0, 0, 10, 10)), 100);
    EXPECT_EQ(inkCount(img, QRect(20, 20, 80, 80)), 20 * 10);
    EXPECT_EQ(img.pixel(60, 55), kRed);
}

TEST(WmfPlayer, BitmapBlitsStretchedAndPlain) {
    Wmf w(true, 0, 0, 100, 100, 96);
    mfw::Bytes info, bits;
    mfw::Emf::dib(info, bits, 1, 1, {0xFF0000});
    mfw::Bytes stretch;
    stretch.u32(0x00CC0020).u16(1).u16(1).u16(0).u16(0); // rop, source h, w, y, x
    stretch.u16(30).u16(40).u16(10).u16(10);             // dest h, w, y, x
    stretch.b += info.b + bits.b;
    w.raw(0x0B41, stretch.b);
    mfw::Bytes plain;
    plain.u32(0x00CC0020).u16(0).u16(0).u16(1).u16(1).u16(70).u16(70); // y, x src; h, w; y, x
    plain.b += info.b + bits.b;
    w.raw(0x0940, plain.b);
    const QImage img = play(w);
    EXPECT_EQ(inkBounds(img.copy(0, 0, 60, 60)), QRect(10, 10, 40, 30));
    EXPECT_EQ(img.pixel(30, 20), kRed);
    EXPECT_EQ(inkBounds(img.copy(60, 60, 40, 40)), QRect(10, 10, 1, 1));
}

// Regions in slots, filled with a brush in another slot, framed and inverted; palettes take a
// slot and change nothing.
TEST(WmfPlayer, RegionsAreFilledFramedAndInverted) {
    Wmf w(true, 0, 0, 100, 100, 96);
    const auto region = [&](int l, int t, int r, int b) {
        w.rec(0x06FF, {0, 6, 0, 0, 0, 1, 2, l, t, r, b, 2, t, b, l, r, 2});
    };
    region(10, 10, 30, 30);                                   // slot 0
    w.rec(0x02FC, {0, 0x00FF, 0, 0}).rec(0x00F7, {0x300, 0}); // slots 1 (red) and 2
    region(40, 10, 60, 40);                                   // slot 3
    w.rec(0x0234, {2}).rec(0x0035, {});
    w.rec(0x0228, {0, 1}).rec(0x0429, {3, 1, 3, 2}).rec(0x012A, {0}); // frame: height, width
    TKpMetafileResult r;
    QImage img = testimg::whiteImage(100, 100);
    {
        QPainter p(&img);
        r = KpPlayMetafile(w.done(), p, QRectF(0, 0, 100, 100));
    }
    EXPECT_EQ(r.Skipped, 0);
    // The filled region inverted: red becomes cyan.
    EXPECT_EQ(img.pixel(10, 10), 0xFF00FFFFu);
    EXPECT_EQ(img.pixel(29, 29), 0xFF00FFFFu);
    EXPECT_EQ(img.pixel(30, 30), testimg::kWhite);
    // The frame: two units wide at the sides, three high at the top and bottom.
    EXPECT_EQ(img.pixel(41, 25), kRed);
    EXPECT_EQ(img.pixel(42, 25), testimg::kWhite);
    EXPECT_EQ(img.pixel(50, 12), kRed);
    EXPECT_EQ(img.pixel(50, 13), testimg::kWhite);
    EXPECT_EQ(img.pixel(59, 39), kRed);
}

} // namespace
