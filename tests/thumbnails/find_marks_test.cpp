// The strip marks the pages that hold found text, following the preview's matches.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "preview/KpPreview.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

TEST(ThumbnailFindMarks, PagesWithMatchesGetACorner) {
    QWidget window;
    window.resize(800, 600);
    auto* preview = new TKpPreview(&window); // owned by window
    preview->setGeometry(0, 0, 800, 400);
    auto* strip = new TKpThumbnails(&window);
    strip->setGeometry(0, 400, 800, 200);
    preview->Canvas().TextOut(20, 20, QStringLiteral("found"), kpMillimeters);
    preview->NewPage();
    preview->NewPage();
    preview->Canvas().TextOut(20, 20, QStringLiteral("found again"), kpMillimeters);
    strip->SetPreview(preview);
    window.show();
    QApplication::processEvents();

    ASSERT_TRUE(preview->FindNext(QStringLiteral("found")));
    EXPECT_EQ(strip->MarkedPages(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(strip->PageMarked(3));
    EXPECT_FALSE(strip->PageMarked(2));
    // The corner is in the sheet's top right corner.
    auto cornerIsOrange = [&](int n) {
        TKpThumbnailPage* page = strip->Thumbnails().Items(n)->PageImage();
        const QImage img = page->grab().toImage();
        const QRect r = page->PageRect();
        const QColor c = img.pixelColor(r.right() - 1, r.top() + 1);
        return c.red() > 200 && c.green() > 100 && c.green() < 180 && c.blue() < 60;
    };
    EXPECT_TRUE(cornerIsOrange(1));
    EXPECT_FALSE(cornerIsOrange(2));
    preview->ClearFind();
    EXPECT_TRUE(strip->MarkedPages().empty());
    EXPECT_FALSE(cornerIsOrange(1));
}
