// The recording canvas: what each call records, origins, events and measuring.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpMessages.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpWinFlags.h"

using namespace kp;

namespace {

// Printer settings that only give a printable area.
struct FixedPrinterState : TKpPrinterState {
    bool Printing() const override { return false; }
    TKpValueRect& PrinterMargins() override { return margins; }
    TKpValueRect margins;
};

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = std::make_unique<TKpDocument>();
        document->SetPrinterState(&printer);
        document->OnCanvasChange = [this](void* sender) {
            ++changes;
            lastSender = sender;
        };
    }
    TKpCanvas& canvas() { return document->Canvas(); }
    TKpPage& page() { return *document->GetPage(1); }
    template <typename T> T* object(int index) {
        auto* o = dynamic_cast<T*>(page().Objects(index));
        EXPECT_TRUE(o) << "object " << index << " has another type";
        return o;
    }
    // Expects exactly one OnCanvasChange from the canvas since the last check, and the new
    // last object to be the page's last object.
    void expectAddPath(const char* what) {
        EXPECT_EQ(changes, 1) << what;
        EXPECT_EQ(lastSender, &canvas()) << what;
        EXPECT_EQ(canvas().LastObject(), page().Objects(page().Count() - 1)) << what;
        changes = 0;
        lastSender = nullptr;
    }

    FixedPrinterState printer;
    std::unique_ptr<TKpDocument> document;
    int changes = 0;
    void* lastSender = nullptr;
};

QImage bitmap(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::red);
    return img;
}

} // namespace

TEST_F(CanvasTest, DefaultsMatchThePlatform) {
    EXPECT_EQ(canvas().Brush().Color(), clWhite);
    EXPECT_EQ(canvas().Brush().Style(), bsSolid);
    EXPECT_EQ(canvas().Pen().Color(), clBlack);
    EXPECT_EQ(canvas().Pen().Width(), 1);
    EXPECT_EQ(canvas().Pen().Mode(), pmCopy);
    EXPECT_EQ(canvas().Font().Name(), "Arial");
    EXPECT_EQ(canvas().OriginMode(), kpOriginPage);
    EXPECT_EQ(canvas().CopyMode(), 13369376u);
    EXPECT_EQ(canvas().PenPos(), QPoint(0, 0));
    EXPECT_EQ(canvas().DefaultUnit(), kpMillimeters);
    EXPECT_EQ(canvas().LastObject(), nullptr);
    EXPECT_EQ(canvas().Owner(), document.get());
    EXPECT_EQ(canvas().Page(), &page());
}

TEST_F(CanvasTest, TextOutAndTextOutRightBypassTheAddPath) {
    canvas().TextOut(10, 20, "left", kpMillimeters);
    canvas().TextOutRight(100, 20, "right", kpMillimeters);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(canvas().LastObject(), nullptr);
    ASSERT_EQ(page().Count(), 2);
    auto* t = object<TKpTextObject>(0);
    EXPECT_EQ(t->X1, 1000);
    EXPECT_EQ(t->Y1, 2000);
    EXPECT_EQ(t->Text, "left");
    EXPECT_EQ(t->ObjectType, kpTextObject);
}

TEST_F(CanvasTest, EveryOtherCallFiresOnceAndSetsTheLastObject) {
    QImage img = bitmap(10, 10);
    canvas().RotateOut(1, 1, 45, "r", kpMillimeters);
    expectAddPath("RotateOut");
    canvas().Rectangle(1, 1, 5, 5, kpMillimeters);
    expectAddPath("Rectangle");
    canvas().Ellipse(1, 1, 5, 5, kpMillimeters);
    expectAddPath("Ellipse");
    canvas().RoundRect(1, 1, 5, 5, 1, 1, kpMillimeters);
    expectAddPath("RoundRect");
    canvas().Line(1, 1, 5, 5, kpMillimeters);
    expectAddPath("Line");
    canvas().LineTo(8, 8, kpMillimeters);
    expectAddPath("LineTo");
    canvas().StretchDraw(1, 1, 5, 5, &img, kpMillimeters);
    expectAddPath("StretchDraw");
    canvas().Draw(1, 1, &img, 1.0L, kpMillimeters);
    expectAddPath("Draw");
    canvas().TextBox(1, 1, 50, 0, "box", taLeftJustify, true, kpMillimeters);
    expectAddPath("TextBox");
    canvas().Arc(1, 1, 5, 5, 5, 3, 3, 1, kpMillimeters);
    expectAddPath("Arc");
    canvas().Chord(1, 1, 5, 5, 5, 3, 3, 1, kpMillimeters);
    expectAddPath("Chord");
    canvas().Pie(1, 1, 5, 5, 5, 3, 3, 1, kpMillimeters);
    expectAddPath("Pie");
    canvas().Polygon({{1, 1}, {2, 2}, {3, 1}}, kpMillimeters);
    expectAddPath("Polygon");
    canvas().Polyline({{1, 1}, {2, 2}}, kpMillimeters);
    expectAddPath("Polyline");
    canvas().PolyBezier({{1, 1}, {2, 2}, {3, 2}, {4, 1}}, kpMillimeters);
    expectAddPath("PolyBezier");
    EXPECT_EQ(page().Count(), 15);
    // MoveTo records nothing.
    canvas().MoveTo(3, 3, kpMillimeters);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(page().Count(), 15);
}

