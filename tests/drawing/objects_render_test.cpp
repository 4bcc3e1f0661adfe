// Drawing objects rendered into images at known resolutions: the pixel mapping, the pen
// rules, grey printing, tokens and the graphic's copy modes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "drawing/KpDocument.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpObjects.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpPrinterDpiOverride.h"

#include "image_helpers.h"
#include "platform/KpWinFlags.h"

using namespace kp;

namespace {

// What an object is drawn with: the process-wide print state read now, and the tokens of the
// document when there is one.
TKpDrawContext drawContext(TKpDocument* document, bool printing) {
    return document ? document->DrawContext(printing) : TKpDrawContext::Current(printing);
}

// Printer settings whose job runs or not as a test says.
struct SwitchedPrinterState : TKpPrinterState {
    bool Printing() const override { return printing; }
    TKpValueRect& PrinterMargins() override { return margins; }
    bool printing = false;
    TKpValueRect margins;
};

using testimg::inkBounds;
using testimg::inkCount;
using testimg::kBlack;
using testimg::kWhite;
using testimg::whiteImage;

QImage render(TKpBaseObject& object, int w, int h, int dpi = 96, QPoint offset = {},
              Extended scale = 1, bool printing = false, TKpDocument* preview = nullptr) {
    QImage img = whiteImage(w, h, dpi);
    QPainter painter(&img);
    TKpDeviceCanvas canvas(&painter, dpi, dpi);
    object.Draw(canvas, drawContext(preview, printing), offset, scale);
    painter.end();
    return img;
}

// A curve touches the box's last pixels inside, or stops one pixel short of them.
void expectEllipseBounds(const QRect& ink, const QRect& box) {
    EXPECT_EQ(ink.topLeft(), box.topLeft());
    EXPECT_GE(ink.right(), box.right() - 1);
    EXPECT_LE(ink.right(), box.right());
    EXPECT_GE(ink.bottom(), box.bottom() - 1);
    EXPECT_LE(ink.bottom(), box.bottom());
}

// Restores the process-wide printer state after each test.
class ObjectsRender : public ::testing::Test {
protected:
    // Screen pictures thin pens by the printer's resolution: pin the figure a machine
    // without a printer answers, whatever printer this machine has.
    void SetUp() override { SetPrinterDpiOverride(360); }
    void TearDown() override {
        SetPrinterDpiOverride(0);
        SetCurrentPrintColor(kpColor);
    }
};

void setBox(TKpSimpleShape& r, int x1, int y1, int x2, int y2) {
    r.X1 = x1;
    r.Y1 = y1;
    r.X2 = x2;
    r.Y2 = y2;
}

} // namespace

TEST_F(ObjectsRender, RectangleFromTheCommonMappingCoversPixels38To133) {
    TKpRectangleShape r;
    setBox(r, 1000, 1000, 3540, 2000);
    const QImage img = render(r, 200, 100);
    // rounded(37.8) = 38; rounded(133.8) = 134 is the exclusive right edge; Y: 38..75.
    EXPECT_EQ(inkBounds(img), QRect(QPoint(38, 38), QPoint(133, 75)));
}

TEST_F(ObjectsRender, OneInchIsDpiPixelsAtScaleOneAndScaledWithOffsetOnAPrinter) {
    TKpLineObject line;
    line.X1 = 2540;
    line.Y1 = 100;
    line.X2 = 5080;
    line.Y2 = 100;
    QImage img = render(line, 300, 20);
    EXPECT_EQ(inkBounds(img).left(), 96);
    // Scale 0.5 at 600 dpi: p = 300; 2540 maps to 300 minus the offset.
    img = render(line, 400, 20, 600, QPoint(250, 0), 0.5L, true);
    EXPECT_EQ(inkBounds(img).left(), 50);
    EXPECT_EQ(inkBounds(img).right(), 349);
}

