// Text laid out by the rich text printer is found on its pages: the pictures draw real text.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QWidget>

#include "content/KpRtfPreview.h"
#include "drawing/KpUnits.h"
#include "preview/KpPreview.h"
#include "richtext/KpRichEdit.h"

using namespace kp;

TEST(RtfFind, LinesOfALaidOutTextAreFoundWhereTheyStand) {
    QWidget host;
    TKpPreview preview(&host);
    TKpRtfPreview rtf;
    TKpRichEdit edit;
    rtf.SetPreview(&preview);
    rtf.TopMargin().SetMillimeters(40);
    rtf.BottomMargin().SetMillimeters(40);
    edit.SetPlainText(true);
    const QFont font(QStringLiteral("Liberation Serif"), 12);
    edit.SetTextFont(font);
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("Line %1 of the text\n").arg(i);
    ASSERT_TRUE(edit.LoadFromData(text.toUtf8()));
    rtf.PrintRichEdit(edit);
    ASSERT_GE(preview.NumPages(), 4);

    const auto all = preview.FindText(QStringLiteral("of the text"));
    ASSERT_EQ(all.size(), 200u);
    EXPECT_EQ(all.front().Page, 1);
    EXPECT_EQ(all.back().Page, preview.NumPages());
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const auto& a, const auto& b) {
        return a.Page < b.Page || (a.Page == b.Page && a.Rect.top() < b.Rect.top());
    }));

    TKpFindOptions words;
    words.WholeWords = true;
    const auto first = preview.FindText(QStringLiteral("Line 0 of"), words);
    ASSERT_EQ(first.size(), 1u);
    // The text rectangle starts 15 mm from the left and 40 mm from the top; the box is the
    // line's height and the words' width in the 12-point face at 96 dpi (within a pixel).
    QFont at96(font);
    at96.setPixelSize(qRound(12 * 96 / 72.0));
    const QFontMetricsF fm(at96);
    const qreal unitsPerPixel = 2540.0 / 96;
    EXPECT_NEAR(first[0].Rect.left(), 1500, unitsPerPixel);
    EXPECT_GE(first[0].Rect.top(), 4000 - unitsPerPixel);
    EXPECT_LT(first[0].Rect.top(), 4000 + fm.height() * unitsPerPixel);
    EXPECT_NEAR(first[0].Rect.height(), (fm.ascent() + fm.descent()) * unitsPerPixel,
                unitsPerPixel);
    EXPECT_NEAR(first[0].Rect.width(),
                fm.horizontalAdvance(QStringLiteral("Line 0 of")) * unitsPerPixel, unitsPerPixel);
    EXPECT_EQ(preview.FindText(QStringLiteral("Line 15"), words).size(), 1u);
}
