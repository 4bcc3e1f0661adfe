// Malformed and hostile input: what could be read plus a warning, never a crash or a hang.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTextImageFormat>

#include "rtf_test_helpers.h"

namespace {

struct TLimitCase {
    const char* name;
    QByteArray rtf;
    QString text;
    const char* warning; // a piece of the expected warning; nullptr for none
};

void PrintTo(const TLimitCase& c, std::ostream* os) {
    *os << c.name;
}

QByteArray Repeated(const char* piece, int times) {
    return QByteArray(piece).repeated(times);
}

QByteArray PngBytes(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class RtfLimits : public ::testing::TestWithParam<TLimitCase> {};

TEST_P(RtfLimits, ReadsWhatItCan) {
    const TLimitCase& c = GetParam();
    TRtfRead r(c.rtf);
    EXPECT_TRUE(r.result.ok);
    EXPECT_EQ(r.Text(), c.text);
    const QString warnings = r.result.warnings.join(QLatin1Char('\n'));
    if (c.warning)
        EXPECT_TRUE(warnings.contains(QLatin1String(c.warning))) << warnings.toStdString();
    else
        EXPECT_TRUE(warnings.isEmpty()) << warnings.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Input, RtfLimits,
    ::testing::Values(
        TLimitCase{"nesting_at_cap_read",
                   "{\\rtf1 a" + Repeated("{", 126) + "x" + Repeated("}", 126) + "b}",
                   QStringLiteral("axb"), nullptr},
        TLimitCase{"deeper_groups_skipped",
                   "{\\rtf1 a" + Repeated("{", 127) + "x{deep{\\bin1 }}}y" + Repeated("}", 126) +
                       "b}",
                   QStringLiteral("axyb"), "deeper than 128"},
        TLimitCase{"stray_close_ignored", "{\\rtf1 a}}b}", QStringLiteral("ab"), "stray"},
        TLimitCase{"trailing_blank_after_end", "{\\rtf1 a}\r\n\0\0"_qba, QStringLiteral("a"),
                   nullptr},
        TLimitCase{"open_groups_closed", "{\\rtf1 {\\b a{\\i b", QStringLiteral("ab"),
                   "3 group(s) still open"},
        TLimitCase{"open_field_closed",
                   "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt go",
                   QStringLiteral("go"), "still open"},
        TLimitCase{"word_of_32_letters", "{\\rtf1 a\\" + Repeated("x", 32) + " b}",
                   QStringLiteral("ab"), nullptr},
        TLimitCase{"word_too_long", "{\\rtf1 a\\b" + Repeated("x", 40) + " b}",
                   QStringLiteral("ab"), "longer than 32"},
        TLimitCase{"long_word_never_a_known_one", "{\\rtf1 a\\" + Repeated("par", 20) + " b}",
                   QStringLiteral("ab"), "longer than 32"},
        TLimitCase{"parameter_clamped", "{\\rtf1 \\li99999999999999999999 a}", QStringLiteral("a"),
                   "beyond 32 bits"},
        TLimitCase{"negative_parameter_clamped", "{\\rtf1 \\u-99999999999 a}",
                   QString(QChar(0xFFFD)), "beyond 32 bits"},
        TLimitCase{"bin_past_end", "{\\rtf1 a{\\pict\\pngblip\\bin999999 xyz",
                   QStringLiteral("a") + QChar(QChar::ObjectReplacementCharacter), "ran past"},
        TLimitCase{"bin_negative_ignored", "{\\rtf1 a\\bin-5 b}", QStringLiteral("ab"), nullptr},
        TLimitCase{"bin_hides_braces", "{\\rtf1 a{\\*\\x\\bin4 }}}{}b}", QStringLiteral("ab"),
                   nullptr},
        TLimitCase{"bad_hex_escape", "{\\rtf1 a\\'zzb\\'4}", QStringLiteral("azzb"), "bad hex"},
        TLimitCase{"bad_hex_in_picture", "{\\rtf1 {\\pict\\wmetafile8\\picw10\\pich10 01zz02}}",
                   QString(QChar(QChar::ObjectReplacementCharacter)), "bad hex"},
        TLimitCase{"undecodable_picture", "{\\rtf1 {\\pict\\pngblip 0102030405}}",
                   QString(QChar(QChar::ObjectReplacementCharacter)), "could not be decoded"},
        TLimitCase{"picture_too_wide",
                   "{\\rtf1 {\\pict\\pngblip " + PngBytes(8001, 1).toHex() + "}}",
                   QString(QChar(QChar::ObjectReplacementCharacter)), "too large"},
        TLimitCase{"lone_backslash_at_end", "{\\rtf1 a\\", QStringLiteral("a"), "still open"},
        TLimitCase{"uc_huge_clamped", "{\\rtf1 {\\uc99999\\u228 abc}d}", QStringLiteral("\u00E4d"),
                   nullptr},
        TLimitCase{"star_without_word", "{\\rtf1 {\\* a}b}", QStringLiteral(" ab"), nullptr},
        TLimitCase{"nul_bytes_dropped", "{\\rtf1 a\0b}"_qba, QStringLiteral("ab"), nullptr}));

TEST(RtfLimits, NotRtfLeavesTheDocumentAlone) {
    for (const QByteArray& data :
         {QByteArray(), QByteArray("plain text"), QByteArray("{\\rt"), QByteArray("x{\\rtf1 a}")}) {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("keep"));
        const TKpRtfReadResult r = ReadRtf(data, doc);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.warnings.isEmpty());
        EXPECT_EQ(doc.toPlainText(), QStringLiteral("keep"));
        EXPECT_FALSE(LooksLikeRtf(data));
    }
    EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF \r\n{\\rtf1}"));
}

