// Text in symbol fonts: their bytes are glyph codes, not text in the document's code page.
#include <gtest/gtest.h>

#include "richtext/KpRtfSymbolFonts.h"
#include "rtf_test_helpers.h"

namespace {

struct TSymbolCase {
    const char* name;
    const char* rtf;
    const char16_t* text;
};

void PrintTo(const TSymbolCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfSymbolFont : public ::testing::TestWithParam<TSymbolCase> {};

TEST_P(RtfSymbolFont, ReadsAs) {
    TRtfRead r(QByteArray(GetParam().rtf));
    EXPECT_EQ(r.Text(), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, RtfSymbolFont,
    ::testing::Values(
        TSymbolCase{
            "symbol_by_charset_and_name",
            R"({\rtf1\ansi{\fonttbl{\f0 Times;}{\f1\fcharset2 Symbol;}}\f1 \'c5a=p\f0 \'c5})",
            u"\u2295\u03B1=\u03C0\u00C5"},
        TSymbolCase{"symbol_by_name_only",
                    R"({\rtf1{\fonttbl{\f3\fnil Symbol;}}{\f3 \'b3\'a5 D}x})",
                    u"\u2265\u221E \u0394x"},
        TSymbolCase{"dingbats_private_use",
                    R"({\rtf1{\fonttbl{\f2\fnil\fcharset2 Wingdings;}}{\f2 \'a7\'fc}})",
                    u"\uF0A7\uF0FC"},
        TSymbolCase{"any_symbol_charset", R"({\rtf1{\fonttbl{\f4\fcharset2 Marlett;}}{\f4 a}})",
                    u"\uF061"},
        TSymbolCase{"unicode_escape_kept",
                    R"({\rtf1{\fonttbl{\f2\fcharset2 Wingdings;}}{\f2 \u61607\'a7}})", u"\uF0A7"},
        TSymbolCase{"default_font", R"({\rtf1\deff1{\fonttbl{\f1\fcharset2 Symbol;}}l})",
                    u"\u03BB"}));

TEST(RtfSymbolFontKind, FromCharsetAndName) {
    EXPECT_EQ(rtf::SymbolFontKind(0, QStringLiteral(" symbol ")), rtf::TSymbolFont::Greek);
    EXPECT_EQ(rtf::SymbolFontKind(0, QStringLiteral("Wingdings 2")), rtf::TSymbolFont::PrivateUse);
    EXPECT_EQ(rtf::SymbolFontKind(2, QStringLiteral("Foo")), rtf::TSymbolFont::PrivateUse);
    EXPECT_EQ(rtf::SymbolFontKind(0, QStringLiteral("Symbola")), rtf::TSymbolFont::None);
}

} // namespace
