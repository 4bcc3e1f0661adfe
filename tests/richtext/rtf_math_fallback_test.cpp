// Office math keeps a plain-text fallback: the writer's picture or text of the formula when it
// comes first, otherwise the text of its runs and operator characters; one warning says so.
#include <gtest/gtest.h>

#include "rtf_test_helpers.h"

namespace {

TEST(RtfMathFallback, ShowsTheFormulasText) {
    struct {
        const char* rtf;
        const char16_t* text;
    } cases[] = {
        {R"({\rtf1 x {\mmath{\*\moMathPara{\*\moMath{\mr a}{\*\msSup{\*\e{\mr b}}{\*\sup{\mr 2}})"
         R"(}}}} y})",
         u"x ab2 y"},
        {R"({\rtf1{\mmath{\*\moMath{\*\mnary{\*\mnaryPr{\mchr \u8721?}}{\*\me{\mr k}}}}}})",
         u"\u2211k"},
        {R"({\rtf1{\mmath{\*\md{\*\mdPr{\mbegChr [}{\mendChr ]}}{\*\me{\mr x}}}}})", u"[]x"},
        // The writer's fallback wins when it comes first, and is dropped when it follows.
        {R"({\rtf1{\mmath{\*\mmathPict shown}{\*\moMath{\mr z}}}})", u"shown"},
        {R"({\rtf1{\mmath{\*\moMath{\mr q}}{\*\mmathPict dropped}}})", u"q"},
        // Math with no runs keeps its loose text, its white space made single.
        {R"({\rtf1{\mmath  a   b }})", u"a b"},
        // Math in a skipped group stays skipped.
        {R"({\rtf1{\*\generator {\mmath{\mr g}}}ok})", u"ok"},
    };
    for (const auto& c : cases) {
        TRtfRead r(QByteArray(c.rtf));
        EXPECT_EQ(r.Text(), QString::fromUtf16(c.text)) << c.rtf << "\n" << r.Text().toStdString();
    }
    TRtfRead twice(QByteArray(R"({\rtf1 a{\mmath{\mr 1}}b{\mmath{\mr 2}}})"));
    EXPECT_EQ(twice.Text(), QStringLiteral("a1b2"));
    EXPECT_EQ(twice.result.warnings,
              QStringList{QStringLiteral(
                  "2 office math group(s) were shown as plain text (first at byte 9).")});
}

} // namespace