TEST_F(ObjectsRender, PixelFactorIsRoundedBeforeUse) {
    // Scale 0.333 at 96 dpi: p = 32 (not 31.968). 20 inches: 640 with p = 32, 639 without.
    TKpLineObject line;
    line.X1 = 50800;
    line.Y1 = 0;
    line.X2 = 50800 + 2540;
    line.Y2 = 0;
    const QImage img = render(line, 100, 10, 96, QPoint(600, 0), 0.333L);
    EXPECT_EQ(inkBounds(img).left(), 40);
    EXPECT_EQ(inkBounds(img).right(), 71);
}

TEST_F(ObjectsRender, PenWidthRuleUsesPrinterDots) {
    TKpLineObject line;
    line.X1 = 0;
    line.Y1 = 500;
    line.X2 = 2000;
    line.Y2 = 500;
    line.Pen.Edit().Width = 3;
    QImage img = whiteImage(100, 40);
    QPainter painter(&img);
    TKpDeviceCanvas canvas(&painter, 96, 96);
    SetPrinterDpiOverride(600);
    line.Draw(canvas, drawContext(nullptr, false), {}, 1);
    EXPECT_EQ(canvas.Pen().Width(), 0); // rounded(3 / 6.25)
    SetPrinterDpiOverride(360);         // what PrinterDpi answers without a printer
    EXPECT_EQ(PrinterDpi(), 360);
    line.Draw(canvas, drawContext(nullptr, false), {}, 1);
    EXPECT_EQ(canvas.Pen().Width(), 1); // rounded(0.8)
    // Wide pens show the ratio on screen: 30 dots are 5 pixels at 600, 8 at 360.
    line.Pen.Edit().Width = 30;
    line.Draw(canvas, drawContext(nullptr, false), {}, 1);
    EXPECT_EQ(canvas.Pen().Width(), 8);
    SetPrinterDpiOverride(600);
    line.Draw(canvas, drawContext(nullptr, false), {}, 1);
    EXPECT_EQ(canvas.Pen().Width(), 5);
    // Printing keeps the recorded dots.
    line.Draw(canvas, drawContext(nullptr, true), {}, 1);
    EXPECT_EQ(canvas.Pen().Width(), 30);
    painter.end();
}

TEST_F(ObjectsRender, WidePenOnScreenIsThinnedToItsPixelWidth) {
    SetPrinterDpiOverride(600);
    TKpLineObject line;
    line.X1 = 0;
    line.Y1 = 500;
    line.X2 = 2000;
    line.Y2 = 500;
    line.Pen.Edit().Width = 30;
    const QImage img = render(line, 100, 40);
    int thickness = 0;
    for (int y = 0; y < 40; ++y)
        if (img.pixel(40, y) != kWhite) ++thickness;
    EXPECT_EQ(thickness, 5);
}

TEST_F(ObjectsRender, RoundRectCornersDoNotDependOnTheOffset) {
    TKpRoundRectShape r;
    r.X1 = 500;
    r.Y1 = 500;
    r.X2 = 3000;
    r.Y2 = 2000;
    r.X3 = 800;
    r.Y3 = 600;
    r.Brush.Style = bsClear;
    const QImage plain = render(r, 200, 140);
    const QImage shifted = render(r, 200, 140, 96, QPoint(-50, -50));
    EXPECT_EQ(inkBounds(shifted), inkBounds(plain).translated(50, 50));
    EXPECT_EQ(shifted.copy(inkBounds(shifted)), plain.copy(inkBounds(plain)));
    // The corner is really rounded: the box corner pixel stays white.
    EXPECT_EQ(plain.pixel(inkBounds(plain).topLeft()), kWhite);
}

TEST_F(ObjectsRender, PieWithCoincidingPointsIsAFullEllipseWithOneRadius) {
    TKpPieShape pie;
    pie.X1 = 0;
    pie.Y1 = 0;
    pie.X2 = 2540;
    pie.Y2 = 2540; // 96 x 96 pixels
    pie.X3 = pie.X4 = 2540;
    pie.Y3 = pie.Y4 = 1270;
    pie.Brush.Style = bsClear;
    const QImage img = render(pie, 100, 100);
    expectEllipseBounds(inkBounds(img), QRect(0, 0, 96, 96));
    // The radius runs along the middle row (47 or 48) to the right only.
    int right = 0, left = 0;
    for (int x = 52; x < 90; ++x)
        right += img.pixel(x, 47) != kWhite || img.pixel(x, 48) != kWhite;
    for (int x = 8; x < 44; ++x)
        left += img.pixel(x, 47) != kWhite || img.pixel(x, 48) != kWhite;
    EXPECT_EQ(right, 38);
    EXPECT_EQ(left, 0);
}

