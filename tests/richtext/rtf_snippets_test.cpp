// Hand-written snippets, one table of cases per control-word family.
#include <gtest/gtest.h>

#include <functional>

#include <QBuffer>
#include <QTextImageFormat>
#include <QTextTable>

#include "rtf_test_helpers.h"

namespace {

struct TTextCase {
    const char* name;
    const char* rtf;
    const char16_t* text; // the document's text, blocks separated by '\n'
};

void PrintTo(const TTextCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfText : public ::testing::TestWithParam<TTextCase> {};

TEST_P(RtfText, ReadsAs) {
    TRtfRead r(QByteArray(GetParam().rtf));
    EXPECT_TRUE(r.result.ok);
    EXPECT_EQ(r.Text(), QString::fromUtf16(GetParam().text));
    EXPECT_TRUE(r.result.warnings.isEmpty())
        << r.result.warnings.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, RtfText,
    ::testing::Values(
        TTextCase{"literals", R"({\rtf1 a\\b\{c\}d})", u"a\\b{c}d"},
        TTextCase{"line_ends_ignored", "{\\rtf1 ab\r\ncd\ne}", u"abcde"},
        TTextCase{"word_delimiter_space", R"({\rtf1 \b  two})", u" two"},
        TTextCase{"number_ended_by_letter", R"({\rtf1 \b1a\b0b})", u"ab"},
        TTextCase{"tab_line", R"({\rtf1 a\tab b\line c})", u"a\tb\u2028c"},
        TTextCase{"dashes_bullet_quotes",
                  R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
                  u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D"},
        TTextCase{"symbols", R"({\rtf1 a\~b\-c\_d})", u"a\u00A0b\u00ADc\u2011d"},
        TTextCase{"spaces_marks", R"({\rtf1 \emspace\enspace\qmspace\zwj\zwnj\ltrmark\rtlmark})",
                  u"\u2003\u2002\u2005\u200D\u200C\u200E\u200F"}));

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, RtfText,
    ::testing::Values(TTextCase{"par", R"({\rtf1 a\par b})", u"a\nb"},
                      TTextCase{"backslash_newline", "{\\rtf1 a\\\nb}", u"a\nb"},
                      TTextCase{"trailing_par_dropped", R"({\rtf1 a\par})", u"a"},
                      TTextCase{"empty_paragraphs_kept", R"({\rtf1 a\par\par b\par})", u"a\n\nb"},
                      TTextCase{"page_ends_paragraph", R"({\rtf1 a\page b})", u"a\nb"},
                      TTextCase{"sect_ends_paragraph", R"({\rtf1 a\sect b})", u"a\nb"},
                      TTextCase{"hidden_text_dropped", R"({\rtf1 a{\v hidden}b})", u"ab"}));

INSTANTIATE_TEST_SUITE_P(
    Unicode, RtfText,
    ::testing::Values(TTextCase{"u_with_fallback", R"({\rtf1 \u8364?x})", u"\u20ACx"},
                      TTextCase{"negative_u", R"({\rtf1 \u-3913?})", u"\uF0B7"},
                      TTextCase{"uc2_skips_two", R"({\rtf1 {\uc2\u228\'e4x}y})", u"\u00E4y"},
                      TTextCase{"uc0_skips_none", R"({\rtf1 \uc0\u228 x})", u"\u00E4x"},
                      TTextCase{"uc_scoped_to_group", R"({\rtf1 {\uc2 a}\u228?b})", u"a\u00E4b"},
                      TTextCase{"skip_counts_control_words", R"({\rtf1 \uc2\u228\tab\'e4b})",
                                u"\u00E4b"},
                      TTextCase{"skip_ends_at_group", R"({\rtf1 \uc3\u228{x}y})", u"\u00E4xy"},
                      TTextCase{"surrogate_pair", R"({\rtf1 \u-10179?\u-8694?!})", u"\U0001F60A!"},
                      TTextCase{"lone_high_surrogate", R"({\rtf1 \u-10179?x})", u"\uFFFDx"},
                      TTextCase{"lone_low_surrogate", R"({\rtf1 \u-8694?x})", u"\uFFFDx"},
                      TTextCase{"beyond_16_bits", R"({\rtf1 \u70000?x})", u"\uFFFDx"}));

INSTANTIATE_TEST_SUITE_P(
    CodePages, RtfText,
    ::testing::Values(
        TTextCase{"ansi_default", R"({\rtf1\ansi \'e9\'93\'80})", u"\u00E9\u201C\u20AC"},
        TTextCase{"ansicpg1251", R"({\rtf1\ansi\ansicpg1251 \'c4\'e0})", u"\u0414\u0430"},
        TTextCase{"mac", R"({\rtf1\mac \'8e})", u"\u00E9"},
        TTextCase{"pc", R"({\rtf1\pc \'82})", u"\u00E9"},
        TTextCase{"font_charset_greek", R"({\rtf1{\fonttbl{\f0\fcharset161 G;}}\f0\'e1})",
                  u"\u03B1"},
        TTextCase{"font_cpg", R"({\rtf1{\fonttbl{\f0\cpg1250 C;}}\f0\'9a})", u"\u0161"},
        TTextCase{"shift_jis_pair", R"({\rtf1{\fonttbl{\f1\fcharset128 J;}}\f1\'82\'a0})",
                  u"\u3042"},
        TTextCase{"shift_jis_ascii_trail", R"({\rtf1{\fonttbl{\f1\fcharset128 J;}}\f1\'83A})",
                  u"\u30A2"},
        TTextCase{"gbk_pair", R"({\rtf1{\fonttbl{\f1\fcharset134 G;}}\f1\'c4\'e3})", u"\u4F60"},
        TTextCase{"big5_pair", R"({\rtf1{\fonttbl{\f1\fcharset136 B;}}\f1\'a4\'a4})", u"\u4E2D"},
        TTextCase{"hangul_pair", R"({\rtf1{\fonttbl{\f1\fcharset129 H;}}\f1\'b0\'a1})", u"\uAC00"},
        TTextCase{"font_scoped_to_group",
                  R"({\rtf1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 C;}}{\f1\'c4}\'c4})",
                  u"\u0414\u00C4"},
        TTextCase{"deff_code_page", R"({\rtf1\deff1{\fonttbl{\f1\fcharset204 C;}}\'c4})",
                  u"\u0414"}));

INSTANTIATE_TEST_SUITE_P(
    Destinations, RtfText,
    ::testing::Values(
        TTextCase{
            "tables_not_shown",
            R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;}{\stylesheet{\s1 H;}}x})",
            u"x"},
        TTextCase{"info_skipped", R"({\rtf1{\info{\title T}{\author A}}x})", u"x"},
        TTextCase{"starred_unknown_skipped", R"({\rtf1{\*\whatever a{b}c}x})", u"x"},
        TTextCase{"starred_known_word_skipped", R"({\rtf1{\*\b a}x})", u"x"},
        TTextCase{"unstarred_unknown_shown", R"({\rtf1{\whatever a}x})", u"ax"},
        TTextCase{"listtext", R"({\rtf1{\listtext 1.\tab}One\par{\pntext\f0 2.\tab}Two})",
                  u"1.\tOne\n2.\tTwo"},
        TTextCase{"field_result", R"({\rtf1 p{\field{\*\fldinst PAGEREF mark}{\fldrslt 3}}})",
                  u"p3"},
        TTextCase{"field_without_result", R"({\rtf1 a{\field{\*\fldinst PAGEREF mark}}b})", u"ab"},
        TTextCase{"nested_field",
                  R"({\rtf1{\field{\*\fldinst A{\field{\*\fldinst B}{\fldrslt x}}}{\fldrslt y}}})",
                  u"y"},
        TTextCase{"binary_skipped", "{\\rtf1 a{\\*\\x\\bin3 }{}}b}", u"ab"}));

