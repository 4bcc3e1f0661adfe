#include <gtest/gtest.h>

#include <memory>
#include <QWidget>
#include <string>
#include <vector>

#include "drawing/KpCanvas.h"
#include "message_log.h"
#include "preview/KpFieldAccess.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

// A preview inside a parent window, so that messages are broadcast.
struct Doc {
    QWidget window;
    TKpPreview* preview;
    std::vector<std::string> log;
    MessageLog messages;

    Doc() {
        window.resize(640, 480);
        preview = new TKpPreview(&window);
        messages.shared = &log;
        preview->AddLinkedControl(&messages);
    }
    void recordEvents() {
        log.clear();
        messages.entries.clear();
        preview->OnPageChanging = [this](void*, int n) {
            log.push_back("changing " + std::to_string(n));
        };
        preview->OnPageChange = [this](void*, int n) {
            log.push_back("change " + std::to_string(n));
        };
        preview->OnNewPage = [this](void*) { log.push_back("new"); };
        preview->OnClear = [this](void*) { log.push_back("clear"); };
        preview->OnDeletePage = [this](void*) { log.push_back("delete"); };
    }
};

} // namespace

TEST(PreviewDocument, NewPreviewDefaults) {
    Doc d;
    TKpPreview& p = *d.preview;
    EXPECT_EQ(p.NumPages(), 1);
    EXPECT_EQ(p.CurrentPage(), 1);
    EXPECT_EQ(p.PaperWidth().value, 21000);
    EXPECT_EQ(p.PaperHeight().value, 29700);
    EXPECT_EQ(p.Zoom(), 20);
    EXPECT_EQ(p.About(), QStringLiteral("TKpPreview v2.42"));
    EXPECT_EQ(p.PaperSize(), A4);
    EXPECT_EQ(p.Orientation(), kpPortrait);
    EXPECT_EQ(p.PagesPerSheet(), kpOnePage);
    EXPECT_EQ(p.PrintCopies(), 1);
    EXPECT_EQ(p.Gutter(), 30);
    EXPECT_EQ(p.MaxZoom, 400);
    EXPECT_EQ(p.MinZoom, 10);
    EXPECT_EQ(p.ZoomIncrement, 10);
    EXPECT_TRUE(p.AutoRefresh);
    EXPECT_EQ(p.Canvas().Page(), p.GetPage(1));
    EXPECT_DOUBLE_EQ(static_cast<double>(p.PageImage().Scale()), 0.2);
}

TEST(PreviewDocument, SetCurrentPageToSamePageIsSilent) {
    Doc d;
    d.recordEvents();
    d.preview->SetCurrentPage(1);
    EXPECT_TRUE(d.log.empty());
}

TEST(PreviewDocument, NewPageEventOrder) {
    Doc d;
    d.recordEvents();
    TKpPage* page = d.preview->NewPage();
    EXPECT_EQ(page, d.preview->GetPage(2));
    EXPECT_EQ(page->PageNum, 2);
    EXPECT_EQ(d.preview->Canvas().Page(), page);
    // Changing, change, the refresh's messages, KPM_PAGECHANGED, then OnNewPage.
    std::vector<std::string> events;
    for (const auto& e : d.log)
        if (e.rfind("msg 7030", 0) != 0 && e.rfind("msg 7033", 0) != 0) events.push_back(e);
    EXPECT_EQ(events, (std::vector<std::string>{"changing 2", "change 2", "msg 7026 2", "new"}));
    // The refresh rebuilt page 2 and reported the display before KPM_PAGECHANGED.
    const auto rebuilt = std::find(d.log.begin(), d.log.end(), "msg 7030 2");
    const auto displayed = std::find(d.log.begin(), d.log.end(), "msg 7033 2");
    const auto changed = std::find(d.log.begin(), d.log.end(), "msg 7026 2");
    ASSERT_NE(rebuilt, d.log.end());
    EXPECT_LT(rebuilt, displayed);
    EXPECT_LT(displayed, changed);
}

