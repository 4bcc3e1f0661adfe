// Headers, footers and footnotes of a rich text file drawn on the pages, sections and keeps:
// what the reader keeps of them and where the layout draws them.
#include <gtest/gtest.h>

#include <QTextBlock>

#include "richtext/KpPageStories.h"
#include "richtext/KpRichTextLayout.h"
#include "richtext/KpRtfDocumentBuilder.h"
#include "rtf_recording_device.h"
#include "rtf_test_helpers.h"

namespace {

// A letter page with one-inch margins at the sides and 1.25 inch above and below.
constexpr int kLeft = 1440, kTop = 1800, kWidth = 9360, kHeight = 12240;

struct TPageText {
    std::vector<TRecordingEngine::TText> texts; // at 96 dpi
    std::vector<QLineF> lines;
    // The first text item starting with `prefix`; its baseline in twips from the paper's top.
    double Y(const QString& prefix) const {
        for (const auto& t : texts)
            if (t.text.startsWith(prefix)) return t.at.y() * 15;
        return -1;
    }
    bool Has(const QString& prefix) const { return Y(prefix) >= 0; }
    double X(const QString& prefix) const {
        for (const auto& t : texts)
            if (t.text.startsWith(prefix)) return t.at.x() * 15;
        return -1;
    }
};

std::vector<TPageText> Pages(const QByteArray& rtf, int height = kHeight) {
    TRtfRead r(rtf);
    TKpRichTextLayout layout(r.doc);
    std::vector<TPageText> pages;
    for (int from = 0; from < layout.Length();) {
        const TKpTextPage page = layout.Page(from, kWidth, height);
        TRecordingDevice device;
        {
            QPainter p(&device);
            layout.Draw(p, page, kLeft, kTop, 96, 96);
        }
        pages.push_back({device.engine.texts, device.engine.lines});
        if (page.next <= from) break;
        from = page.next;
    }
    return pages;
}

// `n` numbered paragraphs "Line k".
QByteArray Lines(int n, int from = 1) {
    QByteArray out;
    for (int k = from; k < from + n; ++k)
        out += "Line " + QByteArray::number(k) + "\\par ";
    return out;
}

int LastLine(const TPageText& p) {
    int last = 0;
    for (const auto& t : p.texts)
        if (t.text.startsWith(QLatin1String("Line ")))
            last = std::max(last, t.text.mid(5).trimmed().toInt());
    return last;
}

TEST(RtfPageStories, HeaderAndFooterSitAtTheirDistancesOnEveryPage) {
    const auto pages = Pages(R"({\rtf1\margb1440\headery500\footery900 )"
                             R"({\header\pard Head \chpgn}{\footer\pard Foot}Body\page Second})");
    ASSERT_EQ(pages.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const TPageText& p = pages[static_cast<std::size_t>(i)];
        // 12 pt text: the header's baseline about 11 pt below its top at 500 twips; the
        // footer's line ends 900 twips above the paper's edge (text bottom + 1440).
        EXPECT_NEAR(p.Y("Head"), 500 + 220, 40) << i;
        const double paperBottom = kTop + kHeight + 1440;
        EXPECT_GT(p.Y("Foot"), paperBottom - 900 - 300) << i;
        EXPECT_LT(p.Y("Foot"), paperBottom - 900) << i;
        EXPECT_TRUE(p.Has(QString::number(i + 1))) << i;
    }
    EXPECT_TRUE(pages[0].Has("Body"));
    EXPECT_NEAR(pages[0].Y("Body"), kTop + 220, 40);
}

TEST(RtfPageStories, TitlePageAndFacingPagesPickTheirBands) {
    struct {
        const char* words;
        std::vector<const char*> headers; // per page, "" for none
    } cases[] = {
        {R"(\facingp\titlepg)", {"First", "Left", "Right"}},
        {R"(\titlepg)", {"First", "Every", "Every"}},
        {R"(\facingp)", {"Right", "Left", "Right"}},
        {"", {"Every", "Every", "Every"}},
    };
    for (const auto& c : cases) {
        const QByteArray rtf = QByteArray(R"({\rtf1)") + c.words +
                               R"( {\headerf First}{\headerl Left}{\headerr Right}{\header Every})"
                               R"(a\page b\page c})";
        const auto pages = Pages(rtf);
        ASSERT_EQ(pages.size(), 3u) << c.words;
        for (std::size_t i = 0; i < 3; ++i) {
            for (const char* name : {"First", "Left", "Right", "Every"})
                EXPECT_EQ(pages[i].Has(name), QLatin1String(name) == c.headers[i])
                    << c.words << " page " << i + 1 << " " << name;
        }
    }
}

TEST(RtfPageStories, EachSectionHasItsOwnHeaderAndTitlePage) {
    const auto pages = Pages(R"({\rtf1{\header A}a\sect\sectd\titlepg{\header B}{\headerf F}b)"
                             R"(\page c\sect\sectd d})");
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_TRUE(pages[0].Has("A"));
    EXPECT_TRUE(pages[1].Has("F"));
    EXPECT_FALSE(pages[1].Has("B"));
    EXPECT_TRUE(pages[2].Has("B"));
    // A section that states no header keeps the one before.
    EXPECT_TRUE(pages[3].Has("B"));
}

TEST(RtfPageStories, FootnoteSitsAtTheFootOfItsPage) {
    // 60 lines of 12 pt (about 276 twips each) fill more than one page of 12,240 twips.
    const QByteArray rtf = R"({\rtf1 )" + Lines(3) + R"(Noted{\super\chftn})" +
                           R"({\footnote\pard{\super\chftn} The note.}\par )" + Lines(57, 4) + "}";
    const auto pages = Pages(rtf);
    const auto plain = Pages(R"({\rtf1 )" + Lines(3) + R"(Noted\par )" + Lines(57, 4) + "}");
    ASSERT_GE(pages.size(), 2u);
    EXPECT_TRUE(pages[0].Has(QStringLiteral(" The note")));
    EXPECT_FALSE(pages[1].Has(QStringLiteral(" The note")));
    // The note ends above the text's bottom edge, under a rule, below every line of text.
    const double note = pages[0].Y(QStringLiteral(" The note"));
    EXPECT_LT(note, kTop + kHeight);
    EXPECT_GT(note, kTop + kHeight - 400);
    ASSERT_EQ(pages[0].lines.size(), 1u);
    EXPECT_LT(pages[0].lines[0].y1() * 15, note - 200);
    EXPECT_NEAR(pages[0].lines[0].x2() - pages[0].lines[0].x1(), 2880 / 15.0, 1);
    // The text area shrank: the page holds fewer lines than without the note.
    EXPECT_LT(LastLine(pages[0]), LastLine(plain[0]));
    EXPECT_GT(LastLine(pages[0]), 30);
}

TEST(RtfPageStories, NotesAreNumberedAsTheDocumentSays) {
    // Two footnotes and an endnote; the endnote follows the body.
    struct {
        const char* words;
        const char* text;
    } cases[] = {
        {"", "x1y2zi\ni E"},
        {R"(\ftnnalc)", "xaybzi\ni E"},
        {R"(\ftnnruc\ftnstart4)", "xIVyVzi\ni E"},
        {R"(\aftnnar\aftnstart3)", "x1y2z3\n3 E"},
    };
    for (const auto& c : cases) {
        TRtfRead r(QByteArray(R"({\rtf1)") + c.words +
                   R"( x{\chftn}{\footnote {\chftn} A}y{\chftn}{\footnote B}z)"
                   R"({\chftn}{\footnote\ftnalt {\chftn} E}})");
        EXPECT_EQ(r.Text(), QString::fromUtf8(c.text)) << c.words;
        const auto stories = PageStories(r.doc);
        ASSERT_TRUE(stories);
        EXPECT_EQ(stories->footnotes.size(), 2u);
    }
}

TEST(RtfPageStories, ReaderNoLongerWarnsOfWhatItShows) {
    TRtfRead r(R"({\rtf1{\header H}{\footerl F}{\footnote N}x{\footnote M}})");
    EXPECT_TRUE(r.result.warnings.isEmpty()) << r.result.warnings.join('|').toStdString();
    EXPECT_EQ(r.Text(), QStringLiteral("x"));
}

TEST(RtfPageStories, NotesPastTheCapAreSkippedWithAWarning) {
    QByteArray rtf = "{\\rtf1 x";
    for (int k = 0; k < rtf::TDocumentBuilder::kMaxStories + 2; ++k)
        rtf += "{\\footnote n}";
    TRtfRead r(rtf + "}");
    ASSERT_TRUE(PageStories(r.doc));
    EXPECT_EQ(PageStories(r.doc)->footnotes.size(),
              std::size_t(rtf::TDocumentBuilder::kMaxStories));
    ASSERT_EQ(r.result.warnings.size(), 1);
    EXPECT_TRUE(r.result.warnings[0].startsWith(QStringLiteral("2 footnote(s)")));
}

TEST(RtfPager, KeptUnitsMoveOnTogether) {
    struct {
        std::vector<int> keeps; // units (100 high each) that keep with the next
        std::size_t last;       // where the first page of 450 ends
    } cases[] = {
        {{}, 4}, {{3}, 3}, {{2, 3}, 2}, {{0, 1, 2, 3}, 4}, {{4}, 4}, {{1, 3}, 3},
    };
    for (const auto& c : cases) {
        std::vector<TKpLayoutUnit> units;
        for (int k = 0; k < 8; ++k)
            units.push_back({k, k * 100.0, k * 100.0 + 100});
        for (int k : c.keeps)
            units[static_cast<std::size_t>(k)].keepNext = true;
        EXPECT_EQ(NextPage(units, 0, 450, units.size()).last, c.last) << c.keeps.size();
    }
}

TEST(RtfPager, FootnotesTakeRoomAtTheFoot) {
    struct {
        double notes, gap;
        std::size_t last; // where the first page of 450 ends
    } cases[] = {{0, 50, 4}, {120, 0, 3}, {120, 50, 2}, {500, 50, 1}};
    for (const auto& c : cases) {
        std::vector<TKpLayoutUnit> units;
        for (int k = 0; k < 8; ++k)
            units.push_back({k, k * 100.0, k * 100.0 + 100});
        units[1].notes = c.notes;
        EXPECT_EQ(NextPage(units, 0, 450, units.size(), c.gap).last, c.last) << c.notes;
    }
}

TEST(RtfPageStories, KeepWithNextMovesAHeadingToTheNextPage) {
    // The heading is the last line of page 1; kept with its paragraph it moves on, and so
    // does a paragraph kept together that would be split.
    const int lines = LastLine(Pages(R"({\rtf1 )" + Lines(80) + "}")[0]) - 1;
    const auto plain = Pages(R"({\rtf1 )" + Lines(lines) + R"(Heading\par Text})");
    ASSERT_EQ(plain.size(), 2u);
    ASSERT_TRUE(plain[0].Has("Heading"));
    const auto kept = Pages(R"({\rtf1 )" + Lines(lines) + R"(\keepn Heading\par\pard Text})");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_FALSE(kept[0].Has("Heading"));
    EXPECT_EQ(LastLine(kept[0]), lines);
    EXPECT_NEAR(kept[1].Y("Heading"), kTop + 220, 40);
    const auto together =
        Pages(R"({\rtf1 )" + Lines(lines - 1) + R"(\keep Heading\line Text\line More\par})");
    ASSERT_EQ(together.size(), 2u);
    EXPECT_FALSE(together[0].Has("Heading"));
    EXPECT_TRUE(together[1].Has("More"));
}

TEST(RtfPageStories, LandscapeSectionIsLaidOutAtItsWidthAndFitsTheFrame) {
    // A portrait page, then a landscape section whose table is wider than the portrait text.
    const QByteArray page = R"(\paperw12240\paperh15840\margl1440\margr1440\margt1440\margb1440)";
    const QByteArray table = R"(\trowd\cellx9000\cellx12960\pard\intbl Start\cell Edge\cell\row )";
    const auto pages = Pages(R"({\rtf1)" + page + R"( \pard Tall\par\sect\sectd\lndscpsxn)" +
                             R"(\pgwsxn15840\pghsxn12240 )" + table + R"(\pard\sect\sectd After})");
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NEAR(pages[0].X("Tall"), kLeft, 20);
    // The landscape text area (12,960 twips) is drawn at 9,360 / 12,960 of its size.
    const double scale = 9360.0 / 12960;
    EXPECT_NEAR(pages[1].X("Start"), kLeft, 20);
    EXPECT_NEAR(pages[1].X("Edge"), kLeft + 9000 * scale, 30);
    EXPECT_NEAR(pages[1].Y("Start"), kTop + 220 * scale, 40);
    // The portrait section after it is drawn at full size again.
    EXPECT_NEAR(pages[2].X("After"), kLeft, 20);
    EXPECT_NEAR(pages[2].Y("After"), kTop + 220, 40);
}

TEST(RtfPageStories, SectionInColumnsFillsThemLeftToRight) {
    // Two columns 0.5 inch apart on a 9,360-twip text area: each 4,320 wide.
    const auto pages = Pages(
        R"({\rtf1\margl1440\margr1440 \pard Above\sect\sectd\cols2\colsx720 )" + Lines(100) + "}");
    ASSERT_GE(pages.size(), 3u);
    EXPECT_NEAR(pages[1].X("Line 1"), kLeft, 20);
    const int perColumn = LastLine(Pages(R"({\rtf1 )" + Lines(80) + "}")[0]);
    const QString second = QStringLiteral("Line %1").arg(perColumn + 1);
    EXPECT_NEAR(pages[1].X(second), kLeft + 4320 + 720, 20);
    EXPECT_NEAR(pages[1].Y(second), pages[1].Y("Line 1"), 1);
    EXPECT_TRUE(pages[2].Has(QStringLiteral("Line %1").arg(2 * perColumn + 1)));
}

} // namespace
