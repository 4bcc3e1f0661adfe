// Pages of real documents laid out at 1440 dpi: where they start, what they hold, and how
// forced breaks, table rows and pictures move.
#include <gtest/gtest.h>

#include <functional>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>

#include "image_helpers.h"
#include "richtext/KpRichTextLayout.h"
#include "rtf_layout_docs.h"

using namespace kp;

using namespace rtfdocs;

namespace {

std::vector<TKpTextPage> AllPages(TKpRichTextLayout& layout, int width, int height) {
    std::vector<TKpTextPage> pages;
    for (int from = 0; pages.empty() || from < layout.Length();) {
        pages.push_back(layout.Page(from, width, height));
        if (pages.back().next <= from) break;
        from = pages.back().next;
    }
    return pages;
}

struct DocCase {
    const char* name;
    std::function<void(QTextDocument&, QTextCursor&)> build;
};

const DocCase kDocs[] = {
    {"paragraphs", [](QTextDocument&, QTextCursor& c) { AddParagraphs(c, 0, 120, 40); }},
    {"table",
     [](QTextDocument&, QTextCursor& c) {
         AddParagraphs(c, 0, 5, 30);
         AddTable(c, 60, 3, [](int r) { return 1 + r % 4; });
         AddParagraphs(c, 5, 5, 30);
     }},
    {"pictures and breaks",
     [](QTextDocument& d, QTextCursor& c) {
         AddParagraphs(c, 0, 12, 30);
         AddPicture(d, c, 300, 400);
         AddParagraphs(c, 12, 3, 30, QTextFormat::PageBreak_AlwaysBefore);
         AddPicture(d, c, 200, 2000); // taller than any page
         AddParagraphs(c, 15, 20, 30);
     }},
};

class Documents : public ::testing::TestWithParam<DocCase> {};

// Pages run forward, end at the length, and every line lies in the band of exactly the page
// whose character range holds it.
TEST_P(Documents, EveryCharacterLandsOnExactlyOnePage) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    GetParam().build(*doc, c);
    TKpRichTextLayout layout(*doc);
    for (int height : {kHeight, kShort}) {
        const auto pages = AllPages(layout, kWidth, height);
        ASSERT_GT(pages.size(), 1u);
        int from = 0;
        for (const TKpTextPage& p : pages) {
            EXPECT_EQ(p.from, from);
            EXPECT_GT(p.next, p.from);
            EXPECT_LE(p.span.bottom - p.span.top, height);
            from = p.next;
        }
        EXPECT_EQ(from, layout.Length());
        for (const TKpLayoutUnit& u : layout.Units(kWidth, height)) {
            int holders = 0;
            for (const TKpTextPage& p : pages)
                if (u.start >= p.from && u.start < p.next) {
                    ++holders;
                    const double tallest = std::min(u.bottom, p.span.top + height);
                    EXPECT_GE(u.top, p.span.top) << u.start;
                    EXPECT_LE(tallest, p.span.bottom + 1e-6) << u.start;
                }
            EXPECT_EQ(holders, 1) << "unit at " << u.start;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, Documents, ::testing::ValuesIn(kDocs), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (ch == ' ') ch = '_';
    return n;
});

// Plain paragraphs break where the text engine's own pagination at 1440 dpi breaks them.
TEST(RtfLayout, PlainParagraphsBreakLikeTheEnginesOwnPagination) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    AddParagraphs(c, 0, 150, 35);
    TKpRichTextLayout layout(*doc);
    const auto pages = AllPages(layout, kWidth, kHeight);

    std::unique_ptr<QTextDocument> reference(doc->clone());
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(1440 / 0.0254));
    device.setDotsPerMeterY(qRound(1440 / 0.0254));
    reference->documentLayout()->setPaintDevice(&device);
    reference->setDocumentMargin(0);
    reference->setUseDesignMetrics(true);
    reference->setPageSize(QSizeF(kWidth, kHeight));
    EXPECT_EQ(static_cast<int>(pages.size()), reference->pageCount());
}