// --- Formats -----------------------------------------------------------------------------

struct TFormatCase {
    const char* name;
    const char* rtf;
    const char* probe; // text whose first character is looked at
    std::function<bool(const QTextCharFormat&)> check;
};

void PrintTo(const TFormatCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfCharFormat : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(RtfCharFormat, Holds) {
    TRtfRead r(QByteArray(GetParam().rtf));
    const QTextCharFormat f = r.FormatAt(QString::fromUtf8(GetParam().probe));
    ASSERT_TRUE(f.isValid()) << "probe not found: " << r.Text().toStdString();
    EXPECT_TRUE(GetParam().check(f));
}

const char* const kColors = R"({\colortbl;\red255\green0\blue0;\red0\green128\blue0;})";

INSTANTIATE_TEST_SUITE_P(
    Characters, RtfCharFormat,
    ::testing::Values(
        TFormatCase{"bold", R"({\rtf1 {\b x}y})", "x",
                    [](const QTextCharFormat& f) { return f.fontWeight() == QFont::Bold; }},
        TFormatCase{"bold_group_ends", R"({\rtf1 {\b x}y})", "y",
                    [](const QTextCharFormat& f) { return f.fontWeight() == QFont::Normal; }},
        TFormatCase{"bold0", R"({\rtf1 \b x\b0 y})", "y",
                    [](const QTextCharFormat& f) { return f.fontWeight() == QFont::Normal; }},
        TFormatCase{"italic", R"({\rtf1 \i x})", "x",
                    [](const QTextCharFormat& f) { return f.fontItalic(); }},
        TFormatCase{"underline", R"({\rtf1 \ul x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.underlineStyle() == QTextCharFormat::SingleUnderline;
                    }},
        TFormatCase{"underline_none", R"({\rtf1 \ul w\ulnone x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.underlineStyle() == QTextCharFormat::NoUnderline;
                    }},
        TFormatCase{"underline_wave", R"({\rtf1 \ulwave x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.underlineStyle() == QTextCharFormat::WaveUnderline;
                    }},
        TFormatCase{"strike", R"({\rtf1 \strike x})", "x",
                    [](const QTextCharFormat& f) { return f.fontStrikeOut(); }},
        TFormatCase{"super", R"({\rtf1 \super x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.verticalAlignment() == QTextCharFormat::AlignSuperScript;
                    }},
        TFormatCase{"sub", R"({\rtf1 \sub x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.verticalAlignment() == QTextCharFormat::AlignSubScript;
                    }},
        TFormatCase{"nosupersub", R"({\rtf1 \sub w\nosupersub x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.verticalAlignment() == QTextCharFormat::AlignNormal;
                    }},
        TFormatCase{"size_half_points", R"({\rtf1 \fs21 x})", "x",
                    [](const QTextCharFormat& f) { return f.fontPointSize() == 10.5; }},
        TFormatCase{"default_size_12", R"({\rtf1 x})", "x",
                    [](const QTextCharFormat& f) { return f.fontPointSize() == 12; }},
        TFormatCase{"font_family",
                    R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\froman Times New Roman;}}\f1 x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.fontFamilies().toStringList() ==
                               QStringList{QStringLiteral("Times New Roman")};
                    }},
        TFormatCase{"default_font", R"({\rtf1\deff1{\fonttbl{\f0 A;}{\f1 Liberation Serif;}} x})",
                    "x",
                    [](const QTextCharFormat& f) {
                        return f.fontFamilies().toStringList() ==
                               QStringList{QStringLiteral("Liberation Serif")};
                    }},
        TFormatCase{"plain_resets", R"({\rtf1 \b\i\fs40 w\plain x})", "x",
                    [](const QTextCharFormat& f) {
                        return !f.fontItalic() && f.fontWeight() == QFont::Normal &&
                               f.fontPointSize() == 12;
                    }},
        TFormatCase{"colour", R"({\rtf1{\colortbl;\red255\green0\blue0;}\cf1 x})", "x",
                    [](const QTextCharFormat& f) { return f.foreground().color() == Qt::red; }},
        TFormatCase{
            "colour_auto", R"({\rtf1{\colortbl;\red255\green0\blue0;}\cf0 x})", "x",
            [](const QTextCharFormat& f) { return !f.hasProperty(QTextFormat::ForegroundBrush); }},
        TFormatCase{
            "highlight", R"({\rtf1{\colortbl;\red0\green128\blue0;}\highlight1 x})", "x",
            [](const QTextCharFormat& f) { return f.background().color() == QColor(0, 128, 0); }},
        TFormatCase{
            "background_cb", R"({\rtf1{\colortbl;\red0\green128\blue0;}\cb1 x})", "x",
            [](const QTextCharFormat& f) { return f.background().color() == QColor(0, 128, 0); }},
        TFormatCase{
            "caps", R"({\rtf1 \caps x})", "x",
            [](const QTextCharFormat& f) { return f.fontCapitalization() == QFont::AllUppercase; }},
        TFormatCase{
            "hyperlink",
            R"({\rtf1{\field{\*\fldinst HYPERLINK "http://example.org/a b"}{\fldrslt go}}})", "go",
            [](const QTextCharFormat& f) {
                return f.isAnchor() && f.anchorHref() == QLatin1String("http://example.org/a b") &&
                       f.fontUnderline() && f.foreground().color() == QColor(0, 0, 255);
            }},
        TFormatCase{
            "hyperlink_anchor_switch",
            R"({\rtf1{\field{\*\fldinst HYPERLINK \\l "part2" \\o "tip"}{\fldrslt go}}})", "go",
            [](const QTextCharFormat& f) { return f.anchorHref() == QLatin1String("#part2"); }},
        TFormatCase{
            "hyperlink_own_colour",
            R"({\rtf1{\colortbl;\red255\green0\blue0;}{\field{\*\fldinst HYPERLINK "u"}{\fldrslt\cf1 go}}})",
            "go",
            [](const QTextCharFormat& f) {
                return f.isAnchor() && f.foreground().color() == Qt::red;
            }},
        TFormatCase{"link_ends_with_field",
                    R"({\rtf1{\field{\*\fldinst HYPERLINK "u"}{\fldrslt go}} after})", "after",
                    [](const QTextCharFormat& f) { return !f.isAnchor(); }},
        TFormatCase{"other_field_no_link", R"({\rtf1{\field{\*\fldinst PAGE}{\fldrslt 7}}})", "7",
                    [](const QTextCharFormat& f) { return !f.isAnchor(); }},
        TFormatCase{"style_applied",
                    R"({\rtf1{\stylesheet{\s0 Normal;}{\s2\b\fs32 Heading;}}\pard\s2 x})", "x",
                    [](const QTextCharFormat& f) {
                        return f.fontWeight() == QFont::Bold && f.fontPointSize() == 16;
                    }},
        TFormatCase{
            "character_style_adds_what_it_states",
            R"({\rtf1{\stylesheet{\s0 Normal;}{\*\cs10\additive\b\ul Strong;}}\fs40 {\cs10 x}})",
            "x",
            [](const QTextCharFormat& f) {
                return f.fontWeight() == QFont::Bold &&
                       f.underlineStyle() == QTextCharFormat::SingleUnderline &&
                       f.fontPointSize() == 20;
            }},
        TFormatCase{
            "character_style_is_not_a_paragraph_style",
            R"({\rtf1{\stylesheet{\s0\fs40 Normal;}{\cs1\i Emphasis;}}\pard\s0 x})", "x",
            [](const QTextCharFormat& f) { return f.fontPointSize() == 20 && !f.fontItalic(); }},
        TFormatCase{"table_style_is_not_a_paragraph_style",
                    R"({\rtf1{\stylesheet{\s0\fs40 Normal;}{\*\ts11\fs10 Grid;}}\pard\s0 x})", "x",
                    [](const QTextCharFormat& f) { return f.fontPointSize() == 20; }}));

