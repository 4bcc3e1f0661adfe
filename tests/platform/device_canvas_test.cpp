// The drawing layer's conventions, checked pixel by pixel on a white 96 dpi image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"

#include "image_helpers.h"
#include "platform/KpWinFlags.h"

using namespace kp;

namespace {

using testimg::inkBounds;
using testimg::inkCount;
using testimg::kBlack;
using testimg::kWhite;
using testimg::whiteImage;

// Draws through a fresh device canvas on the image.
template <typename F> void paint(QImage& img, F&& draw, int dpi = 96) {
    QPainter painter(&img);
    TKpDeviceCanvas canvas(&painter, dpi, dpi);
    draw(canvas);
}

} // namespace

TEST(DeviceCanvas, RectangleRightAndBottomAreExclusive) {
    QImage img = whiteImage(160, 40);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Brush().SetColor(clRed);
        c.Rectangle(38, 10, 134, 30);
    });
    EXPECT_EQ(img.pixel(37, 20), kWhite);
    EXPECT_EQ(img.pixel(38, 20), kBlack);  // outline, left
    EXPECT_EQ(img.pixel(133, 20), kBlack); // outline, right: 134 is exclusive
    EXPECT_EQ(img.pixel(134, 20), kWhite);
    EXPECT_EQ(img.pixel(80, 10), kBlack);
    EXPECT_EQ(img.pixel(80, 29), kBlack);
    EXPECT_EQ(img.pixel(80, 30), kWhite);
    EXPECT_EQ(img.pixel(80, 20), qRgb(255, 0, 0)); // filled with the brush
    EXPECT_EQ(inkBounds(img), QRect(QPoint(38, 10), QPoint(133, 29)));
}

TEST(DeviceCanvas, RectangleWithClearPenFillsTheSameBox) {
    QImage img = whiteImage(60, 40);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Pen().SetStyle(psClear);
        c.Brush().SetColor(clBlue);
        c.Rectangle(10, 10, 20, 15);
    });
    EXPECT_EQ(inkBounds(img), QRect(QPoint(10, 10), QPoint(19, 14)));
    EXPECT_EQ(img.pixel(10, 10), qRgb(0, 0, 255));
}

TEST(DeviceCanvas, ClearBrushLeavesTheInsideAlone) {
    QImage img = whiteImage(60, 40);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Brush().SetStyle(bsClear);
        c.Rectangle(10, 10, 30, 30);
    });
    EXPECT_EQ(img.pixel(20, 20), kWhite);
    EXPECT_EQ(img.pixel(10, 20), kBlack);
}

TEST(DeviceCanvas, HatchBrushIsTransparentBetweenItsLines) {
    QImage img = whiteImage(60, 60);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Pen().SetStyle(psClear);
        c.Brush().SetColor(clBlack);
        c.Brush().SetStyle(bsHorizontal);
        c.Rectangle(0, 0, 40, 40);
    });
    int inkRows = 0, emptyRows = 0;
    for (int y = 0; y < 40; ++y)
        (img.pixel(20, y) == kBlack ? inkRows : emptyRows)++;
    EXPECT_GT(inkRows, 2);
    EXPECT_GT(emptyRows, inkRows);
    // Every pixel of a hatch row is ink: the lines are horizontal.
    for (int y = 0; y < 40; ++y)
        if (img.pixel(20, y) == kBlack) EXPECT_EQ(inkCount(img, QRect(0, y, 40, 1)), 40);
}

TEST(DeviceCanvas, LineToLeavesTheEndPixelUnpaintedAndMovesThePen) {
    QImage img = whiteImage(40, 20);
    paint(img, [](TKpDeviceCanvas& c) {
        c.MoveTo(5, 10);
        c.LineTo(25, 10);
        EXPECT_EQ(c.PenPos(), QPoint(25, 10));
    });
    EXPECT_EQ(img.pixel(5, 10), kBlack);
    EXPECT_EQ(img.pixel(24, 10), kBlack);
    EXPECT_EQ(img.pixel(25, 10), kWhite);
    EXPECT_EQ(inkCount(img, img.rect()), 20);
}

