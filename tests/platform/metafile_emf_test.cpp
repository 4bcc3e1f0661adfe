// Enhanced metafiles written record by record and played at their own size (192 x 192
// pixels): what each kind of record draws, where, and in which colour.
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

QImage play(Emf& emf, TKpMetafileResult* out = nullptr) {
    return mfw::PlayEmf(emf, out);
}

// A solid brush of colour 0x00BBGGRR in slot index, selected.
Emf& brush(Emf& e, int index, int color, int style = 0, int hatch = 0) {
    return e.rec(39, {index, style, color, hatch}).rec(37, {index});
}

TEST(EmfPlayer, FrameAndPixelSize) {
    Emf e(2540, 1270);
    const TKpMetafileFrame f = KpMetafileFrame(e.done());
    EXPECT_EQ(f.Kind, TKpMetafileKind::Emf);
    EXPECT_EQ(f.Frame, QRect(0, 0, 2540, 1270));
    EXPECT_EQ(f.PixelSize, QSize(96, 48));
    EXPECT_DOUBLE_EQ(f.DpiX, 96);
}

TEST(EmfPlayer, RectangleLeavesOutRightAndBottomEdges) {
    Emf e;
    brush(e, 1, 0x0000FF).rec(37, {kBlackPen}).rec(43, {20, 30, 60, 80});
    const QImage img = play(e);
    EXPECT_EQ(inkBounds(img), QRect(QPoint(20, 30), QPoint(59, 79)));
    EXPECT_EQ(img.pixel(20, 50), testimg::kBlack);
    EXPECT_EQ(img.pixel(59, 50), testimg::kBlack);
    EXPECT_EQ(img.pixel(40, 50), kRed);
}

TEST(EmfPlayer, LineEndsBeforeItsLastPoint) {
    Emf e;
    e.rec(37, {kBlackPen}).rec(27, {10, 10}).rec(54, {50, 10});
    const QImage img = play(e);
    EXPECT_EQ(inkBounds(img), QRect(10, 10, 40, 1));
}

struct MapCase {
    const char* name;
    std::vector<std::pair<uint32_t, std::vector<int32_t>>> mapping;
    QRect box; // logical
    QRect ink; // device pixels
};

class EmfMapping : public ::testing::TestWithParam<MapCase> {};

TEST_P(EmfMapping, ScalesAndMovesTheBox) {
    const MapCase& c = GetParam();
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    for (const auto& [type, values] : c.mapping) {
        mfw::Bytes body;
        for (int32_t v : values)
            body.u32(uint32_t(v));
        e.raw(type, body.b);
    }
    e.rec(43, {c.box.left(), c.box.top(), c.box.right(), c.box.bottom()});
    EXPECT_EQ(inkBounds(play(e)), c.ink) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Modes, EmfMapping,
                         ::testing::Values(MapCase{"text",
                                                   {},
                                                   QRect(QPoint(10, 10), QPoint(50, 40)),
                                                   QRect(10, 10, 39, 29)},
                                           MapCase{"anisotropic",
                                                   {{17, {8}}, {9, {1000, 500}}, {11, {192, 192}}},
                                                   QRect(QPoint(0, 0), QPoint(500, 250)),
                                                   QRect(0, 0, 95, 95)},
                                           MapCase{"isotropic keeps the aspect",
                                                   {{17, {7}}, {9, {1000, 500}}, {11, {192, 192}}},
                                                   QRect(QPoint(0, 0), QPoint(500, 250)),
                                                   QRect(0, 0, 95, 47)},
                                           MapCase{"origins",
                                                   {{17, {8}}, {10, {100, 100}}, {12, {50, 60}}},
                                                   QRect(QPoint(100, 100), QPoint(120, 110)),
                                                   QRect(50, 60, 19, 9)},
                                           MapCase{"hundredths of a millimetre, y up",
                                                   {{17, {3}}},
                                                   QRect(QPoint(0, 0), QPoint(2540, -2540)),
                                                   QRect(0, 0, 95, 95)}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(EmfPlayer, WorldTransformScalesAndTurns) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    mfw::Bytes x;
    x.f32(2).f32(0).f32(0).f32(2).f32(5).f32(0);
    e.raw(35, x.b).rec(43, {10, 10, 30, 20});
    mfw::Bytes m;
    m.f32(1).f32(0).f32(0).f32(1).f32(0).f32(100).u32(3); // then move down 100
    e.raw(36, m.b).rec(43, {10, 10, 30, 20});
    const QImage img = play(e);
    EXPECT_EQ(inkBounds(img), QRect(QPoint(25, 20), QPoint(63, 138)));
    EXPECT_EQ(inkCount(img, QRect(25, 20, 39, 19)), 39 * 19);
    EXPECT_EQ(inkCount(img, QRect(25, 120, 39, 19)), 39 * 19);
}

TEST(EmfPlayer, SaveAndRestoreBringBackBrushAndMapping) {
    Emf e;
    e.rec(37, {kNullPen});
    brush(e, 1, 0x0000FF).rec(33, {});
    brush(e, 2, 0xFF0000).rec(12, {100, 100}).rec(43, {0, 0, 10, 10});
    e.rec(34, {-1}).rec(43, {0, 0, 10, 10});
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(105, 105), kBlue);
    EXPECT_EQ(img.pixel(5, 5), kRed);
}

