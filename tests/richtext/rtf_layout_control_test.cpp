// The rich text control: loading, its text length, and the format range operation.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>

#include "image_helpers.h"
#include "richtext/KpRichEdit.h"
#include "rtf_layout_docs.h"

using namespace kp;

using namespace rtfdocs;

namespace {

struct PlainCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

class PlainLoads : public ::testing::TestWithParam<PlainCase> {};

// Lengths count one character per letter and per paragraph mark.
TEST_P(PlainLoads, DecodesAndCounts) {
    TKpRichEdit edit;
    edit.SetPlainText(true);
    ASSERT_TRUE(edit.LoadFromData(GetParam().bytes));
    EXPECT_EQ(edit.toPlainText(), GetParam().text);
    EXPECT_EQ(edit.TextLength(), GetParam().text.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PlainLoads,
    ::testing::Values(PlainCase{"empty", "", ""}, PlainCase{"two_lines", "ab\ncd", "ab\ncd"},
                      PlainCase{"utf8", "h\xc3\xa9llo", QStringLiteral("h\u00e9llo")},
                      PlainCase{"latin1", "h\xe9llo", QStringLiteral("h\u00e9llo")},
                      PlainCase{"bom", "\xef\xbb\xbfok", QStringLiteral("ok")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RichEdit, PlainTextTakesItsFontWithPixelHeightsAtTheScreen) {
    TKpRichEdit edit;
    edit.SetPlainText(true);
    QFont f(QStringLiteral("Liberation Mono"));
    f.setPixelSize(16);
    edit.SetTextFont(f);
    EXPECT_DOUBLE_EQ(edit.TextFont().pointSizeF(), 12.0);
    EXPECT_EQ(edit.document()->defaultFont().family(), QStringLiteral("Liberation Mono"));
}

TEST(RichEdit, BadFilesKeepThePreviousText) {
    QTemporaryDir dir;
    TKpRichEdit edit;
    edit.SetPlainText(true);
    ASSERT_TRUE(edit.LoadFromData("kept"));
    edit.SetPlainText(false);
    QString error;
    EXPECT_FALSE(edit.LoadFromFile(dir.filePath(QStringLiteral("missing.rtf")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.rtf")));
    EXPECT_FALSE(edit.LoadFromData("plain words, not rich text", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("kept"));
}

TEST(RichEdit, RichTextLoadsWithItsGeometry) {
    TKpRichEdit edit;
    ASSERT_TRUE(edit.LoadFromData("{\\rtf1\\ansi\\paperw12240\\paperh15840\\margl1000 "
                                  "{\\b Hello}\\par World}"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("Hello\nWorld"));
    EXPECT_EQ(edit.TextLength(), 11);
    EXPECT_TRUE(edit.Geometry().hasPaper);
    EXPECT_EQ(edit.Geometry().paperWidth, 12240);
    EXPECT_EQ(edit.Geometry().marginLeft, 1000);
}

// Measuring and rendering agree, only rendering draws, the range's end stops the page early,
// and the rectangle's bottom comes back at the text's end.
TEST(RichEdit, FormatRangeMeasuresRendersAndStops) {
    TKpRichEdit edit;
    QTextCursor c(edit.document());
    AddParagraphs(c, 0, 80, 30);
    QImage img = testimg::whiteImage(794, 1123);
    QPainter painter(&img);
    TKpFormatRange range;
    range.painter = &painter;
    range.rc = range.rcPage = {855, 2265, 11055, 14565};
    const int measured = edit.FormatRange(false, &range);
    EXPECT_EQ(testimg::inkCount(img), 0);
    range.rc = range.rcPage;
    const int rendered = edit.FormatRange(true, &range);
    EXPECT_EQ(measured, rendered);
    EXPECT_GT(rendered, 0);
    EXPECT_LT(rendered, edit.TextLength());
    EXPECT_GT(testimg::inkCount(img), 1000);
    EXPECT_LE(range.rc.bottom, 14565);
    EXPECT_GT(range.rc.bottom, 14565 - 600);

    range.rc = range.rcPage;
    range.cpMax = 100;
    EXPECT_EQ(edit.FormatRange(false, &range), 100);
    // A change of the text is seen by the next page.
    range.cpMax = -1;
    range.cpMin = rendered;
    edit.clear();
    EXPECT_EQ(edit.FormatRange(false, &range), 0);
}

} // namespace

namespace {

// The control shows the text at the screen's size: a 720-twip indent is 48 pixels on the
// screen and 720 twips in the print layout, and it can be shown and edited as it stands.
TEST(RichEdit, ScreenAndPrintShowTheSameIndent) {
    TKpRichEdit edit;
    ASSERT_TRUE(edit.LoadFromData("{\\rtf1 \\li720\\fi-360 a\\tab item}"));
    edit.resize(600, 300);
    edit.show();
    const QTextDocument& screen = *edit.document();
    const QTextBlock item = screen.lastBlock();
    const QTextLine line = item.layout()->lineAt(0);
    const double left =
        screen.documentLayout()->blockBoundingRect(item).left() - screen.documentMargin();
    EXPECT_NEAR(left + line.x(), 24, 0.5);          // the first line hangs 360 twips out
    EXPECT_NEAR(left + line.cursorToX(2), 48, 0.5); // the tab reaches the indent
    QImage img = testimg::whiteImage(794, 1123);
    QPainter painter(&img);
    TKpFormatRange range;
    range.painter = &painter;
    range.rc = range.rcPage = {0, 0, 11000, 15000};
    EXPECT_EQ(edit.FormatRange(true, &range), edit.TextLength());
    // Printed at 96 dpi, the hanging first line starts 24 pixels from the rectangle's left.
    EXPECT_NEAR(testimg::inkBounds(img).left(), 24, 1);
}

// Hidden, the control leaves laying the text out to printing; shown, it lays it out itself.
TEST(RichEdit, HiddenControlLaysOutOnlyWhenShown) {
    TKpRichEdit edit;
    ASSERT_TRUE(edit.LoadFromData("{\\rtf1 one\\par two}"));
    const QTextBlock first = edit.document()->firstBlock();
    EXPECT_EQ(first.layout()->lineCount(), 0);
    edit.show();
    EXPECT_EQ(first.layout()->lineCount(), 1);
}

} // namespace
