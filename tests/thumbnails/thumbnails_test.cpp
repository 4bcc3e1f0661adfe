#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "drawing/KpPage.h"
#include "mouse_clicks.h"
#include "object_builders.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"
#include "printing/KpPrinterDpiOverride.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

// A preview and a strip side by side in one window, so that messages are broadcast.
struct Strip {
    QWidget window;
    TKpPreview* preview;
    TKpThumbnails* strip;

    explicit Strip(int pages = 1) {
        window.resize(800, 600);
        preview = new TKpPreview(&window);
        preview->setGeometry(0, 0, 800, 400);
        strip = new TKpThumbnails(&window);
        strip->setGeometry(0, 400, 800, 200);
        AddPages(pages - 1);
        strip->SetPreview(preview);
    }
    // Appends pages quietly (no broadcasts), then goes back to page 1.
    void AddPages(int n) {
        if (n <= 0) return;
        preview->AutoRefresh = false;
        for (int i = 0; i < n; ++i)
            preview->NewPage();
        preview->AutoRefresh = true;
        preview->FirstPage();
    }
    TKpThumbnail* T(int n) { return strip->Thumbnails().Items(n); }
    int Count() { return strip->Thumbnails().Count(); }
};

QImage renderOf(QWidget* w, bool background = true) {
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(QColor(10, 200, 10));
    w->render(&img, QPoint(), QRegion(),
              background ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
    return img;
}

} // namespace

TEST(Thumbnails, Defaults) {
    TKpThumbnails strip;
    EXPECT_EQ(strip.About(), QStringLiteral("TKpThumbnails v2.42"));
    EXPECT_EQ(strip.BorderStyle(), bsSingle);
    EXPECT_TRUE(strip.Enabled());
    EXPECT_EQ(strip.GridWidth(), 4);
    EXPECT_TRUE(strip.Highlight());
    EXPECT_EQ(strip.Layout(), kpThumbHorz);
    EXPECT_EQ(strip.PageCaptions(), QStringLiteral("Page #"));
    EXPECT_EQ(strip.Preview(), nullptr);
    EXPECT_TRUE(strip.ScrollIntoView);
    EXPECT_TRUE(strip.ShowCaption());
    EXPECT_FALSE(strip.ShowProgress);
    EXPECT_EQ(strip.ThumbSize(), 4);
    EXPECT_FALSE(strip.UpdateWhileLoading);
    EXPECT_EQ(strip.width(), 265);
    EXPECT_EQ(strip.height(), 120);
    EXPECT_EQ(strip.Thumbnails().Count(), 0);
    EXPECT_EQ(strip.CurrentIndex(), 0);
    EXPECT_EQ(strip.Shadow().Width(), 3);
    EXPECT_EQ(strip.ProgressPanel().height(), TKpProgressPanel::PanelHeight);
}

TEST(Thumbnails, LinkingMakesOneThumbnailPerPageAndSelectsTheCurrentOne) {
    Strip s(3);
    EXPECT_EQ(s.Count(), 3);
    ASSERT_EQ(s.preview->LinkedControls().size(), 1u);
    EXPECT_EQ(s.preview->LinkedControls()[0].data(), s.strip);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(s.T(i)->PageNumber(), i);
        EXPECT_EQ(s.T(i)->PageImage()->PageNumber, i);
        EXPECT_EQ(s.T(i)->PageImage()->Metafile(), &s.preview->GetPage(i)->Metafile());
    }
    EXPECT_TRUE(s.T(1)->PageImage()->Selected());
    EXPECT_FALSE(s.T(2)->PageImage()->Selected());
}

TEST(Thumbnails, A4PortraitAtThumbSize4Is52By74) {
    Strip s;
    TKpThumbnail* t = s.T(1);
    // W = 210 / 20 x 5 = 52.5 -> 52 (halves to even), H = 297 / 20 x 5 = 74.25 -> 74.
    EXPECT_EQ(t->width(), 52 + 3 + 8);
    EXPECT_EQ(t->height(), 74 + CaptionHeight + 3 + 8);
    EXPECT_EQ(t->PageImage()->geometry(), QRect(4, 4, 52 + 6, 74 + 6));
    EXPECT_EQ(t->ThumbSize(), 4);
}

