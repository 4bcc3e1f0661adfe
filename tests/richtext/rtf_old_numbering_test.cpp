// Paragraph numbers and bullets of the older kind: made from the {\pn} group when the file
// does not give them, and never shown twice when it does.
#include <gtest/gtest.h>

#include "richtext/KpRtfOldNumbering.h"
#include "rtf_test_helpers.h"

namespace {

using kp::rtf::FormatOldNumber;
using kp::rtf::TNumberStyle;

#define BODY(x) "{\\*\\pn\\pnlvlbody" x "}"

TEST(RtfOldNumbering, NumbersAndBulletsReadAsOtherWritersShowThem) {
    struct {
        const char* rtf;
        const char16_t* text;
    } cases[] = {
        // Made from the definition, counting along the run of numbered paragraphs.
        {R"({\rtf1\pard)" BODY(
             R"(\pndec\pnstart1{\pntxta .})") R"(One\par)"
                                              R"(\pard)" BODY(
                                                  R"(\pndec\pnstart1{\pntxta .})") R"(Two\par})",
         u"1.\tOne\n2.\tTwo"},
        // A paragraph without a number ends the run; \pnstart starts the next one.
        {R"({\rtf1\pard)" BODY(
             R"(\pnlcltr\pnstart3{\pntxta )})") R"(a\par\pard plain\par)"
                                                R"(\pard)" BODY(
                                                    R"(\pnucrm\pnstart4{\pntxtb (}{\pntxta )})") R"(b\par})",
         u"c)\ta\nplain\n(IV)\tb"},
        // The rendered number wins: nothing doubles, and the count still goes on.
        {R"({\rtf1{\pntext 1.\tab}\pard)" BODY(
             R"(\pndec{\pntxta .})") R"(x\par)"
                                     R"(\pard)" BODY(R"(\pndec{\pntxta .})") R"(y\par})",
         u"1.\tx\n2.\ty"},
        {R"({\rtf1{\listtext 7)\tab}\pard)" BODY(R"(\pndec)") R"(z\par})", u"7)\tz"},
        // Bullets: the Symbol font's byte reads as a bullet; without a text, a plain one.
        {R"({\rtf1{\fonttbl{\f1\fcharset2 Symbol;}}\pard{\*\pn\pnlvlblt\pnf1{\pntxtb\'B7}}a\par)"
         R"(\pard{\*\pn\pnlvlblt}b\par})",
         u"\u2022\ta\n\u2022\tb"},
        // Outline levels count on their own; a higher one starts the lower ones again.
        {R"({\rtf1\pard{\*\pn\pnlvl1\pnucrm{\pntxta .}}A\par\pard{\*\pn\pnlvl2\pnlcltr}b\par)"
         R"(\pard{\*\pn\pnlvl2\pnlcltr}c\par\pard{\*\pn\pnlvl1\pnucrm{\pntxta .}}B\par)"
         R"(\pard{\*\pn\pnlvl2\pnlcltr}d\par})",
         u"I.\tA\na\tb\nb\tc\nII.\tB\na\td"},
        // A continued paragraph shows no number and keeps the run going.
        {R"({\rtf1\pard)" BODY(R"(\pndec)") R"(p\par\pard{\*\pn\pnlvlcont}q\par)"
                                            R"(\pard)" BODY(R"(\pndec)") R"(r\par})",
         u"1\tp\nq\n2\tr"},
        // A numbering group from a paragraph style, and in a table cell.
        {R"({\rtf1{\stylesheet{\s1{\*\pn\pnlvlbody\pndec{\pntxta .}}Num;}}\pard\s1 x\par})",
         u"1.\tx"},
        {R"({\rtf1\trowd\cellx2000\pard\intbl)" BODY(R"(\pndec)") R"(c\cell\row})", u"\n1\tc\t\n"},
    };
    for (const auto& c : cases) {
        TRtfRead r(QByteArray(c.rtf));
        EXPECT_EQ(r.Text(), QString::fromUtf16(c.text)) << c.rtf << "\n" << r.Text().toStdString();
        EXPECT_TRUE(r.result.warnings.isEmpty()) << c.rtf;
    }
}

TEST(RtfOldNumbering, NumberStyles) {
    struct {
        int value;
        TNumberStyle style;
        const char* text;
    } cases[] = {
        {1, TNumberStyle::Decimal, "1"},        {28, TNumberStyle::UpperLetter, "BB"},
        {3, TNumberStyle::LowerLetter, "c"},    {1994, TNumberStyle::UpperRoman, "MCMXCIV"},
        {49, TNumberStyle::LowerRoman, "xlix"}, {12, TNumberStyle::Ordinal, "12th"},
        {22, TNumberStyle::Ordinal, "22nd"},    {5000, TNumberStyle::UpperRoman, "5000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatOldNumber(c.value, c.style), QLatin1String(c.text)) << c.value;
}

TEST(RtfOldNumbering, NumberTakesTheDefinitionsFontAndSize) {
    TRtfRead r(QByteArray(R"({\rtf1{\fonttbl{\f0 Arial;}{\f2 Courier New;}}\f0\fs20 )"
                          R"(\pard{\*\pn\pnlvlbody\pndec\pnf2\pnfs32\pnb{\pntxta .}}text\par})"));
    const QTextCharFormat number = r.FormatAt(QStringLiteral("1."));
    EXPECT_EQ(number.fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});
    EXPECT_EQ(number.fontPointSize(), 16.0);
    EXPECT_EQ(number.fontWeight(), QFont::Bold);
    EXPECT_EQ(r.FormatAt(QStringLiteral("text")).fontPointSize(), 10.0);
}

} // namespace
