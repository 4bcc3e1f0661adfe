// Painting the sheet: white page with a one-pixel outline, the picture stretched into the
// sheet rectangle, the two shadow strips, the margin outlines, and a crisp picture at a
// device pixel ratio of 2.
#include <gtest/gtest.h>

#include <QPainter>
#include <set>

#include "display_fixture.h"
#include "drawing/KpMargins.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "printing/KpPrinter.h"

using namespace kp;

namespace {

QImage renderWidget(QWidget& w, qreal dpr = 1.0) {
    QImage img(QSize(w.width(), w.height()) * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(QColor(0x80, 0x80, 0x80)); // stands for the preview's background
    w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

// A picture of w x h pixels holding one solid rectangle.
void recordRect(TKpMetafile& mf, int w, int h, const QRect& r, TColor color) {
    mf.SetWidth(w);
    mf.SetHeight(h);
    TKpMetafileCanvas rec(mf);
    TKpDeviceCanvas& c = rec.Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(color);
    c.Pen().SetColor(color);
    c.Rectangle(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

constexpr QRgb kGrey = 0x808080;

} // namespace

TEST(DisplayPaint, SheetOutlineAndShadowStrips) {
    TKpCustomPage page;
    page.resize(200, 300);
    page.SetGutter(10);
    const QImage img = renderWidget(page);
    // PageRect (10, 10, 187, 287): outline on its outermost pixels, white inside.
    EXPECT_TRUE(isBlack(img, 10, 100));
    EXPECT_TRUE(isBlack(img, 186, 100));
    EXPECT_TRUE(isBlack(img, 100, 10));
    EXPECT_TRUE(isBlack(img, 100, 286));
    EXPECT_TRUE(isWhite(img, 11, 11));
    EXPECT_TRUE(isWhite(img, 185, 285));
    EXPECT_EQ(rgbAt(img, 9, 100), kGrey); // gutter untouched
    // Right strip: x 187..189 from y 13 (top + width) to 286.
    EXPECT_TRUE(isBlack(img, 187, 13));
    EXPECT_TRUE(isBlack(img, 189, 286));
    EXPECT_EQ(rgbAt(img, 187, 12), kGrey);
    EXPECT_EQ(rgbAt(img, 190, 100), kGrey);
    // Bottom strip: y 287..289 from x 13 (left + width) to 189.
    EXPECT_TRUE(isBlack(img, 13, 287));
    EXPECT_TRUE(isBlack(img, 189, 289));
    EXPECT_EQ(rgbAt(img, 12, 287), kGrey);
    EXPECT_EQ(rgbAt(img, 100, 290), kGrey);
}

TEST(DisplayPaint, ShadowColourWidthAndHiding) {
    TKpCustomPage page;
    page.resize(200, 300);
    page.SetGutter(10);
    page.Shadow().SetColor(clRed);
    page.Shadow().SetWidth(6);
    QImage img = renderWidget(page);
    // PageRect right edge 200 - 16 = 184 (exclusive): strips x 184..189.
    EXPECT_EQ(rgbAt(img, 184, 100), 0xFF0000u);
    EXPECT_EQ(rgbAt(img, 189, 100), 0xFF0000u);
    EXPECT_EQ(rgbAt(img, 184, 15), kGrey); // starts 6 below the sheet's top
    EXPECT_EQ(rgbAt(img, 184, 16), 0xFF0000u);
    page.Shadow().SetVisible(false);
    img = renderWidget(page);
    EXPECT_EQ(rgbAt(img, 186, 100), kGrey);
    EXPECT_TRUE(isBlack(img, 183, 100)); // the sheet stays where it was
}

TEST(DisplayPaint, PictureIsStretchedIntoPageRect) {
    TKpMetafile mf;
    // The picture's right half is blue.
    recordRect(mf, 100, 100, QRect(50, 0, 50, 100), clBlue);
    TKpCustomPage page;
    page.resize(2 * 20 + 200 + 3, 2 * 20 + 100 + 3);
    page.SetGutter(20);
    page.SetMetafile(&mf, false);
    const QImage img = renderWidget(page);
    // PageRect (20, 20, 220, 120): the picture plays twice as wide.
    EXPECT_TRUE(isWhite(img, 30, 60));
    EXPECT_TRUE(isWhite(img, 115, 60));
    EXPECT_EQ(rgbAt(img, 125, 60), 0x0000FFu);
    EXPECT_EQ(rgbAt(img, 218, 60), 0x0000FFu);
    // Without a picture the sheet is empty.
    page.SetMetafile(nullptr, false);
    const QImage empty = renderWidget(page);
    EXPECT_TRUE(isWhite(empty, 125, 60));
}

TEST(DisplayPaint, MarginOutlineFollowsScaleGutterAndShadow) {
    PreviewHost host;
    host.preview->SetZoom(100);
    TKpMargins& m = host.preview->Margins();
    m.Pen().SetStyle(psSolid); // easier to find than dots
    m.Pen().SetColor(clRed);
    QImage img = renderWidget(host.image());
    // Hidden: nothing red.
    EXPECT_NE(rgbAt(img, 87, 500), 0xFF0000u);
    m.SetVisible(true);
    img = renderWidget(host.image());
    // Left px(1500) = Round(56.69) = 57 -> x 87; top px(2000) = Round(75.59) = 76 -> y 106;
    // right edge 854 - 57 - 30 - 3 = 764 (exclusive, line at 763); bottom px(2500) = 94:
    // 1183 - 94 - 30 - 3 = 1056 (line at 1055).
    EXPECT_EQ(rgbAt(img, 87, 500), 0xFF0000u);
    EXPECT_NE(rgbAt(img, 86, 500), 0xFF0000u);
    EXPECT_NE(rgbAt(img, 88, 500), 0xFF0000u);
    EXPECT_EQ(rgbAt(img, 400, 106), 0xFF0000u);
    EXPECT_EQ(rgbAt(img, 763, 500), 0xFF0000u);
    EXPECT_NE(rgbAt(img, 764, 500), 0xFF0000u);
    EXPECT_EQ(rgbAt(img, 400, 1055), 0xFF0000u);

    host.preview->SetZoom(50);
    img = renderWidget(host.image());
    // Round(57 x 0.5) = Round(28.5) = 28 (halves to even) -> x 58.
    EXPECT_EQ(rgbAt(img, 58, 300), 0xFF0000u);
    EXPECT_NE(rgbAt(img, 59, 300), 0xFF0000u);
}

TEST(DisplayPaint, DefaultMarginPenIsSilverDots) {
    PreviewHost host;
    host.preview->SetZoom(100);
    host.preview->Margins().SetVisible(true);
    const QImage img = renderWidget(host.image());
    int silver = 0, white = 0;
    for (int y = 200; y < 300; ++y) {
        const QRgb c = rgbAt(img, 87, y);
        silver += c == 0xC0C0C0;
        white += c == 0xFFFFFF;
    }
    // Dotted: both silver and gaps along the line.
    EXPECT_GT(silver, 20);
    EXPECT_GT(white, 20);
}

TEST(DisplayPaint, PrinterMarginOutline) {
    PreviewHost host;
    host.preview->SetZoom(100);
    TKpMargins& m = host.preview->Margins();
    m.PrinterMarginPen().SetStyle(psSolid);
    m.PrinterMarginPen().SetColor(clGreen);
    TKpValueRect& pm = host.preview->KpPrinter().PrinterMargins();
    pm.Left().value = 635; // 1/4 inch = 24 pixels
    pm.Top().value = 635;
    pm.Right().value = 635;
    pm.Bottom().value = 635;
    m.SetShowPrinterMargins(true);
    const QImage img = renderWidget(host.image());
    EXPECT_EQ(rgbAt(img, 54, 500), 0x008000u);
    EXPECT_EQ(rgbAt(img, 854 - 24 - 30 - 3 - 1, 500), 0x008000u);
    EXPECT_EQ(rgbAt(img, 400, 54), 0x008000u);
}

TEST(DisplayPaint, PictureStaysSharpAtDevicePixelRatioTwo) {
    // A circle drawn into the picture at 100 %: replayed at a device pixel ratio of 2 its
    // edge must step by single device pixels (a stretched 1x bitmap would only ever step by
    // two, and a smoothed one would show blended colours).
    TKpMetafile mf;
    mf.SetWidth(100);
    mf.SetHeight(100);
    {
        TKpMetafileCanvas rec(mf);
        TKpDeviceCanvas& c = rec.Canvas();
        c.Brush().SetColor(clBlue);
        c.Pen().SetColor(clBlue);
        c.Ellipse(10, 10, 90, 90);
    }
    TKpCustomPage page;
    page.resize(100 + 3, 100 + 3);
    page.SetGutter(0);
    page.Shadow().SetVisible(false);
    page.SetMetafile(&mf, false);
    const QImage img = renderWidget(page, 2.0);
    ASSERT_EQ(img.width(), 206);
    int oddEdges = 0;
    std::set<QRgb> colours;
    for (int y = 20; y < 180; ++y) {
        int first = -1;
        for (int x = 2; x < 198; ++x) {
            const QRgb c = rgbAt(img, x, y);
            colours.insert(c);
            if (first < 0 && c == 0x0000FF) first = x;
        }
        if (first > 0 && first % 2 == 1) ++oddEdges;
    }
    EXPECT_GT(oddEdges, 10);
    // Only white, blue and the black outline of the sheet: no blended edge colours.
    for (QRgb c : colours)
        EXPECT_TRUE(c == 0xFFFFFF || c == 0x0000FF || c == 0) << std::hex << c;
}

TEST(DisplayPaint, RenderedCopyMatchesDirectPlaybackAtEveryRatio) {
    TKpMetafile mf;
    mf.SetWidth(120);
    mf.SetHeight(90);
    {
        TKpMetafileCanvas rec(mf);
        TKpDeviceCanvas& c = rec.Canvas();
        c.Brush().SetColor(clYellow);
        c.Pen().SetColor(clNavy);
        c.Ellipse(5, 5, 100, 80);
        c.Font().SetSize(10);
        c.TextOut(20, 30, QStringLiteral("Sheet"));
        c.MoveTo(0, 89);
        c.LineTo(119, 0);
    }
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        TKpCustomPage cached, direct;
        for (TKpCustomPage* p : {&cached, &direct}) {
            p->resize(2 * 12 + 150 + 3, 2 * 12 + 100 + 3);
            p->SetGutter(12);
            p->SetMetafile(&mf, false);
        }
        direct.SetMaxCachePixels(0);
        const QImage a = renderWidget(cached, ratio);
        const QImage again = renderWidget(cached, ratio); // from the rendered copy
        const QImage b = renderWidget(direct, ratio);
        EXPECT_EQ(a, b) << "ratio " << ratio;
        EXPECT_EQ(again, b) << "ratio " << ratio;
    }
}

TEST(DisplayPaint, RebuiltPictureIsShownWithoutANewSetMetafile) {
    TKpMetafile mf;
    recordRect(mf, 100, 100, QRect(0, 0, 50, 100), clRed);
    TKpCustomPage page;
    page.resize(2 * 10 + 100 + 3, 2 * 10 + 100 + 3);
    page.SetGutter(10);
    page.SetMetafile(&mf, false);
    QImage img = renderWidget(page);
    EXPECT_EQ(rgbAt(img, 30, 50), 0xFF0000u);
    EXPECT_TRUE(isWhite(img, 80, 50));
    // The page rebuilds its picture in place (a fresh recording on the same metafile).
    recordRect(mf, 100, 100, QRect(50, 0, 50, 100), clBlue);
    img = renderWidget(page);
    EXPECT_TRUE(isWhite(img, 30, 50));
    EXPECT_EQ(rgbAt(img, 80, 50), 0x0000FFu);
}
