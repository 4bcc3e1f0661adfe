// Enhanced records drawn onto a white 192 x 192 image at their own size: points with their
// kinds, painted regions, transfers through a mask or onto a parallelogram, run-length
// compressed bitmaps and palettes (which change nothing, colours being RGB).
#include <gtest/gtest.h>

#include <QImage>

#include "image_helpers.h"
#include "platform/metafile_play.h"
#include "platform/metafile_writer.h"

using namespace kp;

namespace {

using mfw::Bytes;
using mfw::Emf;
using mfw::kBlue;
using mfw::kRed;
using testimg::kBlack;
using testimg::kWhite;

QImage play(Emf& emf) {
    TKpMetafileResult r;
    QImage img = mfw::PlayEmf(emf, &r);
    EXPECT_EQ(r.Skipped, 0);
    return img;
}

struct Pixel {
    int x, y;
    QRgb colour;
};

void expectPixels(const QImage& img, std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels)
        EXPECT_EQ(img.pixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
}

// Region data: the 32-byte header, then each rectangle with its right and bottom edges
// just outside it.
QByteArray region(std::initializer_list<QRect> rects) {
    const auto n = uint32_t(rects.size());
    Bytes b;
    b.u32(32).u32(1).u32(n).u32(n * 16).u32(0).u32(0).u32(0).u32(0);
    for (const QRect& r : rects) {
        b.u32(uint32_t(r.left())).u32(uint32_t(r.top()));
        b.u32(uint32_t(r.right() + 1)).u32(uint32_t(r.bottom() + 1));
    }
    return b.b;
}

// A region record: the bounds, the data's size, the fields before the data, the data.
Emf& regionRecord(Emf& e, uint32_t type, std::initializer_list<uint32_t> fields,
                  const QByteArray& data) {
    Bytes b;
    b.u32(0).u32(0).u32(0).u32(0).u32(uint32_t(data.size()));
    for (uint32_t f : fields)
        b.u32(f);
    return e.raw(type, b.b + data);
}

TEST(EmfRegions, PolyDrawFollowsTheKindOfEachPointInBothWidths) {
    for (bool sixteen : {false, true}) {
        Emf e;
        Bytes b;
        b.u32(0).u32(0).u32(0).u32(0).u32(3);
        for (QPoint p : {QPoint(10, 10), QPoint(50, 10), QPoint(50, 50)})
            sixteen ? b.u16(uint16_t(p.x())).u16(uint16_t(p.y()))
                    : b.u32(uint32_t(p.x())).u32(uint32_t(p.y()));
        b.u8(6).u8(2).u8(3).pad4(); // move, line, line and close
        const QImage img = play(e.raw(sixteen ? 92 : 56, b.b));
        // The closing line runs back along the diagonal.
        expectPixels(img, {{30, 10, kBlack},
                           {50, 30, kBlack},
                           {30, 30, kBlack},
                           {40, 20, kWhite},
                           {20, 40, kWhite}});
    }
}

TEST(EmfRegions, FillPaintFrameAndInvertRegions) {
    Emf e;
    e.rec(39, {1, 0, 0x0000FF, 0}).rec(39, {2, 0, 0xFF0000, 0}).rec(37, {2});
    regionRecord(e, 71, {1}, region({QRect(QPoint(10, 10), QPoint(29, 29))})); // red
    regionRecord(e, 74, {}, region({QRect(QPoint(40, 10), QPoint(59, 19))}));  // blue
    regionRecord(e, 72, {1, 2, 3}, region({QRect(QPoint(10, 40), QPoint(49, 69))}));
    regionRecord(e, 73, {},
                 region({QRect(QPoint(100, 100), QPoint(109, 109)),
                         QRect(QPoint(105, 105), QPoint(119, 114))}));
    const QImage img = play(e);
    expectPixels(img, {{10, 10, kRed},
                       {29, 29, kRed},
                       {30, 30, kWhite},
                       {40, 10, kBlue},
                       {59, 19, kBlue},
                       {60, 20, kWhite},
                       {10, 55, kRed},
                       {11, 55, kRed},
                       {12, 55, kWhite},
                       {30, 42, kRed},
                       {30, 43, kWhite},
                       {49, 69, kRed},
                       {47, 66, kWhite},
                       {100, 100, kBlack},
                       {119, 114, kBlack},
                       {120, 114, kWhite},
                       {110, 100, kWhite}});
}

// A bitmap information header with its colour table (0x00RRGGBB entries).
Bytes info(int w, int h, int bpp, int compression, std::initializer_list<uint32_t> table) {
    Bytes b;
    b.u32(40)
        .u32(uint32_t(w))
        .u32(uint32_t(h))
        .u16(1)
        .u16(uint16_t(bpp))
        .u32(uint32_t(compression));
    b.u32(0).u32(0).u32(0).u32(uint32_t(table.size())).u32(0);
    for (uint32_t c : table)
        b.u32(c);
    return b;
}

// Device-independent bits stretched to (x, y, cx, cy) from the whole w x h bitmap.
Emf& stretchBits(Emf& e, int x, int y, int cx, int cy, int w, int h, const Bytes& head,
                 const QByteArray& bits) {
    Bytes body;
    body.u32(0).u32(0).u32(0).u32(0);
    body.u32(uint32_t(x)).u32(uint32_t(y)).u32(0).u32(0).u32(uint32_t(w)).u32(uint32_t(h));
    body.u32(80).u32(uint32_t(head.b.size())).u32(uint32_t(80 + head.b.size()));
    body.u32(uint32_t(bits.size())).u32(0).u32(0x00CC0020).u32(uint32_t(cx)).u32(uint32_t(cy));
    return e.raw(81, body.b + head.b + bits);
}

TEST(EmfRegions, RunLengthBitmapsOfEightAndFourBits) {
    // Bottom row: a run of four blue; top row: red, blue, red, blue given as they are.
    const QByteArray rle8 = QByteArray::fromHex("0401"
                                                "0000"
                                                "000400010001"
                                                "0001");
    // Bottom row: alternating blue and red from one byte; top row: a delta past it, unset.
    const QByteArray rle4 = QByteArray::fromHex("0410"
                                                "0000"
                                                "0001");
    Emf e;
    stretchBits(e, 0, 0, 40, 20, 4, 2, info(4, 2, 8, 1, {0xFF0000, 0x0000FF}), rle8);
    stretchBits(e, 0, 40, 40, 20, 4, 2, info(4, 2, 4, 2, {0xFF0000, 0x0000FF}), rle4);
    const QImage img = play(e);
    expectPixels(img, {{5, 5, kRed},
                       {15, 5, kBlue},
                       {25, 5, kRed},
                       {35, 5, kBlue},
                       {5, 15, kBlue},
                       {25, 15, kBlue},
                       {5, 55, kBlue},
                       {15, 55, kRed},
                       {25, 55, kBlue},
                       {5, 45, kRed}});
}

TEST(EmfRegions, MaskBlitLeavesTheDestinationWhereTheMaskIsClear) {
    // Source: four red pixels in a row; mask 1010 (white, black, white, black).
    const Bytes src = info(4, 1, 24, 0, {});
    const QByteArray srcBits = QByteArray::fromHex("0000FF0000FF0000FF0000FF");
    const Bytes mask = info(4, 1, 1, 0, {0x000000, 0xFFFFFF});
    const QByteArray maskBits = QByteArray::fromHex("A0000000");
    Bytes body;
    body.u32(0).u32(0).u32(0).u32(0).u32(10).u32(10).u32(4).u32(1).u32(0xAACC0020);
    body.u32(0).u32(0).f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0).u32(0);
    const uint32_t srcAt = 128, maskAt = srcAt + uint32_t(src.b.size() + srcBits.size());
    body.u32(srcAt).u32(uint32_t(src.b.size())).u32(srcAt + uint32_t(src.b.size()));
    body.u32(uint32_t(srcBits.size())).u32(0).u32(0).u32(0);
    body.u32(maskAt).u32(uint32_t(mask.b.size())).u32(maskAt + uint32_t(mask.b.size()));
    body.u32(uint32_t(maskBits.size()));
    Emf e;
    e.raw(78, body.b + src.b + srcBits + mask.b + maskBits);
    const QImage img = play(e);
    expectPixels(img, {{10, 10, kRed}, {11, 10, kWhite}, {12, 10, kRed}, {13, 10, kWhite}});
}

