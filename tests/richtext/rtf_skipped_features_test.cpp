// What the reader does not show yet is left out of the text and named in one warning per kind,
// with the byte offset where it was first met.
#include <gtest/gtest.h>

#include "rtf_test_helpers.h"

namespace {

TEST(RtfSkippedFeatures, EachKindWarnsOnceWithItsFirstOffset) {
    struct {
        const char* rtf;
        const char16_t* text;
        QStringList warnings;
    } cases[] = {
        {R"({\rtf1{\pnseclvl1\pnucrm}x})", u"x", {}},
        {R"({\rtf1 a{\*\mmath b}\cols2 c{\*\atnid x}{\*\annotation y}})",
         u"abc",
         {QStringLiteral("1 office math group(s) were shown as plain text (first at byte 11)."),
          QStringLiteral("1 comment(s) were not shown (first at byte 43).")}},
        {R"({\rtf1{\info{\comment {\header h}}}\cols1 x})", u"x", {}},
    };
    for (const auto& c : cases) {
        TRtfRead r(QByteArray(c.rtf));
        EXPECT_EQ(r.Text(), QString::fromUtf16(c.text)) << c.rtf;
        EXPECT_EQ(r.result.warnings, c.warnings) << c.rtf;
    }
}

} // namespace
