// The printer list selector: owner-drawn items, linking to a preview, selecting printers.
#include <memory>

#include <QCoreApplication>
#include <QPainter>

#include "image_helpers.h"
#include "preview/KpCursors.h"
#include "print_fixture.h"
#include "selectors/KpGlyphs.h"
#include "selectors/KpPrinterList.h"

using namespace kp;

using namespace kptest;

namespace {

TKpVirtualPrinterSetup Named(const char* name, int dpi = 600) {
    TKpVirtualPrinterSetup s;
    s.Name = QString::fromLatin1(name);
    s.Resolution = dpi;
    return s;
}

// The smallest rectangle of opaque glyph pixels.
QRect OpaqueBounds(const QImage& glyph) {
    QRect b;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (qAlpha(glyph.pixel(x, y)) != 0) b |= QRect(x, y, 1, 1);
    return b;
}

// Ink (non-white pixels) inside the columns [x1, x2).
QRect InkBounds(const QImage& img, int x1, int x2) {
    return testimg::inkBounds(img.copy(x1, 0, x2 - x1, img.height())).translated(x1, 0);
}

} // namespace

class PrinterListItemHeight : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(PrinterListItemHeight, GlyphAndTextSitAtTheOffset) {
    const auto [itemHeight, offset] = GetParam();
    VirtualPrinter vp({Named("Alpha")});
    PreviewHost host;
    TKpPrinterList list(host.window.get());
    list.SetPreview(host.preview);
    list.SetItemHeight(itemHeight);
    ASSERT_EQ(list.count(), 1);

    const int top = 10;
    QImage img = testimg::whiteImage(200, 50);
    {
        QPainter p(&img);
        list.DrawItem(p, 0, QRect(0, top, 200, itemHeight), Qt::white, Qt::black);
    }
    const QRect glyph = OpaqueBounds(list.Bitmap());
    ASSERT_FALSE(glyph.isEmpty());
    EXPECT_EQ(InkBounds(img, 0, 20), glyph.translated(3, top + offset));

    // The text starts at x = 22 with its cell top at the same offset: the same pixels as the
    // text drawn there directly.
    QImage expected = testimg::whiteImage(200, 50);
    {
        QPainter p(&expected);
        p.setFont(list.font());
        p.setPen(Qt::black);
        p.drawText(QPoint(22, top + offset + p.fontMetrics().ascent()), QStringLiteral("Alpha"));
    }
    const QRect text = InkBounds(img, 20, 200);
    EXPECT_EQ(text, InkBounds(expected, 20, 200));
    EXPECT_GE(text.left(), 22);
    EXPECT_LT(text.left(), 26);
}

// (ItemHeight - 16) div 2, truncated toward zero.
INSTANTIATE_TEST_SUITE_P(Heights, PrinterListItemHeight,
                         ::testing::Values(std::pair{16, 0}, std::pair{20, 2}, std::pair{17, 0},
                                           std::pair{13, -1}));

TEST(PrinterList, ItemsAreFilledBrushRectangles) {
    VirtualPrinter vp({Named("Alpha")});
    PreviewHost host;
    TKpPrinterList list;
    list.SetPreview(host.preview);
    QImage img = testimg::whiteImage(100, 40);
    {
        QPainter p(&img);
        list.DrawItem(p, 0, QRect(0, 5, 100, 16), QColor(0, 0, 128), Qt::white);
    }
    EXPECT_EQ(img.pixelColor(99, 5), QColor(0, 0, 128));
    EXPECT_EQ(img.pixelColor(0, 20), QColor(0, 0, 128));
    EXPECT_EQ(img.pixelColor(0, 21), QColor(Qt::white)); // below the item
    EXPECT_EQ(img.pixelColor(0, 4), QColor(Qt::white));  // above it
}

TEST(PrinterList, LinkingFillsTheListAndSelectsThePrinter) {
    VirtualPrinter vp({Named("Alpha"), Named("Beta"), Named("Gamma")});
    PreviewHost host;
    host.preview->KpPrinter().SetPrinterIndex(1);
    TKpPrinterList list;
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.About(), QStringLiteral("TKpPrinterList v2.42"));
    list.SetPreview(host.preview);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.itemText(0), QStringLiteral("Alpha"));
    EXPECT_EQ(list.itemText(2), QStringLiteral("Gamma"));
    EXPECT_EQ(list.currentIndex(), 1);
    ASSERT_NE(list.Device(2), nullptr);
    EXPECT_EQ(list.Device(2)->Device, QStringLiteral("Gamma"));
    EXPECT_EQ(list.Device(3), nullptr);
    const auto& linked = host.preview->LinkedControls();
    EXPECT_EQ(std::count(linked.begin(), linked.end(), &list), 1);
}