TEST_F(ObjectsRender, OnePointPolylineIsInvisibleAndTwoPointPolygonIsALine) {
    TKpPolyLineObject polyline;
    polyline.Points = {{1000, 1000}};
    polyline.Pen.Edit().Width = 360;
    EXPECT_EQ(inkCount(render(polyline, 60, 60)), 0);
    TKpPolyLineObject empty;
    EXPECT_EQ(inkCount(render(empty, 60, 60)), 0);

    TKpPolygonObject polygon;
    polygon.Points = {{254, 1270}, {2540, 1270}};
    const QImage img = render(polygon, 120, 60);
    EXPECT_EQ(inkBounds(img).top(), 48);
    EXPECT_EQ(inkBounds(img).height(), 1);
    EXPECT_GE(inkBounds(img).width(), 85);
}

TEST_F(ObjectsRender, PolyBezierWithAWrongCountDrawsNothing) {
    TKpPolyBezierObject bezier;
    bezier.Points = {{0, 0}, {1000, 1000}, {2000, 0}};
    EXPECT_EQ(inkCount(render(bezier, 100, 100)), 0);
    bezier.Points << QPoint(2540, 2540);
    EXPECT_GT(inkCount(render(bezier, 100, 100)), 30);
}

TEST_F(ObjectsRender, ToGreyUsesTheThreeSixOneWeights) {
    EXPECT_EQ(ToGrey(KpRGB(0, 255, 0)), KpRGB(153, 153, 153));
    EXPECT_EQ(ToGrey(KpRGB(255, 0, 0)), KpRGB(76, 76, 76)); // 76.5 -> 76 (halves to even)
    EXPECT_EQ(ToGrey(KpRGB(0, 0, 255)), KpRGB(26, 26, 26)); // 25.5 -> 26
    const TColor window = ColorToRGB(clWindow);
    const int g = kp::RoundInt(0.3L * GetRValue(window) + 0.6L * GetGValue(window) +
                               0.1L * GetBValue(window));
    EXPECT_EQ(ToGrey(clWindow), KpRGB(g, g, g));
}

TEST_F(ObjectsRender, MonochromePrintingGreysAndColourPrintingKeepsColours) {
    TKpRectangleShape r;
    setBox(r, 0, 0, 1000, 1000);
    r.Brush.Color = clLime;
    r.Pen.Edit().Color = clRed;
    SetCurrentPrintColor(kpMonochrome);
    QImage img = render(r, 60, 60, 96, {}, 1, true);
    EXPECT_EQ(img.pixel(20, 20), qRgb(153, 153, 153));
    EXPECT_EQ(img.pixel(0, 20), qRgb(76, 76, 76));
    SetCurrentPrintColor(kpColor);
    img = render(r, 60, 60, 96, {}, 1, true);
    EXPECT_EQ(img.pixel(20, 20), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(0, 20), qRgb(255, 0, 0));
    // Not printing: no grey even in monochrome.
    SetCurrentPrintColor(kpMonochrome);
    img = render(r, 60, 60, 96, {}, 1, false);
    EXPECT_EQ(img.pixel(20, 20), qRgb(0, 255, 0));
}

TEST_F(ObjectsRender, FillOnlyRectangleHasNoBorder) {
    TKpRectangleShape r;
    setBox(r, 0, 0, 1000, 1000);
    r.Brush.Color = clLime;
    r.FillOnly = true;
    const QImage img = render(r, 60, 60);
    EXPECT_EQ(img.pixel(0, 10), qRgb(0, 255, 0));
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 38, 38));
}