struct TBlockCase {
    const char* name;
    const char* rtf;
    const char* probe;
    std::function<bool(const QTextBlockFormat&)> check;
};

void PrintTo(const TBlockCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfBlockFormat : public ::testing::TestWithParam<TBlockCase> {};

TEST_P(RtfBlockFormat, Holds) {
    TRtfRead r(QByteArray(GetParam().rtf));
    const QTextBlock b = r.BlockWith(QString::fromUtf8(GetParam().probe));
    ASSERT_TRUE(b.isValid()) << "probe not found: " << r.Text().toStdString();
    EXPECT_TRUE(GetParam().check(b.blockFormat()));
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, RtfBlockFormat,
    ::testing::Values(
        TBlockCase{"centre", R"({\rtf1 \qc x})", "x",
                   [](const QTextBlockFormat& f) { return f.alignment() == Qt::AlignHCenter; }},
        TBlockCase{"right", R"({\rtf1 \qr x})", "x",
                   [](const QTextBlockFormat& f) { return f.alignment() == Qt::AlignRight; }},
        TBlockCase{"justify", R"({\rtf1 \qj x})", "x",
                   [](const QTextBlockFormat& f) { return f.alignment() == Qt::AlignJustify; }},
        TBlockCase{"pard_resets", R"({\rtf1 \qc\li720 w\par\pard x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.alignment() == Qt::AlignLeft && f.leftMargin() == 0;
                   }},
        TBlockCase{"properties_carry_over", R"({\rtf1 \qc w\par x})", "x",
                   [](const QTextBlockFormat& f) { return f.alignment() == Qt::AlignHCenter; }},
        TBlockCase{"last_setting_wins", R"({\rtf1 \ql x\qr\par})", "x",
                   [](const QTextBlockFormat& f) { return f.alignment() == Qt::AlignRight; }},
        TBlockCase{"indents_over_15", R"({\rtf1 \li720\ri360\fi-240 x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.leftMargin() == 48 && f.rightMargin() == 24 &&
                              f.textIndent() == -16;
                   }},
        TBlockCase{"spacing_over_15", R"({\rtf1 \sb300\sa150 x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.topMargin() == 20 && f.bottomMargin() == 10;
                   }},
        // The engine keeps the larger of two facing margins; the space after the paragraph
        // above is added to the top margin, so the two add up.
        TBlockCase{"space_after_joins_next_top", R"({\rtf1 \sa150 w\par\sb300 x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.topMargin() == 30 && f.bottomMargin() == 10;
                   }},
        TBlockCase{"line_at_least", R"({\rtf1 \sl360 x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.lineHeightType() == QTextBlockFormat::MinimumHeight &&
                              f.lineHeight() == 24;
                   }},
        TBlockCase{"line_exact", R"({\rtf1 \sl-300 x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.lineHeightType() == QTextBlockFormat::FixedHeight &&
                              f.lineHeight() == 20;
                   }},
        TBlockCase{"line_multiple", R"({\rtf1 \sl360\slmult1 x})", "x",
                   [](const QTextBlockFormat& f) {
                       return f.lineHeightType() == QTextBlockFormat::ProportionalHeight &&
                              f.lineHeight() == 150;
                   }},
        TBlockCase{"no_tab_no_stops", R"({\rtf1 \tx720 x})", "x",
                   [](const QTextBlockFormat& f) { return f.tabPositions().isEmpty(); }},
        TBlockCase{"page_breaks_before_next", R"({\rtf1 a\par\page b})", "b",
                   [](const QTextBlockFormat& f) {
                       return f.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore;
                   }},
        TBlockCase{"page_not_before_its_own", R"({\rtf1 a\page b})", "a",
                   [](const QTextBlockFormat& f) {
                       return f.pageBreakPolicy() == QTextFormat::PageBreak_Auto;
                   }},
        TBlockCase{"pagebb", R"({\rtf1 a\par\pagebb b})", "b",
                   [](const QTextBlockFormat& f) {
                       return f.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore;
                   }},
        TBlockCase{"sect_breaks", R"({\rtf1 a\sect\sectd b})", "b",
                   [](const QTextBlockFormat& f) {
                       return f.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore;
                   }},
        TBlockCase{"continuous_section", R"({\rtf1 a\sect\sectd\sbknone b})", "b",
                   [](const QTextBlockFormat& f) {
                       return f.pageBreakPolicy() == QTextFormat::PageBreak_Auto;
                   }},
        TBlockCase{"sbknone_keeps_page", R"({\rtf1 a\page\sbknone b})", "b",
                   [](const QTextBlockFormat& f) {
                       return f.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore;
                   }}));