TEST(Thumbnails, EachThumbSizeStepAddsATwentiethOfThePaper) {
    Strip s;
    s.strip->SetThumbSize(3); // 42 x 59.4
    EXPECT_EQ(s.T(1)->PageImage()->size(), QSize(42 + 6, 59 + 6));
    s.strip->SetThumbSize(5); // 63 x 89.1
    EXPECT_EQ(s.T(1)->PageImage()->size(), QSize(63 + 6, 89 + 6));
    EXPECT_THROW(s.strip->SetThumbSize(-1), std::invalid_argument);
    EXPECT_EQ(s.strip->ThumbSize(), 5);
}

TEST(Thumbnails, ShadowWidthEntersTheSizes) {
    Strip s;
    s.strip->Shadow().SetWidth(5); // reaches thumbnails created after it
    s.AddPages(1);
    s.strip->Rebuild();
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.T(1)->PageImage()->Shadow().Width(), 3);
    EXPECT_EQ(s.T(2)->PageImage()->Shadow().Width(), 5);
    EXPECT_EQ(s.T(2)->width(), 52 + 5 + 8);
    EXPECT_EQ(s.T(2)->PageImage()->size(), QSize(52 + 10, 74 + 10));
}

TEST(Thumbnails, LandscapePageAmongPortraitPagesIsWiderThanTall) {
    Strip s(3);
    s.preview->GetPage(2)->SetOrientation(kpLandscape);
    for (int i : {1, 3})
        EXPECT_LT(s.T(i)->PageImage()->width(), s.T(i)->PageImage()->height());
    EXPECT_EQ(s.T(2)->PageImage()->size(), QSize(74 + 6, 52 + 6));
    EXPECT_GT(s.T(2)->width(), s.T(2)->height() - CaptionHeight);
    // A full rebuild keeps it so.
    s.strip->Rebuild();
    EXPECT_EQ(s.T(2)->PageImage()->size(), QSize(74 + 6, 52 + 6));
    EXPECT_EQ(s.T(3)->PageImage()->size(), QSize(52 + 6, 74 + 6));
}

TEST(Thumbnails, PreviewOrientationTurnsEveryThumbnail) {
    Strip s(2);
    s.preview->SetOrientation(kpLandscape);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(s.T(i)->Orientation, kpLandscape);
        EXPECT_EQ(s.T(i)->PageImage()->size(), QSize(74 + 6, 52 + 6));
    }
    EXPECT_EQ(s.T(2)->pos(), QPoint(s.T(1)->width(), 0));
}

TEST(Thumbnails, PaperSizeChangeResizesThumbnails) {
    Strip s(2);
    s.preview->SetPaperSize(Letter); // 215.9 x 279.4 mm: 53.975 -> 54, 69.85 -> 70
    for (int i = 1; i <= 2; ++i)
        EXPECT_EQ(s.T(i)->PageImage()->size(), QSize(54 + 6, 70 + 6));
}

TEST(Thumbnails, CaptionsReplaceEveryHash) {
    Strip s(3);
    EXPECT_EQ(s.T(3)->Caption(), QStringLiteral("Page 3"));
    s.strip->SetPageCaptions(QStringLiteral("# / #"));
    EXPECT_EQ(s.T(1)->Caption(), QStringLiteral("1 / 1"));
    EXPECT_EQ(s.T(3)->Caption(), QStringLiteral("3 / 3"));
    s.strip->SetPageCaptions(QStringLiteral("Sheet"));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(s.T(i)->Caption(), QStringLiteral("Sheet"));
    // New thumbnails take the current pattern.
    s.AddPages(1);
    s.strip->Rebuild();
    EXPECT_EQ(s.T(4)->Caption(), QStringLiteral("Sheet"));
}

TEST(Thumbnails, ShowCaptionHidesEveryCaption) {
    Strip s(2);
    s.window.show();
    EXPECT_TRUE(s.T(1)->Label()->isVisible());
    s.strip->SetShowCaption(false);
    EXPECT_FALSE(s.T(1)->Label()->isVisible());
    EXPECT_FALSE(s.T(2)->CaptionVisible());
    // The band stays: the size does not depend on the caption.
    EXPECT_EQ(s.T(1)->height(), 74 + CaptionHeight + 3 + 8);
}

