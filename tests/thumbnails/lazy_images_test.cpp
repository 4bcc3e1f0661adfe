// The strip fills its thumbnails in without blocking: the first pictures at once, then the
// ones asked for by painting thumbnails, the rest in idle slices between event-loop turns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "drawing/KpCanvas.h"
#include "drawing/KpPage.h"
#include "preview/KpPreview.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

constexpr int kPages = 30;

struct LazyStrip {
    QWidget window;
    TKpPreview* preview;
    TKpThumbnails* strip;

    LazyStrip() {
        window.resize(800, 600);
        preview = new TKpPreview(&window);
        preview->setGeometry(0, 0, 800, 400);
        strip = new TKpThumbnails(&window);
        strip->setGeometry(0, 400, 800, 200);
        strip->SetEnabled(false);
        preview->AutoRefresh = false;
        for (int p = 1; p <= kPages; ++p) {
            if (p > 1) preview->NewPage();
            preview->Canvas().TextOut(10, 10, QStringLiteral("Page %1").arg(p), kpMillimeters);
        }
        preview->AutoRefresh = true;
        preview->FirstPage();
        strip->SetPreview(preview);
        // One page per slice: every rebuild is followed by a turn of the event loop.
        strip->SetImageSliceMs(0);
    }
    // Forgets every page picture: a page picture is built once it has its size again.
    void Unbuild() {
        for (int n = 1; n <= kPages; ++n) {
            preview->GetPage(n)->Metafile().Clear();
            preview->GetPage(n)->Metafile().SetWidth(0);
        }
    }
    bool Built(int n) { return preview->GetPage(n)->Metafile().Width() > 0; }
};

} // namespace

TEST(ThumbnailImages, EventLoopTurnsKeepComingWhileTheStripFillsIn) {
    LazyStrip s;
    std::vector<int> pendingAtTurn;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout,
                     [&] { pendingAtTurn.push_back(s.strip->PendingImages()); });
    turn.start(0);
    s.Unbuild();
    s.strip->SetEnabled(true);
    // The layout already let the loop turn; the pictures came one a turn meanwhile.
    EXPECT_EQ(s.strip->Thumbnails().Count(), kPages);
    EXPECT_TRUE(s.Built(1));
    for (int i = 1; i <= kPages; ++i)
        EXPECT_EQ(s.strip->Thumbnails().Items(i)->PageImage()->Metafile(),
                  &s.preview->GetPage(i)->Metafile());
    while (s.strip->PendingImages() > 0 && pendingAtTurn.size() < 10 * kPages)
        QApplication::processEvents();
    turn.stop();
    EXPECT_EQ(s.strip->PendingImages(), 0);
    for (int i = 1; i <= kPages; ++i)
        EXPECT_TRUE(s.Built(i)) << i;
    // Between two turns of the loop at most one page was rebuilt, and turns came for every
    // page.
    ASSERT_GE(pendingAtTurn.size(), static_cast<size_t>(kPages - 1));
    for (size_t k = 1; k < pendingAtTurn.size(); ++k)
        EXPECT_LE(pendingAtTurn[k - 1] - pendingAtTurn[k], 1) << k;
}

TEST(ThumbnailImages, APaintedThumbnailIsBuiltBeforeThePagesAheadOfIt) {
    LazyStrip s;
    s.strip->SetEnabled(true);
    s.Unbuild();
    s.strip->RefreshImages(); // the first slice: page 1 only
    EXPECT_EQ(s.strip->PendingImages(), kPages - 1);
    EXPECT_TRUE(s.Built(1));
    EXPECT_FALSE(s.Built(2));
    s.strip->RequestImage(25);
    QApplication::processEvents(); // one slice
    EXPECT_TRUE(s.Built(25));
    EXPECT_FALSE(s.Built(3));
    // Asking again for a built page changes nothing.
    const int pending = s.strip->PendingImages();
    s.strip->RequestImage(25);
    s.strip->RequestImage(kPages + 5);
    EXPECT_EQ(s.strip->PendingImages(), pending);
}