// --- Tab stops: positions in 1/96 inch from the first line's start -------------------------

struct TTabCase {
    const char* name;
    const char* rtf;
    std::vector<QTextOption::Tab> first; // the block's first stops
};

void PrintTo(const TTabCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfTabStops : public ::testing::TestWithParam<TTabCase> {};

TEST_P(RtfTabStops, Listed) {
    TRtfRead r(QByteArray(GetParam().rtf));
    const auto tabs = r.doc.begin().blockFormat().tabPositions();
    const auto& want = GetParam().first;
    ASSERT_GE(tabs.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_DOUBLE_EQ(tabs[i].position, want[i].position) << i;
        EXPECT_EQ(tabs[i].type, want[i].type) << i;
        EXPECT_EQ(tabs[i].delimiter, want[i].delimiter) << i;
    }
}

using Tab = QTextOption::Tab;
INSTANTIATE_TEST_SUITE_P(
    Paragraphs, RtfTabStops,
    ::testing::Values(TTabCase{"kinds_then_defaults",
                               R"({\rtf1 \tx720\tqr\tx2880 a\tab b})",
                               {Tab(48, QTextOption::LeftTab), Tab(192, QTextOption::RightTab),
                                Tab(240, QTextOption::LeftTab), Tab(288, QTextOption::LeftTab)}},
                      TTabCase{"centre_and_decimal",
                               R"({\rtf1 \tqc\tx1440\tqdec\tx2880 a\tab b})",
                               {Tab(96, QTextOption::CenterTab),
                                Tab(192, QTextOption::DelimiterTab, QLatin1Char('.'))}},
                      TTabCase{"hanging_indent_stop",
                               R"({\rtf1 \li720\fi-360 x\tab item})",
                               {Tab(24, QTextOption::LeftTab), Tab(72, QTextOption::LeftTab)}},
                      TTabCase{"behind_the_start_dropped",
                               R"({\rtf1 \li1440\tx720\tx2160 a\tab b})",
                               {Tab(48, QTextOption::LeftTab), Tab(96, QTextOption::LeftTab)}},
                      TTabCase{"deftab",
                               R"({\rtf1\deftab360 a\tab b})",
                               {Tab(24, QTextOption::LeftTab), Tab(48, QTextOption::LeftTab)}},
                      TTabCase{"bar_tab_no_stop",
                               R"({\rtf1 \tqr\tb1000\tx1440 a\tab b})",
                               {Tab(96, QTextOption::LeftTab)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfTabStops, DefaultStopsAreBounded) {
    TRtfRead r(R"({\rtf1\deftab1 a\tab b})");
    EXPECT_EQ(r.doc.begin().blockFormat().tabPositions().size(), 64);
}

// --- Tables ------------------------------------------------------------------------------

QTextTable* OnlyTable(QTextDocument& doc, int expectedTables = 1) {
    QList<QTextTable*> tables;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f)) tables << t;
    EXPECT_EQ(tables.size(), expectedTables);
    return tables.isEmpty() ? nullptr : tables.front();
}

TEST(RtfTables, RowsBecomeOneTableWithWidthsAndBorders) {
    TRtfRead r(R"({\rtf1{\colortbl;\red255\green0\blue0;}before\par
\trowd\trgaph75\clbrdrt\brdrs\brdrw30\brdrcf1\clcbpat1\cellx1440\clvertalc\cellx4320
\pard\intbl a\cell b\par b2\cell\row
\trowd\cellx1440\cellx4320\pard\intbl c\cell d\cell\row
\pard after\par})");
    EXPECT_EQ(r.Text(), QStringLiteral("before\na\tb\nb2\t\nc\td\t\nafter"));
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 2);
    const auto widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 96));
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 192));
    EXPECT_DOUBLE_EQ(t->format().cellPadding(), 0);
    const QTextTableCellFormat a = t->cellAt(0, 0).format().toTableCellFormat();
    // The gap pads a cell sideways only.
    EXPECT_DOUBLE_EQ(a.leftPadding(), 5);
    EXPECT_DOUBLE_EQ(a.rightPadding(), 5);
    EXPECT_DOUBLE_EQ(a.topPadding(), 0);
    EXPECT_DOUBLE_EQ(a.bottomPadding(), 0);
    EXPECT_DOUBLE_EQ(a.topBorder(), 2);
    EXPECT_EQ(a.topBorderBrush().color(), Qt::red);
    EXPECT_EQ(a.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_DOUBLE_EQ(a.leftBorder(), 0);
    EXPECT_EQ(a.background().color(), Qt::red);
    EXPECT_EQ(t->cellAt(0, 1).format().verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_DOUBLE_EQ(t->cellAt(1, 0).format().toTableCellFormat().topBorder(), 0);
}

struct TFillCase {
    const char* name;
    const char* cell; // cell definition words
    QColor fill;      // invalid: no background
};

void PrintTo(const TFillCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfCellFill : public ::testing::TestWithParam<TFillCase> {};

TEST_P(RtfCellFill, Mixed) {
    TRtfRead r(QByteArray(R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
                          R"(\trowd)") +
               GetParam().cell + R"(\cellx1440\intbl a\cell\row})");
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    const QBrush b = t->cellAt(0, 0).format().background();
    if (!GetParam().fill.isValid()) {
        EXPECT_EQ(b.style(), Qt::NoBrush);
    } else {
        EXPECT_EQ(b.color(), GetParam().fill);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RtfCellFill,
    ::testing::Values(
        TFillCase{"none", "", QColor()}, TFillCase{"background", R"(\clcbpat2)", QColor(0, 0, 255)},
        TFillCase{"shading_zero_keeps_background", R"(\clcbpat2\clshdng0)", QColor(0, 0, 255)},
        TFillCase{"auto_pattern_is_black_on_white", R"(\clshdng2000)", QColor(204, 204, 204)},
        TFillCase{"pattern_over_background", R"(\clcfpat1\clcbpat2\clshdng5000)",
                  QColor(128, 0, 128)},
        TFillCase{"full_pattern", R"(\clcfpat1\clshdng10000)", QColor(255, 0, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfTables, RowBordersApplyToCellsWithoutTheirOwn) {
    TRtfRead r(R"({\rtf1\trowd\trbrdrt\brdrs\brdrw15\trbrdrh\brdrdb\brdrw45\cellx1000\cellx2000
\intbl a\cell b\cell\row\intbl c\cell d\cell\row})");
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    // The top rim on the first row; the inside line between rows.
    EXPECT_DOUBLE_EQ(t->cellAt(0, 0).format().toTableCellFormat().topBorder(), 1);
    const QTextTableCellFormat lower = t->cellAt(1, 1).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(lower.topBorder(), 3);
    EXPECT_EQ(lower.topBorderStyle(), QTextFrameFormat::BorderStyle_Double);
}

TEST(RtfTables, RowOfOtherWidthStartsANewTable) {
    TRtfRead r(R"({\rtf1\trowd\cellx1000\cellx2000\intbl a\cell b\cell\row
\trowd\cellx3000\intbl c\cell\row})");
    OnlyTable(r.doc, 2);
    EXPECT_EQ(r.Text(), QStringLiteral("\na\tb\t\n\nc\t\n"));
}

TEST(RtfTables, UnfinishedRowAndMissingCellxStillReadable) {
    TRtfRead r(R"({\rtf1\intbl a\cell b\cell})");
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->columns(), 2);
    EXPECT_EQ(t->format().columnWidthConstraints().value(0).type(), QTextLength::VariableLength);
    EXPECT_EQ(r.Text(), QStringLiteral("\na\tb\t\n"));
}

TEST(RtfTables, MergedCellsFlattened) {
    TRtfRead r(R"({\rtf1\trowd\clmgf\cellx1000\clmrg\cellx2000\intbl wide\cell\cell\row
\trowd\clvmgf\cellx1000\cellx2000\intbl tall\cell x\cell\row
\trowd\clvmrg\cellx1000\cellx2000\intbl\cell y\cell\row})");
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), 3);
    EXPECT_EQ(r.Text(), QStringLiteral("\nwide\t\t\ntall\tx\t\n\ty\t\n"));
}

