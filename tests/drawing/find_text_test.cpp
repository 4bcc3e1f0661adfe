// Finding text on a document's pages: where the matches stand (from the font metrics), which
// options keep or drop them, the order of pages, and a page's text read again once it changes.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QPainter>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpPage.h"
#include "drawing/KpTextCollector.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"

using namespace kp;

namespace {

constexpr qreal kUnitsPerPixel = 2540.0 / 96;

// Pixels at 96 dpi from hundredths of a millimetre, as objects place themselves.
int px(int units) {
    return qRound(units / 2540.0 * 96);
}

// The font a 12-point Arial text object is drawn in.
QFont drawnFont(int points = 12) {
    TKpDeviceCanvas fonts(nullptr, 96, 96);
    fonts.Font().SetName(QStringLiteral("Arial"));
    fonts.Font().SetSize(points);
    return fonts.qtFont();
}

// A box in page pixels as the hundredths of a millimetre a match reports.
QRect units(qreal left, qreal top, qreal right, qreal bottom) {
    const QPoint tl(qRound(left * kUnitsPerPixel), qRound(top * kUnitsPerPixel));
    const QPoint br(qRound(right * kUnitsPerPixel), qRound(bottom * kUnitsPerPixel));
    return QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y()));
}

class FindText : public ::testing::Test {
protected:
    TKpDocument doc;
    TKpCanvas& c = doc.Canvas();
    void SetUp() override {
        c.Font().SetName(QStringLiteral("Arial"));
        c.Font().SetSize(12);
        c.Brush().SetStyle(bsClear);
    }
};

struct WordCase {
    const char* name;
    const char* find;
    bool matchCase;
    bool wholeWords;
    const char* before; // the text before the match; null: no match
};

class FindWords : public FindText, public ::testing::WithParamInterface<WordCase> {};

TEST_P(FindWords, CanvasTextMatchesStandOnTheirCharacters) {
    const WordCase& w = GetParam();
    const QString drawn = QStringLiteral("Invoice total_due 42");
    c.TextOut(2000, 3000, drawn, kpUnits);
    TKpFindOptions options;
    options.MatchCase = w.matchCase;
    options.WholeWords = w.wholeWords;
    const auto found = doc.FindText(QString::fromUtf8(w.find), options);
    if (!w.before) {
        EXPECT_TRUE(found.empty());
        return;
    }
    ASSERT_EQ(found.size(), 1u);
    const QFontMetricsF fm(drawnFont());
    const QFontMetrics im(drawnFont());
    const QString before = QString::fromUtf8(w.before);
    const qreal x = px(2000), y = px(3000);
    const qreal a0 = fm.horizontalAdvance(before);
    const qreal a1 = fm.horizontalAdvance(drawn.left(before.size() + qstrlen(w.find)));
    EXPECT_EQ(found[0].Page, 1);
    EXPECT_EQ(found[0].Rect, units(x + a0, y, x + a1, y + im.ascent() + im.descent()));
}

