// Printer settings: no printer, device-mode mapping, selection, title, error reports.
#include "platform/KpWinFlags.h"
#include "print_fixture.h"

using namespace kp;

using namespace kptest;

namespace {

TKpVirtualPrinterSetup Printer(const QString& name, int dpi, QPoint offset = {0, 0}) {
    TKpVirtualPrinterSetup s;
    s.Name = name;
    s.Resolution = dpi;
    s.Offset = offset;
    return s;
}

} // namespace

TEST(PrinterSettings, NoPrinterInstalled) {
    VirtualPrinter none(std::vector<TKpVirtualPrinterSetup>{});
    ErrorCollector errors;
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    TKpPrinter& printer = preview.KpPrinter();

    EXPECT_FALSE(printer.PrinterInstalled());
    EXPECT_EQ(PrinterDpi(), 360);
    EXPECT_EQ(printer.PrinterIndex(), -1);
    EXPECT_EQ(printer.PhysicalOffset(), QPoint(0, 0));
    EXPECT_EQ(printer.PrinterMargins().Left().value, 0);
    EXPECT_EQ(printer.PrinterMargins().Top().value, 0);
    EXPECT_EQ(printer.PrinterMargins().Right().value, 0);
    EXPECT_EQ(printer.PrinterMargins().Bottom().value, 0);
    EXPECT_EQ(preview.Title(), QString());
    EXPECT_EQ(printer.Canvas(), nullptr);
    // Device-mode getters give the first values; setters change nothing.
    printer.SetPrintQuality(kpHigh);
    printer.SetDuplex(kpVertDuplex);
    printer.SetDitherType(kpFine);
    EXPECT_EQ(printer.PrintQuality(), kpDraft);
    EXPECT_EQ(printer.Duplex(), kpSimplex);
    EXPECT_EQ(printer.DitherType(), kpNone);

    // The job is silent: no event, no report.
    int events = 0;
    preview.BeforePrint = [&](void*) { ++events; };
    preview.AfterPrint = [&](void*) { ++events; };
    preview.BeforePrintPage = [&](void*, TKpPage*, void*) { ++events; };
    preview.PrintToFile = QStringLiteral("/tmp/never.pdf");
    preview.Print();
    preview.PrintRange(1, 1);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(errors.texts.isEmpty());

    // The operations that report do so against the preview.
    EXPECT_EQ(printer.Handle(), nullptr);
    printer.SetPrinterIndex(0);
    printer.BeginDoc(QString());
    printer.EndDoc();
    const QString expected = QStringLiteral("TKpPreview Error...\n\nNo printer selected");
    ASSERT_EQ(errors.texts.size(), 4);
    for (const QString& t : errors.texts)
        EXPECT_EQ(t, expected);
    EXPECT_EQ(events, 0);
}

TEST(PrinterSettings, ResolutionMarginsAndIndexOfVirtualPrinter) {
    VirtualPrinter vp({Printer("Alpha", 600, {50, 75}), Printer("Beta", 300, {10, 20})});
    PreviewHost host;
    TKpPrinter& printer = host.preview->KpPrinter();

    ASSERT_TRUE(printer.PrinterInstalled());
    EXPECT_EQ(printer.PrinterIndex(), 0);
    EXPECT_EQ(PrinterDpi(), 600);
    EXPECT_EQ(printer.PhysicalOffset(), QPoint(50, 75));
    // 50 px at 600 dpi = 211.67 -> 212 KpUnits; 75 px = 317.5 -> 318 (halves to even).
    EXPECT_EQ(printer.PrinterMargins().Left().value, 212);
    EXPECT_EQ(printer.PrinterMargins().Top().value, 318);
    EXPECT_EQ(printer.PrinterMargins().Right().value, 212);
    EXPECT_EQ(printer.PrinterMargins().Bottom().value, 318);

    TKpPrinterStrings& list = printer.Printers();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0), QStringLiteral("Alpha"));
    EXPECT_EQ(list.Objects(1)->Device, QStringLiteral("Beta"));
    EXPECT_EQ(list.Objects(1)->Driver, QString());
    EXPECT_EQ(list.Objects(1)->Port, QString());
    EXPECT_EQ(&printer.Printers(), &list);

    std::vector<void*> senders;
    host.preview->OnChangePrinter = [&](void* s) { senders.push_back(s); };
    printer.SetPrinterIndex(0); // unchanged: nothing
    EXPECT_TRUE(senders.empty());
    printer.SetPrinterIndex(1);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], &printer);
    EXPECT_EQ(PrinterDpi(), 300);
    EXPECT_EQ(printer.PhysicalOffset(), QPoint(10, 20));
    EXPECT_EQ(printer.PrinterMargins().Left().value, 85); // 10 px at 300 dpi = 84.67
    EXPECT_THROW(printer.SetPrinterIndex(5), std::out_of_range);
}