TEST(RtfTables, ColumnsCappedExtraCellsJoinTheLast) {
    QByteArray rtf = "{\\rtf1\\trowd";
    for (int c = 0; c < 70; ++c)
        rtf += "\\intbl " + QByteArray::number(c) + "\\cell";
    rtf += "\\row}";
    TRtfRead r(rtf);
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->columns(), 63);
    EXPECT_EQ(QTextCursor(t->cellAt(0, 62).lastCursorPosition()).block().text(),
              QStringLiteral("69"));
}

TEST(RtfTables, PageBreakBeforeTableGoesOnTheTable) {
    TRtfRead r(R"({\rtf1 a\page\trowd\cellx1000\intbl b\cell\row})");
    QTextTable* t = OnlyTable(r.doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->format().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
}

// --- Pictures ----------------------------------------------------------------------------

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage TestImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image;
}

struct TShownPicture {
    QTextImageFormat format;
    QImage image;
};

QList<TShownPicture> Pictures(QTextDocument& doc) {
    QList<TShownPicture> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
            if (!f.isValid()) continue;
            out << TShownPicture{
                f, doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>()};
        }
    }
    return out;
}

QByteArray Pict(const QByteArray& words, const QByteArray& data) {
    return "{\\pict" + words + " " + data.toHex() + "}";
}