TEST_F(CanvasTest, MarginOriginIsCountedOnce) {
    document->Margins().Left().value = 2000;
    document->Margins().Top().value = 1500;
    canvas().SetOriginMode(kpOriginMargins);
    canvas().TextOut(10, 0, "x", kpMillimeters);
    EXPECT_EQ(object<TKpTextObject>(0)->X1, 3000);
    EXPECT_EQ(object<TKpTextObject>(0)->Y1, 1500);
    const QString text = "A wider text";
    const int32_t width = canvas().TextWidth(text).value;
    ASSERT_GT(width, 0);
    canvas().TextOutRight(100, 0, text, kpMillimeters);
    EXPECT_EQ(object<TKpTextObject>(1)->X1, 10000 + 2000 - width);
    // The base is read at each call: a later margin change moves only later objects.
    document->Margins().Left().value = 500;
    canvas().TextOut(10, 0, "x", kpMillimeters);
    EXPECT_EQ(object<TKpTextObject>(0)->X1, 3000);
    EXPECT_EQ(object<TKpTextObject>(2)->X1, 1500);
}

TEST_F(CanvasTest, OriginModesAndOffsetsAddUp) {
    printer.PrinterMargins().Left().value = 420;
    printer.PrinterMargins().Top().value = 310;
    document->Margins().Left().value = 2000;
    document->Margins().Top().value = 1000;
    canvas().OriginX = 7;
    canvas().OriginY = 9;
    canvas().SetOriginMode(kpOriginPrinter);
    canvas().Rectangle(0, 0, 1, 1, kpMillimeters);
    canvas().SetOriginMode(kpOriginPage);
    canvas().Rectangle(0, 0, 1, 1, kpMillimeters);
    canvas().SetOriginMode(kpOriginHeader);
    canvas().Rectangle(0, 0, 1, 1, kpMillimeters);
    auto* printer = object<TKpRectangleShape>(0);
    EXPECT_EQ(printer->X1, 427);
    EXPECT_EQ(printer->Y1, 319);
    EXPECT_EQ(printer->X2, 527);
    auto* plain = object<TKpRectangleShape>(1);
    EXPECT_EQ(plain->X1, 7);
    EXPECT_EQ(plain->Y1, 9);
    auto* header = object<TKpRectangleShape>(2);
    EXPECT_EQ(header->X1, 2007);
    // A hidden header adds nothing.
    ASSERT_FALSE(document->Header().Visible());
    EXPECT_EQ(header->Y1, 1009);
}

TEST_F(CanvasTest, MoveToLineToWithAndWithoutOrigin) {
    canvas().MoveTo(10, 10, kpMillimeters);
    canvas().LineTo(20, 10, kpMillimeters);
    auto* line = object<TKpLineObject>(0);
    EXPECT_EQ(QRect(QPoint(line->X1, line->Y1), QPoint(line->X2, line->Y2)),
              QRect(QPoint(1000, 1000), QPoint(2000, 1000)));
    EXPECT_EQ(canvas().PenPos(), QPoint(2000, 1000));
    canvas().OriginX = 300;
    canvas().OriginY = 400;
    canvas().LineTo(30, 20, kpMillimeters);
    line = object<TKpLineObject>(1);
    EXPECT_EQ(line->X1, 2300);
    EXPECT_EQ(line->Y1, 1400);
    EXPECT_EQ(line->X2, 3300);
    EXPECT_EQ(line->Y2, 2400);
    EXPECT_EQ(canvas().PenPos(), QPoint(3000, 2000));
    canvas().MoveTo(1, 1, kpCentimeters);
    EXPECT_EQ(canvas().PenPos(), QPoint(1000, 1000));
}

