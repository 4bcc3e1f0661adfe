// The selectors' Qt signals beside their events: the pages-per-sheet buttons and the printer
// list's pick.
#include <string>
#include <vector>

#include <QSignalSpy>
#include <QToolButton>

#include "print_fixture.h"
#include "selectors/KpMultipageImage.h"
#include "selectors/KpPrinterList.h"
#include "thumbnails/mouse_clicks.h"

using namespace kp;

using namespace kptest;

TEST(SelectorSignals, EachButtonHasItsSignalAfterItsEvent) {
    PreviewHost host;
    TKpMultipageImage selector(host.window.get());
    selector.SetPreview(host.preview);
    std::vector<std::string> log;
    selector.OnClickFourPage = [&](void*) { log.push_back("event four"); };
    QObject::connect(&selector, &TKpMultipageImage::onePageClicked, [&] { log.push_back("one"); });
    QObject::connect(&selector, &TKpMultipageImage::twoPageClicked, [&] { log.push_back("two"); });
    QObject::connect(&selector, &TKpMultipageImage::fourPageClicked,
                     [&] { log.push_back("four"); });
    QSignalSpy changes(&selector, &TKpMultipageImage::pagesPerSheetChanged);
    testmouse::click(selector.TwoPageButton());
    testmouse::click(selector.TwoPageButton()); // the current setting: nothing
    testmouse::click(selector.FourPageButton());
    testmouse::click(selector.OnePageButton());
    EXPECT_EQ(log, (std::vector<std::string>{"two", "event four", "four", "one"}));
    EXPECT_EQ(changes.count(), 3);
    selector.SetPagesPerSheet(kpOnePage); // the same value: no change to report
    EXPECT_EQ(changes.count(), 3);
}

TEST(SelectorSignals, PrinterListReportsThePickedIndex) {
    TKpVirtualPrinterSetup alpha, beta;
    alpha.Name = "Alpha";
    beta.Name = "Beta";
    VirtualPrinter vp({alpha, beta});
    PreviewHost host;
    TKpPrinterList list;
    list.SetPreview(host.preview);
    int events = 0;
    list.OnChange = [&](void*) { ++events; };
    QSignalSpy spy(&list, &TKpPrinterList::printerChanged);
    list.setCurrentIndex(1);
    emit list.activated(1);
    list.OnChange = nullptr; // an empty event: the signal still comes
    list.setCurrentIndex(0);
    emit list.activated(0);
    EXPECT_EQ(events, 1);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).value(0).toInt(), 1);
    EXPECT_EQ(spy.at(1).value(0).toInt(), 0);
    EXPECT_EQ(host.preview->KpPrinter().PrinterIndex(), 0);
}