TEST_F(ObjectsRender, EllipseArcAndChordUseTheirBoxes) {
    TKpEllipseShape e;
    e.X2 = 2540;
    e.Y2 = 1270;
    expectEllipseBounds(inkBounds(render(e, 120, 60)), QRect(0, 0, 96, 48));

    TKpArcShape arc;
    arc.X2 = arc.Y2 = 2540;
    arc.X3 = 2540;
    arc.Y3 = 1270; // right
    arc.X4 = 1270;
    arc.Y4 = 0; // top
    const QImage a = render(arc, 100, 100);
    EXPECT_GE(inkBounds(a).left(), 46);
    EXPECT_LE(inkBounds(a).bottom(), 50);

    TKpChordShape chord;
    chord.X2 = chord.Y2 = 2540;
    chord.X3 = 0;
    chord.Y3 = 1270; // left
    chord.X4 = 2540;
    chord.Y4 = 1270; // right: the lower half, counter-clockwise
    chord.Brush.Color = clRed;
    const QImage c = render(chord, 100, 100);
    EXPECT_EQ(c.pixel(48, 75), qRgb(255, 0, 0));
    EXPECT_GE(inkBounds(c).top(), 46);
}

TEST_F(ObjectsRender, TextTokensShowPageTwoOfFive) {
    TKpDocument preview;
    for (int i = 0; i < 4; ++i)
        preview.NewPage();
    ASSERT_EQ(preview.NumPages(), 5);
    TKpTextObject withTokens, literal;
    withTokens.Text = "Page {PAGE} of {NUMPAGES}";
    literal.Text = "Page 2 of 5";
    withTokens.PageNum = literal.PageNum = 2;
    withTokens.X1 = literal.X1 = 500;
    withTokens.Y1 = literal.Y1 = 500;
    const QImage a = render(withTokens, 200, 60, 96, {}, 1, false, &preview);
    const QImage b = render(literal, 200, 60, 96, {}, 1, false, &preview);
    EXPECT_GT(inkCount(a), 20);
    EXPECT_EQ(a, b);
    literal.Text = "Page 3 of 5";
    EXPECT_NE(a, render(literal, 200, 60, 96, {}, 1, false, &preview));
}

TEST_F(ObjectsRender, TextSizeFollowsTheScaleAndAngleRotates) {
    TKpTextObject t;
    t.Text = "Wide text";
    t.Font.Edit().Size = 10;
    t.Brush.Color = clYellow;
    const QRect one = inkBounds(render(t, 400, 100));
    const QRect two = inkBounds(render(t, 400, 100, 96, {}, 2));
    EXPECT_NEAR(two.width(), 2 * one.width(), 3);
    EXPECT_NEAR(two.height(), 2 * one.height(), 3);
    t.Font.Edit().Angle = 90;
    t.Y1 = 2540;
    const QRect up = inkBounds(render(t, 400, 200));
    EXPECT_NEAR(up.width(), one.height(), 1);
    EXPECT_NEAR(up.height(), one.width(), 1);
    EXPECT_NEAR(up.bottom(), 95, 1);
}

TEST_F(ObjectsRender, SetFontDataScalesTheHeightAndKeepsTheAngle) {
    TKpFont font;
    font.SetPixelsPerInch(600);
    TKpFontData d;
    d.Size = 12;
    d.Angle = 45.5;
    d.Style = FontStyleBit(fsBold);
    d.Color = clRed;
    d.Name = "Times New Roman";
    SetFontData(font, d, 0.5L);
    EXPECT_EQ(font.Height(), -50); // 12 pt at 600 dpi = 100 pixels, halved
    EXPECT_EQ(font.Escapement(), 455);
    EXPECT_EQ(font.Name(), "Times New Roman");
    EXPECT_TRUE(font.HasStyle(fsBold));
    EXPECT_EQ(font.Color(), clRed);
    const TKpFontData back = GetFontData(font);
    EXPECT_EQ(back.Angle, 45.5L);
    EXPECT_EQ(back.Size, 6);
}

