// A long paragraph is laid out in pieces cut where its lines end: the pieces break their
// lines where the whole paragraph breaks them, keep its spacing and indents, and go back
// together for another width. A long document laid out in parts stacks them into one column.
#include <gtest/gtest.h>

#include <functional>

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>

#include "richtext/KpParagraphPieces.h"
#include "richtext/KpRichTextLayout.h"
#include "richtext/KpRtfReader.h"
#include "rtf_layout_docs.h"

using namespace kp;

using namespace rtfdocs;

namespace {

// A paragraph of `words` words with spacing and indents (1/96 inch), then a short one.
std::unique_ptr<QTextDocument> LongParagraph(int words) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    QTextBlockFormat f;
    f.setLeftMargin(20);
    f.setRightMargin(10);
    f.setTextIndent(30);
    f.setTopMargin(8);
    f.setBottomMargin(12);
    c.setBlockFormat(f);
    c.insertText(ParagraphText(0, words));
    c.insertBlock(QTextBlockFormat());
    c.insertText(ParagraphText(1, 10));
    return doc;
}

struct Line {
    int start;
    double top;
    bool operator==(const Line&) const = default;
};

// Line starts and tops of the document laid out uncut on the layout's 1,440-dpi device.
std::vector<Line> Uncut(const QTextDocument& source, int width) {
    std::unique_ptr<QTextDocument> doc(source.clone());
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(KpTwipsPerInch / 0.0254));
    device.setDotsPerMeterY(qRound(KpTwipsPerInch / 0.0254));
    doc->documentLayout()->setPaintDevice(&device);
    doc->setDocumentMargin(0);
    doc->setUseDesignMetrics(true);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        QTextBlockFormat f = b.blockFormat();
        f.setLeftMargin(f.leftMargin() * 15);
        f.setRightMargin(f.rightMargin() * 15);
        f.setTextIndent(f.textIndent() * 15);
        c.setBlockFormat(f);
    }
    doc->setTextWidth(width);
    std::vector<Line> lines;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const double top = doc->documentLayout()->blockBoundingRect(b).top();
        for (int i = 0; i < b.layout()->lineCount(); ++i)
            lines.push_back({b.position() + b.layout()->lineAt(i).textStart(),
                             top + b.layout()->lineAt(i).y()});
    }
    return lines;
}

std::vector<Line> Units(TKpRichTextLayout& layout, int width) {
    std::vector<Line> lines;
    for (const TKpLayoutUnit& u : layout.Units(width, kHeight))
        lines.push_back({u.start, u.top});
    return lines;
}

class LongParagraphs : public ::testing::TestWithParam<int> {};

TEST_P(LongParagraphs, PiecesBreakWhereTheWholeParagraphBreaks) {
    const int width = GetParam();
    auto doc = LongParagraph(40000); // about 240,000 characters, 2,500 lines and more
    TKpRichTextLayout layout(*doc);
    const std::vector<Line> expected = Uncut(*doc, width);
    ASSERT_GT(expected.size(), 2500u);
    EXPECT_EQ(Units(layout, width), expected);
    EXPECT_GE(layout.Document().blockCount(), 3); // it was cut
    EXPECT_EQ(layout.Length(), doc->characterCount() - 1);
    // Another width and back: joined, cut again, the same lines.
    Units(layout, width / 2);
    EXPECT_EQ(Units(layout, width), expected);
}
INSTANTIATE_TEST_SUITE_P(Widths, LongParagraphs, ::testing::Values(kWidth, 4000));

TEST(ParagraphPieces, JoinRestoresTheTextAndFormat) {
    auto doc = LongParagraph(6000);
    const QString text = doc->toPlainText();
    const QTextBlockFormat format = doc->firstBlock().blockFormat();
    TKpParagraphPieces pieces;
    pieces.Cut(*doc, 600, 1000, 50);
    EXPECT_GT(pieces.Cuts(), 5);
    EXPECT_EQ(doc->blockCount(), 2 + pieces.Cuts());
    EXPECT_EQ(doc->lastBlock().previous().blockFormat().bottomMargin(), 12);
    EXPECT_EQ(doc->firstBlock().next().blockFormat().textIndent(), 0);
    pieces.Join(*doc);
    EXPECT_EQ(doc->blockCount(), 2);
    EXPECT_EQ(doc->toPlainText(), text);
    EXPECT_EQ(doc->firstBlock().blockFormat(), format);
}