TEST(DeviceCanvas, WidePenIsThickerThanWidthZero) {
    QImage thin = whiteImage(40, 40), wide = whiteImage(40, 40);
    paint(thin, [](TKpDeviceCanvas& c) {
        c.Pen().SetWidth(0);
        c.MoveTo(5, 20);
        c.LineTo(35, 20);
    });
    paint(wide, [](TKpDeviceCanvas& c) {
        c.Pen().SetWidth(5);
        c.MoveTo(5, 20);
        c.LineTo(35, 20);
    });
    EXPECT_EQ(inkCount(thin, QRect(20, 0, 1, 40)), 1);
    EXPECT_EQ(inkCount(wide, QRect(20, 0, 1, 40)), 5);
}

TEST(DeviceCanvas, EllipseStaysInsideItsBox) {
    QImage img = whiteImage(80, 80);
    paint(img, [](TKpDeviceCanvas& c) { c.Ellipse(10, 20, 70, 50); });
    const QRect ink = inkBounds(img);
    EXPECT_EQ(ink.topLeft(), QPoint(10, 20));
    // The curve's extremes touch the last pixels inside the box, or fall one short.
    EXPECT_GE(ink.right(), 68);
    EXPECT_LE(ink.right(), 69);
    EXPECT_GE(ink.bottom(), 48);
    EXPECT_LE(ink.bottom(), 49);
    EXPECT_EQ(img.pixel(10, 20), kWhite); // corners are outside the ellipse
}

TEST(DeviceCanvas, ArcRunsCounterClockwiseFromStartRayToEndRay) {
    QImage img = whiteImage(101, 101);
    // From the ray to the right (3 o'clock) to the ray upward (12 o'clock): the upper
    // right quarter only.
    paint(img, [](TKpDeviceCanvas& c) { c.Arc(0, 0, 101, 101, 100, 50, 50, 0); });
    EXPECT_GT(inkCount(img, QRect(51, 0, 50, 49)), 40);
    EXPECT_EQ(inkCount(img, QRect(0, 0, 48, 101)), 0);
    EXPECT_EQ(inkCount(img, QRect(0, 53, 101, 48)), 0);
}

TEST(DeviceCanvas, ArcFromTopToRightGoesTheLongWayRound) {
    QImage img = whiteImage(101, 101);
    paint(img, [](TKpDeviceCanvas& c) { c.Arc(0, 0, 101, 101, 50, 0, 100, 50); });
    EXPECT_EQ(inkCount(img, QRect(60, 5, 35, 35)), 0); // the upper right quarter is missing
    EXPECT_GT(inkCount(img, QRect(0, 0, 48, 101)), 60);
    EXPECT_GT(inkCount(img, QRect(0, 53, 101, 48)), 60);
}

TEST(DeviceCanvas, ArcUsesTheRayNotThePointDistance) {
    QImage img = whiteImage(101, 101);
    // Radial points far outside the ellipse still select the same quarter.
    paint(img, [](TKpDeviceCanvas& c) { c.Arc(0, 0, 101, 101, 1000, 50, 50, -1000); });
    EXPECT_GT(inkCount(img, QRect(51, 0, 50, 49)), 40);
    EXPECT_EQ(inkCount(img, QRect(0, 0, 48, 101)), 0);
}

TEST(DeviceCanvas, PieWithCoincidingPointsIsAFullEllipseWithOneRadius) {
    QImage img = whiteImage(101, 101);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Brush().SetStyle(bsClear);
        c.Pie(0, 0, 101, 101, 100, 50, 100, 50);
    });
    // Outline all round.
    EXPECT_GT(inkCount(img, QRect(0, 0, 101, 20)), 20);
    EXPECT_GT(inkCount(img, QRect(0, 80, 101, 21)), 20);
    EXPECT_GT(inkCount(img, QRect(0, 0, 20, 101)), 20);
    // One radius from the centre to the right, none to the left.
    EXPECT_EQ(inkCount(img, QRect(55, 50, 40, 1)), 40);
    EXPECT_EQ(inkCount(img, QRect(10, 50, 35, 1)), 0);
}

TEST(DeviceCanvas, ChordIsClosedByItsChordAndFilled) {
    QImage img = whiteImage(101, 101);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Brush().SetColor(clRed);
        c.Chord(0, 0, 101, 101, 100, 50, 0, 50); // upper half
    });
    EXPECT_EQ(img.pixel(50, 25), qRgb(255, 0, 0));
    EXPECT_EQ(inkCount(img, QRect(0, 53, 101, 48)), 0);
}