TEST(PrinterSettings, DeviceModeMapping) {
    TKpVirtualPrinterSetup full = Printer("Full", 600);
    full.Duplex = true;
    TKpVirtualPrinterSetup bare = Printer("Bare", 300);
    bare.Quality = false;
    bare.Color = false;
    VirtualPrinter vp({full, bare});
    PreviewHost host;
    TKpPrinter& printer = host.preview->KpPrinter();
    TKpDeviceMode* mode = TKpPlatformPrinter::Instance().DeviceMode();
    ASSERT_NE(mode, nullptr);

    // The driver reports its resolution in dots per inch: read as draft.
    EXPECT_EQ(printer.PrintQuality(), kpDraft);
    printer.SetPrintQuality(kpHigh);
    EXPECT_EQ(mode->dmPrintQuality, DMRES_HIGH);
    EXPECT_EQ(printer.PrintQuality(), kpHigh);
    printer.SetPrintQuality(kpLow);
    EXPECT_EQ(mode->dmPrintQuality, DMRES_LOW);
    printer.SetDuplex(kpVertDuplex);
    EXPECT_EQ(mode->dmDuplex, DMDUP_VERTICAL);
    EXPECT_EQ(printer.Duplex(), kpVertDuplex);
    printer.SetDuplex(kpHorzDuplex);
    EXPECT_EQ(mode->dmDuplex, DMDUP_HORIZONTAL);
    EXPECT_EQ(printer.Duplex(), kpHorzDuplex);
    const uint32_t ditherValues[] = {1, 2, 3, 4, 10};
    for (int d = kpNone; d <= kpGrayScale; ++d) {
        printer.SetDitherType(static_cast<TKpDitherType>(d));
        EXPECT_EQ(mode->dmDitherType, ditherValues[d]);
        // DMDITHER_NONE reads back as kpNone like every unknown value.
        EXPECT_EQ(printer.DitherType(), static_cast<TKpDitherType>(d));
    }
    printer.SetPrintColor(kpMonochrome);
    EXPECT_EQ(mode->dmColor, DMCOLOR_MONOCHROME);
    EXPECT_EQ(CurrentPrintColor(), kpMonochrome);
    printer.SetPrintColor(kpColor);
    EXPECT_EQ(mode->dmColor, DMCOLOR_COLOR);
    const uint32_t fieldsBefore = mode->dmFields;
    printer.SetDuplex(kpSimplex);
    EXPECT_EQ(mode->dmDuplex, DMDUP_SIMPLEX);
    EXPECT_EQ(mode->dmFields, fieldsBefore);

    // Another printer starts from its driver's defaults; this one lacks quality and colour.
    printer.SetPrinterIndex(1);
    mode = TKpPlatformPrinter::Instance().DeviceMode();
    EXPECT_EQ(mode->dmDitherType, 0u);
    EXPECT_EQ(printer.PrintColor(), kpColor); // the stored field survives
    EXPECT_EQ(mode->dmPrintQuality, 300);
    printer.SetPrintQuality(kpHigh);
    EXPECT_EQ(mode->dmPrintQuality, 300);
    EXPECT_EQ(printer.PrintQuality(), kpDraft);
    printer.SetPrintColor(kpMonochrome);
    EXPECT_EQ(mode->dmColor, DMCOLOR_MONOCHROME);
    printer.SetPrintColor(kpColor);
    EXPECT_EQ(mode->dmColor, DMCOLOR_MONOCHROME); // no DM_COLOR: unchanged
    EXPECT_EQ(printer.PrintColor(), kpColor);
    SetCurrentPrintColor(kpColor);
}