TEST(PreviewDocument, Navigation) {
    Doc d;
    d.preview->NewPage();
    d.preview->NewPage();
    d.recordEvents();
    EXPECT_FALSE(d.preview->NextPage()); // on the last page
    EXPECT_TRUE(d.log.empty());
    EXPECT_TRUE(d.preview->FirstPage());
    EXPECT_EQ(d.preview->CurrentPage(), 1);
    d.log.clear();
    EXPECT_FALSE(d.preview->PrevPage());
    EXPECT_FALSE(d.preview->FirstPage());
    EXPECT_TRUE(d.log.empty());
    EXPECT_TRUE(d.preview->NextPage());
    EXPECT_EQ(d.preview->CurrentPage(), 2);
    EXPECT_TRUE(d.preview->LastPage());
    EXPECT_EQ(d.preview->CurrentPage(), 3);
    EXPECT_FALSE(d.preview->LastPage());
    EXPECT_TRUE(d.preview->PrevPage());
    EXPECT_EQ(d.preview->CurrentPage(), 2);
}

TEST(PreviewDocument, OutOfRangePageKeepsInvariant) {
    Doc d;
    d.preview->NewPage();
    d.recordEvents();
    EXPECT_THROW(d.preview->SetCurrentPage(5), EListError);
    EXPECT_THROW(d.preview->SetCurrentPage(0), EListError);
    EXPECT_EQ(d.preview->CurrentPage(), 2);
    EXPECT_EQ(d.preview->Canvas().Page(), d.preview->GetPage(2));
    EXPECT_TRUE(d.log.empty());
    try {
        d.preview->GetPage(7);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (6)");
    }
}

TEST(PreviewDocument, ClearFromPageThree) {
    Doc d;
    d.preview->NewPage();
    d.preview->NewPage();
    ASSERT_EQ(d.preview->CurrentPage(), 3);
    d.preview->Canvas().Page()->AddObject(CreateObjectOfType(kpLineObject));
    d.preview->GetPage(1)->AddObject(CreateObjectOfType(kpLineObject));
    d.recordEvents();
    d.log.clear();
    d.messages.entries.clear();
    d.preview->Clear();
    EXPECT_EQ(d.preview->NumPages(), 1);
    EXPECT_EQ(d.preview->CurrentPage(), 1);
    EXPECT_EQ(d.preview->GetPage(1)->Count(), 0);
    EXPECT_EQ(d.preview->Canvas().Page(), d.preview->GetPage(1));
    EXPECT_EQ(d.log, (std::vector<std::string>{"msg 7032 0", "msg 7026 1", "clear"}));
    EXPECT_TRUE(d.preview->AutoRefresh);
    EXPECT_FALSE(d.preview->Clearing());
    // The display never points at a freed page.
    EXPECT_EQ(d.preview->PageImage().Metafile(), &d.preview->GetPage(1)->Metafile());
}

TEST(PreviewDocument, ClearOnPageOneSendsNoPageChange) {
    Doc d;
    d.preview->NewPage();
    d.preview->FirstPage();
    d.recordEvents();
    d.log.clear();
    d.preview->Clear();
    EXPECT_EQ(d.log, (std::vector<std::string>{"msg 7032 0", "clear"}));
}

TEST(PreviewDocument, DeletePageRenumbers) {
    Doc d;
    d.preview->NewPage();
    d.preview->NewPage();
    TKpPage* third = d.preview->GetPage(3);
    d.recordEvents();
    d.preview->Pages().DeletePage(2);
    EXPECT_EQ(d.preview->NumPages(), 2);
    EXPECT_EQ(d.preview->GetPage(2), third);
    EXPECT_EQ(third->PageNum, 2);
    EXPECT_EQ(std::count(d.log.begin(), d.log.end(), "delete"), 1);
    d.log.clear();
    d.preview->AutoRefresh = false;
    d.preview->Pages().DeletePage(2);
    EXPECT_EQ(std::count(d.log.begin(), d.log.end(), "delete"), 0); // AutoRefresh is off
}