TEST(RtfLayout, ForcedBreaksStartNewPages) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    AddParagraphs(c, 0, 3, 5);
    AddParagraphs(c, 3, 3, 5, QTextFormat::PageBreak_AlwaysBefore);
    AddParagraphs(c, 6, 1, 5, QTextFormat::PageBreak_AlwaysAfter);
    AddParagraphs(c, 7, 2, 5);
    QTextTable* table = AddTable(c, 2, 2, [](int) { return 1; });
    QTextTableFormat tf = table->format();
    tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(tf);
    TKpRichTextLayout layout(*doc);
    const auto pages = AllPages(layout, kWidth, kHeight);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[1].from, doc->findBlockByNumber(3).position());
    EXPECT_EQ(pages[2].from, doc->findBlockByNumber(7).position());
    EXPECT_EQ(pages[3].from, table->firstPosition() - 1);
}

// Rows of 1 to 6 lines in a short frame: no row is spread over two pages, and a row taller
// than a page is cut into bands between its lines.
TEST(RtfLayout, TableRowsAreNotSplit) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    AddParagraphs(c, 0, 2, 30);
    QTextTable* table = AddTable(c, 40, 3, [](int r) { return r == 20 ? 40 : 1 + r % 6; });
    TKpRichTextLayout layout(*doc);
    const auto pages = AllPages(layout, kWidth, kShort);
    auto pageOf = [&](int position) {
        for (std::size_t i = 0; i < pages.size(); ++i)
            if (position >= pages[i].from && position < pages[i].next) return int(i);
        return -1;
    };
    int breaksInsideTable = 0;
    for (int r = 0; r < table->rows(); ++r) {
        // A row's characters: its first cell's mark up to its last cell's last character.
        const int first = table->cellAt(r, 0).firstPosition() - 1;
        const int last = table->cellAt(r, 2).lastPosition() - 1;
        if (r == 20) {
            EXPECT_LT(pageOf(first), pageOf(last)) << "the tall row is cut";
            continue;
        }
        EXPECT_EQ(pageOf(first), pageOf(last)) << "row " << r;
        if (r > 0 && pageOf(first) != pageOf(table->cellAt(r - 1, 0).firstPosition() - 1)) {
            ++breaksInsideTable;
            EXPECT_EQ(pages[pageOf(first)].from, first) << "page starts with row " << r;
        }
    }
    EXPECT_GT(breaksInsideTable, 3);
}

TEST(RtfLayout, PictureTallerThanTheSpaceLeftMovesToTheNextPage) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    AddParagraphs(c, 0, 10, 30); // two thirds of the page
    const int picture = AddPicture(*doc, c, 400, 600);
    AddParagraphs(c, 20, 1, 3);
    TKpRichTextLayout layout(*doc);
    const auto pages = AllPages(layout, kWidth, kHeight);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].next, picture);
    // The picture sits at the top of page 2, at its size (600/96 inch = 9000 twips).
    const auto& units = layout.Units(kWidth, kHeight);
    const TKpLayoutUnit& u = units[pages[1].span.first];
    EXPECT_DOUBLE_EQ(u.top, pages[1].span.top);
    EXPECT_NEAR(u.bottom - u.top, 9000, 400);
}

// Drawn at 96 dpi into the A4 text rectangle, a page's ink stays inside the rectangle and
// page 2 starts at its top.
TEST(RtfLayout, PagesAreDrawnInsideTheTextRectangle) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    AddParagraphs(c, 0, 60, 40);
    TKpRichTextLayout layout(*doc);
    const auto pages = AllPages(layout, kWidth, kHeight);
    ASSERT_GE(pages.size(), 2u);
    const QRect text(57, 151, kWidth / 15, kHeight / 15);
    for (int i : {0, 1}) {
        QImage img = testimg::whiteImage(794, 1123);
        {
            QPainter p(&img);
            layout.Draw(p, pages[i], 855, 2265, 96, 96);
        }
        const QRect ink = testimg::inkBounds(img);
        EXPECT_TRUE(text.contains(ink)) << i;
        EXPECT_LE(ink.top() - text.top(), 6) << i;
    }
}

// The copy is laid out once, at the frame's width: a long paragraph is never laid out first
// as one line of unlimited width.
TEST(RtfLayout, NothingIsLaidOutBeforeTheWidthIsKnown) {
    auto doc = NewDocument();
    QTextCursor c(doc.get());
    AddParagraphs(c, 0, 1, 2000);
    TKpRichTextLayout layout(*doc);
    const QTextBlock block = layout.Document().firstBlock();
    EXPECT_EQ(block.layout()->lineCount(), 0);
    layout.Page(0, kWidth, kHeight);
    EXPECT_GT(block.layout()->lineCount(), 100);
}

} // namespace
