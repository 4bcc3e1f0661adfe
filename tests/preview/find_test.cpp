// Stepping through found text in the preview: the order of the matches and their pages, the
// mark over the sheet (and never in the page's own picture), scrolling to a match, and the
// event and signal that report it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "display_fixture.h"
#include "drawing/KpCanvas.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "preview/KpFindMarks.h"

using namespace kp;

namespace {

// Pixels of the sheet in the marks' yellow and orange: strong red and green, little blue.
int markedPixels(const QImage& img, const QRect& area) {
    int n = 0;
    for (int y = std::max(0, area.top()); y <= std::min(img.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(img.width() - 1, area.right()); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 120 && c.blue() < 190) ++n;
        }
    return n;
}

class PreviewFind : public ::testing::Test {
protected:
    PreviewHost host;
    TKpPreview& p = *host.preview;
    int events = 0, signals_ = 0;
    void SetUp() override {
        p.AutoRefresh = true;
        TKpCanvas& c = p.Canvas();
        c.Font().SetName(QStringLiteral("Arial"));
        c.Font().SetSize(12);
        c.Brush().SetStyle(bsClear);
        c.TextOut(20, 20, QStringLiteral("needle one"), kpMillimeters);
        c.TextOut(20, 270, QStringLiteral("needle two"), kpMillimeters);
        p.NewPage();
        c.TextOut(20, 20, QStringLiteral("nothing here"), kpMillimeters);
        p.NewPage();
        c.TextOut(20, 100, QStringLiteral("a needle"), kpMillimeters);
        p.SetCurrentPage(1);
        p.RefreshPage();
        p.OnFind = [this](void* sender) {
            EXPECT_EQ(sender, &p);
            ++events;
        };
        QObject::connect(&p, &TKpPreview::findChanged, [this] { ++signals_; });
    }
    // The match shown as (page, top in millimetres).
    std::pair<int, int> shown() const {
        const TKpFindMatch& m = p.FindMatches().at(p.FindIndex());
        return {m.Page, qRound(m.Rect.top() / 100.0)};
    }
};

TEST_F(PreviewFind, NextAndPreviousGoRoundTheDocument) {
    using S = std::pair<int, int>;
    std::vector<S> seen;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(p.FindNext(QStringLiteral("NEEDLE")));
        seen.push_back(shown());
        EXPECT_EQ(p.CurrentPage(), seen.back().first);
    }
    EXPECT_EQ(seen, (std::vector<S>{{1, 20}, {1, 270}, {3, 100}, {1, 20}}));
    ASSERT_TRUE(p.FindPrevious(QStringLiteral("NEEDLE")));
    EXPECT_EQ(shown(), (S{3, 100}));
    // Matching case finds none: nothing is shown, the page stays.
    TKpFindOptions exact;
    exact.MatchCase = true;
    EXPECT_FALSE(p.FindNext(QStringLiteral("NEEDLE"), exact));
    EXPECT_EQ(p.FindIndex(), -1);
    EXPECT_EQ(p.CurrentPage(), 3);
    EXPECT_EQ(events, 6);
    EXPECT_EQ(signals_, 6);
    // A new search starts from the current page; backwards, from the last match up to it.
    p.SetCurrentPage(2);
    ASSERT_TRUE(p.FindNext(QStringLiteral("needle")));
    EXPECT_EQ(shown(), (S{3, 100}));
    p.ClearFind();
    p.SetCurrentPage(2);
    ASSERT_TRUE(p.FindPrevious(QStringLiteral("needle")));
    EXPECT_EQ(shown(), (S{1, 270}));
    EXPECT_EQ(p.FindPages(), (std::vector<int>{1, 3}));
}

TEST_F(PreviewFind, TheMatchIsMarkedOverTheSheetOnly) {
    p.SetZoom(100);
    ASSERT_TRUE(p.FindNext(QStringLiteral("one")));
    TKpPageImage& image = host.image();
    const qreal scale = image.Scale() * 96 / 2540.0;
    const QRect mark = FindMarkRect(p.FindMatches()[0].Rect, image.PageRect(), scale);
    EXPECT_GT(markedPixels(image.grab().toImage(), mark), mark.width() * mark.height() / 3);
    // Not part of the page: its own picture holds no mark.
    TKpPage& page = *p.GetPage(1);
    QImage picture(page.Metafile().Width(), page.Metafile().Height(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        TKpDeviceCanvas canvas(&painter, 96, 96);
        canvas.PlayMetafile(page.Metafile(), picture.rect());
    }
    EXPECT_EQ(markedPixels(picture, picture.rect()), 0);
    p.ClearFind();
    EXPECT_EQ(markedPixels(image.grab().toImage(), mark), 0);
}

TEST_F(PreviewFind, TheMatchIsScrolledIntoView) {
    p.SetZoom(200);
    ASSERT_TRUE(p.FindNext(QStringLiteral("two"))); // near the foot of page 1
    TKpPageImage& image = host.image();
    const qreal scale = image.Scale() * 96 / 2540.0;
    const QRect mark =
        FindMarkRect(p.FindMatches()[0].Rect, image.PageRect(), scale).translated(image.pos());
    EXPECT_TRUE(p.viewport()->rect().contains(mark));
    EXPECT_GT(p.VertPosition(), 0);
}

TEST_F(PreviewFind, ANewDocumentDropsTheMatches) {
    ASSERT_TRUE(p.FindNext(QStringLiteral("needle")));
    p.Clear();
    EXPECT_TRUE(p.FindMatches().empty());
    EXPECT_EQ(p.FindIndex(), -1);
}

} // namespace