TEST(ThumbnailImages, DisablingTheStripDropsThePendingPictures) {
    LazyStrip s;
    s.strip->SetEnabled(true);
    s.Unbuild();
    s.strip->RefreshImages();
    ASSERT_GT(s.strip->PendingImages(), 0);
    s.strip->SetEnabled(false);
    EXPECT_EQ(s.strip->PendingImages(), 0);
    QApplication::processEvents();
    EXPECT_FALSE(s.Built(kPages));
}

TEST(ThumbnailImages, MakingManyThumbnailsLetsTheLoopTurnAndStopsWhenTheStripIsSwitchedOff) {
    LazyStrip s;
    std::vector<int> countAtTurn;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        countAtTurn.push_back(s.strip->Thumbnails().Count());
        // Switched off by input handled halfway through.
        if (s.strip->Thumbnails().Count() == kPages / 2) s.strip->SetEnabled(false);
    });
    turn.start(0);
    s.strip->SetEnabled(true);
    turn.stop();
    // A turn after every thumbnail made, up to the one that switched the strip off.
    ASSERT_GE(countAtTurn.size(), static_cast<size_t>(kPages / 2));
    for (int k = 1; k <= kPages / 2; ++k)
        EXPECT_EQ(countAtTurn[static_cast<size_t>(k - 1)], k);
    EXPECT_FALSE(s.strip->Enabled());

    // Switched on again, it makes the rest and lays all of them out.
    s.strip->SetEnabled(true);
    ASSERT_EQ(s.strip->Thumbnails().Count(), kPages);
    EXPECT_EQ(s.strip->Thumbnails().Items(kPages)->pos().x(),
              (kPages - 1) * s.strip->Thumbnails().Items(1)->width());
}

TEST(ThumbnailImages, ThumbnailsAreShownAsTheyComeNearTheView) {
    LazyStrip s;
    s.strip->setGeometry(0, 400, 200, 200);
    s.window.show();
    s.strip->SetEnabled(true);
    auto& list = s.strip->Thumbnails();
    const int w = list.Items(1)->width();
    const int view = s.strip->viewport()->width();
    // Placed in a row as always, shown up to a screenful past the view.
    for (int i = 1; i <= kPages; ++i) {
        EXPECT_EQ(list.Items(i)->pos(), QPoint((i - 1) * w, 0)) << i;
        EXPECT_EQ(!list.Items(i)->isHidden(), (i - 1) * w < 2 * view) << i;
    }
    s.strip->horizontalScrollBar()->setValue(s.strip->horizontalScrollBar()->maximum());
    EXPECT_FALSE(list.Items(kPages)->isHidden());
    // The current page scrolled into view is shown with it.
    s.strip->horizontalScrollBar()->setValue(0);
    s.preview->SetCurrentPage(kPages - 8);
    EXPECT_FALSE(list.Items(kPages - 8)->isHidden());
}

TEST(ThumbnailImages, OnlyThePageImagesPaintedLastKeepTheirRenderedSheet) {
    QWidget window;
    auto* preview = new TKpPreview(&window);
    auto* strip = new TKpThumbnails(&window);
    preview->AutoRefresh = false;
    const int pages = static_cast<int>(TKpThumbnails::KeptSheets) + 4;
    for (int p = 2; p <= pages; ++p)
        preview->NewPage();
    preview->AutoRefresh = true;
    strip->SetPreview(preview);
    ASSERT_EQ(strip->Thumbnails().Count(), pages);
    const auto paint = [&](int n) {
        QImage target(strip->Thumbnails().Items(n)->PageImage()->size(), QImage::Format_ARGB32);
        strip->Thumbnails().Items(n)->PageImage()->render(&target);
        return strip->Thumbnails().Items(n)->PageImage()->HasRenderedSheet();
    };
    for (int n = 1; n <= pages; ++n)
        EXPECT_TRUE(paint(n)) << n;
    // Painted again, page 1 has its sheet back and pushes out page 5; 2 to 4 went before.
    EXPECT_TRUE(paint(1));
    EXPECT_FALSE(strip->Thumbnails().Items(2)->PageImage()->HasRenderedSheet());
    EXPECT_FALSE(strip->Thumbnails().Items(5)->PageImage()->HasRenderedSheet());
    EXPECT_TRUE(strip->Thumbnails().Items(6)->PageImage()->HasRenderedSheet());
    EXPECT_TRUE(strip->Thumbnails().Items(1)->PageImage()->HasRenderedSheet());
}