TEST(Thumbnails, HorizontalAndVerticalLayouts) {
    Strip s(3);
    const int w = s.T(1)->width(), h = s.T(1)->height();
    EXPECT_EQ(s.T(1)->pos(), QPoint(0, 0));
    EXPECT_EQ(s.T(2)->pos(), QPoint(w, 0));
    EXPECT_EQ(s.T(3)->pos(), QPoint(2 * w, 0));
    EXPECT_EQ(s.strip->Content()->size(), QSize(3 * w, h));
    s.strip->SetLayout(kpThumbVert);
    EXPECT_EQ(s.T(2)->pos(), QPoint(0, h));
    EXPECT_EQ(s.T(3)->pos(), QPoint(0, 2 * h));
    EXPECT_EQ(s.strip->Content()->size(), QSize(w, 3 * h));
}

TEST(Thumbnails, GridSecondRowStartsBelowTheTallestOfTheFirst) {
    Strip s(5);
    const int heights[] = {100, 100, 120, 100, 90};
    for (int i = 1; i <= 5; ++i)
        s.T(i)->resize(60, heights[i - 1]);
    s.strip->SetLayout(kpThumbGrid);
    EXPECT_EQ(s.T(1)->pos(), QPoint(0, 0));
    EXPECT_EQ(s.T(4)->pos(), QPoint(180, 0));
    EXPECT_EQ(s.T(5)->pos(), QPoint(0, 120));
    EXPECT_EQ(s.strip->Content()->size(), QSize(240, 210));
}

TEST(Thumbnails, GridWidthSwitchesTheLayoutToGrid) {
    Strip s(5);
    ASSERT_EQ(s.strip->Layout(), kpThumbHorz);
    s.strip->SetGridWidth(4); // unchanged value: nothing happens
    EXPECT_EQ(s.strip->Layout(), kpThumbHorz);
    s.strip->SetGridWidth(2);
    EXPECT_EQ(s.strip->Layout(), kpThumbGrid);
    EXPECT_EQ(s.strip->GridWidth(), 2);
    const int w = s.T(1)->width(), h = s.T(1)->height();
    EXPECT_EQ(s.T(2)->pos(), QPoint(w, 0));
    EXPECT_EQ(s.T(3)->pos(), QPoint(0, h));
    EXPECT_EQ(s.T(5)->pos(), QPoint(0, 2 * h));
}

