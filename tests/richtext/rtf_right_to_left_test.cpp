// Right-to-left paragraphs turn their reading order while left and right alignment stay on
// their side of the page; tables may reach into the left margin; symbol-font text is drawn in
// a font whose characters a PDF can name.
#include <gtest/gtest.h>

#include "rtf_test_helpers.h"

namespace {

TEST(RtfRightToLeft, ParagraphDirectionAndAlignment) {
    struct {
        const char* rtf;
        Qt::LayoutDirection direction;
        Qt::Alignment align;
    } cases[] = {
        {R"({\rtf1\rtlpar\ql t\par})", Qt::RightToLeft, Qt::AlignLeft | Qt::AlignAbsolute},
        {R"({\rtf1\rtlpar\qr t\par})", Qt::RightToLeft, Qt::AlignRight | Qt::AlignAbsolute},
        {R"({\rtf1\rtlpar\qc t\par})", Qt::RightToLeft, Qt::AlignHCenter},
        {R"({\rtf1\rtlpar\qj t\par})", Qt::RightToLeft, Qt::AlignJustify},
        {R"({\rtf1\rtlpar\pard t\par})", Qt::LayoutDirectionAuto, Qt::AlignLeft},
        {R"({\rtf1\rtlpar\ltrpar t\par})", Qt::LayoutDirectionAuto, Qt::AlignLeft},
    };
    for (const auto& c : cases) {
        TRtfRead r(QByteArray(c.rtf));
        const QTextBlockFormat f = r.BlockWith(QStringLiteral("t")).blockFormat();
        EXPECT_EQ(f.layoutDirection(), c.direction) << c.rtf;
        EXPECT_EQ(f.alignment(), c.align) << c.rtf;
    }
}

TEST(RtfRightToLeft, NegativeRowIndentMovesTheTableLeft) {
    TRtfRead r(QByteArray(R"({\rtf1\trowd\trleft-720\cellx2000\pard\intbl a\cell\row})"));
    const QTextCursor c = r.doc.find(QStringLiteral("a"));
    ASSERT_TRUE(c.currentTable());
    EXPECT_DOUBLE_EQ(c.currentTable()->format().leftMargin(), -48.0); // 720 twips in 1/96 in
}

TEST(RtfRightToLeft, SymbolFontTextTakesTheDocumentsFont) {
    TRtfRead r(QByteArray(
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}{\f2 Wingdings;}}\f0 x{\f1 \'c5}{\f2 \'a7}})"));
    EXPECT_EQ(r.Text(), QString::fromUtf16(u"x\u2295\uF0A7"));
    EXPECT_TRUE(r.FormatAt(QString(QChar(0x2295))).fontFamilies().toStringList().isEmpty());
    EXPECT_EQ(r.FormatAt(QString(QChar(0xF0A7))).fontFamilies().toStringList(),
              QStringList{QStringLiteral("Wingdings")});
    EXPECT_EQ(r.FormatAt(QStringLiteral("x")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("Arial")});
}

} // namespace