TEST(RtfPictures, KindsAndSizes) {
    const QByteArray png = Encoded(TestImage(40, 20), "PNG");
    const QByteArray jpeg = Encoded(TestImage(30, 30), "JPEG");
    QByteArray bmp = Encoded(TestImage(8, 4), "BMP");
    const QByteArray dib = bmp.mid(14); // a device-independent bitmap has no file header
    struct TCase {
        const char* name;
        QByteArray pict;
        QSize pixels; // of the decoded image; empty for a placeholder
        QSizeF shown; // 1/96 inch
    } cases[] = {
        {"png_natural", Pict("\\pngblip", png), {40, 20}, {40, 20}},
        {"png_goal", Pict("\\pngblip\\picwgoal1440\\pichgoal720", png), {40, 20}, {96, 48}},
        {"png_scaled",
         Pict("\\pngblip\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley200", png),
         {40, 20},
         {48, 96}},
        {"jpeg", Pict("\\jpegblip\\picwgoal300\\pichgoal300", jpeg), {30, 30}, {20, 20}},
        {"dib", Pict("\\dibitmap0\\picw8\\pich4", dib), {8, 4}, {8, 4}},
        {"wmf_placeholder", Pict("\\wmetafile8\\picw2540\\pich1270", "0102"), {}, {96, 48}},
        {"emf_goal_placeholder",
         Pict("\\emfblip\\picw100\\pich100\\picwgoal720\\pichgoal1440", "01"),
         {},
         {48, 96}},
        {"binary_data",
         "{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}",
         {40, 20},
         {40, 20}},
        {"goal_capped",
         Pict("\\pngblip\\picwgoal99999999\\pichgoal720", png),
         {40, 20},
         {31680 / 15.0, 48}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRtfRead r("{\\rtf1 a" + c.pict + "b}");
        EXPECT_EQ(r.Text(), QStringLiteral("a") + QChar(QChar::ObjectReplacementCharacter) +
                                QStringLiteral("b"));
        const auto pictures = Pictures(r.doc);
        ASSERT_EQ(pictures.size(), 1);
        EXPECT_DOUBLE_EQ(pictures[0].format.width(), c.shown.width());
        EXPECT_DOUBLE_EQ(pictures[0].format.height(), c.shown.height());
        if (!c.pixels.isEmpty()) {
            EXPECT_EQ(pictures[0].image.size(), c.pixels);
            const QColor pixel = pictures[0].image.pixelColor(1, 1); // JPEG is lossy
            EXPECT_GT(pixel.blue(), 240);
            EXPECT_LT(pixel.red(), 16);
        } else {
            // A light box with a darker rim.
            EXPECT_EQ(pictures[0].image.size(), c.shown.toSize());
            EXPECT_EQ(pictures[0].image.pixelColor(5, 5), QColor(0xF4, 0xF4, 0xF4));
            EXPECT_EQ(pictures[0].image.pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0));
        }
        // The boxes stand for metafiles that could not be drawn: the reader says so once.
        EXPECT_EQ(r.result.warnings.size(), c.pixels.isEmpty() ? 1 : 0);
        if (c.pixels.isEmpty())
            EXPECT_TRUE(r.result.warnings.value(0).startsWith(QLatin1String("1 metafile")));
    }
}

