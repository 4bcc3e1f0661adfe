// Single-spaced lines are as far apart as other writers put them for the same font files.
#include <gtest/gtest.h>

#include <cstdio>

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QTextBlock>

#include "richtext/KpRichTextLayout.h"
#include "rtf_test_helpers.h"

namespace {

// Line pitches in points at 8, 10, 12 and 18 pt. Measured by converting an RTF of twenty
// one-line paragraphs in each font with LibreOffice 7.4 (headless, to PDF) and reading the
// words' tops from `pdftotext -bbox`: (top of line 20 - top of line 1) / 19.
struct TPitchCase {
    const char* family;
    double pitch[4];
};
const TPitchCase kMeasured[] = {
    {"Liberation Sans", {9.20, 11.50, 13.80, 20.70}},
    {"Liberation Serif", {9.20, 11.55, 13.80, 20.70}},
    {"Liberation Mono", {9.05, 11.35, 13.60, 20.40}},
    {"Helvetica", {9.60, 12.00, 14.40, 21.60}},
    {"Nimbus Sans", {9.60, 12.00, 14.40, 21.60}},
    {"Nimbus Roman", {9.60, 12.00, 14.40, 21.60}},
    {"Nimbus Mono PS", {9.60, 12.00, 14.40, 21.60}},
    {"C059", {9.60, 12.00, 14.40, 21.60}},
    {"P052", {9.60, 12.00, 14.40, 21.60}},
    {"URW Bookman", {9.60, 12.00, 14.40, 21.60}},
    {"URW Gothic", {9.60, 12.00, 14.40, 21.60}},
};
constexpr int kSizes[4] = {8, 10, 12, 18};

// The pitch of twenty one-line paragraphs laid out for paper, in points.
double LaidOutPitch(const QString& family, int points, const char* spacing = "") {
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 " + family.toLatin1() + ";}}\\f0\\fs" +
                     QByteArray::number(points * 2);
    for (int i = 1; i <= 20; ++i)
        rtf += "\\pard" + QByteArray(spacing) + " Line" + QByteArray::number(i) + "\\par\n";
    rtf += "}";
    QTextDocument source;
    ReadRtf(rtf, source);
    TKpRichTextLayout layout(source);
    layout.Units(10000, 100000); // lays the copy out in twips
    QTextDocument& doc = layout.Document();
    auto* l = doc.documentLayout();
    const double first = l->blockBoundingRect(doc.begin()).top();
    const double last = l->blockBoundingRect(doc.findBlockByNumber(19)).top();
    return (last - first) / 19 / 20; // twips to points
}

TEST(RtfLinePitch, WithinThreePercentOfOtherWriters) {
    for (const TPitchCase& c : kMeasured) {
        const QString family = QLatin1String(c.family);
        // Set-up installs the Liberation fonts; the URW ones come with the printing packages.
        // Helvetica is drawn with Nimbus Sans where that is installed.
        const bool helvetica = family == QLatin1String("Helvetica");
        if (!QFontDatabase::hasFamily(helvetica ? QStringLiteral("Nimbus Sans") : family)) {
            if (family.startsWith(QLatin1String("Liberation")))
                ADD_FAILURE() << "font not installed: " << c.family;
            else
                std::printf("skipped, not installed: %s\n", c.family);
            continue;
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(LaidOutPitch(family, kSizes[i]), c.pitch[i], c.pitch[i] * 0.03)
                << c.family << " " << kSizes[i] << " pt";
    }
}

// Multiples of a line scale the same pitch; exact heights stay as stated.
TEST(RtfLinePitch, SpacingRulesBuildOnThePitch) {
    const QString sans = QStringLiteral("Liberation Sans"), nimbus = QStringLiteral("Nimbus Sans");
    EXPECT_NEAR(LaidOutPitch(sans, 12, "\\sl480\\slmult1"), 27.6, 0.8);
    EXPECT_NEAR(LaidOutPitch(sans, 12, "\\sl-400\\slmult0"), 20.0, 0.05);
    if (!QFontDatabase::hasFamily(nimbus)) GTEST_SKIP() << "Nimbus Sans is not installed";
    EXPECT_NEAR(LaidOutPitch(nimbus, 12, "\\sl360\\slmult1"), 21.6, 0.65);
}

} // namespace