QImage PageImage(TKpRichTextLayout& layout, const TKpTextPage& page) {
    QImage image(kWidth * 96 / KpTwipsPerInch, kHeight * 96 / KpTwipsPerInch, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    layout.Draw(p, page, 0, 0, 96, 96);
    return image;
}

struct PartsCase {
    const char* name;
    std::function<std::unique_ptr<QTextDocument>()> build;
    int partLength;
    int minParts;
    int tableRows = 200;
};

// A table of ruled rows between two paragraphs: rows of one to four lines, thick and thin
// rules, centred cells, a row that breaks the page and a short table after it.
std::unique_ptr<QTextDocument> RuledTable(int rows, bool first, int tables = 1) {
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs20 ";
    if (!first) rtf += "Before the table.\\par\n";
    for (int r = 0; r < rows * tables; ++r) {
        if (r > 0 && r % rows == 0) rtf += "\\pard Between the tables.\\par\n";
        rtf += "\\trowd\\trgaph108";
        for (int c = 0; c < 3; ++c) {
            if (c == 1 && r % 5 == 0) rtf += "\\clvertalc";
            rtf += "\\clbrdrt\\brdrs\\brdrw" + QByteArray::number(15 + 15 * ((r + c) % 4)) +
                   "\\clbrdrb\\brdrs\\clbrdrl\\brdrs\\cellx" + QByteArray::number(3000 * (c + 1));
        }
        for (int c = 0; c < 3; ++c) {
            rtf += r == 97 && c == 0 ? "\\pard\\intbl\\pagebb cell" : "\\pard\\intbl cell";
            for (int l = 0; l < (r * 7 + c) % 4; ++l)
                rtf += " more words in the cell " + QByteArray::number(r);
            rtf += "\\cell";
        }
        rtf += "\\row\n";
    }
    rtf += "\\pard After the table.\\par\\trowd\\cellx2000\\pard\\intbl one\\cell\\row"
           "\\pard\\par}";
    auto doc = NewDocument();
    ReadRtf(rtf, *doc);
    return doc;
}

const PartsCase kParts[] = {
    {"long paragraph", [] { return LongParagraph(40000); }, 5000, 2},
    {"tables, pictures and breaks",
     [] {
         auto doc = NewDocument();
         QTextCursor c(doc.get());
         AddParagraphs(c, 0, 30, 30);
         AddTable(c, 40, 3, [](int r) { return 1 + r % 3; });
         AddParagraphs(c, 30, 20, 30);
         AddPicture(*doc, c, 300, 400);
         AddParagraphs(c, 50, 10, 30, QTextFormat::PageBreak_AlwaysBefore);
         AddTable(c, 10, 2, [](int) { return 2; });
         AddParagraphs(c, 60, 30, 30);
         return doc;
     },
     2000, 4},
    {"long ruled table", [] { return RuledTable(300, false); }, 1 << 20, 6, 40},
    {"long table first", [] { return RuledTable(130, true); }, 1 << 20, 3, 40},
    {"two long tables", [] { return RuledTable(130, false, 2); }, 1 << 20, 5, 40},
};

class ColumnParts : public ::testing::TestWithParam<PartsCase> {};

// Laid out in parts of a few thousand characters, a document has the same lines, pages and
// page pictures as laid out whole.
TEST_P(ColumnParts, StackLikeOneDocument) {
    auto doc = GetParam().build();
    TKpRichTextLayout whole(*doc, 1 << 30, 1 << 30);
    TKpRichTextLayout parts(*doc, GetParam().partLength, GetParam().tableRows);
    const auto& a = whole.Units(kWidth, kHeight);
    const auto& b = parts.Units(kWidth, kHeight);
    EXPECT_EQ(whole.Parts(), 1);
    EXPECT_GE(parts.Parts(), GetParam().minParts);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].start, b[i].start) << i;
        EXPECT_EQ(a[i].top, b[i].top) << i;
        EXPECT_EQ(a[i].bottom, b[i].bottom) << i;
        EXPECT_EQ(a[i].breakBefore, b[i].breakBefore) << i;
    }
    for (int from = 0, n = 0; from < whole.Length() && n < 30; ++n) {
        const TKpTextPage pa = whole.Page(from, kWidth, kHeight);
        const TKpTextPage pb = parts.Page(from, kWidth, kHeight);
        ASSERT_EQ(pa.next, pb.next);
        EXPECT_EQ(PageImage(whole, pa), PageImage(parts, pb)) << "page " << n;
        from = pa.next;
    }
}
INSTANTIATE_TEST_SUITE_P(Documents, ColumnParts, ::testing::ValuesIn(kParts), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
});
} // namespace
