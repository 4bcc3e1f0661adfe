// TKpRtfPreview: the page loop, the text rectangle, the new-page event, faults of the engine,
// and text that stays text on the way to PDF.
#include <gtest/gtest.h>

#include <stdexcept>

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtMath>

#include "content/KpRtfPreview.h"
#include "drawing/KpMargins.h"
#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "drawing/KpUnits.h"
#include "image_helpers.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpGraphics.h"
#include "platform/KpPicture.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"
#include "richtext/KpRichEdit.h"

using namespace kp;

namespace {

// Answers render calls from a list (the last answer repeats) and records what it was asked.
struct ScriptedEngine : TKpRichTextEngine {
    int length = 0;
    std::vector<int> answers{0};
    int throwOnRender = 0; // 1-based render call that fails; 0: none
    int renders = 0, frees = 0;
    std::vector<TKpFormatRange> calls;

    int TextLength() const override { return length; }
    int FormatRange(bool render, TKpFormatRange* r) override {
        if (!r) {
            ++frees;
            return 0;
        }
        if (render) ++renders;
        calls.push_back(*r);
        if (renders == throwOnRender) throw std::runtime_error("render failed");
        r->rc.bottom = r->rc.top + 1; // engines move it; the loop restores it
        return answers[std::min<std::size_t>(calls.size() - 1, answers.size() - 1)];
    }
};

// Counts the render calls a real engine gets.
struct CountingEngine : TKpRichTextEngine {
    TKpRichTextEngine& inner;
    int renders = 0;
    explicit CountingEngine(TKpRichTextEngine& e) : inner(e) {}
    int TextLength() const override { return inner.TextLength(); }
    int FormatRange(bool render, TKpFormatRange* r) override {
        if (r && render) ++renders;
        return inner.FormatRange(render, r);
    }
};

class RtfPreview : public ::testing::Test {
protected:
    QWidget host;
    TKpPreview preview{&host};
    TKpRtfPreview rtf;
    TKpRichEdit edit;
    void SetUp() override {
        rtf.SetPreview(&preview);
        rtf.TopMargin().SetMillimeters(40);
        rtf.BottomMargin().SetMillimeters(40);
        edit.SetPlainText(true);
        edit.SetTextFont(QFont(QStringLiteral("Liberation Serif"), 12));
    }
    void LoadText(const QString& text) { ASSERT_TRUE(edit.LoadFromData(text.toUtf8())); }
    static QString Lines(int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QStringLiteral("Line %1 of the text\n").arg(i);
        return s;
    }
};

TEST(RtfPreviewComponent, DefaultsAndAbout) {
    TKpRtfPreview rtf;
    EXPECT_EQ(rtf.About(), QStringLiteral("TKpRtfPreview v2.42"));
    rtf.SetAbout(QStringLiteral("other"));
    EXPECT_EQ(rtf.About(), QStringLiteral("TKpRtfPreview v2.42"));
    EXPECT_EQ(rtf.Preview(), nullptr);
    EXPECT_EQ(rtf.TopMargin().value, 3000);
    EXPECT_EQ(rtf.BottomMargin().value, 3000);
    EXPECT_EQ(rtf.TextFileFont().Name(), QStringLiteral("Arial"));
    EXPECT_EQ(rtf.TextFileFont().Size(), 12);
    TKpFont font;
    font.SetName(QStringLiteral("Courier New"));
    font.SetSize(9);
    rtf.SetTextFileFont(font);
    EXPECT_EQ(rtf.TextFileFont().Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(rtf.TextFileFont().Size(), 9);
}

TEST(RtfPreviewComponent, PreviewReferenceEmptiesWhenThePreviewGoes) {
    TKpRtfPreview rtf;
    ScriptedEngine engine;
    {
        QWidget host;
        auto* preview = new TKpPreview(&host);
        rtf.SetPreview(preview);
        EXPECT_EQ(rtf.Preview(), preview);
    }
    EXPECT_EQ(rtf.Preview(), nullptr);
    rtf.PrintRichEdit(engine); // no preview: nothing happens
    EXPECT_EQ(engine.renders + engine.frees, 0);
}

// A4, preview margins 15 mm at the sides: 57 px = 855 twips from the left, 737 px = 11055
// twips to the right edge; 40 mm = 151 px = 2265 twips; 297 - 40 mm = 971 px = 14565 twips.
TEST_F(RtfPreview, TextRectangleIs180By217MillimetresOnA4) {
    const TKpTwipsRect r = rtf.TextRect(96, 96);
    EXPECT_EQ(r, (TKpTwipsRect{855, 2265, 11055, 14565}));
    EXPECT_NEAR(r.Width() / 1440.0 * 25.4, 180, 0.5);
    EXPECT_NEAR(r.Height() / 1440.0 * 25.4, 217, 0.5);
    // Other surfaces take the lengths in whole twips: 15 mm, 40 mm, 195 mm and 257 mm.
    EXPECT_EQ(rtf.TextRect(120, 144), (TKpTwipsRect{850, 2268, 11055, 14570}));
}

TEST_F(RtfPreview, TextRectangleFollowsLeftAndRightMarginsOnly) {
    const TKpTwipsRect before = rtf.TextRect(96, 96);
    preview.Margins().Top().SetMillimeters(60);
    preview.Margins().Bottom().SetMillimeters(5);
    EXPECT_EQ(rtf.TextRect(96, 96), before);
    preview.Margins().Left().SetMillimeters(25.4);
    preview.Margins().Right().SetMillimeters(0);
    const TKpTwipsRect after = rtf.TextRect(96, 96);
    EXPECT_EQ(after.left, 1440);
    EXPECT_EQ(after.right, 794 * 15);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom, before.bottom);
}

// Each page holds exactly one picture object of the whole page at its top-left corner.
void ExpectOnePicturePerPage(TKpPreview& preview) {
    for (int i = 1; i <= preview.NumPages(); ++i) {
        TKpPage* page = preview.GetPage(i);
        ASSERT_EQ(page->Count(), 1) << i;
        auto* g = dynamic_cast<TKpGraphicObject*>(page->Objects(0));
        ASSERT_NE(g, nullptr) << i;
        EXPECT_EQ(g->X1, 0);
        EXPECT_EQ(g->Y1, 0);
        EXPECT_NEAR(g->X2, 21000, 30);
        EXPECT_NEAR(g->Y2, 29700, 30);
    }
}

struct TextCase {
    const char* name;
    int lines;
    int minPages, maxPages;
};

class RtfPreviewTexts : public RtfPreview, public ::testing::WithParamInterface<TextCase> {};

TEST_P(RtfPreviewTexts, OnePagePerRenderCall) {
    LoadText(Lines(GetParam().lines));
    CountingEngine engine(edit);
    rtf.PrintRichEdit(engine);
    EXPECT_GE(preview.NumPages(), GetParam().minPages);
    EXPECT_LE(preview.NumPages(), GetParam().maxPages);
    EXPECT_EQ(preview.NumPages(), engine.renders);
    ExpectOnePicturePerPage(preview);
    EXPECT_TRUE(preview.AutoRefresh);
}

// 12 pt lines of about 0.19 inch: some 45 to a 217 mm page.
INSTANTIATE_TEST_SUITE_P(Texts, RtfPreviewTexts,
                         ::testing::Values(TextCase{"empty", 0, 1, 1}, TextCase{"fits", 20, 1, 1},
                                           TextCase{"long", 200, 4, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RtfPreview, EmptyControlGivesOneEmptyPicture) {
    rtf.PrintRichEdit(edit);
    ASSERT_EQ(preview.NumPages(), 1);
    auto* g = dynamic_cast<TKpGraphicObject*>(preview.GetPage(1)->Objects(0));
    ASSERT_NE(g, nullptr);
    ASSERT_NE(g->Picture, nullptr);
    QImage img = testimg::whiteImage(794, 1123);
    {
        QPainter p(&img);
        TKpDeviceCanvas canvas(&p, 96, 96);
        canvas.PlayMetafile(*g->Picture, img.rect());
    }
    EXPECT_EQ(testimg::inkCount(img), 0);
}

TEST_F(RtfPreview, PicturesHoldThePageTextInsideTheTextRectangle) {
    LoadText(Lines(100));
    rtf.PrintRichEdit(edit);
    ASSERT_GE(preview.NumPages(), 2);
    const QRect text(57, 151, 680, 820);
    for (int i : {1, 2}) {
        auto* g = dynamic_cast<TKpGraphicObject*>(preview.GetPage(i)->Objects(0));
        QImage img = testimg::whiteImage(794, 1123);
        {
            QPainter p(&img);
            TKpDeviceCanvas canvas(&p, 96, 96);
            canvas.PlayMetafile(*g->Picture, img.rect());
        }
        const QRect ink = testimg::inkBounds(img);
        EXPECT_TRUE(text.contains(ink)) << i;
        EXPECT_LT(ink.top() - text.top(), 8) << i;
        EXPECT_GT(ink.bottom(), text.bottom() - 40) << "page " << i << " is full";
    }
}

// At every screen resolution the text sits where the margins put it and no line is cut off
// at the paper's edge.
class RtfPreviewScreens : public RtfPreview, public ::testing::WithParamInterface<int> {
protected:
    void TearDown() override { kp::SetScreenPixelsPerInchOverride(96); }
};

TEST_P(RtfPreviewScreens, TextRectangleAndInkStayInsideTheMargins) {
    const int dpi = GetParam();
    kp::SetScreenPixelsPerInchOverride(dpi);
    const TKpTwipsRect r = rtf.TextRect(dpi, dpi);
    const double mm[4] = {15, 40, 195, 257};
    const int twips[4] = {r.left, r.top, r.right, r.bottom};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(twips[i] / 1440.0 * 25.4, mm[i], 0.1) << dpi << " dpi, edge " << i;
    LoadText(Lines(200));
    CountingEngine engine(edit);
    rtf.PrintRichEdit(engine);
    EXPECT_GE(preview.NumPages(), 4);
    EXPECT_LE(preview.NumPages(), 5);
    const double px = dpi / 25.4;
    const QRect text(qFloor(15 * px), qFloor(40 * px), qCeil(180 * px), qCeil(217 * px));
    for (int i = 1; i <= preview.NumPages(); ++i) {
        auto* g = dynamic_cast<TKpGraphicObject*>(preview.GetPage(i)->Objects(0));
        ASSERT_NE(g, nullptr);
        QImage img = testimg::whiteImage(g->Picture->Width(), g->Picture->Height());
        {
            QPainter p(&img);
            TKpDeviceCanvas canvas(&p, dpi, dpi);
            canvas.PlayMetafile(*g->Picture, img.rect());
        }
        const QRect ink = testimg::inkBounds(img);
        EXPECT_TRUE(text.adjusted(-1, -1, 1, 1).contains(ink)) << dpi << " dpi, page " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, RtfPreviewScreens, ::testing::Values(72, 96, 120, 144));

TEST_F(RtfPreview, NewPageEventMovesTheNextPagesRectangle) {
    ScriptedEngine engine;
    engine.length = 30;
    engine.answers = {10, 20, 30};
    std::vector<int> pagesAtEvent;
    rtf.OnNewPage = [&](void* sender, TKpValue& top, TKpValue& bottom) {
        EXPECT_EQ(sender, &rtf);
        pagesAtEvent.push_back(preview.NumPages());
        top.SetMillimeters(50);
        bottom.SetMillimeters(20);
    };
    rtf.PrintRichEdit(engine);
    EXPECT_EQ(preview.NumPages(), 3);
    EXPECT_EQ(pagesAtEvent, (std::vector<int>{2, 3}));
    ASSERT_EQ(engine.calls.size(), 3u);
    const int starts[] = {0, 10, 20};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(engine.calls[i].cpMin, starts[i]);
        EXPECT_EQ(engine.calls[i].cpMax, -1);
        EXPECT_EQ(engine.calls[i].rc, engine.calls[i].rcPage);
    }
    EXPECT_EQ(engine.calls[0].rc.top, 2265);
    EXPECT_EQ(engine.calls[1].rc.top, 189 * 15);            // 50 mm
    EXPECT_EQ(engine.calls[2].rc.bottom, (1123 - 76) * 15); // 297 - 20 mm
    EXPECT_EQ(engine.frees, 2);                             // before the loop and after it
}

struct StallCase {
    const char* name;
    std::vector<int> answers;
    int length;
    int pages;
};

class RtfPreviewStalls : public RtfPreview, public ::testing::WithParamInterface<StallCase> {};

// An engine that stops moving, goes back or reports -1 ends the loop instead of adding pages.
TEST_P(RtfPreviewStalls, LoopEnds) {
    ScriptedEngine engine;
    engine.length = GetParam().length;
    engine.answers = GetParam().answers;
    rtf.PrintRichEdit(engine);
    EXPECT_EQ(preview.NumPages(), GetParam().pages);
    ExpectOnePicturePerPage(preview);
}

INSTANTIATE_TEST_SUITE_P(Stalls, RtfPreviewStalls,
                         ::testing::Values(StallCase{"stuck_at_start", {0}, 10, 1},
                                           StallCase{"stuck_later", {5}, 10, 2},
                                           StallCase{"backwards", {6, 3}, 10, 2},
                                           StallCase{"minus_one", {4, -1}, 10, 2},
                                           StallCase{"beyond_the_length", {40}, 10, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RtfPreview, FailingRenderFreesTheCacheAndKeepsThePagesSoFar) {
    ScriptedEngine engine;
    engine.length = 30;
    engine.answers = {10, 20, 30};
    engine.throwOnRender = 2;
    EXPECT_THROW(rtf.PrintRichEdit(engine), std::runtime_error);
    EXPECT_EQ(preview.NumPages(), 2);
    ExpectOnePicturePerPage(preview);
    EXPECT_EQ(engine.frees, 2);
    EXPECT_TRUE(preview.AutoRefresh);
}

// A new-page handler that fails, or that takes the preview away, leaves the pages laid out so
// far, each once, and a preview that refreshes again.
TEST_F(RtfPreview, NewPageHandlerEndsTheRunCleanly) {
    for (const bool fails : {true, false}) {
        ScriptedEngine engine;
        engine.length = 30;
        engine.answers = {10, 20, 30};
        rtf.SetPreview(&preview);
        rtf.OnNewPage = [&](void*, TKpValue&, TKpValue&) {
            if (fails) throw std::runtime_error("handler failed");
            rtf.SetPreview(nullptr);
        };
        if (fails)
            EXPECT_THROW(rtf.PrintRichEdit(engine), std::runtime_error);
        else
            rtf.PrintRichEdit(engine);
        EXPECT_EQ(engine.renders, 1) << fails;
        EXPECT_EQ(preview.NumPages(), 1) << fails;
        ExpectOnePicturePerPage(preview);
        EXPECT_EQ(engine.frees, 2) << fails;
        EXPECT_TRUE(preview.AutoRefresh) << fails;
    }
}

// A document of 200 pages saves and opens again: each page picture holds its own page's
// coordinates, not the text column's.
TEST_F(RtfPreview, LongDocumentSavesAndOpensAgain) {
    LoadText(Lines(44 * 200));
    rtf.PrintRichEdit(edit);
    ASSERT_GE(preview.NumPages(), 200);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("long.kpp"));
    preview.SaveToFile(file);
    QWidget host2;
    TKpPreview loaded(&host2);
    ASSERT_NO_THROW(loaded.LoadFromFile(file));
    ASSERT_EQ(loaded.NumPages(), preview.NumPages());
    auto* g = dynamic_cast<TKpGraphicObject*>(loaded.GetPage(200)->Objects(0));
    ASSERT_NE(g, nullptr);
    QImage img = testimg::whiteImage(794, 1123);
    {
        QPainter p(&img);
        TKpDeviceCanvas canvas(&p, 96, 96);
        canvas.PlayMetafile(*g->Picture, img.rect());
    }
    EXPECT_GT(testimg::inkCount(img), 0);
}

// The pages' text reaches a PDF as text in embedded fonts, each line once.
TEST_F(RtfPreview, PdfKeepsTheTextSearchable) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("text.pdf"));
    LoadText(Lines(100));
    rtf.PrintRichEdit(edit);
    ASSERT_GE(preview.NumPages(), 2);
    ExportToPdf(preview, pdf);
    auto run = [](const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0) return QString();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    for (int i : {0, 45, 99})
        EXPECT_EQ(text.count(QStringLiteral("Line %1 of the text").arg(i)), 1) << i;
    const QString page2 = run(QStringLiteral("pdftotext"),
                              {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                               QStringLiteral("2"), pdf, QStringLiteral("-")});
    EXPECT_FALSE(page2.contains(QStringLiteral("Line 0 of")));
    // One paragraph over several pages: each word once, none repeated above a page's text.
    QString paragraph;
    for (int i = 0; i < 1500; ++i)
        paragraph += QStringLiteral("w%1 ").arg(i, 4, 10, QLatin1Char('0'));
    LoadText(paragraph);
    rtf.PrintRichEdit(edit);
    ASSERT_GE(preview.NumPages(), 3);
    const QString pdf2 = dir.filePath(QStringLiteral("paragraph.pdf"));
    ExportToPdf(preview, pdf2);
    const QString words = run(QStringLiteral("pdftotext"), {pdf2, QStringLiteral("-")});
    EXPECT_EQ(words.count(QLatin1Char('w')), 1500);
    const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSerif"))) << fonts.toStdString();
    for (const QString& line : fonts.split(QLatin1Char('\n')).mid(2))
        if (!line.trimmed().isEmpty())
            EXPECT_TRUE(line.contains(QStringLiteral(" yes ")))
                << "not embedded: " << line.toStdString();
}

} // namespace