TEST_F(ObjectsRender, RecordFunctionsRoundTrip) {
    TKpPen pen;
    SetPenData(pen, {clRed, psDash, 7, pmXor});
    EXPECT_EQ(GetPenData(pen), (TKpPenData{clRed, psDash, 7, pmXor}));
    TKpBrush brush;
    SetBrushData(brush, {clBlue, bsCross});
    EXPECT_EQ(GetBrushData(brush), (TKpBrushData{clBlue, bsCross}));
}

TEST_F(ObjectsRender, TextBoxCentredLayoutKeepsTheTextOnOneLine) {
    TKpTextBoxObject box;
    box.X1 = 0;
    box.Y1 = 0;
    box.X2 = 1000; // 38 pixels: far too narrow for the text
    box.Y2 = 2540; // 96 pixels
    box.Text = "one two three four";
    box.Font.Edit().Size = 10;
    box.Pen.Edit().Style = psClear;
    box.Brush.Style = bsClear;
    box.Layout = tlTop;
    const QRect wrapped = inkBounds(render(box, 300, 120));
    box.Layout = tlCenter;
    const QRect single = inkBounds(render(box, 300, 120));
    // Wrapped: several lines from the top; centred: one line around the middle, clipped
    // to the box.
    EXPECT_GT(wrapped.height(), 30);
    EXPECT_LT(single.height(), 16);
    EXPECT_NEAR(single.center().y(), 48, 4);
    EXPECT_LE(single.right(), 37);
}

TEST_F(ObjectsRender, TextBoxDrawsItsFrameAndAlignsRight) {
    TKpTextBoxObject box;
    box.X2 = 5080; // 192 pixels
    box.Y2 = 1270; // 48 pixels
    box.Text = "r";
    box.Alignment = taRightJustify;
    box.Brush.Style = bsClear;
    const QImage img = render(box, 250, 60);
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 192, 48));
    // The text ink lies in the right part of the box.
    int leftInk = 0, rightInk = 0;
    for (int y = 2; y < 46; ++y) {
        for (int x = 2; x < 150; ++x)
            leftInk += img.pixel(x, y) != kWhite;
        for (int x = 150; x < 190; ++x)
            rightInk += img.pixel(x, y) != kWhite;
    }
    EXPECT_EQ(leftInk, 0);
    EXPECT_GT(rightInk, 5);
}

TEST_F(ObjectsRender, GraphicBitmapIsStoredInFileFormAndStretched) {
    QImage bitmap(4, 2, QImage::Format_RGB32);
    bitmap.fill(qRgb(0, 0, 255));
    TKpGraphicObject g;
    EXPECT_EQ(g.CopyMode, SRCCOPY);
    EXPECT_EQ(g.ImageKind, kpImageMetafile);
    g.SetBitmap(bitmap);
    EXPECT_EQ(g.ImageKind, kpImageBitmap);
    ASSERT_GT(g.BitmapData.size(), 14);
    EXPECT_EQ(g.BitmapData.left(2), QByteArray("BM"));
    EXPECT_EQ(g.Bitmap().size(), QSize(4, 2));
    g.X2 = 2540;
    g.Y2 = 1270;
    const QImage img = render(g, 120, 60);
    EXPECT_EQ(inkBounds(img), QRect(0, 0, 96, 48));
    EXPECT_EQ(img.pixel(50, 30), qRgb(0, 0, 255));
}

TEST_F(ObjectsRender, GraphicWithoutImageDrawsNothing) {
    TKpGraphicObject g;
    g.X2 = g.Y2 = 2540;
    EXPECT_EQ(inkCount(render(g, 120, 120)), 0);
    g.SetBitmap(QImage());
    EXPECT_TRUE(g.Bitmap().isNull());
    EXPECT_EQ(inkCount(render(g, 120, 120)), 0);
}

