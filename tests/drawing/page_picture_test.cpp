// The page picture is drawn from the page's objects whenever it is played: pixel for pixel
// what its recording plays, recorded only when asked for, showing what the last rebuild fixed.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"

#include "image_helpers.h"
#include "object_builders.h"

using namespace kp;

namespace {

using testimg::inkCount;
using testimg::whiteImage;

QImage play(const TKpMetafile& picture, QSize size, int dpi = 96) {
    QImage img = whiteImage(size.width(), size.height(), dpi);
    QPainter painter(&img);
    TKpDeviceCanvas canvas(&painter, dpi, dpi);
    canvas.PlayMetafile(picture, img.rect());
    return img;
}

// A page with something of every kind: texts (one turned, one on a solid cell), wrapped and
// centred boxes, figures with pens of several widths, a dashed line and a polygon.
struct Page {
    TKpDocument preview;
    TKpPage* page = preview.GetPage(1);

    Page() {
        page->Width = 210 / 25.4L;
        page->Height = 297 / 25.4L;
        TKpCanvas& c = preview.Canvas();
        c.Font().SetName(QStringLiteral("Arial"));
        c.Font().SetSize(11);
        c.Brush().SetStyle(bsClear);
        c.TextOut(15, 12, QStringLiteral("Invoice 2042, page {PAGE} of {NUMPAGES}"), kpMillimeters);
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clYellow);
        c.TextOut(15, 22, QStringLiteral("Opaque cell"), kpMillimeters);
        c.Font().SetEscapement(300);
        c.TextOut(120, 60, QStringLiteral("Turned"), kpMillimeters);
        c.Font().SetEscapement(0);
        c.Font().SetStyle(FontStyleBit(fsUnderline) | FontStyleBit(fsBold));
        c.TextOut(15, 70, QStringLiteral("Underlined"), kpMillimeters);
        c.Font().SetStyle(0);
        c.Font().SetSize(7);
        c.Brush().SetStyle(bsClear);
        c.TextBox(15, 30, 90, 50,
                  QStringLiteral("Delivered in two parts; the balance follows with the next "
                                 "invoice run, terms as agreed."),
                  taCenter, true, kpMillimeters);
        c.Pen().SetWidth(8);
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clSilver);
        c.Rectangle(100, 30, 150, 50, kpMillimeters);
        c.Ellipse(155, 30, 195, 70, kpMillimeters);
        c.Pen().SetStyle(psDash);
        c.Pen().SetWidth(1);
        c.Line(15, 80, 195, 83, kpMillimeters);
        c.Pen().SetStyle(psSolid);
        c.Brush().SetColor(clNavy);
        c.Polygon({{20, 100}, {60, 90}, {80, 130}, {30, 120}}, kpMillimeters);
        page->UpdateMetafile();
    }
};

} // namespace

// Drawn straight onto the target or played from its recording, the picture gives the same
// pixels: at its own size, shrunk to a thumbnail, stretched, and at a printer's resolution.
TEST(PagePicture, DrawnStraightMatchesItsRecordingPixelForPixel) {
    Page p;
    p.preview.Margins().SetClipMargins(true);
    p.preview.Header().SetCaptionCenter(QStringLiteral("Header {PAGE}"));
    p.preview.Header().SetVisible(true);
    p.page->UpdateMetafile();
    const TKpMetafile& picture = p.page->Metafile();
    ASSERT_EQ(picture.Source() != nullptr, true);
    const TKpMetafile recording(picture); // a copy is a recording
    ASSERT_EQ(recording.Source(), nullptr);
    ASSERT_TRUE(recording.Recorded());
    const struct {
        QSize size;
        int dpi;
    } cases[] = {{{794, 1123}, 96}, {{52, 74}, 96}, {{1588, 2246}, 96}, {{300, 424}, 300}};
    for (const auto& c : cases) {
        const QImage direct = play(picture, c.size, c.dpi);
        const QImage played = play(recording, c.size, c.dpi);
        EXPECT_GT(inkCount(direct), 0) << c.size.width();
        EXPECT_TRUE(direct == played) << c.size.width() << " x " << c.size.height();
    }
}

// A rebuild records nothing: the recording is made when someone asks for it, and the
// picture of an empty page holds no heap block.
TEST(PagePicture, RecordedOnlyWhenAskedFor) {
    Page p;
    EXPECT_FALSE(p.page->Metafile().Recorded());
    EXPECT_FALSE(p.page->Metafile().Empty());
    const QImage shown = play(p.page->Metafile(), {794, 1123});
    EXPECT_FALSE(p.page->Metafile().Recorded());
    const QPicture& recording = std::as_const(p.page->Metafile()).Picture();
    EXPECT_TRUE(p.page->Metafile().Recorded());
    EXPECT_GT(recording.size(), 0u);
    EXPECT_EQ(recording.boundingRect(), QRect(0, 0, 794, 1123));
    // Still drawn from the page: asking for the recording changed nothing on screen.
    EXPECT_NE(p.page->Metafile().Source(), nullptr);
    EXPECT_TRUE(play(p.page->Metafile(), {794, 1123}) == shown);

    TKpPage* empty = p.preview.NewPage();
    EXPECT_FALSE(empty->Metafile().Recorded());
    EXPECT_EQ(empty->Count(), 0);
    // An empty page is the page object alone: no picture, list or other block of its own.
    EXPECT_LE(sizeof(TKpPage), 96u);
}

// Writing into the recording makes it the picture's content; the next rebuild draws the
// objects again.
TEST(PagePicture, WritingIntoTheRecordingReplacesTheObjectsUntilTheNextRebuild) {
    Page p;
    TKpMetafile& mf = p.page->Metafile();
    {
        QPainter painter(&mf.Picture());
        painter.fillRect(QRect(0, 0, mf.Width(), mf.Height()), Qt::black);
    }
    EXPECT_EQ(mf.Source(), nullptr);
    EXPECT_EQ(play(mf, {100, 100}).pixel(50, 50), testimg::kBlack);
    p.page->UpdateMetafile();
    EXPECT_EQ(play(mf, {100, 100}).pixel(50, 50), testimg::kWhite);
}

// The picture shows what the last rebuild fixed: objects added later wait for the next one,
// and objects cleared away are never played.
TEST(PagePicture, ShowsTheObjectsOfTheLastRebuild) {
    TKpDocument preview;
    TKpPage* page = preview.GetPage(1);
    page->Width = 2;
    page->Height = 2;
    kptest::AddRect(page, 0, 0, 2540, 2540, clBlack, clBlack);
    page->UpdateMetafile();
    const QSize size(192, 192);
    EXPECT_EQ(inkCount(play(page->Metafile(), size)), 96 * 96);
    kptest::AddRect(page, 2540, 2540, 5080, 5080, clBlack, clBlack);
    EXPECT_EQ(inkCount(play(page->Metafile(), size)), 96 * 96);
    page->UpdateMetafile();
    EXPECT_EQ(inkCount(play(page->Metafile(), size)), 2 * 96 * 96);
    page->Clear();
    EXPECT_EQ(inkCount(play(page->Metafile(), size)), 0);
    EXPECT_FALSE(page->Metafile().Empty());
}