INSTANTIATE_TEST_SUITE_P(
    Options, FindWords,
    ::testing::Values(WordCase{"word", "total", false, false, "Invoice "},
                      WordCase{"anyCase", "TOTAL", false, false, "Invoice "},
                      WordCase{"caseMatters", "TOTAL", true, false, nullptr},
                      WordCase{"inside", "voice", false, false, "In"},
                      WordCase{"insideNotWhole", "voice", false, true, nullptr},
                      WordCase{"underscoreJoins", "total", false, true, nullptr},
                      WordCase{"whole", "total_due", true, true, "Invoice "},
                      WordCase{"number", "42", false, true, "Invoice total_due "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FindText, TurnedTextGivesItsUprightBox) {
    c.Font().SetEscapement(900);
    c.TextOut(5000, 10000, QStringLiteral("Turned text"), kpUnits);
    const auto found = doc.FindText(QStringLiteral("text"));
    ASSERT_EQ(found.size(), 1u);
    const QFontMetricsF fm(drawnFont());
    const QFontMetrics im(drawnFont());
    const qreal x = px(5000), y = px(10000);
    const qreal a0 = fm.horizontalAdvance(QStringLiteral("Turned "));
    const qreal a1 = fm.horizontalAdvance(QStringLiteral("Turned text"));
    // Turned a quarter anticlockwise about the cell's corner: the text runs up the page.
    EXPECT_EQ(found[0].Rect, units(x, y - a1, x + im.ascent() + im.descent(), y - a0));
}

TEST_F(FindText, TextBoxesAreLaidOutWhereTheMatchIs) {
    const QFontMetrics im(drawnFont());
    const QFontMetricsF fm(drawnFont());
    // As wide as its longest word: a word to a line.
    const int width = qRound(fm.horizontalAdvance(QStringLiteral("gamma")) * kUnitsPerPixel) + 60;
    c.TextBox(2000, 5000, 2000 + width, 9000, QStringLiteral("alpha beta gamma"), taLeftJustify,
              true, kpUnits);
    const auto found = doc.FindText(QStringLiteral("gamma"));
    ASSERT_EQ(found.size(), 1u);
    const qreal x = px(2000), top = px(5000) + 2 * (im.ascent() + im.descent());
    EXPECT_EQ(found[0].Rect, units(x, top, x + fm.horizontalAdvance(QStringLiteral("gamma")),
                                   top + im.ascent() + im.descent()));
    // A match over a line break takes both lines.
    const auto across = doc.FindText(QStringLiteral("beta gamma"));
    ASSERT_EQ(across.size(), 1u);
    EXPECT_EQ(across[0].Rect.top(),
              found[0].Rect.top() - qRound((im.ascent() + im.descent()) * kUnitsPerPixel));
    EXPECT_EQ(across[0].Rect.bottom(), found[0].Rect.bottom());
}

TEST_F(FindText, MatchesSpanTextsThatContinueOnTheLine) {
    const QFontMetricsF fm(drawnFont());
    const qreal x = px(2000);
    c.TextOut(2000, 3000, QStringLiteral("Hel"), kpUnits);
    const qreal next = x + fm.horizontalAdvance(QStringLiteral("Hel"));
    c.TextOut(qRound(next * kUnitsPerPixel), 3000, QStringLiteral("lo world"), kpUnits);
    c.TextOut(2000, 4000, QStringLiteral("world"), kpUnits); // another line
    const auto found = doc.FindText(QStringLiteral("hello WORLD"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Rect.left(), qRound(x * kUnitsPerPixel));
    EXPECT_EQ(found[0].Rect.top(), qRound(px(3000) * kUnitsPerPixel));
    EXPECT_EQ(doc.FindText(QStringLiteral("world")).size(), 2u);
    EXPECT_TRUE(doc.FindText(QStringLiteral("world world")).empty());
}

TEST_F(FindText, PicturesGiveTheTextTheyDraw) {
    TKpMetafile picture;
    picture.SetWidth(400);
    picture.SetHeight(100);
    {
        TKpMetafileCanvas recorder(picture);
        TKpDeviceCanvas& pc = recorder.Canvas();
        pc.Font().SetName(QStringLiteral("Arial"));
        pc.Font().SetSize(12);
        pc.Brush().SetStyle(bsClear);
        pc.TextOut(10, 20, QStringLiteral("Recorded words"));
    }
    // Twice the picture's size: the text is twice as large on the page.
    c.StretchDraw(1000, 2000, 1000 + 800 * kUnitsPerPixel, 2000 + 200 * kUnitsPerPixel, &picture,
                  kpUnits);
    const auto found = doc.FindText(QStringLiteral("words"));
    ASSERT_EQ(found.size(), 1u);
    const QFontMetricsF fm(drawnFont());
    const qreal x = px(1000) + 2 * (10 + fm.horizontalAdvance(QStringLiteral("Recorded ")));
    const qreal w = 2 * fm.horizontalAdvance(QStringLiteral("words"));
    const qreal top = px(2000) + 2 * 20;
    const QFontMetrics im(drawnFont());
    const QRect expected = units(x, top, x + w, top + 2 * (im.ascent() + im.descent()));
    EXPECT_NEAR(found[0].Rect.left(), expected.left(), 27);
    EXPECT_NEAR(found[0].Rect.top(), expected.top(), 27);
    EXPECT_NEAR(found[0].Rect.width(), expected.width(), 27);
    EXPECT_NEAR(found[0].Rect.height(), expected.height(), 27);
}

TEST_F(FindText, PagesInOrderFromAPageOnwardOrBackwards) {
    for (int p = 1; p <= 3; ++p) {
        if (p > 1) doc.NewPage();
        c.TextOut(1000, 1000, QStringLiteral("mark one"), kpUnits);
        c.TextOut(1000, 5000, QStringLiteral("mark two"), kpUnits);
    }
    auto pagesAndTops = [&](TKpFindOptions o) {
        std::vector<std::pair<int, int>> r;
        for (const TKpFindMatch& m : doc.FindText(QStringLiteral("mark"), o))
            r.emplace_back(m.Page, m.Rect.top() < 2000 ? 1 : 2);
        return r;
    };
    using V = std::vector<std::pair<int, int>>;
    EXPECT_EQ(pagesAndTops({}), (V{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}}));
    EXPECT_EQ(pagesAndTops({false, false, 2, false}), (V{{2, 1}, {2, 2}, {3, 1}, {3, 2}}));
    EXPECT_EQ(pagesAndTops({false, false, 2, true}), (V{{2, 2}, {2, 1}, {1, 2}, {1, 1}}));
    EXPECT_EQ(pagesAndTops({false, false, 0, true}).front(), (std::pair<int, int>{3, 2}));
}

TEST_F(FindText, AChangedPageIsReadAgain) {
    c.TextOut(1000, 1000, QStringLiteral("first {PAGE} of {NUMPAGES}"), kpUnits);
    EXPECT_EQ(doc.FindText(QStringLiteral("1 of 1")).size(), 1u);
    EXPECT_TRUE(doc.FindText(QStringLiteral("later")).empty());
    c.TextOut(1000, 2000, QStringLiteral("later"), kpUnits);
    EXPECT_EQ(doc.FindText(QStringLiteral("later")).size(), 1u);
    doc.NewPage();
    EXPECT_EQ(doc.FindText(QStringLiteral("1 of 2")).size(), 1u);
    doc.Clear();
    EXPECT_TRUE(doc.FindText(QStringLiteral("later")).empty());
}

// The collector itself: a page drawn onto it gives its texts on their baselines.
TEST_F(FindText, DrawnPageGivesItsTextsWithTheirTransform) {
    c.TextOut(2000, 3000, QStringLiteral("Upright"), kpUnits);
    c.Font().SetEscapement(300);
    c.TextOut(4000, 6000, QStringLiteral("Turned"), kpUnits);
    const auto runs = CollectDrawnText(*doc.GetPage(1), 96);
    ASSERT_EQ(runs.size(), 2u);
    const QFontMetrics im(drawnFont());
    EXPECT_EQ(runs[0].Text, QStringLiteral("Upright"));
    EXPECT_EQ(runs[0].Map.map(QPointF(0, 0)), QPointF(px(2000), px(3000) + im.ascent()));
    EXPECT_EQ(runs[1].Text, QStringLiteral("Turned"));
    const QPointF along = runs[1].Map.map(QPointF(1, 0)) - runs[1].Map.map(QPointF(0, 0));
    EXPECT_NEAR(along.x(), std::cos(M_PI / 6), 1e-9);
    EXPECT_NEAR(along.y(), -std::sin(M_PI / 6), 1e-9);
}

} // namespace