TEST_F(ObjectsRender, SeeThroughBitmapPartsShowThePaperNotBlack) {
    QImage bitmap(4, 2, QImage::Format_ARGB32);
    bitmap.fill(Qt::transparent);
    bitmap.setPixel(0, 0, qRgba(0, 0, 255, 255));
    bitmap.setPixel(1, 0, qRgba(0, 0, 255, 128));
    TKpGraphicObject g;
    g.SetBitmap(bitmap);
    g.X2 = 4 * 2540 / 96; // one bitmap pixel to one screen pixel
    g.Y2 = 2 * 2540 / 96 + 1;
    QImage img = whiteImage(8, 8);
    {
        QPainter painter(&img);
        TKpDeviceCanvas canvas(&painter, 96, 96);
        g.Draw(canvas, drawContext(nullptr, false), {}, 1);
    }
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(3, 1), qRgb(255, 255, 255));
    const QColor half = img.pixelColor(1, 0); // blended with the white paper
    EXPECT_NEAR(half.red(), 127, 2);
    EXPECT_EQ(half.blue(), 255);
}

TEST_F(ObjectsRender, NonStandardCopyModeIsPrintedAsSourceCopy) {
    SwitchedPrinterState printer;
    TKpDocument preview;
    preview.SetPrinterState(&printer);
    QImage bitmap(1, 1, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 0, 0));
    TKpGraphicObject g;
    g.SetBitmap(bitmap);
    g.X2 = g.Y2 = 254; // ten pixels
    const auto draw = [&](uint32_t mode, bool printing) {
        g.CopyMode = mode;
        QImage img = whiteImage(20, 20);
        img.fill(qRgb(0, 255, 255));
        QPainter painter(&img);
        TKpDeviceCanvas canvas(&painter, 96, 96);
        canvas.SetCopyMode(SRCPAINT);
        printer.printing = printing;
        g.Draw(canvas, drawContext(&preview, printing), {}, 1);
        printer.printing = false;
        EXPECT_EQ(canvas.CopyMode(), SRCPAINT); // restored
        painter.end();
        return img.pixel(5, 5);
    };
    EXPECT_EQ(draw(0x00AA0029, true), qRgb(255, 0, 0)); // printed: source copy
    EXPECT_EQ(draw(SRCAND, true), qRgb(0, 0, 0));       // a standard mode prints as itself
    EXPECT_EQ(draw(SRCAND, false), qRgb(0, 0, 0));      // the screen's stretch draw
    EXPECT_EQ(draw(NOTSRCCOPY, false), qRgb(0, 255, 255));
}

TEST_F(ObjectsRender, GraphicPictureIsPlayedIntoItsRectangle) {
    TKpMetafile picture;
    picture.SetWidth(20);
    picture.SetHeight(20);
    {
        TKpMetafileCanvas recorder(picture);
        recorder.Canvas().Pen().SetStyle(psClear);
        recorder.Canvas().Brush().SetColor(clBlack);
        recorder.Canvas().Rectangle(0, 0, 20, 20);
    }
    TKpGraphicObject g;
    g.SetPicture(picture);
    EXPECT_EQ(g.ImageKind, kpImageMetafile);
    g.X1 = 254;
    g.Y1 = 254;
    g.X2 = 254 + 1270;
    g.Y2 = 254 + 2540;
    QRect ink = inkBounds(render(g, 120, 120));
    EXPECT_NEAR(ink.left(), 10, 1);
    EXPECT_NEAR(ink.width(), 48, 1);
    EXPECT_NEAR(ink.height(), 96, 1);
    g.MetafileAsBitmap = true;
    ink = inkBounds(render(g, 120, 120));
    EXPECT_NEAR(ink.left(), 10, 1);
    EXPECT_NEAR(ink.width(), 48, 1);
    EXPECT_NEAR(ink.height(), 96, 1);
}

TEST_F(ObjectsRender, CreateObjectOfTypeKnowsThirteenKinds) {
    for (int type = 1; type <= 13; ++type) {
        auto object = CreateObjectOfType(type);
        ASSERT_TRUE(object) << type;
        EXPECT_EQ(object->ObjectType, type);
        EXPECT_TRUE(object->Printable);
    }
    EXPECT_FALSE(CreateObjectOfType(0));
    EXPECT_FALSE(CreateObjectOfType(14));
    EXPECT_FALSE(CreateObjectOfType(-1));
    EXPECT_EQ(dynamic_cast<TKpLineObject*>(CreateObjectOfType(2).get())->Reserved, 0);
}