TEST(EmfPlayer, PolygonsPolylinesAndBeziersInBothWidths) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(3, {0, 0, 0, 0, 3, 10, 10, 50, 10, 10, 50}); // triangle
    mfw::Bytes p16;
    p16.u32(0).u32(0).u32(0).u32(0).u32(4);
    for (int v : {100, 10, 140, 10, 140, 50, 100, 50})
        p16.u16(uint16_t(v));
    e.raw(86, p16.b);
    e.rec(37, {kBlackPen});
    e.rec(4, {0, 0, 0, 0, 2, 10, 100, 60, 100});
    mfw::Bytes b16;
    b16.u32(0).u32(0).u32(0).u32(0).u32(4);
    for (int v : {100, 150, 100, 110, 180, 110, 180, 150})
        b16.u16(uint16_t(v));
    e.raw(85, b16.b);
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(15, 15), testimg::kBlack); // inside the triangle
    EXPECT_EQ(img.pixel(45, 45), testimg::kWhite); // beyond its long side
    EXPECT_EQ(inkCount(img, QRect(100, 10, 40, 40)), 1600);
    EXPECT_EQ(inkCount(img, QRect(10, 100, 50, 1)), 50);
    // The curve's top reaches three quarters of the way to its control points.
    const QRect curve = inkBounds(img.copy(90, 100, 100, 60));
    EXPECT_EQ(curve.top() + 100, 120);
    EXPECT_EQ(curve.left() + 90, 100);
}

TEST(EmfPlayer, EllipseAndPieFillTheirBoxesOnly) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(42, {0, 0, 80, 80});
    // A quarter pie from the right (3 o'clock) counter-clockwise to the top (12 o'clock).
    e.rec(47, {100, 100, 180, 180, 180, 140, 140, 100});
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(40, 40), testimg::kBlack);
    EXPECT_EQ(img.pixel(3, 3), testimg::kWhite);
    EXPECT_EQ(img.pixel(160, 120), testimg::kBlack);
    EXPECT_EQ(img.pixel(120, 160), testimg::kWhite);
    EXPECT_EQ(img.pixel(120, 120), testimg::kWhite);
}

TEST(EmfPlayer, ArcAndChordFollowTheArcDirection) {
    Emf e;
    e.rec(37, {kBlackPen}).rec(37, {kBlackBrush});
    e.rec(57, {2}); // clockwise: the same rays now take the lower three quarters
    e.rec(46, {100, 100, 180, 180, 180, 140, 140, 100});
    e.rec(45, {0, 0, 80, 80, 80, 40, 40, 0});
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(170, 110), testimg::kWhite);
    EXPECT_EQ(img.pixel(120, 160), testimg::kBlack);
    EXPECT_EQ(inkCount(img, QRect(45, 5, 30, 30)), 0); // the arc skips the upper right
    EXPECT_GT(inkCount(img, QRect(0, 45, 40, 35)), 20);
}

TEST(EmfPlayer, TextSitsAtItsReferencePointAndFollowsItsAdvances) {
    Emf e;
    e.font(1, -20).rec(37, {1}).rec(18, {1});
    e.text(10, 10, "HHH");
    e.text(10, 60, "HHH", {40, 40, 40});
    e.rec(22, {2}); // right aligned: the text ends at its reference point
    e.text(180, 120, "HH");
    const QImage img = play(e);
    const QRect plain = inkBounds(img.copy(0, 0, 192, 40));
    const QRect spaced = inkBounds(img.copy(0, 50, 192, 40));
    const QRect right = inkBounds(img.copy(0, 110, 192, 40));
    EXPECT_GE(plain.left(), 10);
    EXPECT_LE(plain.left(), 13);
    EXPECT_GE(plain.top(), 10);
    EXPECT_LT(plain.right(), 60);
    EXPECT_GE(spaced.right(), 90); // the third letter starts at 90
    EXPECT_LT(spaced.right(), 110);
    EXPECT_LE(right.right(), 180);
    EXPECT_GT(right.right(), 170);
}

TEST(EmfPlayer, EscapementTurnsTheText) {
    Emf e;
    e.font(1, -20, 900).rec(37, {1}).rec(18, {1}).rec(22, {24});
    e.text(100, 150, "HHHHH");
    const QRect ink = inkBounds(play(e));
    EXPECT_GT(ink.height(), 2 * ink.width());
    EXPECT_LE(ink.bottom(), 150);
    EXPECT_LE(ink.right(), 100);
}

