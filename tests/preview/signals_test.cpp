// The preview's Qt signals: each one after its event, with the value a slot needs, and the
// published properties that notify through them.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QMetaProperty>
#include <QSignalSpy>

#include "preview/KpPreview.h"

using namespace kp;

namespace {

// A preview of three pages on page 1, in a window.
struct Host {
    TKpDocument other; // one page, outlives the preview
    QWidget window;
    TKpPreview* preview = new TKpPreview(&window);
    Host() {
        preview->NewPage();
        preview->NewPage();
        preview->FirstPage();
    }
};

struct SignalCase {
    const char* name;
    std::function<void(Host&)> action;
    const char* signal; // SIGNAL(...)
    int count;
    QVariant argument; // of the last emission; invalid: a signal without arguments
};

void SaveAndLoad(Host& h) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    h.preview->SaveToStream(buffer);
    h.preview->Clear();
    buffer.seek(0);
    h.preview->LoadFromStream(buffer);
}

const SignalCase kCases[] = {
    {"Zoom", [](Host& h) { h.preview->SetZoom(50); }, SIGNAL(zoomChanged(int)), 1, 50},
    {"ZoomClamped", [](Host& h) { h.preview->SetZoom(900); }, SIGNAL(zoomChanged(int)), 1, 400},
    {"PageTurn", [](Host& h) { h.preview->SetCurrentPage(3); }, SIGNAL(currentPageChanged(int)), 1,
     3},
    {"PageTurning", [](Host& h) { h.preview->NextPage(); }, SIGNAL(currentPageChanging(int)), 1, 2},
    {"NewPage", [](Host& h) { h.preview->NewPage(); }, SIGNAL(pageCountChanged(int)), 1, 4},
    {"PageAdded", [](Host& h) { h.preview->NewPage(); }, SIGNAL(pageAdded()), 1, {}},
    {"Clear", [](Host& h) { h.preview->Clear(); }, SIGNAL(pageCountChanged(int)), 1, 1},
    {"Cleared", [](Host& h) { h.preview->Clear(); }, SIGNAL(cleared()), 1, {}},
    {"Loaded", [](Host& h) { h.preview->Loaded(); }, SIGNAL(currentPageChanged(int)), 1, 1},
    {"Save",
     [](Host& h) {
         QBuffer buffer;
         buffer.open(QIODevice::WriteOnly);
         h.preview->SaveToStream(buffer);
     },
     SIGNAL(saveProgress(int)), 3, 100},
    {"Load", SaveAndLoad, SIGNAL(loadProgress(int)), 3, 100},
    {"LoadDocument", SaveAndLoad, SIGNAL(documentChanged()), 1, {}},
    {"OtherDocument",
     [](Host& h) { h.preview->SetDocument(&h.other); },
     SIGNAL(documentChanged()),
     1,
     {}},
    {"OtherDocumentCount", [](Host& h) { h.preview->SetDocument(&h.other); },
     SIGNAL(pageCountChanged(int)), 1, 1},
    {"SameDocument",
     [](Host& h) { h.preview->SetDocument(nullptr); },
     SIGNAL(documentChanged()),
     0,
     {}},
    {"Orientation",
     [](Host& h) { h.preview->SetOrientation(kpLandscape); },
     SIGNAL(orientationChanged()),
     1,
     {}},
    {"PaperSize",
     [](Host& h) { h.preview->SetPaperSize(Letter); },
     SIGNAL(paperSizeChanged()),
     1,
     {}},
    {"PagesPerSheet",
     [](Host& h) { h.preview->SetPagesPerSheet(kpFourPage); },
     SIGNAL(pagesPerSheetChanged()),
     1,
     {}},
    {"SamePagesPerSheet",
     [](Host& h) { h.preview->SetPagesPerSheet(kpOnePage); },
     SIGNAL(pagesPerSheetChanged()),
     0,
     {}},
    {"Gutter", [](Host& h) { h.preview->SetGutter(12); }, SIGNAL(gutterChanged(int)), 1, 12},
    {"Copies", [](Host& h) { h.preview->SetPrintCopies(3); }, SIGNAL(printCopiesChanged(int)), 1,
     3},
    {"NoCopies",
     [](Host& h) { h.preview->SetPrintCopies(0); },
     SIGNAL(printCopiesChanged(int)),
     0,
     {}},
    {"Title", [](Host& h) { h.preview->SetTitle("Invoice"); }, SIGNAL(titleChanged(QString)), 1,
     QString("Invoice")},
    {"BorderStyle",
     [](Host& h) { h.preview->SetBorderStyle(bsNone); },
     SIGNAL(borderStyleChanged()),
     1,
     {}},
    {"AutoRefresh", [](Host& h) { h.preview->setProperty("AutoRefresh", false); },
     SIGNAL(autoRefreshChanged(bool)), 1, false},
};

class PreviewSignals : public ::testing::TestWithParam<SignalCase> {};

} // namespace

TEST_P(PreviewSignals, EmittedWithTheirValue) {
    const SignalCase& c = GetParam();
    Host host;
    QSignalSpy spy(host.preview, c.signal);
    ASSERT_TRUE(spy.isValid());
    c.action(host);
    ASSERT_EQ(spy.count(), c.count);
    if (c.count > 0 && c.argument.isValid()) EXPECT_EQ(spy.last().value(0), c.argument);
}

INSTANTIATE_TEST_SUITE_P(Table, PreviewSignals, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The event runs first, an empty event is skipped, and the signal comes in both cases.
TEST(PreviewSignalOrder, TheEventFirstThenTheSignal) {
    Host host;
    std::vector<std::string> log;
    host.preview->OnZoom = [&](void*, int oldZoom, int newZoom) {
        log.push_back("event " + std::to_string(oldZoom) + "->" + std::to_string(newZoom));
    };
    QObject::connect(host.preview, &TKpPreview::zoomChanged, [&](int zoom) {
        log.push_back("signal " + std::to_string(zoom) + " " +
                      std::to_string(host.preview->Zoom()));
    });
    host.preview->SetZoom(30);
    host.preview->OnZoom = nullptr;
    host.preview->SetZoom(40);
    EXPECT_EQ(log, (std::vector<std::string>{"event 20->30", "signal 30 30", "signal 40 40"}));
}

TEST(PreviewSignalOrder, PublishedPropertiesNotify) {
    const std::pair<const char*, const char*> notifies[] = {
        {"Zoom", "zoomChanged"},
        {"PagesPerSheet", "pagesPerSheetChanged"},
        {"Orientation", "orientationChanged"},
        {"PaperSize", "paperSizeChanged"},
        {"AutoRefresh", "autoRefreshChanged"},
        {"Title", "titleChanged"},
    };
    const QMetaObject& meta = TKpPreview::staticMetaObject;
    for (const auto& [property, signal] : notifies) {
        const QMetaProperty p = meta.property(meta.indexOfProperty(property));
        ASSERT_TRUE(p.hasNotifySignal()) << property;
        EXPECT_EQ(p.notifySignal().name(), signal);
    }
    TKpPreview preview;
    preview.AutoRefresh = false; // still a field
    EXPECT_EQ(preview.property("AutoRefresh"), QVariant(false));
}
