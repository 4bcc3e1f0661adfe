// The units the reader stores are the ones the print layout needs: laid out at 1,440 dpi,
// indents, spacing, tab stops, cell paddings, pictures and columns land at their twips.
#include <gtest/gtest.h>

#include <memory>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QTextTable>

#include "image_helpers.h"
#include "richtext/KpRichTextLayout.h"
#include "rtf_test_helpers.h"

using namespace kp;

namespace {

class RtfUnits : public ::testing::Test {
protected:
    void Read(const QByteArray& rtf) {
        QTextDocument source;
        ASSERT_TRUE(ReadRtf(rtf, source).ok);
        layout_ = std::make_unique<TKpRichTextLayout>(source);
        layout_->Units(12240, 15840);
    }
    QTextDocument& Doc() { return layout_->Document(); }
    QTextBlock Block(const QString& text) {
        const QTextCursor found = Doc().find(text);
        if (found.isNull()) ADD_FAILURE() << "not found: " << text.toStdString();
        // A missing text reads as the first block, so the checks fail rather than crash.
        return found.isNull() ? Doc().begin() : found.block();
    }
    QRectF BlockRect(const QString& text) {
        return Doc().documentLayout()->blockBoundingRect(Block(text));
    }
    // Column position of a text's first line: its top, and the left edge of character `at`.
    double LineTop(const QString& text) {
        return BlockRect(text).top() + Block(text).layout()->lineAt(0).y();
    }
    double LineBottom(const QString& text) {
        const QTextLayout* l = Block(text).layout();
        const QTextLine last = l->lineAt(l->lineCount() - 1);
        return BlockRect(text).top() + last.y() + last.height();
    }
    double X(const QString& text, int at) {
        return BlockRect(text).left() + Block(text).layout()->lineAt(0).cursorToX(at);
    }
    QTextTable* Table() {
        for (QTextFrame* f : Doc().rootFrame()->childFrames())
            if (auto* t = qobject_cast<QTextTable*>(f)) return t;
        return nullptr;
    }
    std::unique_ptr<TKpRichTextLayout> layout_;
};

TEST_F(RtfUnits, IndentsAreTwips) {
    Read("{\\rtf1 \\li1440\\fi720 first line that is long enough to wrap onto a second line "
         "and so on and so on, and on again for a while more and more and more}");
    const QTextBlock b = Doc().begin();
    ASSERT_GE(b.layout()->lineCount(), 2);
    const qreal left = BlockRect(QStringLiteral("first")).left();
    EXPECT_NEAR(left + b.layout()->lineAt(0).x(), 2160, 0.5);
    EXPECT_NEAR(left + b.layout()->lineAt(1).x(), 1440, 0.5);
}

TEST_F(RtfUnits, SpaceAfterAndBeforeAddUp) {
    for (const auto& [rtf, gap] : {std::pair{"{\\rtf1 one\\par\\pard\\sb300 two}", 300},
                                   std::pair{"{\\rtf1 \\sa450 one\\par\\pard\\sb300 two}", 750},
                                   std::pair{"{\\rtf1 \\sa150 one\\par\\pard two}", 150}}) {
        Read(rtf);
        EXPECT_NEAR(LineTop(QStringLiteral("two")) - LineBottom(QStringLiteral("one")), gap, 1.0)
            << rtf;
    }
}

// The engine drops block margins that face a table; they go on the table instead.
TEST_F(RtfUnits, SpaceAroundTables) {
    Read("{\\rtf1 \\sa240 one\\par\\pard\\trowd\\cellx2000\\intbl cell\\cell\\row"
         "\\pard\\sb360 two\\par\\pard three}");
    EXPECT_NEAR(LineTop(QStringLiteral("cell")) - LineBottom(QStringLiteral("one")), 240, 1.0);
    EXPECT_NEAR(LineTop(QStringLiteral("two")) - LineBottom(QStringLiteral("cell")), 360, 1.0);
    // The table's last row ends where its cell does, not past the margins.
    const auto& units = layout_->Units(12240, 15840);
    const int twoStart = Block(QStringLiteral("two")).position();
    for (std::size_t i = 1; i < units.size(); ++i)
        if (units[i].start == twoStart)
            EXPECT_NEAR(units[i - 1].bottom, LineBottom(QStringLiteral("cell")), 1.0);
}

struct TTabLanding {
    const char* name;
    const char* rtf;
    const char* probe; // the paragraph's text
    int at;            // a character after a tab
    double x;          // where it lands, twips
};

void PrintTo(const TTabLanding& c, std::ostream* os) {
    *os << c.name;
}

class RtfTabLandings : public RtfUnits, public ::testing::WithParamInterface<TTabLanding> {};

TEST_P(RtfTabLandings, TextLandsAtTheStop) {
    Read(GetParam().rtf);
    EXPECT_NEAR(X(QString::fromUtf8(GetParam().probe), GetParam().at), GetParam().x, 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Tabs, RtfTabLandings,
    ::testing::Values(TTabLanding{"left_stop", "{\\rtf1 \\tx2880 a\\tab b}", "a\tb", 2, 2880},
                      TTabLanding{"stop_from_margin_not_indent",
                                  "{\\rtf1 \\li1440\\tx2880 a\\tab b}", "a\tb", 2, 2880},
                      TTabLanding{"hanging_indent_is_a_stop",
                                  "{\\rtf1 \\li720\\fi-360 x\\tab item}", "x\titem", 2, 720},
                      TTabLanding{"default_stops_every_half_inch", "{\\rtf1 a\\tab b}", "a\tb", 2,
                                  720},
                      TTabLanding{"deftab", "{\\rtf1\\deftab1000 a\\tab b}", "a\tb", 2, 1000},
                      TTabLanding{"defaults_past_the_last_stop",
                                  "{\\rtf1 \\tx1000 a\\tab b\\tab c}", "a\tb\tc", 4, 1440}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RtfUnits, RightTabEndsTextAtTheStop) {
    Read("{\\rtf1 \\tqr\\tx4320 a\\tab bbb}");
    EXPECT_NEAR(X(QStringLiteral("a\tbbb"), 5), 4320, 2.0);
}

struct TPaddingCase {
    const char* name;
    const char* row; // row definition words before \cellx2880
    double left, top;
};

void PrintTo(const TPaddingCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfCellPadding : public RtfUnits, public ::testing::WithParamInterface<TPaddingCase> {};

// The table starts at the column's top-left corner: the empty block in front of it takes no
// height.
TEST_P(RtfCellPadding, TextSitsInsideThePadding) {
    Read(QByteArray("{\\rtf1\\trowd") + GetParam().row + "\\cellx2880\\intbl a\\cell\\row}");
    EXPECT_NEAR(X(QStringLiteral("a"), 0), GetParam().left, 1.0);
    EXPECT_NEAR(LineTop(QStringLiteral("a")), GetParam().top, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RtfCellPadding,
    ::testing::Values(
        TPaddingCase{"gap_sideways_only", "\\trgaph108", 108, 0},
        TPaddingCase{"row_padding_wins_over_gap",
                     "\\trgaph108\\trpaddl45\\trpaddfl3\\trpaddt30\\trpaddft3", 45, 30},
        TPaddingCase{"unit_zero_ignores_padding", "\\trgaph108\\trpaddl45\\trpaddfl0", 108, 0},
        // \clpadt is the left padding, \clpadl the top one.
        TPaddingCase{"cell_padding_swapped_words",
                     "\\trgaph108\\clpadt60\\clpadft3\\clpadl90\\clpadfl3", 60, 90}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RtfUnits, PictureGoalSizeIsTwips) {
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    Read("{\\rtf1 {\\pict\\pngblip\\picwgoal2880\\pichgoal1440 " + png.toHex() + "}}");
    const QTextLine line = Doc().begin().layout()->lineAt(0);
    EXPECT_NEAR(line.naturalTextWidth(), 2880, 0.5);
    EXPECT_NEAR(line.height(), 1440, 40); // plus the line's descent
}

TEST_F(RtfUnits, ColumnWidthsAreTwips) {
    Read("{\\rtf1\\trowd\\cellx2880\\cellx4320\\intbl a\\cell b\\cell\\row}");
    ASSERT_NE(Table(), nullptr);
    EXPECT_NEAR(BlockRect(QStringLiteral("b")).left() - BlockRect(QStringLiteral("a")).left(), 2880,
                1.0);
}

// A bordered, shaded cell printed at 96 dpi: the border line and the fill reach the paper.
TEST_F(RtfUnits, CellBorderAndShadingAreDrawn) {
    Read("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
         "\\trowd\\clbrdrt\\brdrs\\brdrw30\\brdrcf1\\clbrdrl\\brdrs\\brdrw30\\brdrcf1"
         "\\clbrdrb\\brdrs\\brdrw30\\brdrcf1\\clbrdrr\\brdrs\\brdrw30\\brdrcf1"
         "\\clcfpat1\\clcbpat2\\clshdng5000\\cellx2880\\intbl\\fs96 X\\cell\\row}");
    const TKpTextPage page = layout_->Page(0, 10000, 14000);
    QImage img = testimg::whiteImage(300, 200);
    {
        QPainter p(&img);
        layout_->Draw(p, page, 0, 0, 96, 96);
    }
    // The table spans x 0 to 2880 twips: 0 to 192 pixels. Halfway down the cell, the
    // 2-pixel blue rim at both edges and, between them, half of the blue pattern over the
    // yellow background.
    const int y = qRound(LineTop(QStringLiteral("X")) / 15) + 10;
    auto blueNear = [&](int x0, int x1) {
        for (int x = x0; x <= x1; ++x)
            if (img.pixel(x, y) == qRgb(0, 0, 255)) return true;
        return false;
    };
    EXPECT_TRUE(blueNear(0, 2));
    EXPECT_TRUE(blueNear(189, 193));
    EXPECT_FALSE(blueNear(4, 186));
    const QColor fill = img.pixelColor(96, y);
    EXPECT_NEAR(fill.red(), 128, 2);
    EXPECT_NEAR(fill.green(), 128, 2);
    EXPECT_NEAR(fill.blue(), 128, 2);
}

} // namespace