TEST(DeviceCanvas, PolygonUsesAlternateFilling) {
    QImage img = whiteImage(100, 100);
    // A five-pointed star: its centre is covered twice and stays empty.
    paint(img, [](TKpDeviceCanvas& c) {
        c.Pen().SetStyle(psClear);
        c.Brush().SetColor(clBlack);
        c.Polygon({{50, 5}, {79, 95}, {3, 39}, {97, 39}, {21, 95}});
    });
    EXPECT_EQ(img.pixel(50, 55), kWhite);
    EXPECT_EQ(img.pixel(50, 20), kBlack); // a point of the star
}

TEST(DeviceCanvas, TwoPointPolygonDrawsALine) {
    QImage img = whiteImage(40, 20);
    paint(img, [](TKpDeviceCanvas& c) { c.Polygon({{5, 10}, {30, 10}}); });
    EXPECT_GE(inkCount(img, QRect(0, 10, 40, 1)), 25);
}

TEST(DeviceCanvas, OnePointPolylineDrawsNothing) {
    QImage img = whiteImage(40, 20);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Pen().SetWidth(4);
        c.Polyline({{10, 10}});
        c.Polyline({});
    });
    EXPECT_EQ(inkCount(img, img.rect()), 0);
}

TEST(DeviceCanvas, PolyBezierRefusesCountsOtherThanOnePlusThreeN) {
    QImage img = whiteImage(60, 60);
    paint(img, [](TKpDeviceCanvas& c) {
        EXPECT_FALSE(c.PolyBezier({{0, 0}, {10, 10}, {20, 20}}));
        EXPECT_FALSE(c.PolyBezier({{0, 0}, {10, 10}, {20, 20}, {30, 30}, {40, 40}}));
        EXPECT_FALSE(c.PolyBezier({{0, 0}}));
    });
    EXPECT_EQ(inkCount(img, img.rect()), 0);
    paint(img, [](TKpDeviceCanvas& c) {
        EXPECT_TRUE(c.PolyBezier({{5, 50}, {20, 5}, {40, 5}, {55, 50}}));
    });
    EXPECT_GT(inkCount(img, img.rect()), 40);
    EXPECT_EQ(inkCount(img, QRect(0, 52, 60, 8)), 0);
}

TEST(DeviceCanvas, XorPenModeUndoesItselfAndNopDrawsNothing) {
    QImage img = whiteImage(40, 40);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Brush().SetColor(clBlack);
        c.Pen().SetMode(pmXor);
        c.Pen().SetColor(clWhite);
        c.Rectangle(5, 5, 30, 30);
    });
    // White xor white is black.
    EXPECT_EQ(img.pixel(5, 5), kBlack);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Brush().SetColor(clBlack);
        c.Pen().SetMode(pmXor);
        c.Pen().SetColor(clWhite);
        c.Rectangle(5, 5, 30, 30);
    });
    EXPECT_EQ(inkCount(img, img.rect()), 0);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Pen().SetMode(pmNop);
        c.Rectangle(5, 5, 30, 30);
    });
    EXPECT_EQ(inkCount(img, img.rect()), 0);
}

TEST(DeviceCanvas, TransparentTextMovesThePenByItsOwnFontsAdvance) {
    QImage img = whiteImage(200, 60);
    paint(img, [&](TKpDeviceCanvas& c) {
        c.Font().SetSize(12);
        const int w = c.TextWidth("Xg");
        c.Brush().SetStyle(bsClear);
        c.TextOut(20, 40, "Xg");
        c.Font().SetSize(30); // measured in the font the text was drawn in
        EXPECT_EQ(c.PenPos(), QPoint(20 + w, 40));
        c.TextOut(0, 0, "Xg");
        c.MoveTo(5, 5);
        EXPECT_EQ(c.PenPos(), QPoint(5, 5));
    });
}

TEST(DeviceCanvas, TextCellIsAscentPlusDescentAndOpaqueWithSolidBrush) {
    QImage img = whiteImage(200, 60);
    int h = 0, w = 0;
    paint(img, [&](TKpDeviceCanvas& c) {
        c.Font().SetSize(12);
        c.Font().SetColor(clBlack);
        c.Brush().SetColor(clYellow);
        h = c.TextHeight("Xg");
        w = c.TextWidth("Xg");
        QFont f = c.qtFont();
        QFontMetrics fm(f);
        EXPECT_EQ(h, fm.ascent() + fm.descent());
        EXPECT_EQ(f.pixelSize(), 16); // 12 pt at 96 dpi
        c.TextOut(10, 10, "Xg");
        EXPECT_EQ(c.PenPos(), QPoint(10 + w, 10));
    });
    EXPECT_GT(w, 10);
    // The whole cell is either yellow background or black-ish ink.
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 255, 0));
    EXPECT_EQ(img.pixel(10 + w - 1, 10 + h - 1), qRgb(255, 255, 0));
    EXPECT_EQ(img.pixel(10 + w, 10), kWhite);
    EXPECT_EQ(img.pixel(10, 10 + h), kWhite);
    // Glyph ink may reach a row past the cell (a descender); the cell starts at (10, 10).
    EXPECT_EQ(inkBounds(img).topLeft(), QPoint(10, 10));
    EXPECT_EQ(inkBounds(img).width(), w);
    EXPECT_LE(inkBounds(img).height(), h + 1);
}

