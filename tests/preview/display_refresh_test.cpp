// RefreshPage: the displayed size from the paper and the current page's orientation, the
// page's picture rebuilt and bound, placement and the display-updated notification.
#include <gtest/gtest.h>

#include "display_fixture.h"
#include "drawing/KpCanvas.h"
#include "message_log.h"

using namespace kp;

TEST(DisplayRefresh, BindsTheCurrentPagesPictureAndNotifies) {
    PreviewHost host;
    host.preview->NewPage();
    host.preview->NewPage();
    MessageLog log;
    host.preview->AddLinkedControl(&log);
    host.preview->SetCurrentPage(2);
    TKpPage* page = host.preview->GetPage(2);
    EXPECT_EQ(host.image().Metafile(), &page->Metafile());
    EXPECT_EQ(host.preview->Canvas().Page(), page);
    EXPECT_NEAR(static_cast<double>(page->Width), 210 / 25.4, 1e-9);
    EXPECT_NEAR(static_cast<double>(page->Height), 297 / 25.4, 1e-9);
    EXPECT_EQ(page->Metafile().Width(), 794);
    EXPECT_EQ(page->Metafile().Height(), 1123);

    log.entries.clear();
    host.preview->RefreshPage();
    // The rebuilt page is reported first, then the display with the page count.
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].msg, KPM_PAGEREBUILT);
    EXPECT_EQ(log.entries[0].wparam, 2);
    EXPECT_EQ(log.entries[1].msg, KPM_DISPLAYUPDATED);
    EXPECT_EQ(log.entries[1].wparam, 3);
}

TEST(DisplayRefresh, SizeFollowsTheCurrentPagesOrientation) {
    PreviewHost host;
    host.preview->SetZoom(100);
    host.preview->NewPage();
    host.preview->GetPage(2)->SetOrientation(kpLandscape);
    host.preview->RefreshPage();
    // Page 2 is landscape while the preview stays portrait.
    EXPECT_EQ(host.preview->Orientation(), kpPortrait);
    EXPECT_EQ(host.image().width(), 60 + 1123);
    EXPECT_EQ(host.image().height(), 60 + 794);
    EXPECT_NEAR(static_cast<double>(host.image().PageWidthInches()), 297 / 25.4, 1e-9);
    host.preview->SetCurrentPage(1);
    EXPECT_EQ(host.image().width(), 854);
    EXPECT_EQ(host.image().height(), 1183);
}

TEST(DisplayRefresh, CustomPaperIsOrderedByThePageOrientation) {
    PreviewHost host;
    host.preview->SetZoom(100);
    host.preview->PaperWidth().SetMillimeters(300); // wider than high, but a portrait page
    host.preview->PaperHeight().SetMillimeters(100);
    ASSERT_EQ(host.preview->PaperSize(), Custom);
    host.preview->RefreshPage();
    // 100 mm = 3.937 in -> 378 px; 300 mm = 11.811 in -> 1134 px.
    EXPECT_EQ(host.image().PagePixelWidth(), 378);
    EXPECT_EQ(host.image().PagePixelHeight(), 1134);
    host.preview->GetPage(1)->SetOrientation(kpLandscape);
    host.preview->RefreshPage();
    EXPECT_EQ(host.image().PagePixelWidth(), 1134);
    EXPECT_EQ(host.image().PagePixelHeight(), 378);
}

TEST(DisplayRefresh, ObjectsAddedAfterARefreshAppearAfterTheNext) {
    PreviewHost host;
    host.preview->SetZoom(100);
    host.preview->AutoRefresh = false;
    host.preview->Canvas().Brush().SetColor(clRed);
    host.preview->Canvas().Rectangle(1, 1, 2, 2, kpInches);
    host.preview->AutoRefresh = true;
    host.preview->RefreshPage();
    QImage img(host.image().size(), QImage::Format_RGB32);
    img.fill(Qt::gray);
    host.image().render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    // 1.5 inches = 144 page pixels, on a sheet of 791 for 794.
    EXPECT_EQ(rgbAt(img, 30 + 144 * 791 / 794, 30 + 144 * 1120 / 1123), 0xFF0000u);
}