TEST(RtfLimits, ReplacesPreviousContentAndResources) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("old"));
    const TKpRtfReadResult r = ReadRtf("{\\rtf1 new}", doc);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("new"));
    EXPECT_TRUE(doc.isUndoRedoEnabled());
}

TEST(RtfLimits, PageGeometryStatedOrDefault) {
    TRtfRead none("{\\rtf1 x}");
    EXPECT_FALSE(none.result.geometry.hasPaper);
    EXPECT_FALSE(none.result.geometry.hasMargins);
    EXPECT_EQ(none.result.geometry.paperWidth, 12240);
    EXPECT_EQ(none.result.geometry.marginLeft, 1800);
    TRtfRead some("{\\rtf1\\paperw11906\\margt720\\margl-5 x}");
    EXPECT_TRUE(some.result.geometry.hasPaper);
    EXPECT_EQ(some.result.geometry.paperWidth, 11906);
    EXPECT_EQ(some.result.geometry.paperHeight, 15840);
    EXPECT_TRUE(some.result.geometry.hasMargins);
    EXPECT_EQ(some.result.geometry.marginTop, 720);
    EXPECT_EQ(some.result.geometry.marginLeft, 0);
    EXPECT_EQ(some.result.geometry.marginRight, 1800);
}

TEST(RtfLimits, FontSizeAndIndentsClamped) {
    TRtfRead r("{\\rtf1 \\fs999999\\li-99999\\sb99999 a}");
    EXPECT_EQ(r.FormatAt(QStringLiteral("a")).fontPointSize(), 1638);
    const QTextBlockFormat f = r.BlockWith(QStringLiteral("a")).blockFormat();
    EXPECT_EQ(f.leftMargin(), -31680 / 15.0);
    EXPECT_EQ(f.topMargin(), 31680 / 15.0);
}

// Sizes that would be quadratic in a naive reader: each stays well inside a second.
TEST(RtfLimits, HostileShapesStayLinear) {
    const QByteArray cases[] = {
        "{\\rtf1 " + Repeated("{", 200000),
        "{\\rtf1 " + Repeated("}", 200000) + "a}",
        "{\\rtf1 " + Repeated("\\'", 200000) + "}",
        "{\\rtf1 \\uc1000000\\u65 " + Repeated("ab", 200000) + "}",
        "{\\rtf1 \\trowd" + Repeated("\\cellx100", 5000) + Repeated("\\intbl x\\cell\\row", 20000) +
            "}",
        "{\\rtf1 " + Repeated("\\u-10179?", 100000) + "}",
        "{\\rtf1 {\\fonttbl" + Repeated("{\\f1 a;}", 50000) + "}" + Repeated("\\f1 x", 50000) + "}",
        "{\\rtf1 " + Repeated("{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt a}}", 50000) + "}",
    };
    // The sanitized test run (its options set) runs this code several times slower.
    const qint64 boundMs = qEnvironmentVariableIsSet("ASAN_OPTIONS") ? 30000 : 5000;
    for (const QByteArray& rtf : cases) {
        QElapsedTimer timer;
        timer.start();
        TRtfRead r(rtf);
        EXPECT_TRUE(r.result.ok);
        EXPECT_LT(timer.elapsed(), boundMs) << rtf.left(40).toStdString();
    }
}

// Inputs the fuzzer once found faults with.
TEST(RtfLimits, FuzzCrashersReplay) {
    const QDir dir(QStringLiteral(PAGINOR_SOURCE_DIR "/fuzz/crashers"));
    const QStringList files = dir.entryList({QStringLiteral("rtf-*")}, QDir::Files);
    if (files.isEmpty()) GTEST_SKIP() << "no rich text crashers recorded";
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray data = f.readAll();
        if (!LooksLikeRtf(data)) data.prepend("{\\rtf1 "); // as the fuzz target reads it
        QTextDocument doc;
        EXPECT_TRUE(ReadRtf(data, doc).ok) << name.toStdString();
    }
}

} // namespace