TEST(Thumbnails, CurrentPageIsFramedInBlueAndItsCaptionToo) {
    Strip s(2);
    TKpThumbnailPage* page = s.T(1)->PageImage();
    ASSERT_TRUE(page->Selected());
    const QImage img = renderOf(page);
    // The frame runs along PageRect's top-left edges (the shadow covers the other two).
    EXPECT_EQ(img.pixelColor(0, 20), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(20, 0), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(20, 20), QColor(255, 255, 255)); // empty white sheet
    EXPECT_EQ(s.T(1)->Label()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    const QImage other = renderOf(s.T(2)->PageImage());
    EXPECT_EQ(other.pixelColor(0, 20), QColor(0, 0, 0));
    EXPECT_EQ(s.T(2)->Label()->palette().color(QPalette::WindowText), QColor(0, 0, 0));
}

TEST(Thumbnails, HighlightOffFramesTheCurrentPageInBlack) {
    Strip s(2);
    s.strip->SetHighlight(false);
    TKpThumbnailPage* page = s.T(1)->PageImage();
    ASSERT_TRUE(page->Selected());
    const QImage img = renderOf(page);
    EXPECT_EQ(img.pixelColor(0, 20), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(20, 0), QColor(0, 0, 0));
    EXPECT_EQ(s.T(1)->Label()->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    s.strip->SetHighlight(true);
    EXPECT_EQ(renderOf(page).pixelColor(0, 20), QColor(0, 0, 255));
}

TEST(Thumbnails, DisabledStripPaintsNoPage) {
    Strip s;
    s.strip->SetEnabled(false);
    const QImage img = renderOf(s.T(1)->PageImage(), false);
    EXPECT_EQ(img.pixelColor(20, 20), QColor(10, 200, 10));
    EXPECT_EQ(img.pixelColor(0, 20), QColor(10, 200, 10));
}

TEST(Thumbnails, ThumbnailShowsThePagePicture) {
    Strip s;
    // A page picture that is black all over: the thumbnail must play it inside its sheet.
    TKpMetafile& mf = s.preview->GetPage(1)->Metafile();
    {
        QPainter p(&mf.Picture());
        p.fillRect(QRect(0, 0, mf.Width(), mf.Height()), Qt::black);
    }
    const QImage img = renderOf(s.T(1)->PageImage());
    EXPECT_EQ(img.pixelColor(26, 37), QColor(0, 0, 0));
}

TEST(Thumbnails, PageChangeMovesTheHighlight) {
    Strip s(4);
    s.preview->SetCurrentPage(3);
    EXPECT_EQ(s.strip->CurrentIndex(), 2);
    EXPECT_FALSE(s.T(1)->PageImage()->Selected());
    EXPECT_TRUE(s.T(3)->PageImage()->Selected());
    int selected = 0;
    for (int i = 1; i <= 4; ++i)
        selected += s.T(i)->PageImage()->Selected();
    EXPECT_EQ(selected, 1);
}

TEST(Thumbnails, PageChangeScrollsTheCurrentThumbnailIntoView) {
    Strip s(30);
    s.window.show();
    s.preview->SetCurrentPage(30);
    QScrollBar* bar = s.strip->horizontalScrollBar();
    EXPECT_GT(bar->value(), 0);
    const QRect visible(bar->value(), 0, s.strip->viewport()->width(), 1);
    EXPECT_TRUE(visible.contains(QPoint(s.T(30)->geometry().right(), 0)));
    s.strip->ScrollIntoView = false;
    bar->setValue(0);
    s.preview->SetCurrentPage(29);
    EXPECT_EQ(bar->value(), 0);
}

TEST(Thumbnails, ClickOnAThumbnailMakesItsPageCurrent) {
    Strip s(4);
    std::vector<std::string> log;
    s.strip->OnThumbMouseDown = [&](void* sender, TMouseButton b, TShiftState shift, TKpPage* p) {
        EXPECT_EQ(sender, s.T(3)->PageImage());
        EXPECT_EQ(b, mbLeft);
        EXPECT_TRUE(shift & ssLeft);
        EXPECT_EQ(p, s.preview->GetPage(3));
        log.push_back("down");
    };
    s.preview->OnPageChange = [&](void*, int n) { log.push_back("page " + std::to_string(n)); };
    testmouse::click(s.T(3)->PageImage());
    EXPECT_EQ(log, (std::vector<std::string>{"down", "page 3"}));
    EXPECT_EQ(s.preview->CurrentPage(), 3);
    EXPECT_TRUE(s.T(3)->PageImage()->Selected());
    // A right click reports the mouse-down but changes no page.
    log.clear();
    s.strip->OnThumbMouseDown = [&](void*, TMouseButton b, TShiftState, TKpPage*) {
        EXPECT_EQ(b, mbRight);
        log.push_back("down");
    };
    testmouse::click(s.T(1)->PageImage(), Qt::RightButton);
    EXPECT_EQ(log, (std::vector<std::string>{"down"}));
    EXPECT_EQ(s.preview->CurrentPage(), 3);
}

TEST(Thumbnails, CaptionClickOnThumbnailFiveMakesPageFiveCurrentThenFiresOnLabelClick) {
    Strip s(6);
    std::vector<std::string> log;
    s.preview->OnPageChange = [&](void*, int n) { log.push_back("page " + std::to_string(n)); };
    s.strip->OnLabelClick = [&](void* sender, TKpPage* page) {
        EXPECT_EQ(sender, s.T(5));
        EXPECT_EQ(page, s.preview->GetPage(5));
        EXPECT_EQ(s.preview->CurrentPage(), 5);
        log.push_back("label");
    };
    testmouse::click(s.T(5)->Label());
    EXPECT_EQ(log, (std::vector<std::string>{"page 5", "label"}));
    EXPECT_EQ(s.strip->CurrentIndex(), 4);
    EXPECT_TRUE(s.T(5)->PageImage()->Selected());
}

TEST(Thumbnails, ProgressShowsEveryWholePercentOnceWith200Pages) {
    Strip s(200);
    ASSERT_EQ(s.Count(), 200);
    s.strip->ShowProgress = true;
    std::vector<int> shown;
    s.strip->ProgressPanel().OnPosition = [&](int p) {
        shown.push_back(p);
        EXPECT_TRUE(s.strip->ProgressPanel().isVisible() || !s.window.isVisible());
    };
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 200);
    std::vector<int> expected;
    for (int p = 1; p <= 100; ++p)
        expected.push_back(p);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(s.strip->ProgressPanel().Position(), 100);
    EXPECT_FALSE(s.strip->ProgressPanel().isVisible());
    // Without ShowProgress the panel stays away.
    shown.clear();
    s.strip->ShowProgress = false;
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 200);
    EXPECT_TRUE(shown.empty());
}