TEST(EmfRegions, ParallelogramBlitMapsTheSourceOntoThreeCorners) {
    const Bytes src = info(2, 2, 24, 0, {});
    const QByteArray bits = QByteArray::fromHex("0000FF0000FF0000"
                                                "0000FF0000FF0000");
    Bytes body;
    body.u32(0).u32(0).u32(0).u32(0).u32(20).u32(20).u32(60).u32(20).u32(20).u32(30);
    body.u32(0).u32(0).u32(2).u32(2).f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0).u32(0);
    body.u32(140).u32(uint32_t(src.b.size())).u32(140 + uint32_t(src.b.size()));
    body.u32(uint32_t(bits.size())).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    Emf e;
    e.raw(79, body.b + src.b + bits);
    const QImage img = play(e);
    // Upper-left, upper-right and lower-left corners: a 40 x 10 red rectangle.
    expectPixels(img, {{20, 20, kRed}, {58, 28, kRed}, {61, 25, kWhite}, {40, 31, kWhite}});
}

TEST(EmfRegions, PalettesTakeTheirSlotAndChangeNoColour) {
    Emf e;
    e.rec(49, {1, 0x300, 0}).rec(48, {1}).rec(52, {}).rec(50, {1, 0, 0}).rec(51, {1, 4});
    e.rec(39, {2, 0, 0x0000FF, 0}).rec(37, {2}).rec(37, {mfw::kNullPen});
    e.rec(43, {10, 10, 20, 20});
    const QImage img = play(e);
    expectPixels(img, {{10, 10, kRed}, {18, 18, kRed}, {21, 21, kWhite}});
}

} // namespace