TEST(RtfPictures, ShapePictureWinsOverItsFallbacks) {
    const QByteArray big = Pict("\\pngblip", Encoded(TestImage(40, 20), "PNG"));
    const QByteArray small = Pict("\\wmetafile8\\picw100\\pich100", "00");
    struct TCase {
        const char* name;
        QByteArray body;
    } cases[] = {
        {"shppict", "{\\*\\shppict" + big + "}{\\nonshppict" + small + "}"},
        {"shape_pib", "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv " +
                          big + "}}}{\\shprslt" + small + "}}"},
        {"nonshppict_alone", "{\\nonshppict" + big + "}"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRtfRead r("{\\rtf1 " + c.body + "}");
        const auto pictures = Pictures(r.doc);
        ASSERT_EQ(pictures.size(), 1);
        EXPECT_EQ(pictures[0].image.size(), QSize(40, 20));
    }
}

TEST(RtfPictures, PictureInsideTableCellAndLink) {
    const QByteArray png = Pict("\\pngblip", Encoded(TestImage(4, 4), "PNG"));
    TRtfRead r("{\\rtf1\\trowd\\cellx1000\\intbl " + png +
               "\\cell\\row{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt " + png + "}}}");
    const auto pictures = Pictures(r.doc);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_TRUE(pictures[1].format.isAnchor());
    EXPECT_EQ(pictures[1].format.anchorHref(), QStringLiteral("u"));
}

} // namespace