TEST(Thumbnails, ProgressPanelSitsMidStrip) {
    Strip s(3);
    s.window.show();
    s.strip->ShowProgress = true;
    QRect where;
    s.strip->ProgressPanel().OnPosition = [&](int) { where = s.strip->ProgressPanel().geometry(); };
    s.strip->Relayout(true);
    EXPECT_EQ(where, QRect(16, 200 / 2 - 10, s.strip->viewport()->width() - 32, 36));
}

TEST(Thumbnails, SetPageCountMessageTrimsAndGrowsWithinThePages) {
    Strip s(5);
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 2);
    EXPECT_EQ(s.Count(), 2);
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 4);
    EXPECT_EQ(s.Count(), 4);
    // Never more thumbnails than pages, whatever a sender asks for.
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 1LL << 40);
    EXPECT_EQ(s.Count(), 5);
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, -7);
    EXPECT_EQ(s.Count(), 0);
}

TEST(Thumbnails, LoadWithUpdateWhileLoadingOffRebuildsOnceAtTheEnd) {
    Strip s;
    const int before = s.strip->RebuildCount();
    s.preview->BroadcastMessage(KPM_LOADING, 0);
    EXPECT_FALSE(s.strip->Enabled());
    EXPECT_EQ(s.strip->RebuildCount(), before); // no rebuild at the start
    for (int i = 0; i < 4; ++i)
        s.preview->NewPage(); // each broadcasts a page change
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.strip->RebuildCount(), before);
    s.preview->BroadcastMessage(KPM_LOADING, 1);
    EXPECT_TRUE(s.strip->Enabled());
    EXPECT_EQ(s.strip->RebuildCount(), before + 1);
    EXPECT_EQ(s.Count(), 5);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(s.T(i)->PageImage()->Metafile(), &s.preview->GetPage(i)->Metafile());
}

TEST(Thumbnails, LoadKeepsADisabledStripDisabled) {
    Strip s;
    s.strip->SetEnabled(false);
    const int before = s.strip->RebuildCount();
    s.preview->BroadcastMessage(KPM_LOADING, 0);
    s.preview->BroadcastMessage(KPM_LOADING, 1);
    EXPECT_FALSE(s.strip->Enabled());
    EXPECT_EQ(s.strip->RebuildCount(), before);
}

TEST(Thumbnails, LoadWithUpdateWhileLoadingOnFollowsEveryPage) {
    Strip s;
    s.strip->UpdateWhileLoading = true;
    s.preview->BroadcastMessage(KPM_LOADING, 0);
    EXPECT_TRUE(s.strip->Enabled());
    for (int i = 2; i <= 4; ++i) {
        s.preview->NewPage();
        EXPECT_EQ(s.Count(), i);
    }
    const int before = s.strip->RebuildCount();
    s.preview->BroadcastMessage(KPM_LOADING, 1);
    EXPECT_EQ(s.strip->RebuildCount(), before);
}

TEST(Thumbnails, ReEnablingRebuildsAfterADrawingRun) {
    Strip s;
    s.strip->SetEnabled(false);
    s.preview->AutoRefresh = false;
    s.preview->Clear();
    for (int i = 0; i < 6; ++i)
        s.preview->NewPage();
    s.preview->AutoRefresh = true;
    s.preview->FirstPage();
    EXPECT_EQ(s.Count(), 1); // disabled: messages ignored
    s.strip->SetEnabled(true);
    EXPECT_EQ(s.Count(), 7);
    EXPECT_EQ(s.T(7)->pos(), QPoint(6 * s.T(1)->width(), 0));
}

TEST(Thumbnails, ClearLeavesOneThumbnail) {
    Strip s(5);
    s.preview->SetCurrentPage(4);
    s.preview->Clear();
    EXPECT_EQ(s.Count(), 1);
    EXPECT_TRUE(s.T(1)->PageImage()->Selected());
    EXPECT_EQ(s.strip->CurrentIndex(), 0);
}