TEST_F(CanvasTest, TextBoxAutoHeightFitsTheWrappedText) {
    canvas().Font().SetSize(10);
    TKpDeviceCanvas& measure = canvas().MeasureCanvas();
    measure.Font().Assign(canvas().Font());
    const int line = measure.TextHeight("A");
    ASSERT_GT(line, 0);
    // One line.
    Extended h = canvas().TextBox(0, 0, 100, 0, "short", taLeftJustify, true, kpUnits);
    EXPECT_EQ(h, kp::Round(Extended(line) * 2540 / 96));
    // A narrow box wraps each word onto its own line.
    h = canvas().TextBox(0, 0, 10, 0, "alpha beta gamma delta", taLeftJustify, true, kpMillimeters);
    auto* box = object<TKpTextBoxObject>(1);
    EXPECT_EQ(box->Y2, kp::Round(Extended(4 * line) * 2540 / 96));
    EXPECT_EQ(h, box->Y2 / 100.0L);
    EXPECT_EQ(box->X2, 1000);
    // The measurement starts at the box's top pixel.
    h = canvas().TextBox(0, 254, 10, 0, "alpha", taLeftJustify, true, kpUnits);
    box = object<TKpTextBoxObject>(2);
    EXPECT_EQ(box->Y1, 254);
    EXPECT_EQ(box->Y2, kp::Round(Extended(10 + line) * 2540 / 96));
    EXPECT_EQ(h, box->Y2 - 254);
}

TEST_F(CanvasTest, TextBoxRecordsItsSettings) {
    canvas().Pen().SetColor(clRed);
    canvas().Brush().SetStyle(bsClear);
    canvas().OriginX = 50;
    const Extended h =
        canvas().TextBox(10, 20, 60, 40, "text", taCenter, true, kpMillimeters, tlBottom);
    EXPECT_EQ(h, 20);
    auto* box = object<TKpTextBoxObject>(0);
    EXPECT_EQ(box->ObjectType, kpTextBoxObject);
    EXPECT_EQ(box->X1, 1050);
    EXPECT_EQ(box->X2, 6050);
    EXPECT_EQ(box->Y2, 4000);
    EXPECT_EQ(box->Alignment, taCenter);
    EXPECT_EQ(box->Layout, tlBottom);
    EXPECT_EQ(box->Pen->Color, clRed);
    EXPECT_EQ(box->Brush.Style, bsClear);
    EXPECT_EQ(box->Text, "text");
}

TEST_F(CanvasTest, TextBoxWithEmptyTextHasHeightZero) {
    const Extended h = canvas().TextBox(10, 20, 60, 0, "", taLeftJustify, true, kpMillimeters);
    EXPECT_EQ(h, 0);
    auto* box = object<TKpTextBoxObject>(0);
    EXPECT_EQ(box->Y1, 2000);
    EXPECT_EQ(box->Y2, 2000);
    // Also at the page's top edge.
    EXPECT_EQ(canvas().TextBox(0, 0, 60, 0, "", taLeftJustify, true, kpMillimeters), 0);
}