TEST(PrinterList, PickingAnEntrySelectsThatPrinterOnce) {
    VirtualPrinter vp({Named("Alpha", 600), Named("Beta", 300)});
    PreviewHost host;
    TKpPrinter& printer = host.preview->KpPrinter();
    TKpPrinterList list;
    list.SetPreview(host.preview);
    int printerChanges = 0, listChanges = 0;
    host.preview->OnChangePrinter = [&](void*) { ++printerChanges; };
    list.OnChange = [&](void* sender) {
        EXPECT_EQ(sender, &list);
        ++listChanges;
    };

    // As the user's pick arrives: the current index moves, then the list is activated.
    list.setCurrentIndex(1);
    emit list.activated(1);
    EXPECT_EQ(printer.PrinterIndex(), 1);
    EXPECT_EQ(PrinterDpi(), 300);
    EXPECT_EQ(printerChanges, 1);
    EXPECT_EQ(listChanges, 1);

    // The entry that already is the printer: the device mode stays, no printer change.
    printer.SetPrintQuality(kpHigh);
    const TKpDeviceMode before = *TKpPlatformPrinter::Instance().DeviceMode();
    emit list.activated(1);
    EXPECT_EQ(*TKpPlatformPrinter::Instance().DeviceMode(), before);
    EXPECT_EQ(printerChanges, 1);
    EXPECT_EQ(listChanges, 2);
}

TEST(PrinterList, AnUnlinkedListTouchesNoPrinter) {
    VirtualPrinter vp({Named("Alpha"), Named("Beta")});
    PreviewHost host;
    int printerChanges = 0;
    host.preview->OnChangePrinter = [&](void*) { ++printerChanges; };
    TKpPrinterList list;
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentIndex(), -1);
    // Even with entries put there by hand, a selection change selects nothing.
    list.addItem(QStringLiteral("Alpha"));
    list.addItem(QStringLiteral("Beta"));
    list.setCurrentIndex(1);
    int listChanges = 0;
    list.OnChange = [&](void*) { ++listChanges; };
    list.Change();
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(TKpPlatformPrinter::Instance().PrinterIndex(), 0);
    EXPECT_EQ(printerChanges, 0);
    EXPECT_EQ(list.Device(1), nullptr);
}

TEST(PrinterList, WithoutPrintersTheListIsEmptyAndQuiet) {
    VirtualPrinter vp(std::vector<TKpVirtualPrinterSetup>{});
    ErrorCollector errors;
    PreviewHost host;
    TKpPrinterList list;
    list.SetPreview(host.preview);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentIndex(), -1);
    list.Change();
    list.Loaded();
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(QLatin1Char('|')).toStdString();
}

TEST(PrinterList, FollowsThePrinterOnTheChangeMessage) {
    VirtualPrinter vp({Named("Alpha"), Named("Beta")});
    PreviewHost host;
    TKpPrinterList list;
    list.SetPreview(host.preview);
    host.preview->KpPrinter().SetPrinterIndex(1);
    EXPECT_EQ(list.currentIndex(), 0); // nothing tells the list yet
    TKpMessageEvent message(KPM_PRINTERCHANGED, 0, 0);
    QCoreApplication::sendEvent(&list, &message);
    EXPECT_EQ(list.currentIndex(), 1);
}

TEST(PrinterList, ThePreviewGoingLeavesTheItems) {
    VirtualPrinter vp({Named("Alpha"), Named("Beta")});
    TKpPrinterList list;
    {
        PreviewHost host;
        list.SetPreview(host.preview);
        ASSERT_EQ(list.count(), 2);
    }
    EXPECT_EQ(list.Preview(), nullptr);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.Device(0), nullptr); // the devices went with the preview's printer
    list.setCurrentIndex(1);
    list.Change(); // touches nothing
    EXPECT_EQ(TKpPlatformPrinter::Instance().PrinterIndex(), 0);

    // A list going first unlinks itself.
    PreviewHost host;
    auto second = std::make_unique<TKpPrinterList>();
    second->SetPreview(host.preview);
    QObject* raw = second.get();
    second.reset();
    const auto& linked = host.preview->LinkedControls();
    EXPECT_EQ(std::count(linked.begin(), linked.end(), raw), 0);
}

TEST(SelectorGlyphs, SixteenColourPicturesWithATealGround) {
    KpEnsureResources();
    for (const char* name : {"PRINTER", "ONE", "TWO", "FOUR"}) {
        SCOPED_TRACE(name);
        const QImage shipped(QStringLiteral(":/paginor/%1").arg(QLatin1String(name)));
        ASSERT_FALSE(shipped.isNull());
        EXPECT_EQ(shipped.size(), QSize(16, 16));
        EXPECT_LE(shipped.colorCount(), 16);
        EXPECT_GT(shipped.colorCount(), 0);
        EXPECT_EQ(shipped.pixel(0, 15) & 0xFFFFFF, 0x008080u);
        const QImage glyph = KpLoadGlyph(name);
        EXPECT_EQ(qAlpha(glyph.pixel(0, 15)), 0);
        // Everything but the ground is drawn, opaque.
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool ground = (shipped.pixel(x, y) & 0xFFFFFF) == 0x008080u;
                EXPECT_EQ(qAlpha(glyph.pixel(x, y)), ground ? 0 : 255);
                opaque += !ground;
            }
        EXPECT_GT(opaque, 40);
    }
    EXPECT_TRUE(KpLoadGlyph("NOSUCH").isNull());
}