TEST(Thumbnails, PagesClearedBehindTheStripsBackAreNeverPlayed) {
    Strip s(5);
    s.window.show();
    // The host clears without telling anyone (AutoRefresh off), the strip still enabled.
    s.preview->AutoRefresh = false;
    s.preview->Clear();
    const QImage img = renderOf(s.T(4)->PageImage()); // must not touch the freed page
    EXPECT_EQ(s.T(4)->PageImage()->Metafile(), nullptr);
    EXPECT_EQ(img.pixelColor(20, 20), QColor(255, 255, 255));
    s.preview->AutoRefresh = true;
}

TEST(Thumbnails, DestroyedPreviewUnlinksAndFreesTheThumbnails) {
    auto window = std::make_unique<QWidget>();
    auto* preview = new TKpPreview(window.get());
    TKpThumbnails strip;
    preview->AutoRefresh = false;
    preview->NewPage();
    preview->AutoRefresh = true;
    strip.SetPreview(preview);
    ASSERT_EQ(strip.Thumbnails().Count(), 2);
    QPointer<TKpThumbnail> first = strip.Thumbnails().Items(1);
    delete preview;
    EXPECT_EQ(strip.Preview(), nullptr);
    EXPECT_EQ(strip.Thumbnails().Count(), 0);
    EXPECT_TRUE(first.isNull());
    strip.Rebuild(); // harmless without a preview
    EXPECT_EQ(strip.Thumbnails().Count(), 0);
}

TEST(Thumbnails, DestroyedStripLeavesThePreviewsList) {
    Strip s;
    auto* second = new TKpThumbnails(&s.window);
    second->SetPreview(s.preview);
    EXPECT_EQ(s.preview->LinkedControls().size(), 2u);
    delete second;
    EXPECT_EQ(s.preview->LinkedControls().size(), 1u);
    s.preview->NewPage(); // broadcasts reach only the live strip
    EXPECT_EQ(s.Count(), 2);
}

TEST(Thumbnails, MovingToAnotherPreviewStartsAfresh) {
    Strip s(3);
    auto* other = new TKpPreview(&s.window);
    s.strip->SetPreview(other);
    EXPECT_TRUE(s.preview->LinkedControls().empty());
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.T(1)->Preview(), other);
    testmouse::click(s.T(1)->PageImage());
    EXPECT_EQ(s.preview->CurrentPage(), 1);
    s.strip->SetPreview(nullptr);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_TRUE(other->LinkedControls().empty());
}

TEST(Thumbnails, ListIsOneBasedAndChecksItsRange) {
    Strip s(2);
    EXPECT_THROW(s.strip->Thumbnails().Items(0), EListError);
    EXPECT_THROW(s.strip->Thumbnails().Items(3), EListError);
    EXPECT_THROW(s.strip->Thumbnails().Delete(3), EListError);
    s.strip->Thumbnails().Delete(1);
    EXPECT_EQ(s.Count(), 1);
}

TEST(Thumbnails, ThumbPopupReachesEveryPageImage) {
    Strip s(2);
    QMenu menu;
    s.strip->SetThumbPopup(&menu);
    EXPECT_EQ(s.T(1)->PageImage()->Popup(), &menu);
    EXPECT_EQ(s.T(2)->PageImage()->Popup(), &menu);
    s.AddPages(1);
    s.strip->Rebuild();
    EXPECT_EQ(s.T(3)->PageImage()->Popup(), &menu);
}

TEST(Thumbnails, ShadowChangeReachesOnlyNewThumbnailsAndKeepsTheCount) {
    Strip s(3);
    s.strip->Shadow().SetColor(clGray);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.T(1)->PageImage()->Shadow().Color(), clBlack);
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 2);
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 3);
    EXPECT_EQ(s.T(3)->PageImage()->Shadow().Color(), clGray);
}

TEST(Thumbnails, RebuiltAndDisplayMessagesAreIgnored) {
    Strip s(3);
    const int before = s.strip->RebuildCount();
    s.preview->RefreshPage(); // sends page-rebuilt and display-updated
    s.preview->BroadcastMessage(KPM_PAGEREBUILT, 2);
    s.preview->BroadcastMessage(KPM_DISPLAYUPDATED, 3);
    EXPECT_EQ(s.strip->RebuildCount(), before);
    EXPECT_EQ(s.Count(), 3);
}