TEST(PrinterSettings, DeviceModeReachesTheJob) {
    TKpVirtualPrinterSetup setup = Printer("Duplexer", 600);
    setup.Duplex = true;
    VirtualPrinter vp(setup);
    QTemporaryDir dir;
    PreviewHost host;
    TKpPrinter& printer = host.preview->KpPrinter();
    printer.SetDuplex(kpVertDuplex);
    printer.SetPrintQuality(kpMedium);
    printer.SetDitherType(kpGrayScale);
    host.preview->PrintToFile = dir.filePath("duplex.pdf");
    host.preview->Print();
    ASSERT_EQ(vp.Jobs().size(), 1u);
    EXPECT_EQ(vp.Jobs()[0].Mode.dmDuplex, DMDUP_VERTICAL);
    EXPECT_EQ(vp.Jobs()[0].Mode.dmPrintQuality, DMRES_MEDIUM);
    EXPECT_EQ(vp.Jobs()[0].Mode.dmDitherType, DMDITHER_GRAYSCALE);
    EXPECT_TRUE(vp.Jobs()[0].Completed);
}

TEST(PrinterSettings, AssignCopiesTheFourSettings) {
    TKpVirtualPrinterSetup setup = Printer("Duplexer", 600);
    setup.Duplex = true;
    VirtualPrinter vp(setup);
    PreviewHost a, b;
    a.preview->KpPrinter().SetPrintColor(kpMonochrome);
    a.preview->KpPrinter().SetDuplex(kpHorzDuplex);
    a.preview->KpPrinter().SetPrintQuality(kpHigh);
    a.preview->KpPrinter().SetDitherType(kpLineArt);
    b.preview->KpPrinter().Assign(a.preview->KpPrinter());
    EXPECT_EQ(b.preview->KpPrinter().PrintColor(), kpMonochrome);
    EXPECT_EQ(b.preview->KpPrinter().Duplex(), kpHorzDuplex);
    EXPECT_EQ(b.preview->KpPrinter().PrintQuality(), kpHigh);
    EXPECT_EQ(b.preview->KpPrinter().DitherType(), kpLineArt);
    SetCurrentPrintColor(kpColor);
}

TEST(PrinterSettings, TitleAndDocuments) {
    VirtualPrinter vp(Printer("Alpha", 300));
    ErrorCollector errors;
    PreviewHost host;
    TKpPreview& preview = *host.preview;
    TKpPrinter& printer = preview.KpPrinter();
    EXPECT_EQ(preview.Title(), QStringLiteral("<document>"));

    std::vector<void*> before, after;
    preview.BeforePrint = [&](void* s) { before.push_back(s); };
    preview.AfterPrint = [&](void* s) { after.push_back(s); };
    printer.BeginDoc(QString());
    EXPECT_TRUE(printer.Printing());
    EXPECT_NE(printer.Canvas(), nullptr);
    preview.SetTitle(QStringLiteral("changed while printing"));
    EXPECT_EQ(preview.Title(), QStringLiteral("<document>"));
    printer.BeginDoc(QString());
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_EQ(errors.texts[0], QStringLiteral("TKpPreview Error...\n\nUnable to initialise "
                                              "printer... Printing in progress."));
    EXPECT_TRUE(printer.Printing());
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.Canvas(), nullptr);
    printer.EndDoc();
    ASSERT_EQ(errors.texts.size(), 2);
    EXPECT_EQ(errors.texts[1], QStringLiteral("TKpPreview Error...\n\nNo printer selected"));
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before[0], &printer);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], &printer);
    ASSERT_EQ(vp.Jobs().size(), 1u);
    EXPECT_EQ(vp.Jobs()[0].DocName, QStringLiteral("<document>"));
}

TEST(PrinterSettings, ErrorTextLayout) {
    EXPECT_EQ(ErrorText(QStringLiteral("TKpGridPrint"), QStringLiteral("x")),
              QStringLiteral("TKpGridPrint Error...\n\nx"));
}
