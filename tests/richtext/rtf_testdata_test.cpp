// The public test files in tests/data/rtf: their text comes out as their projects expect.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QTextImageFormat>
#include <QTextTable>

#include "rtf_test_helpers.h"

namespace {

QStringList NonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.isEmpty()) lines << line;
    return lines;
}

QList<QTextTable*> Tables(QTextDocument& doc) {
    QList<QTextTable*> tables;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f)) tables << t;
    return tables;
}

TEST(RtfTestData, MissingFileFailsAndNamesIt) {
    EXPECT_NONFATAL_FAILURE(RtfTestFile("absent.rtf"), "tests/data/rtf/absent.rtf");
}

TEST(RtfTestData, UnicodeNegativeValuesAndFallbacks) {
    TRtfRead r(RtfTestFile("pandoc_unicode.rtf"));
    ASSERT_TRUE(r.result.ok);
    EXPECT_EQ(r.Text(), QString::fromUtf16(u"\u201Chi\u201D\u2018hi\u2019\uF0B7\u03B1\u00E4"));
    EXPECT_TRUE(r.result.warnings.isEmpty())
        << r.result.warnings.join(QLatin1Char('\n')).toStdString();
}

TEST(RtfTestData, FormattingTextAndCharacterFormats) {
    TRtfRead r(RtfTestFile("pandoc_formatting.rtf"));
    ASSERT_TRUE(r.result.ok);
    const QStringList expected = {
        QStringLiteral("This is a test of formatting.  This is hidden: ."),
        QStringLiteral("Small Caps"),
        QStringLiteral("bold"),
        QStringLiteral("italics"),
        QStringLiteral("bold and italics"),
        QStringLiteral("underlined"),
        QStringLiteral("strikeout"),
        QStringLiteral("xsuperscript"),
        QStringLiteral("xsubscript")};
    EXPECT_EQ(NonEmptyLines(r.Text()), expected);
    EXPECT_EQ(r.FormatAt(QStringLiteral("formatting")).fontCapitalization(), QFont::AllUppercase);
    EXPECT_EQ(r.FormatAt(QStringLiteral("Small Caps")).fontCapitalization(), QFont::SmallCaps);
    EXPECT_EQ(r.FormatAt(QStringLiteral("bold")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(r.FormatAt(QStringLiteral("italics")).fontItalic());
    const QTextCharFormat both = r.FormatAt(QStringLiteral("and italics"));
    EXPECT_TRUE(both.fontItalic());
    EXPECT_EQ(both.fontWeight(), QFont::Bold);
    EXPECT_TRUE(r.FormatAt(QStringLiteral("underlined")).fontUnderline());
    EXPECT_TRUE(r.FormatAt(QStringLiteral("strikeout")).fontStrikeOut());
    EXPECT_EQ(r.FormatAt(QStringLiteral("superscript")).verticalAlignment(),
              QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(r.FormatAt(QStringLiteral("subscript")).verticalAlignment(),
              QTextCharFormat::AlignSubScript);
    EXPECT_EQ(r.FormatAt(QStringLiteral("bold")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("Helvetica")});
}

TEST(RtfTestData, ListTextComesOutAsText) {
    TRtfRead r(RtfTestFile("pandoc_list_complex.rtf"));
    ASSERT_TRUE(r.result.ok);
    const QStringList expected = {
        "1.\tOne",      "2.\tTwo",    "a.\tThree",       "b.\tFour",
        "i.\tFive",     "ii.\tSix",   "A.\tSeven",       "B.\tEight",
        "I.\tNine",     "II.\tTen",   "o\tEleven",       "o\tTwelve",
        "Out of list!", "Start with", "7.\tSeven Start", "8.\tEight Continue"};
    EXPECT_EQ(NonEmptyLines(r.Text()), expected);
    // The list indents come through in 1/96 inch: 1,440 twips.
    EXPECT_EQ(r.BlockWith(QStringLiteral("Three")).blockFormat().leftMargin(), 96);
}

TEST(RtfTestData, NestedTablesStayReadable) {
    TRtfRead r(RtfTestFile("pandoc_table_nested.rtf"));
    ASSERT_TRUE(r.result.ok);
    const QList<QTextTable*> tables = Tables(r.doc);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables[0]->rows(), 1);
    EXPECT_EQ(tables[0]->columns(), 1);
    EXPECT_EQ(NonEmptyLines(r.Text()),
              (QStringList{"Level two before", "Deep A\tDeep B", "Deep C\tDeep D",
                           "Level two after", "Outer after\t", "Outside table"}));
    EXPECT_FALSE(r.Text().contains(QStringLiteral("FALLBACK")));
    EXPECT_EQ(tables[0]->format().columnWidthConstraints().value(0),
              QTextLength(QTextLength::FixedLength, 5000 / 15.0));
}

TEST(RtfTestData, JpegAfterBareBinReadsAsHex) {
    TRtfRead r(RtfTestFile("pandoc_image.rtf"));
    ASSERT_TRUE(r.result.ok);
    const QTextCursor c = r.doc.find(QString(QChar::ObjectReplacementCharacter));
    ASSERT_FALSE(c.isNull());
    QTextCursor at(&r.doc);
    at.setPosition(c.selectionEnd());
    const QTextImageFormat f = at.charFormat().toImageFormat();
    ASSERT_TRUE(f.isValid());
    EXPECT_DOUBLE_EQ(f.width(), 2880 / 15.0); // two inches
    EXPECT_DOUBLE_EQ(f.height(), 2880 / 15.0);
    const QImage image =
        r.doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    EXPECT_EQ(image.size(), QSize(250, 250));
}

TEST(RtfTestData, WordDocumentWithTableAndPageBreak) {
    TRtfRead r(RtfTestFile("rtfparserkit_testTextConversion.rtf"));
    ASSERT_TRUE(r.result.ok);
    const QByteArray expectedText = RtfTestFile("rtfparserkit_testTextConversion.txt");
    ASSERT_FALSE(expectedText.isEmpty());
    EXPECT_EQ(NonEmptyLines(r.Text()), NonEmptyLines(QString::fromUtf8(expectedText)));
    // "\page \par": the paragraph mark after the break opens the new page, as an empty line.
    const QTextBlock opening = r.BlockWith(QStringLiteral("Third Heading")).previous();
    EXPECT_TRUE(opening.text().isEmpty());
    EXPECT_EQ(opening.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(r.BlockWith(QStringLiteral("Second Heading")).blockFormat().pageBreakPolicy(),
              QTextFormat::PageBreak_Auto);
    const QList<QTextTable*> tables = Tables(r.doc);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables[0]->rows(), 5);
    const auto widths = tables[0]->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), (2972 + 108) / 15.0); // \trleft-108
    EXPECT_DOUBLE_EQ(widths[2].rawValue(), (9134 - 6053) / 15.0);
    EXPECT_DOUBLE_EQ(tables[0]->cellAt(0, 0).format().toTableCellFormat().topBorder(), 1.0);
    const TKpRtfPageGeometry& g = r.result.geometry;
    EXPECT_TRUE(g.hasPaper);
    EXPECT_TRUE(g.hasMargins);
    EXPECT_EQ(g.paperWidth, 11906);
    EXPECT_EQ(g.paperHeight, 16838);
    EXPECT_EQ(g.marginLeft, 1440);
    EXPECT_EQ(g.marginBottom, 1440);
}

} // namespace
