// Rich text laid out onto pages leaves its headings as the document's bookmarks and its
// HYPERLINK fields as links over their text, on the page each lands on.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include "content/KpRtfPreview.h"
#include "drawing/KpDocument.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"
#include "richtext/KpRichEdit.h"

using namespace kp;

namespace {

// Headings by style name (any case) and by outline level; a link inside a paragraph, another
// on page 2 after a page break, and one to a place in the text, which goes nowhere.
const char* const Rtf = R"({\rtf1\ansi\deff0{\fonttbl{\f0 Liberation Serif;}}
{\stylesheet{\s0 Normal;}{\s1\fs36\b heading 1;}{\s2\fs28 Heading 2;}}
\pard\s1\fs36\b Introduction\par
\pard\plain\fs24 Read {\field{\*\fldinst HYPERLINK "https://example.com/guide"}{\fldrslt the guide}} first.\par
\pard\s2\fs28 Scope and aims\par
\pard\plain\outlinelevel0\fs24 Plain heading\par
\pard\plain\outlinelevel9 Body text\par
\pard\plain {\field{\*\fldinst HYPERLINK \\l "there"}{\fldrslt inside}}\par
\page
\pard\s1\fs36\b Second part\par
\pard\plain\fs24 Mail {\field{\*\fldinst HYPERLINK "mailto:team@example.com"}{\fldrslt us}}.\par
})";

} // namespace

TEST(RtfMarks, HeadingsBecomeBookmarksAndLinksCoverTheirText) {
    QWidget host;
    TKpPreview preview(&host);
    TKpRtfPreview rtf;
    rtf.SetPreview(&preview);
    TKpRichEdit edit;
    ASSERT_TRUE(edit.LoadFromData(QByteArray(Rtf)));
    // Marks of an earlier run go with its pages.
    preview.Document().AddBookmark(QStringLiteral("old"), 1);
    rtf.PrintRichEdit(edit);
    TKpDocument& doc = preview.Document();
    ASSERT_EQ(doc.NumPages(), 2);

    QStringList bookmarks;
    for (const TKpBookmark& b : doc.Marks().Bookmarks())
        bookmarks << QStringLiteral("%1 p%2 l%3").arg(b.Title).arg(b.Page).arg(b.Level);
    EXPECT_EQ(bookmarks, (QStringList{"Introduction p1 l1", "Scope and aims p1 l2",
                                      "Plain heading p1 l1", "Second part p2 l1"}));
    // The first heading's line starts at the text's top edge, 30 mm down by default.
    EXPECT_NEAR(doc.Marks().Bookmarks()[0].Top, 3000, 30);

    const auto& first = doc.Marks().Links(doc.GetPage(1));
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].Url, QStringLiteral("https://example.com/guide"));
    const auto& second = doc.Marks().Links(doc.GetPage(2));
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].Url, QStringLiteral("mailto:team@example.com"));

    // In the PDF the link annotation sits over the words "the guide" (pdftotext's boxes,
    // in points from the top-left corner).
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("marks.pdf"));
    ExportToPdf(preview, pdf, {.Resolution = 600});
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) GTEST_SKIP() << "no pdftotext";
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    const QRectF link(QPointF(first[0].Rect.left(), first[0].Rect.top()) * 72 / 2540,
                      QSizeF(first[0].Rect.width(), first[0].Rect.height()) * 72 / 2540);
    auto wordBox = [&](const char* word) {
        const QRegularExpression re(
            QStringLiteral(
                R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">%1<)re")
                .arg(QRegularExpression::escape(QLatin1String(word))));
        const auto m = re.match(html);
        EXPECT_TRUE(m.hasMatch()) << word;
        return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    };
    for (const char* word : {"the", "guide"}) {
        const QRectF box = wordBox(word);
        EXPECT_NEAR(box.center().y(), link.center().y(), 2.0) << word;
        EXPECT_GE(box.left(), link.left() - 1.0) << word;
        EXPECT_LE(box.right(), link.right() + 1.0) << word;
    }
    // The words before and after the link stay outside it.
    EXPECT_LE(wordBox("Read").right(), link.left() + 1.0);
    EXPECT_GE(wordBox("first.").left(), link.right() - 1.0);
}
