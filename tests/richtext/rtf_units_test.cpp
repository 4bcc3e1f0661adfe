// The units the reader stores are the ones a 1,440-dpi layout needs: laid out on such a
// device, indents, spacing, pictures and columns land at their twips.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QTextLayout>
#include <QTextTable>

#include "rtf_test_helpers.h"

namespace {

class RtfUnits : public ::testing::Test {
protected:
    RtfUnits() : device_(1, 1, QImage::Format_RGB32) {
        const int dpm = qRound(1440 / 0.0254);
        device_.setDotsPerMeterX(dpm);
        device_.setDotsPerMeterY(dpm);
    }
    void Read(const QByteArray& rtf) {
        ASSERT_TRUE(ReadRtf(rtf, doc_).ok);
        doc_.documentLayout()->setPaintDevice(&device_);
        doc_.setDocumentMargin(0);
        doc_.setUseDesignMetrics(true);
        doc_.setPageSize(QSizeF(12240, 15840));
    }
    QRectF BlockRect(const QString& text) {
        return doc_.documentLayout()->blockBoundingRect(doc_.find(text).block());
    }
    QImage device_;
    QTextDocument doc_;
};

TEST_F(RtfUnits, IndentsAreTwips) {
    Read("{\\rtf1 \\li1440\\fi720 first line that is long enough to wrap onto a second line "
         "and so on and so on, and on again for a while more}");
    const QTextBlock b = doc_.begin();
    ASSERT_GE(b.layout()->lineCount(), 2);
    const qreal left = BlockRect(QStringLiteral("first")).left();
    EXPECT_NEAR(left + b.layout()->lineAt(0).x(), 2160, 0.5);
    EXPECT_NEAR(left + b.layout()->lineAt(1).x(), 1440, 0.5);
}

TEST_F(RtfUnits, SpacingIsTwips) {
    // Qt lets the larger of two facing block margins win (Word adds them).
    for (const auto& [rtf, gap] : {std::pair{"{\\rtf1 one\\par\\pard\\sb300 two}", 300},
                                   std::pair{"{\\rtf1 \\sa450 one\\par\\pard\\sb300 two}", 450},
                                   std::pair{"{\\rtf1 \\sa150 one\\par\\pard\\sb300 two}", 300}}) {
        Read(rtf);
        const QTextLayout* one = doc_.begin().layout();
        const QTextLayout* two = doc_.lastBlock().layout();
        const qreal oneBottom = one->position().y() + one->lineAt(0).y() + one->lineAt(0).height();
        const qreal twoTop = two->position().y() + two->lineAt(0).y();
        EXPECT_NEAR(twoTop - oneBottom, gap, 1.0) << rtf;
    }
}

TEST_F(RtfUnits, PictureGoalSizeIsTwips) {
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    Read("{\\rtf1 {\\pict\\pngblip\\picwgoal2880\\pichgoal1440 " + png.toHex() + "}}");
    const QTextLine line = doc_.begin().layout()->lineAt(0);
    EXPECT_NEAR(line.naturalTextWidth(), 2880, 0.5);
    EXPECT_NEAR(line.height(), 1440, 40); // plus the line's descent
}

TEST_F(RtfUnits, ColumnWidthsAreTwips) {
    Read("{\\rtf1\\trowd\\cellx2880\\cellx4320\\intbl a\\cell b\\cell\\row}");
    QTextTable* table = nullptr;
    for (QTextFrame* f : doc_.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(f))) break;
    ASSERT_NE(table, nullptr);
    const QRectF a = BlockRect(QStringLiteral("a"));
    const QRectF b = BlockRect(QStringLiteral("b"));
    EXPECT_NEAR(b.left() - a.left(), 2880, 1.0);
}

} // namespace