TEST(DeviceCanvas, TextWithClearBrushIsTransparent) {
    QImage img = whiteImage(200, 60);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Font().SetSize(12);
        c.Font().SetColor(clBlack);
        c.Brush().SetStyle(bsClear);
        c.TextOut(10, 10, "Xg");
    });
    EXPECT_EQ(img.pixel(10, 10), kWhite);
    EXPECT_GT(inkCount(img, img.rect()), 20);
}

TEST(DeviceCanvas, EscapementRotatesAboutTheTopLeftCorner) {
    QImage img = whiteImage(100, 200);
    int w = 0, h = 0;
    paint(img, [&](TKpDeviceCanvas& c) {
        c.Font().SetSize(12);
        c.Font().SetEscapement(900);
        c.Brush().SetColor(clYellow);
        w = c.TextWidth("Hello");
        h = c.TextHeight("Hello");
        c.TextOut(40, 150, "Hello");
    });
    // Rotated 90 degrees counter-clockwise: the text runs upward from (40, 150) and its
    // cell lies to the right of x 40.
    const QRect ink = inkBounds(img);
    EXPECT_NEAR(ink.left(), 40, 1);
    EXPECT_NEAR(ink.bottom(), 149, 1);
    EXPECT_NEAR(ink.width(), h, 1);
    EXPECT_NEAR(ink.height(), w, 1);
}

TEST(DeviceCanvas, DrawTextCalcRectWrapsWords) {
    QImage img = whiteImage(10, 10);
    paint(img, [](TKpDeviceCanvas& c) {
        c.Font().SetSize(10);
        const int line = c.TextHeight("A");
        const int word = qMax(c.TextWidth("alpha beta"), c.TextWidth("gamma delta"));
        QRect r(QPoint(10, 20), QPoint(10 + word - 1, 1000));
        const int height = c.DrawText("alpha beta gamma delta", r, DT_CALCRECT | DT_WORDBREAK);
        EXPECT_EQ(height, 2 * line);
        EXPECT_EQ(r.top(), 20);
        EXPECT_EQ(r.bottom() + 1, 20 + 2 * line);
        EXPECT_LE(r.width(), word);
        // Without word breaking the text is one line.
        QRect one(QPoint(10, 20), QPoint(10 + word - 1, 1000));
        EXPECT_EQ(c.DrawText("alpha beta gamma delta", one, DT_CALCRECT), line);
        EXPECT_EQ(one.width(), c.TextWidth("alpha beta gamma delta"));
        // Line breaks start new lines.
        QRect two(QPoint(0, 0), QPoint(500, 500));
        EXPECT_EQ(c.DrawText("a\r\nb\nc", two, DT_CALCRECT | DT_WORDBREAK), 3 * line);
        QRect empty(QPoint(0, 0), QPoint(500, 500));
        EXPECT_EQ(c.DrawText("", empty, DT_CALCRECT | DT_WORDBREAK), line);
    });
}