TEST(EmfPlayer, OpaqueTextFillsItsRectangle) {
    Emf e;
    e.rec(25, {0x0000FF});
    e.font(1, -12).rec(37, {1});
    e.text(20, 20, "x", {}, 2, 20, 20, 60, 40);
    const QImage img = play(e);
    EXPECT_EQ(inkBounds(img), QRect(20, 20, 40, 20));
    EXPECT_EQ(img.pixel(55, 35), kRed);
}

TEST(EmfPlayer, PathIsFilledAndStroked) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(59, {}).rec(27, {10, 10}).rec(54, {60, 10}).rec(54, {60, 60}).rec(61, {});
    e.rec(60, {}).rec(62, {0, 0, 0, 0});
    e.rec(43, {100, 100, 110, 110}); // after the path ends, figures draw again
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(50, 20), testimg::kBlack);
    EXPECT_EQ(img.pixel(20, 50), testimg::kWhite);
    EXPECT_EQ(img.pixel(105, 105), testimg::kBlack);
}

TEST(EmfPlayer, ClippingByRectangleRegionAndPath) {
    Emf e;
    e.rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(30, {0, 0, 50, 50}).rec(29, {0, 0, 10, 10});
    e.rec(43, {0, 0, 100, 100});
    // A region of one rectangle replaces the clip.
    e.rec(75, {48, 5, 32, 1, 1, 16, 120, 120, 140, 140, 120, 120, 140, 140});
    e.rec(43, {100, 100, 192, 192});
    const QImage img = play(e);
    EXPECT_EQ(inkCount(img, QRect(0, 0, 100, 100)), 50 * 50 - 10 * 10);
    EXPECT_EQ(inkCount(img, QRect(100, 100, 92, 92)), 20 * 20);
}

TEST(EmfPlayer, StretchedBitsWithRasterOperations) {
    Emf e;
    e.stretchDib(0, 0, 40, 40, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000});
    e.rec(37, {kNullPen});
    brush(e, 1, 0x00FFFF); // yellow under the next picture
    e.rec(43, {100, 0, 140, 40});
    e.stretchDib(100, 0, 40, 40, 1, 1, {0xFF0000}, 0x008800C6); // source AND destination
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(10, 10), kRed);
    EXPECT_EQ(img.pixel(30, 10), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(10, 30), kBlue);
    EXPECT_EQ(img.pixel(30, 30), testimg::kBlack);
    EXPECT_EQ(inkBounds(img.copy(0, 0, 90, 90)), QRect(0, 0, 40, 40));
    EXPECT_EQ(img.pixel(120, 20), kRed); // yellow AND red
}

TEST(EmfPlayer, BlitsWithoutBitmapPaintWithTheBrushOrAColour) {
    Emf e;
    brush(e, 1, 0x0000FF);
    const auto blit = [&](int x, uint32_t rop) {
        std::initializer_list<int32_t> v = {0, 0, 0,      0, x, 0,      20, 20, int32_t(rop),
                                            0, 0, 1 << 0, 0, 0, 1 << 0, 0,  0,  0,
                                            0, 0, 0,      0, 0};
        e.rec(76, v);
    };
    blit(0, 0x00F00021);  // pattern copy
    blit(40, 0x00000042); // blackness
    const QImage img = play(e);
    EXPECT_EQ(img.pixel(10, 10), kRed);
    EXPECT_EQ(img.pixel(50, 10), testimg::kBlack);
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 60, 20));
}

TEST(EmfPlayer, HatchedBrushLeavesGapsInTransparentMode) {
    Emf e;
    e.rec(37, {kNullPen}).rec(18, {1});
    brush(e, 1, 0x000000, 2, 4); // cross hatch
    e.rec(43, {0, 0, 64, 64});
    const int ink = inkCount(play(e), QRect(0, 0, 63, 63));
    EXPECT_GT(ink, 63 * 2 * 4);
    EXPECT_LT(ink, 63 * 63 / 2);
}

TEST(EmfPlayer, DualFormCommentsAreSkipped) {
    Emf e;
    mfw::Bytes comment;
    comment.u32(16).u32(0x2B464D45).u32(0x4001).u32(0xFFFFFFFF);
    e.raw(70, comment.b).rec(37, {kNullPen}).rec(37, {kBlackBrush}).rec(43, {0, 0, 10, 10});
    TKpMetafileResult r;
    const QImage img = play(e, &r);
    EXPECT_EQ(inkCount(img), 81); // without a pen the box is one pixel smaller
    EXPECT_EQ(r.Records, 6);
    EXPECT_EQ(r.Skipped, 0);
}

TEST(EmfPlayer, UnknownRecordsAreSkippedAndPlayScalesIntoTheTarget) {
    Emf e;
    e.rec(9999, {1, 2, 3}).rec(37, {kNullPen}).rec(37, {kBlackBrush});
    e.rec(43, {0, 0, 96, 96});
    QImage img = testimg::whiteImage(100, 100);
    QPainter p(&img);
    const TKpMetafileResult r = KpPlayMetafile(e.done(), p, QRectF(0, 0, 96, 96));
    p.end();
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Skipped, 1);
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 48, 48)); // 192 pixels into 96
}

} // namespace