TEST_F(CanvasTest, TextBoxThatOnlyMeasuresRecordsNothing) {
    const Extended h =
        canvas().TextBox(0, 0, 10, 0, "alpha beta gamma", taLeftJustify, false, kpMillimeters);
    EXPECT_GT(h, 0);
    EXPECT_EQ(page().Count(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(canvas().LastObject(), nullptr);
}

TEST_F(CanvasTest, DrawScalesTheGraphicsNaturalSize) {
    const QImage img = bitmap(96, 48);
    canvas().Draw(10, 10, &img, 0.5L, kpMillimeters);
    auto* g = object<TKpGraphicObject>(0);
    EXPECT_EQ(g->X1, 1000);
    EXPECT_EQ(g->X2 - g->X1, 1270);
    EXPECT_EQ(g->Y2 - g->Y1, 635);
    EXPECT_EQ(g->ImageKind, kpImageBitmap);
    EXPECT_EQ(g->Bitmap().size(), QSize(96, 48));
    EXPECT_EQ(g->CopyMode, SRCCOPY);
    // Without a unit: the default unit; origin added once.
    canvas().SetDefaultUnit(kpCentimeters);
    canvas().OriginX = 5;
    canvas().SetCopyMode(SRCAND);
    canvas().Draw(1, 2, &img, 1.0L);
    g = object<TKpGraphicObject>(1);
    EXPECT_EQ(g->X1, 1005);
    EXPECT_EQ(g->Y1, 2000);
    EXPECT_EQ(g->X2, 1005 + 2540);
    EXPECT_EQ(g->Y2, 2000 + 1270);
    EXPECT_EQ(g->CopyMode, SRCAND);
}

TEST_F(CanvasTest, PicturesAndIconsAndMissingGraphics) {
    TKpMetafile picture;
    picture.SetWidth(192);
    picture.SetHeight(96);
    {
        TKpMetafileCanvas rec(picture);
        rec.Canvas().Rectangle(0, 0, 10, 10);
    }
    canvas().Draw(0, 0, &picture, 1.0L, kpMillimeters);
    auto* g = object<TKpGraphicObject>(0);
    EXPECT_EQ(g->ImageKind, kpImageMetafile);
    ASSERT_TRUE(g->Picture);
    EXPECT_EQ(g->Picture->Width(), 192);
    EXPECT_EQ(g->X2, 5080);
    EXPECT_EQ(g->Y2, 2540);

    QPixmap pm(16, 16);
    pm.fill(Qt::blue);
    const QIcon icon(pm);
    EXPECT_EQ(canvas().GraphicWidth(&icon).value, kp::Round(16 * 2540 / 96.0L));
    canvas().StretchDraw(0, 0, 10, 10, &icon, kpMillimeters);
    g = object<TKpGraphicObject>(1);
    EXPECT_EQ(g->ImageKind, kpImageBitmap);
    EXPECT_EQ(g->Bitmap().size(), QSize(16, 16));
    EXPECT_EQ(QColor(g->Bitmap().pixel(8, 8)), QColor(Qt::blue));

    changes = 0;
    canvas().StretchDraw(0, 0, 1, 1, static_cast<const QImage*>(nullptr), kpMillimeters);
    canvas().Draw(0, 0, static_cast<const TKpMetafile*>(nullptr), 1.0L);
    canvas().Draw(0, 0, static_cast<const QIcon*>(nullptr), 1.0L, kpUnits);
    EXPECT_EQ(page().Count(), 2);
    EXPECT_EQ(changes, 0);
}

TEST_F(CanvasTest, RotateOutAngleStaysOnTheFont) {
    canvas().RotateOut(10, 10, 90, "up", kpMillimeters);
    canvas().TextOut(20, 10, "also up", kpMillimeters);
    canvas().TextBox(0, 0, 10, 10, "box", taLeftJustify, true, kpMillimeters);
    EXPECT_EQ(object<TKpTextObject>(0)->Font->Angle, 90);
    EXPECT_EQ(object<TKpTextObject>(1)->Font->Angle, 90);
    EXPECT_EQ(object<TKpTextBoxObject>(2)->Font->Angle, 90);
    EXPECT_EQ(canvas().Font().Escapement(), 900);
    // A change of size recreates the font without the angle.
    canvas().Font().SetSize(14);
    canvas().TextOut(0, 0, "flat", kpMillimeters);
    EXPECT_EQ(object<TKpTextObject>(3)->Font->Angle, 0);
    EXPECT_EQ(object<TKpTextObject>(3)->Font->Size, 14);
}

TEST_F(CanvasTest, RotateOutRoundsOriginPlusUnroundedPosition) {
    canvas().OriginX = 1;
    // 1 + 0.5 = 1.5 rounds to 2 (halves to even); rounding first would give 1 + 0 = 1.
    canvas().RotateOut(0.5L, 2.5L, 0, "t", kpUnits);
    EXPECT_EQ(object<TKpTextObject>(0)->X1, 2);
    EXPECT_EQ(object<TKpTextObject>(0)->Y1, 2);
}

TEST_F(CanvasTest, MeasuringQueriesShareOneResult) {
    canvas().Font().SetSize(12);
    TKpValue& width = canvas().TextWidth("Measured");
    const int32_t w = width.value;
    TKpValue& height = canvas().TextHeight("Measured");
    EXPECT_EQ(&width, &height);
    EXPECT_NE(width.value, w); // the first answer is gone
    TKpDeviceCanvas& measure = canvas().MeasureCanvas();
    EXPECT_EQ(height.value, kp::Round(measure.TextHeight("M") * 2540 / 96.0L));
    EXPECT_EQ(w, kp::Round(measure.TextWidth("Measured") * 2540 / 96.0L));
    const QImage img = bitmap(96, 30);
    EXPECT_EQ(&canvas().GraphicWidth(&img), &width);
    EXPECT_EQ(canvas().GraphicWidth(&img).value, 2540);
    EXPECT_EQ(canvas().GraphicHeight(&img).value, 794);
}

TEST_F(CanvasTest, RecordsAreCopiesTakenAtTheCall) {
    canvas().Pen().SetColor(clRed);
    canvas().Pen().SetWidth(5);
    canvas().Brush().SetColor(clBlue);
    canvas().Brush().SetStyle(bsCross);
    canvas().Rectangle(0, 0, 10, 10, kpMillimeters);
    canvas().Pen().SetColor(clGreen);
    canvas().Brush().SetColor(clYellow);
    auto* r = object<TKpRectangleShape>(0);
    EXPECT_EQ(r->Pen, (TKpPenData{clRed, psSolid, 5, pmCopy}));
    EXPECT_EQ(r->Brush, (TKpBrushData{clBlue, bsCross}));
    EXPECT_FALSE(r->FillOnly);
}

TEST_F(CanvasTest, ShapesConvertEveryPointWithTheOrigin) {
    canvas().OriginX = 100;
    canvas().OriginY = 200;
    canvas().RoundRect(1, 2, 3, 4, 5, 6, kpMillimeters);
    auto* rr = object<TKpRoundRectShape>(0);
    EXPECT_EQ(rr->X1, 200);
    EXPECT_EQ(rr->Y2, 600);
    EXPECT_EQ(rr->X3, 500); // a size: no origin
    EXPECT_EQ(rr->Y3, 600);
    canvas().Pie(1, 2, 3, 4, 5, 6, 7, 8, kpMillimeters);
    auto* pie = object<TKpPieShape>(1);
    EXPECT_EQ(pie->X3, 600);
    EXPECT_EQ(pie->Y3, 800);
    EXPECT_EQ(pie->X4, 800);
    EXPECT_EQ(pie->Y4, 1000);
    canvas().Polyline({{1, 2}, {3, 4}}, kpMillimeters);
    auto* pl = object<TKpPolyLineObject>(2);
    EXPECT_EQ(pl->Points, (QVector<QPoint>{{200, 400}, {400, 600}}));
    // Unit codes above 4 are taken as KpUnits.
    canvas().Rectangle(1, 2, 3, 4, static_cast<TKpUnit>(9));
    EXPECT_EQ(object<TKpRectangleShape>(3)->X1, 101);
}

TEST_F(CanvasTest, SaveAndRestorePenAndBrushByMessage) {
    canvas().Pen().SetColor(clRed);
    canvas().Brush().SetColor(clBlue);
    EXPECT_TRUE(canvas().Perform(KPM_SAVEPEN));
    EXPECT_TRUE(canvas().Perform(KPM_SAVEBRUSH));
    canvas().Pen().SetColor(clGreen);
    canvas().Pen().SetWidth(4);
    canvas().Brush().SetColor(clYellow);
    EXPECT_TRUE(canvas().Perform(KPM_RESTOREPEN));
    EXPECT_EQ(canvas().Pen().Color(), clRed);
    EXPECT_EQ(canvas().Pen().Width(), 1);
    EXPECT_EQ(canvas().Brush().Color(), clYellow);
    EXPECT_TRUE(canvas().Perform(KPM_RESTOREBRUSH));
    EXPECT_EQ(canvas().Brush().Color(), clBlue);
    EXPECT_FALSE(canvas().Perform(7041));
}

TEST_F(CanvasTest, RecordingWithoutAPageIsAnError) {
    TKpCanvas lone(nullptr);
    EXPECT_THROW(lone.Rectangle(0, 0, 1, 1, kpMillimeters), std::logic_error);
    EXPECT_THROW(lone.TextOut(0, 0, "x", kpMillimeters), std::logic_error);
    // Measuring needs no page.
    EXPECT_GT(lone.TextWidth("x").value, 0);
    EXPECT_GT(lone.TextBox(0, 0, 10, 0, "x", taLeftJustify, false, kpMillimeters), 0);
}

TEST_F(CanvasTest, RecordedPageRendersIntoItsPicture) {
    canvas().Brush().SetColor(clBlack);
    canvas().Rectangle(10, 10, 20, 20, kpMillimeters);
    page().Width = 210 / 25.4L;
    page().Height = 297 / 25.4L;
    page().UpdateMetafile();
    TKpMetafile& mf = page().Metafile();
    EXPECT_EQ(mf.Width(), 794);
    EXPECT_EQ(mf.Height(), 1123);
    QImage img(mf.Width(), mf.Height(), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        TKpDeviceCanvas c(&p, 96, 96);
        c.PlayMetafile(mf, QRect(0, 0, mf.Width(), mf.Height()));
    }
    // 10 mm = 37.8 -> 38; 20 mm = 75.6 -> 76 (exclusive).
    EXPECT_EQ(img.pixel(38, 50), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(37, 50), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(75, 50), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(76, 50), qRgb(255, 255, 255));
}