TEST(DeviceCanvas, DrawTextAlignsAndCentresASingleLine) {
    QImage img = whiteImage(300, 100);
    int w = 0, h = 0;
    paint(img, [&](TKpDeviceCanvas& c) {
        c.Font().SetSize(10);
        c.Brush().SetColor(clYellow);
        w = c.TextWidth("centre");
        h = c.TextHeight("centre");
        QRect r(QPoint(0, 0), QPoint(299, 99));
        c.DrawText("centre", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    });
    // The opaque cell shows where the line went.
    EXPECT_EQ(inkBounds(img), QRect((300 - w) / 2, (100 - h) / 2, w, h));
}

TEST(DeviceCanvas, DrawTextBottomAndRight) {
    QImage img = whiteImage(300, 100);
    int w = 0, h = 0;
    paint(img, [&](TKpDeviceCanvas& c) {
        c.Font().SetSize(10);
        c.Brush().SetColor(clYellow);
        w = c.TextWidth("x");
        h = c.TextHeight("x");
        QRect r(QPoint(0, 0), QPoint(299, 99));
        c.DrawText("x", r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    });
    EXPECT_EQ(inkBounds(img), QRect(300 - w, 100 - h, w, h));
}

TEST(DeviceCanvas, DrawTextExpandsTabs) {
    QImage img = whiteImage(10, 10);
    paint(img, [](TKpDeviceCanvas& c) {
        QRect plain(0, 0, 1000, 100), expanded(0, 0, 1000, 100);
        c.DrawText("a\tb", plain, DT_CALCRECT | DT_SINGLELINE);
        c.DrawText("a\tb", expanded, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
        EXPECT_GT(expanded.width(), plain.width());
        EXPECT_GE(expanded.width(), c.qtFont().pixelSize() / 2 * 4);
    });
}

TEST(DeviceCanvas, ClipRectIntersectsThePaintersClip) {
    QImage img = whiteImage(100, 100);
    {
        QPainter painter(&img);
        painter.setClipRect(QRect(0, 0, 50, 100));
        TKpDeviceCanvas c(&painter, 96, 96);
        c.Brush().SetColor(clBlack);
        c.SetClipRect(QRect(20, 20, 60, 60));
        c.Rectangle(0, 0, 100, 100);
        c.ClearClip();
        c.Rectangle(0, 90, 100, 100);
    }
    EXPECT_EQ(inkBounds(QImage(img.copy(0, 0, 100, 85))), QRect(20, 20, 30, 60));
    // After ClearClip the painter's own clip is still in force.
    EXPECT_EQ(img.pixel(49, 95), kBlack);
    EXPECT_EQ(img.pixel(50, 95), kWhite);
}

TEST(DeviceCanvas, PlayMetafileStretchesIntoTheRectangleAtAnyResolution) {
    TKpMetafile picture;
    picture.SetWidth(100);
    picture.SetHeight(50);
    {
        TKpMetafileCanvas recorder(picture);
        recorder.Canvas().Pen().SetStyle(psClear);
        recorder.Canvas().Brush().SetColor(clBlack);
        recorder.Canvas().Rectangle(0, 0, 50, 50); // the left half
    }
    for (int dpi : {96, 600}) {
        QImage img = whiteImage(400, 200, dpi);
        paint(
            img, [&](TKpDeviceCanvas& c) { c.PlayMetafile(picture, QRect(10, 20, 200, 100)); },
            dpi);
        const QRect ink = inkBounds(img);
        EXPECT_NEAR(ink.left(), 10, 1) << dpi;
        EXPECT_NEAR(ink.top(), 20, 1) << dpi;
        EXPECT_NEAR(ink.width(), 100, 1) << dpi;
        EXPECT_NEAR(ink.height(), 100, 1) << dpi;
    }
}

TEST(DeviceCanvas, PlayMetafileStartsFromDefaultState) {
    TKpMetafile picture;
    picture.SetWidth(40);
    picture.SetHeight(40);
    {
        QPainter p(&picture.Picture());
        p.drawLine(0, 20, 39, 20); // default pen: black
    }
    QImage img = whiteImage(40, 40);
    {
        QPainter painter(&img);
        painter.setPen(QPen(Qt::red));
        TKpDeviceCanvas c(&painter, 96, 96);
        c.PlayMetafile(picture, QRect(0, 0, 40, 40));
    }
    EXPECT_EQ(img.pixel(10, 20), kBlack);
}

TEST(DeviceCanvas, StandardRasterOperationsAndTheFallback) {
    EXPECT_EQ(KpStandardRasterOp(SRCAND), SRCAND);
    EXPECT_EQ(KpStandardRasterOp(WHITENESS), WHITENESS);
    EXPECT_EQ(KpStandardRasterOp(SRCCOPY), SRCCOPY);
    EXPECT_EQ(KpStandardRasterOp(0x00AA0029), SRCCOPY); // destination unchanged: not standard
    EXPECT_EQ(KpStandardRasterOp(0), SRCCOPY);
}

TEST(DeviceCanvas, StretchBitmapBitsAppliesTheRasterOperation) {
    QImage bitmap(2, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(255, 0, 0));
    bitmap.setPixel(1, 0, qRgb(255, 255, 255));
    QImage img = whiteImage(20, 10);
    img.fill(qRgb(0, 255, 255));
    paint(img, [&](TKpDeviceCanvas& c) {
        c.StretchBitmapBits(QRect(0, 0, 10, 5), bitmap, SRCAND);
        c.StretchBitmapBits(QRect(10, 0, 10, 5), bitmap, 0x00AA0029);
        c.StretchBitmapBits(QRect(0, 5, 10, 5), bitmap, NOTSRCCOPY);
        c.StretchBitmapBits(QRect(10, 5, 10, 5), bitmap, BLACKNESS);
    });
    EXPECT_EQ(img.pixel(2, 2), qRgb(0, 0, 0));     // red and cyan
    EXPECT_EQ(img.pixel(7, 2), qRgb(0, 255, 255)); // white and cyan
    EXPECT_EQ(img.pixel(12, 2), qRgb(255, 0, 0));  // not standard: plain copy
    EXPECT_EQ(img.pixel(17, 2), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(2, 7), qRgb(0, 255, 255)); // not red
    EXPECT_EQ(img.pixel(12, 7), kBlack);
}

TEST(DeviceCanvas, StretchDrawScalesWithTheCopyMode) {
    QImage bitmap(2, 2, QImage::Format_RGB32);
    bitmap.fill(qRgb(0, 0, 255));
    QImage img = whiteImage(20, 20);
    paint(img, [&](TKpDeviceCanvas& c) {
        c.StretchDraw(QRect(0, 0, 10, 10), bitmap);
        c.SetCopyMode(SRCPAINT);
        c.StretchDraw(QRect(10, 10, 10, 10), bitmap);
    });
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 10, 10)); // blue or white is white
    EXPECT_EQ(img.pixel(9, 9), qRgb(0, 0, 255));
}

namespace {

struct FramedFigure {
    const char* name;
    void (*draw)(TKpDeviceCanvas&); // a 1-pixel frame in a 40 x 30 box, nothing filled
};

class FramedFigureScaled : public ::testing::TestWithParam<FramedFigure> {};

} // namespace

// A recorded figure with the thinnest frame, played scaled, reaches the last pixels of its
// box as its fill would (curves may stop one pixel short); played at its own size it keeps
// the hairline's pixels.
TEST_P(FramedFigureScaled, ReachesTheLastPixelsOfItsBox) {
    TKpMetafile picture;
    picture.SetWidth(40);
    picture.SetHeight(30);
    {
        TKpMetafileCanvas recording(picture);
        recording.Canvas().Brush().SetStyle(bsClear);
        GetParam().draw(recording.Canvas());
    }
    for (const QSize box : {QSize(40, 30), QSize(96, 72)}) {
        SCOPED_TRACE(box.width());
        QImage img = whiteImage(120, 100);
        paint(img, [&](TKpDeviceCanvas& c) { c.PlayMetafile(picture, QRect(QPoint(0, 0), box)); });
        const QRect ink = inkBounds(img);
        EXPECT_EQ(ink.topLeft(), QPoint(0, 0));
        EXPECT_GE(ink.right(), box.width() - 2);
        EXPECT_LE(ink.right(), box.width() - 1);
        EXPECT_GE(ink.bottom(), box.height() - 2);
        EXPECT_LE(ink.bottom(), box.height() - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Figures, FramedFigureScaled,
    ::testing::Values(
        FramedFigure{"Ellipse", [](TKpDeviceCanvas& c) { c.Ellipse(0, 0, 40, 30); }},
        FramedFigure{"RoundRect", [](TKpDeviceCanvas& c) { c.RoundRect(0, 0, 40, 30, 8, 8); }},
        // Equal start and end rays: a full turn.
        FramedFigure{"Arc", [](TKpDeviceCanvas& c) { c.Arc(0, 0, 40, 30, 40, 15, 40, 15); }},
        FramedFigure{"Chord", [](TKpDeviceCanvas& c) { c.Chord(0, 0, 40, 30, 40, 15, 40, 15); }},
        FramedFigure{"Pie", [](TKpDeviceCanvas& c) { c.Pie(0, 0, 40, 30, 40, 15, 40, 15); }},
        FramedFigure{"Polygon",
                     [](TKpDeviceCanvas& c) {
                         c.Polygon({QPoint(0, 0), QPoint(39, 0), QPoint(39, 29), QPoint(0, 29)});
                     }}),
    [](const ::testing::TestParamInfo<FramedFigure>& info) { return info.param.name; });