// Deleting the page under the canvas and the display moves both to a live page, reports
// the page change, and the host's move to a valid page then draws and paints there.
TEST(PreviewDocument, DeletingTheBoundPageRebindsCanvasAndDisplay) {
    struct Case {
        const char* name;
        int pages, current, deleted, expected;
    };
    const Case cases[] = {{"middle page", 3, 2, 2, 2}, {"last page", 3, 3, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc d;
        for (int i = 2; i <= c.pages; ++i)
            d.preview->NewPage();
        d.preview->SetCurrentPage(c.current);
        d.recordEvents();
        d.preview->Pages().DeletePage(c.deleted);
        TKpPreview& p = *d.preview;
        TKpPage* live = p.GetPage(c.expected);
        EXPECT_EQ(p.CurrentPage(), c.expected);
        EXPECT_EQ(p.Canvas().Page(), live);
        EXPECT_EQ(p.PageImage().Metafile(), &live->Metafile());
        EXPECT_NE(std::find(d.log.begin(), d.log.end(), "change " + std::to_string(c.expected)),
                  d.log.end());
        p.SetCurrentPage(c.expected);
        p.Canvas().Rectangle(10, 10, 20, 20, kpMillimeters);
        EXPECT_EQ(live->Count(), 1);
        p.RefreshPage();
        EXPECT_FALSE(d.window.grab().isNull());
    }
}

TEST(PreviewDocument, DeletingTheOnlyPageThenNewPageBindsTheNewPage) {
    Doc d;
    TKpPreview& p = *d.preview;
    p.Pages().DeletePage(1);
    EXPECT_EQ(p.NumPages(), 0);
    EXPECT_EQ(p.Canvas().Page(), nullptr);
    EXPECT_EQ(p.PageImage().Metafile(), nullptr);
    p.SetZoom(50); // a refresh without pages shows nothing and raises nothing
    d.recordEvents();
    TKpPage* page = p.NewPage();
    EXPECT_EQ(page, p.GetPage(1));
    EXPECT_EQ(p.CurrentPage(), 1);
    EXPECT_EQ(p.Canvas().Page(), page);
    EXPECT_EQ(p.PageImage().Metafile(), &page->Metafile());
    EXPECT_GT(page->Metafile().Width(), 0);
    EXPECT_NE(std::find(d.log.begin(), d.log.end(), "change 1"), d.log.end());
    p.Canvas().Rectangle(10, 10, 20, 20, kpMillimeters);
    EXPECT_EQ(page->Count(), 1);
    EXPECT_FALSE(d.window.grab().isNull());
}

TEST(PreviewDocument, SetCurrentPageRebindsACanvasMovedOffThatPage) {
    Doc d;
    TKpPreview& p = *d.preview;
    p.NewPage();
    p.Canvas().SetPage(p.GetPage(1));
    d.recordEvents();
    p.SetCurrentPage(2);
    EXPECT_EQ(p.Canvas().Page(), p.GetPage(2));
    EXPECT_NE(std::find(d.log.begin(), d.log.end(), "change 2"), d.log.end());
}

TEST(PreviewDocument, PageListClearFiresOnClearEvenWhenEmpty) {
    Doc d;
    int clears = 0;
    d.preview->OnClear = [&](void* sender) {
        EXPECT_EQ(sender, d.preview);
        ++clears;
    };
    TKpPageList list(&d.preview->Document());
    list.Clear();
    list.AddPage();
    list.Clear();
    EXPECT_EQ(clears, 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST(PreviewDocument, PaperSizeAndOrientation) {
    Doc d;
    TKpPreview& p = *d.preview;
    p.PaperWidth().SetMillimeters(100);
    EXPECT_EQ(p.PaperSize(), Custom);
    p.SetPaperSize(A4);
    p.PaperHeight().SetMillimeters(297); // any caller write makes it Custom
    EXPECT_EQ(p.PaperSize(), Custom);
    p.SetPaperSize(Letter);
    EXPECT_EQ(p.PaperSize(), Letter);
    int orientationEvents = 0;
    p.OnChangeOrientation = [&](void*) { ++orientationEvents; };
    p.SetOrientation(kpLandscape);
    p.SetOrientation(kpLandscape);
    EXPECT_EQ(orientationEvents, 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(p.PaperWidth().AsMillimeters()), 279.4);
    EXPECT_DOUBLE_EQ(static_cast<double>(p.PaperHeight().AsMillimeters()), 215.9);
    EXPECT_EQ(p.PaperSize(), Letter);
    p.SetPaperSize(Custom); // ignored
    EXPECT_EQ(p.PaperSize(), Letter);
    // Letter set again while landscape keeps the landscape order.
    p.SetPaperSize(Letter);
    EXPECT_EQ(p.PaperWidth().value, 27940);
}

TEST(PreviewDocument, PaperSizeBroadcastsRefreshThenPaperSize) {
    Doc d;
    d.messages.entries.clear();
    d.preview->SetPaperSize(A5);
    std::vector<int> msgs;
    for (int m : d.messages.messages())
        if (m == KPM_REFRESH || m == KPM_PAPERSIZECHANGED) msgs.push_back(m);
    ASSERT_GE(msgs.size(), 2u);
    EXPECT_EQ(msgs[0], KPM_REFRESH);
    EXPECT_EQ(msgs.back(), KPM_PAPERSIZECHANGED);
    EXPECT_EQ(d.preview->GetPage(1)->Metafile().Width(), 561); // round(96 * 148.5 / 25.4)
    EXPECT_EQ(d.preview->GetPage(1)->Metafile().Height(), 794);
}

TEST(PreviewDocument, OrientationTurnsEveryPage) {
    Doc d;
    d.preview->NewPage();
    std::vector<int> turned;
    d.preview->OnChangePageOrientation = [&](void* sender, int n, TKpOrientation o) {
        EXPECT_EQ(sender, d.preview->GetPage(n));
        EXPECT_EQ(o, kpLandscape);
        turned.push_back(n);
    };
    d.messages.entries.clear();
    d.preview->SetOrientation(kpLandscape);
    EXPECT_EQ(turned, (std::vector<int>{1, 2}));
    EXPECT_EQ(d.messages.messages().back(), KPM_ORIENTATIONCHANGED);
    EXPECT_EQ(d.preview->OrientationType(), 1);
    d.preview->OnChangePageOrientation = nullptr;
    d.preview->GetPage(2)->SetOrientation(kpPortrait);
    EXPECT_EQ(d.preview->OrientationType(), 2);
}

// The count behind OrientationType follows pages as they come, turn, load and go.
TEST(PreviewDocument, OrientationTypeFollowsEveryChange) {
    Doc d;
    TKpPreview& p = *d.preview;
    const auto expect = [&](int landscape, int type, const char* step) {
        EXPECT_EQ(p.Pages().LandscapeCount(), landscape) << step;
        EXPECT_EQ(p.OrientationType(), type) << step;
    };
    p.NewPage();
    p.NewPage();
    expect(0, 0, "three portrait pages");
    p.GetPage(2)->SetOrientation(kpLandscape);
    expect(1, 2, "page 2 turned");
    TKpFieldAccess::SetOrientation(*p.GetPage(3), kpLandscape);
    expect(2, 2, "page 3 loaded landscape");
    p.Pages().DeletePage(2);
    expect(1, 2, "page 2 deleted");
    p.SetOrientation(kpLandscape);
    expect(2, 1, "document turned");
    p.NewPage();
    expect(3, 1, "landscape page added");
    TKpFieldAccess::SetOrientation(*p.GetPage(1), kpPortrait);
    expect(2, 2, "page 1 loaded portrait");
    p.Clear();
    expect(0, 2, "cleared to the portrait page 1");
    p.SetOrientation(kpPortrait);
    expect(0, 0, "document portrait again");
}

TEST(PreviewDocument, PrintCopiesAndPagesPerSheet) {
    Doc d;
    d.preview->SetPrintCopies(0);
    EXPECT_EQ(d.preview->PrintCopies(), 1);
    d.preview->SetPrintCopies(-3);
    EXPECT_EQ(d.preview->PrintCopies(), 1);
    d.preview->SetPrintCopies(4);
    EXPECT_EQ(d.preview->PrintCopies(), 4);
    d.messages.entries.clear();
    d.preview->SetPagesPerSheet(kpFourPage);
    EXPECT_EQ(d.messages.messages(), (std::vector<int>{KPM_PAGESPERSHEETCHANGED}));
}

TEST(PreviewDocument, PaperSizeNames) {
    EXPECT_EQ(TKpPreview::PaperSizeName(A4), QStringLiteral("A4"));
    EXPECT_EQ(TKpPreview::PaperSizeName(A5), QStringLiteral("A5"));
    EXPECT_EQ(TKpPreview::PaperSizeName(Letter), QStringLiteral("Custom"));
    EXPECT_EQ(TKpPreview::PaperSizeFromName(QStringLiteral("A4")), A4);
    EXPECT_EQ(TKpPreview::PaperSizeFromName(QStringLiteral("a4")), Custom);
    EXPECT_EQ(TKpPreview::PaperSizeFromName(QStringLiteral("Letter")), Custom);
}

TEST(PreviewDocument, PagePicturePixelSizes) {
    Doc d;
    d.preview->RefreshPage();
    TKpMetafile& portrait = d.preview->GetPage(1)->Metafile();
    EXPECT_EQ(portrait.Width(), 794); // round(96 * 210 / 25.4) = round(793.7)
    EXPECT_EQ(portrait.Height(), 1123);
    d.preview->SetOrientation(kpLandscape);
    EXPECT_EQ(d.preview->GetPage(1)->Metafile().Width(), 1123);
    EXPECT_EQ(d.preview->GetPage(1)->Metafile().Height(), 794);
}

TEST(PreviewDocument, PortraitPageWithWiderSidesRendersPortrait) {
    Doc d;
    TKpPage* page = d.preview->GetPage(1);
    page->Width = 11.0L;
    page->Height = 8.5L;
    page->UpdateMetafile();
    EXPECT_EQ(page->Metafile().Width(), 816);
    EXPECT_EQ(page->Metafile().Height(), 1056);
}

TEST(PreviewDocument, PageOrientationUnchangedDoesNothing) {
    Doc d;
    d.messages.entries.clear();
    int events = 0;
    d.preview->OnChangePageOrientation = [&](void*, int, TKpOrientation) { ++events; };
    d.preview->GetPage(1)->SetOrientation(kpPortrait);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(d.messages.entries.empty());
    d.preview->GetPage(1)->SetOrientation(kpLandscape);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(d.messages.count(KPM_PAGEORIENTATIONCHANGED), 1);
}

TEST(PreviewDocument, BroadcastNeedsParentAndAutoRefresh) {
    TKpPreview orphan;
    MessageLog log;
    orphan.AddLinkedControl(&log);
    orphan.BroadcastMessage(KPM_REFRESH);
    EXPECT_TRUE(log.entries.empty());

    Doc d;
    d.messages.entries.clear();
    d.preview->AutoRefresh = false;
    d.preview->BroadcastMessage(KPM_PAGESCLEARED);
    EXPECT_TRUE(d.messages.entries.empty());
    d.preview->AutoRefresh = true;
    d.preview->BroadcastMessage(KPM_PAGESCLEARED, 5);
    ASSERT_EQ(d.messages.entries.size(), 1u);
    EXPECT_EQ(d.messages.entries[0].wparam, 5);
}

TEST(PreviewDocument, LinkedControlsInOrderAndDroppedWhenDestroyed) {
    Doc d;
    std::vector<std::string> order;
    MessageLog a, c;
    auto b = std::make_unique<MessageLog>();
    d.preview->RemoveLinkedControl(&d.messages);
    a.shared = &order;
    b->shared = &order;
    c.shared = &order;
    d.preview->AddLinkedControl(&a);
    d.preview->AddLinkedControl(b.get());
    d.preview->AddLinkedControl(&a); // already present
    d.preview->AddLinkedControl(&c);
    EXPECT_EQ(d.preview->LinkedControls().size(), 3u);
    d.preview->BroadcastMessage(KPM_PAGESCLEARED);
    EXPECT_EQ(order.size(), 3u);
    b.reset();
    d.preview->BroadcastMessage(KPM_PAGESCLEARED);
    EXPECT_EQ(order.size(), 5u);
    EXPECT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(c.entries.size(), 2u);
    EXPECT_EQ(d.preview->LinkedControls().size(), 2u);
}

TEST(PreviewDocument, LoadedReportsCurrentPage) {
    Doc d;
    d.recordEvents();
    d.preview->Loaded();
    EXPECT_EQ(d.log, (std::vector<std::string>{"change 1"}));
}

TEST(PreviewDocument, GutterPassesToPageImage) {
    Doc d;
    d.preview->SetGutter(12);
    EXPECT_EQ(d.preview->PageImage().Gutter(), 12);
}

TEST(PreviewDocument, AssignCopiesSettingsNotPages) {
    Doc a, b;
    b.preview->SetPaperSize(A5);
    b.preview->SetOrientation(kpLandscape);
    b.preview->SetPagesPerSheet(kpTwoPage);
    b.preview->NewPage();
    b.preview->SetZoom(50);
    a.preview->Assign(*b.preview);
    EXPECT_EQ(a.preview->PaperSize(), A5);
    EXPECT_EQ(a.preview->Orientation(), kpLandscape);
    EXPECT_EQ(a.preview->PagesPerSheet(), kpTwoPage);
    EXPECT_EQ(a.preview->PaperWidth().value, 21000);
    EXPECT_EQ(a.preview->NumPages(), 1);
    EXPECT_EQ(a.preview->Zoom(), 20);
}