TEST(Thumbnails, DisabledStripIgnoresMessages) {
    Strip s(3);
    s.strip->SetEnabled(false);
    s.preview->SetCurrentPage(2);
    s.preview->BroadcastMessage(KPM_SETPAGECOUNT, 1);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.strip->CurrentIndex(), 0);
    EXPECT_FALSE(s.strip->SetThumbnailCount(1));
}

TEST(Thumbnails, PreviewDestroyedInTheMiddleOfALayoutStopsIt) {
    Strip s(40);
    s.window.show();
    QPointer<TKpPreview> preview = s.preview;
    // Pending work that runs while the layout lets the platform process messages.
    QTimer::singleShot(0, [preview] { delete preview.data(); });
    s.strip->Relayout(true);
    EXPECT_TRUE(preview.isNull());
    EXPECT_EQ(s.strip->Preview(), nullptr);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_FALSE(s.strip->ProgressPanel().isVisible());
    EXPECT_EQ(s.strip->Content()->size(), QSize(0, 0));
}

TEST(Thumbnails, BorderStyleNoneDropsTheFrame) {
    TKpThumbnails strip;
    strip.SetBorderStyle(bsNone);
    EXPECT_EQ(strip.BorderStyle(), bsNone);
    EXPECT_EQ(strip.frameStyle(), static_cast<int>(QFrame::NoFrame));
    strip.SetBorderStyle(bsSingle);
    EXPECT_NE(strip.frameStyle(), static_cast<int>(QFrame::NoFrame));
}

// A drawing run made the documented way with the strip left on (AutoRefresh off, Clear,
// NewPage, drawing, AutoRefresh on, RefreshPage) leaves a thumbnail for every page, each
// playing its own page's new picture: more pages than before, or as many.
TEST(Thumbnails, StripFollowsADrawingRunMadeWithAutoRefreshOff) {
    for (const int pages : {5, 3}) {
        SCOPED_TRACE(pages);
        Strip s(3);
        s.preview->AutoRefresh = false;
        s.preview->Clear();
        for (int i = 1; i <= pages; ++i) {
            if (i > 1) s.preview->NewPage();
            kptest::AddRect(s.preview->GetPage(i), 0, 0, 21000, 29700, clBlack, clBlack);
        }
        s.preview->AutoRefresh = true;
        s.preview->RefreshPage();
        ASSERT_EQ(s.Count(), pages);
        for (int i = 1; i <= pages; ++i) {
            EXPECT_EQ(s.T(i)->PageImage()->Metafile(), &s.preview->GetPage(i)->Metafile());
            const QImage img = renderOf(s.T(i)->PageImage());
            EXPECT_EQ(img.pixelColor(s.T(i)->PageImage()->PageRect().center()), QColor(Qt::black))
                << "page " << i;
        }
    }
}

// A ruled table (rules 5 mm apart across, 30 mm down, the thinnest pen) reads as grey lines on
// white in its thumbnail, not as a black block.
TEST(Thumbnails, RuledTablePageReadsAsGreyLines) {
    SetPrinterDpiOverride(360);
    Strip s;
    TKpPage* page = s.preview->GetPage(1);
    for (int y = 1000; y <= 28000; y += 500)
        kptest::AddLine(page, 1000, y, 19000, y, clBlack, 1);
    for (int x = 1000; x <= 19000; x += 3000)
        kptest::AddLine(page, x, 1000, x, 28000, clBlack, 1);
    s.preview->RefreshPage();
    s.strip->RefreshImages();
    TKpThumbnailPage* thumb = s.T(1)->PageImage();
    const QImage grey = renderOf(thumb)
                            .copy(thumb->PageRect().adjusted(1, 1, -1, -1))
                            .convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    int darkest = 255;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const int v = grey.constScanLine(y)[x];
            sum += v;
            darkest = std::min(darkest, v);
        }
    const double mean = sum / (grey.width() * grey.height());
    EXPECT_GT(mean, 150);
    EXPECT_LT(darkest, 200) << mean; // the rules still show
    // The page display keeps its exact pixels.
    EXPECT_FALSE(s.preview->PageImage().SmoothDownscaling());
    SetPrinterDpiOverride(0);
}
