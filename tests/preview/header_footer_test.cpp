// Header and footer: captions and fonts, tokens, the largest font, band height, where the
// two Draw algorithms put captions and rule lines, scaled captions, and notifications.
#include <gtest/gtest.h>

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include "display_fixture.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "message_log.h"
#include "platform/KpDeviceCanvas.h"
#include "preview/KpFieldAccess.h"
#include "printing/KpPrinter.h"

using namespace kp;

namespace {

constexpr int kW = 794, kH = 1123; // A4 at 96 pixels per inch

// The cell height (ascent + descent) of an Arial face of the given pixel size.
int cellHeight(int pixelSize) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetrics fm(f);
    return fm.ascent() + fm.descent();
}

struct Surface {
    QImage image{kW, kH, QImage::Format_RGB32};
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<TKpDeviceCanvas> canvas;
    explicit Surface(int w = kW, int h = kH) : image(w, h, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter = std::make_unique<QPainter>(&image);
        canvas = std::make_unique<TKpDeviceCanvas>(painter.get(), 96, 96);
    }
    QImage done() {
        canvas.reset();
        painter->end();
        return image;
    }
};

// Bounding box of the non-white pixels inside an area.
QRect ink(const QImage& img, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!isWhite(img, x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

bool rowIsBlackBetween(const QImage& img, int y, int x1, int x2) {
    for (int x = x1; x < x2; ++x)
        if (!isBlack(img, x, y)) return false;
    return true;
}

} // namespace

TEST(HeaderFooter, NewBandsAreHiddenWithALineAndEmptyTwelvePointArialCaptions) {
    TKpPreview preview;
    for (TKpHeaderFooter* band : {static_cast<TKpHeaderFooter*>(&preview.Header()),
                                  static_cast<TKpHeaderFooter*>(&preview.Footer())}) {
        EXPECT_FALSE(band->Visible());
        EXPECT_TRUE(band->ShowLine());
        EXPECT_EQ(band->Drawing(), 0);
        for (TKpFont* f :
             {&band->CaptionLeftFont(), &band->CaptionCenterFont(), &band->CaptionRightFont()}) {
            EXPECT_EQ(f->Size(), 12);
            EXPECT_EQ(f->Name(), QStringLiteral("Arial"));
        }
        EXPECT_TRUE(band->CaptionLeft().isEmpty());
        EXPECT_TRUE(band->CaptionCenter().isEmpty());
        EXPECT_TRUE(band->CaptionRight().isEmpty());
        EXPECT_EQ(band->Pen().Color(), clBlack);
        EXPECT_EQ(band->Pen().Width(), 1);
        EXPECT_EQ(band->Pen().Style(), psSolid);
    }
}

TEST(HeaderFooter, SubstituteTokens) {
    PreviewHost host;
    for (int i = 0; i < 4; ++i)
        host.preview->NewPage();
    ASSERT_EQ(host.preview->NumPages(), 5);
    EXPECT_EQ(host.preview->SubstituteTokens(QStringLiteral("Page {PAGE} of {NUMPAGES}"), 2),
              QStringLiteral("Page 2 of 5"));
    EXPECT_EQ(host.preview->SubstituteTokens(QStringLiteral("{PAGE}-{PAGE}"), 3),
              QStringLiteral("3-3"));
    EXPECT_EQ(host.preview->SubstituteTokens(QStringLiteral("{page} {Page}"), 3),
              QStringLiteral("{page} {Page}"));
    const QDate today = QDate::currentDate();
    const QString date = host.preview->SubstituteTokens(QStringLiteral("{DATE}"), 1);
    const QString expected = QStringLiteral("%1-%2-%3")
                                 .arg(today.day(), 2, 10, QLatin1Char('0'))
                                 .arg(QLocale().monthName(today.month(), QLocale::ShortFormat))
                                 .arg(today.year());
    // Midnight could pass between the two reads; accept the next day's text too.
    if (date != expected)
        EXPECT_EQ(QDate::currentDate(), today.addDays(1));
    else
        EXPECT_EQ(date, expected);
    const QString time = host.preview->SubstituteTokens(QStringLiteral("{TIME}"), 1);
    ASSERT_EQ(time.size(), 5);
    EXPECT_EQ(time[2], QLatin1Char(':'));
    EXPECT_TRUE(time[0].isDigit() && time[1].isDigit() && time[3].isDigit() && time[4].isDigit());
}

TEST(HeaderFooter, LargestFontAndTies) {
    TKpPreview preview;
    TKpHeader& h = preview.Header();
    h.CaptionLeftFont().SetSize(12);
    h.CaptionCenterFont().SetSize(16);
    h.CaptionRightFont().SetSize(12);
    EXPECT_EQ(&h.LargestFont(), &h.CaptionCenterFont());
    h.CaptionRightFont().SetSize(16); // tie between centre and right: centre wins
    EXPECT_EQ(&h.LargestFont(), &h.CaptionCenterFont());
    h.CaptionLeftFont().SetSize(16); // three-way tie: left wins
    EXPECT_EQ(&h.LargestFont(), &h.CaptionLeftFont());
    h.CaptionRightFont().SetSize(20);
    EXPECT_EQ(&h.LargestFont(), &h.CaptionRightFont());
}

TEST(HeaderFooter, BandHeightIsCellHeightPlusTwoPixels) {
    TKpPreview preview;
    TKpHeader& h = preview.Header();
    EXPECT_EQ(h.BandHeight().value, 0);
    h.SetVisible(true);
    const int cell = cellHeight(16); // 12 points at 96 pixels per inch
    ASSERT_GE(cell, 17);
    ASSERT_LE(cell, 20);
    EXPECT_EQ(h.BandHeight().value, kp::RoundInt((cell + 2) * 2540.0L / 96));
    // The largest caption font decides: 24 points = 32 pixels.
    h.CaptionRightFont().SetSize(24);
    EXPECT_EQ(h.BandHeight().value, kp::RoundInt((cellHeight(32) + 2) * 2540.0L / 96));
    // The same value object is returned each time.
    EXPECT_EQ(&h.BandHeight(), &h.BandHeight());
    h.SetVisible(false);
    EXPECT_EQ(h.BandHeight().value, 0);
}

TEST(HeaderFooter, HeaderRuleLiesAtTopPlusBandHeight) {
    PreviewHost host;
    TKpHeader& h = host.preview->Header();
    h.SetVisible(true);
    Surface s;
    h.Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
    const QImage img = s.done();
    const int band = h.BandHeight().AsPixels(96);
    const int y = 76 + band; // px(Top) = Round(2000 / 2540 x 96) = 76
    // The line runs from X1 = px(Left) = 57 to X2 = 794 - 57 = 737 (end point not painted).
    EXPECT_TRUE(rowIsBlackBetween(img, y, 57, 737));
    EXPECT_TRUE(isWhite(img, 56, y));
    EXPECT_TRUE(isWhite(img, 737, y));
    EXPECT_TRUE(isWhite(img, 300, y - 1));
    EXPECT_TRUE(isWhite(img, 300, y + 1));
    EXPECT_EQ(h.Drawing(), 0);
}

TEST(HeaderFooter, FooterRuleLiesAtHeightMinusBandAndBottom) {
    PreviewHost host;
    TKpFooter& f = host.preview->Footer();
    f.SetVisible(true);
    Surface s;
    f.Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
    const QImage img = s.done();
    const int band = f.BandHeight().AsPixels(96);
    const int y = kH - (band + 94); // px(Bottom) = Round(2500 / 2540 x 96) = 94
    EXPECT_TRUE(rowIsBlackBetween(img, y, 57, 737));
    EXPECT_TRUE(isWhite(img, 300, y - 1));
    EXPECT_TRUE(isWhite(img, 300, y + 1));
}

TEST(HeaderFooter, NoLineWhenShowLineIsOffAndPenIsUsed) {
    PreviewHost host;
    TKpHeader& h = host.preview->Header();
    h.SetVisible(true);
    h.SetShowLine(false);
    Surface s;
    h.Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
    QImage img = s.done();
    EXPECT_TRUE(ink(img, img.rect()).isNull());
    h.SetShowLine(true);
    h.Pen().SetColor(clRed);
    h.Pen().SetWidth(1);
    Surface s2;
    h.Draw(*s2.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
    img = s2.done();
    EXPECT_EQ(rgbAt(img, 300, 76 + h.BandHeight().AsPixels(96)), 0xFF0000u);
}

TEST(HeaderFooter, CaptionsStandOnTheHeaderLineAndAlign) {
    PreviewHost host;
    for (int i = 0; i < 4; ++i)
        host.preview->NewPage();
    TKpHeader& h = host.preview->Header();
    h.SetVisible(true);
    h.SetShowLine(false);
    h.SetCaptionLeft(QStringLiteral("Left"));
    h.SetCaptionCenter(QStringLiteral("Middle"));
    h.SetCaptionRight(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    Surface s;
    h.Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 2, 1.0L);
    const QImage img = s.done();

    // The same texts written directly at the expected spots give the same picture.
    Surface ref;
    TKpDeviceCanvas& c = *ref.canvas;
    c.Font().Assign(h.CaptionLeftFont());
    c.Brush().SetStyle(bsClear);
    const int y2 = 76 + h.BandHeight().AsPixels(96);
    const int th = c.TextHeight(QStringLiteral("Left"));
    c.TextOut(57, y2 - th, QStringLiteral("Left"));
    const int mid = (737 + 57) / 2;
    c.TextOut(mid - c.TextWidth(QStringLiteral("Middle")) / 2, y2 - th, QStringLiteral("Middle"));
    const QString right = QStringLiteral("Page 2 of 5");
    c.TextOut(737 - c.TextWidth(right), y2 - th, right);
    const QImage expected = ref.done();
    EXPECT_EQ(img, expected);
    // And something was drawn, ending near the right margin.
    const QRect box = ink(img, QRect(0, 0, kW, 200));
    ASSERT_FALSE(box.isNull());
    EXPECT_LE(box.right(), 736);
    EXPECT_GE(box.right(), 730);
    EXPECT_GE(box.left(), 57);
    EXPECT_LE(box.bottom(), y2);
}

TEST(HeaderFooter, CaptionsShrinkWithTheScaleAndAlignOnTheDrawnWidth) {
    PreviewHost host;
    for (TKpHeaderFooter* band : {static_cast<TKpHeaderFooter*>(&host.preview->Header()),
                                  static_cast<TKpHeaderFooter*>(&host.preview->Footer())}) {
        band->SetVisible(true);
        band->SetShowLine(false);
        band->CaptionRightFont().SetSize(24);
        band->SetCaptionRight(QStringLiteral("WWWWWWWW"));
        // At scale 1 and scale 0.5 on a page rectangle twice as large at 0.5: the caption
        // ends at the right margin both times and is half as tall.
        Surface full;
        band->Draw(*full.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
        const QImage a = full.done();
        Surface half;
        band->Draw(*half.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 0.5L);
        const QImage b = half.done();
        const QRect inkA = ink(a, a.rect()), inkB = ink(b, b.rect());
        ASSERT_FALSE(inkA.isNull());
        ASSERT_FALSE(inkB.isNull());
        // X2 = 737 at scale 1; 794 - Round(57 x 0.5) = 794 - 28 = 766 at scale 0.5.
        EXPECT_NEAR(inkA.right(), 736, 4);
        EXPECT_NEAR(inkB.right(), 765, 4);
        EXPECT_NEAR(inkB.width() * 2, inkA.width(), 6);
        EXPECT_NEAR(inkB.height() * 2, inkA.height(), 4);
    }
}

TEST(HeaderFooter, FooterCaptionsHangFromTheBandTop) {
    PreviewHost host;
    TKpFooter& f = host.preview->Footer();
    f.SetVisible(true);
    f.SetShowLine(false);
    f.SetCaptionCenter(QStringLiteral("Footer"));
    Surface s;
    f.Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
    const QImage img = s.done();
    const int y1 = kH - (f.BandHeight().AsPixels(96) + 94);
    const QRect box = ink(img, img.rect());
    ASSERT_FALSE(box.isNull());
    EXPECT_GE(box.top(), y1);
    EXPECT_LE(box.bottom(), y1 + cellHeight(16));
    EXPECT_NEAR((box.left() + box.right()) / 2, (57 + 737) / 2, 3);
}

TEST(HeaderFooter, PageRectangleOffsetMovesTheBand) {
    PreviewHost host;
    TKpHeader& h = host.preview->Header();
    h.SetVisible(true);
    Surface s(kW + 100, kH + 100);
    h.Draw(*s.canvas, host.preview->Margins(), QRect(40, 30, kW, kH), 1, 1.0L);
    const QImage img = s.done();
    const int y = 30 + 76 + h.BandHeight().AsPixels(96);
    EXPECT_TRUE(rowIsBlackBetween(img, y, 40 + 57, 40 + 737));
    EXPECT_TRUE(isWhite(img, 40 + 56, y));
}

TEST(HeaderFooter, DrawLeavesTheTargetBrushStyle) {
    PreviewHost host;
    host.preview->Header().SetVisible(true);
    Surface s;
    s.canvas->Brush().SetStyle(bsSolid);
    host.preview->Header().Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1);
    EXPECT_EQ(s.canvas->Brush().Style(), bsSolid);
    s.done();
}

TEST(HeaderFooter, ChangesRefreshTheDisplayOnceAndAreSilentWithoutAutoRefresh) {
    PreviewHost host;
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    host.preview->Header().SetCaptionLeft(QStringLiteral("Title"));
    EXPECT_EQ(log.count(KPM_REFRESH), 1);
    EXPECT_EQ(log.count(KPM_PAGEREBUILT), 1);
    EXPECT_EQ(log.count(KPM_DISPLAYUPDATED), 1);
    log.entries.clear();
    host.preview->Footer().CaptionCenterFont().SetSize(20);
    host.preview->Footer().Pen().SetColor(clRed);
    host.preview->Footer().SetVisible(false); // unchanged, still notifies
    host.preview->Footer().SetShowLine(true);
    EXPECT_EQ(log.count(KPM_REFRESH), 4);
    log.entries.clear();
    host.preview->AutoRefresh = false;
    host.preview->Header().SetCaptionRight(QStringLiteral("x"));
    EXPECT_TRUE(log.entries.empty());
}

TEST(HeaderFooter, VisibleHeaderIsInThePagePicture) {
    PreviewHost host;
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    host.preview->Header().SetVisible(true); // refreshes: the picture now holds the rule
    TKpMetafile& mf = host.preview->GetPage(1)->Metafile();
    QImage img(mf.Width(), mf.Height(), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        TKpDeviceCanvas c(&p, 96, 96);
        c.PlayMetafile(mf, img.rect());
    }
    const int y = 76 + host.preview->Header().BandHeight().AsPixels(96);
    EXPECT_TRUE(rowIsBlackBetween(img, y, 57, 737));
    // No notification escaped while the band was drawing into the picture.
    EXPECT_EQ(log.count(KPM_REFRESH), 1);
}

TEST(HeaderFooter, AssignCopiesCaptionsFontsPenAndFlags) {
    TKpPreview a, b;
    b.Header().SetCaptionLeft(QStringLiteral("L"));
    b.Header().SetCaptionCenter(QStringLiteral("C"));
    b.Header().SetCaptionRight(QStringLiteral("R"));
    b.Header().CaptionCenterFont().SetSize(18);
    b.Header().CaptionRightFont().SetName(QStringLiteral("Times New Roman"));
    b.Header().Pen().SetColor(clBlue);
    b.Header().SetShowLine(false);
    b.Header().SetVisible(true);
    a.Header().Assign(b.Header());
    EXPECT_EQ(a.Header().CaptionLeft(), QStringLiteral("L"));
    EXPECT_EQ(a.Header().CaptionCenter(), QStringLiteral("C"));
    EXPECT_EQ(a.Header().CaptionRight(), QStringLiteral("R"));
    EXPECT_EQ(a.Header().CaptionCenterFont().Size(), 18);
    EXPECT_EQ(a.Header().CaptionRightFont().Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(a.Header().Pen().Color(), clBlue);
    EXPECT_FALSE(a.Header().ShowLine());
    EXPECT_TRUE(a.Header().Visible());
}

TEST(HeaderFooter, MonochromePrintingGreysCaptionAndLine) {
    PreviewHost host;
    TKpHeader& h = host.preview->Header();
    h.SetVisible(true);
    h.Pen().SetColor(clRed);
    h.CaptionLeftFont().SetColor(clRed);
    h.SetCaptionLeft(QStringLiteral("MMMM"));
    const int y = 76 + h.BandHeight().AsPixels(96);
    auto draw = [&] {
        Surface s;
        h.Draw(*s.canvas, host.preview->Margins(), QRect(0, 0, kW, kH), 1, 1.0L);
        return s.done();
    };
    // Printing in colour, or monochrome without a job running: red stays red.
    SetCurrentPrintColor(kpMonochrome);
    EXPECT_EQ(rgbAt(draw(), 300, y), 0xFF0000u);
    TKpFieldAccess::SetPrinting(host.preview->KpPrinter(), true);
    SetCurrentPrintColor(kpColor);
    EXPECT_EQ(rgbAt(draw(), 300, y), 0xFF0000u);
    // Monochrome job: grey = Round(0.3 x 255) = Round(76.5) = 76.
    SetCurrentPrintColor(kpMonochrome);
    const QImage img = draw();
    TKpFieldAccess::SetPrinting(host.preview->KpPrinter(), false);
    SetCurrentPrintColor(kpColor);
    EXPECT_EQ(rgbAt(img, 300, y), 0x4C4C4Cu);
    // The caption's ink is grey too: no pixel with more red than green.
    const QRect box = ink(img, QRect(0, 0, kW, y));
    ASSERT_FALSE(box.isNull());
    for (int yy = box.top(); yy <= box.bottom(); ++yy)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb c = img.pixel(x, yy);
            EXPECT_EQ(qRed(c), qGreen(c));
        }
    // The caption font itself is untouched.
    EXPECT_EQ(h.CaptionLeftFont().Color(), clRed);
}
