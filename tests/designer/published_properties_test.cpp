// Published properties through Qt's property system: a form compiled by uic sets them, and
// the printer settings are a gadget.
#include <gtest/gtest.h>

#include <QMetaProperty>

#include "preview/KpPreview.h"
#include "printing/KpMultipageImage.h"
#include "printing/KpPrinter.h"
#include "printing/KpPrinterList.h"
#include "thumbnails/KpThumbnails.h"
#include "ui_report_form.h"

TEST(PublishedProperties, FormFromUicSetsTheProperties) {
    QWidget host;
    Ui::ReportForm form;
    form.setupUi(&host);
    EXPECT_EQ(form.preview->Zoom(), 50);
    EXPECT_EQ(form.preview->PaperSize(), Letter);
    EXPECT_EQ(form.preview->PaperWidth().value, 21590);
    EXPECT_EQ(form.preview->Gutter(), 12);
    EXPECT_EQ(form.thumbnails->GridWidth(), 3);
    EXPECT_EQ(form.thumbnails->Layout(), kpThumbGrid); // GridWidth switches to the grid
    EXPECT_EQ(form.thumbnails->PageCaptions(), "Sheet #");
    EXPECT_FALSE(form.thumbnails->ShowCaption());
    EXPECT_EQ(form.pagesPerSheet->PagesPerSheet(), kpFourPage);
    EXPECT_FALSE(form.pagesPerSheet->ShowButtons());
    EXPECT_EQ(form.pagesPerSheet->OnePageButton(), nullptr);
    EXPECT_EQ(form.printers->ItemHeight(), 20);
}

TEST(PublishedProperties, WritesGoThroughTheSetters) {
    TKpPreview preview;
    EXPECT_TRUE(preview.setProperty("Zoom", 1000));
    EXPECT_EQ(preview.Zoom(), 400); // clamped to MaxZoom like SetZoom
    EXPECT_TRUE(preview.setProperty("PrintCopies", 0));
    EXPECT_EQ(preview.PrintCopies(), 1); // ignored like SetPrintCopies
    EXPECT_TRUE(preview.setProperty("Orientation", QVariant::fromValue(kpLandscape)));
    EXPECT_EQ(preview.PaperWidth().value, 29700);
    EXPECT_FALSE(preview.setProperty("About", "changed")); // read-only
    EXPECT_EQ(preview.About(), "TKpPreview v2.42");

    TKpThumbnails strip;
    EXPECT_TRUE(strip.setProperty("Preview", QVariant::fromValue(&preview)));
    EXPECT_EQ(strip.Preview(), &preview);
    EXPECT_EQ(strip.Thumbnails().Count(), preview.NumPages());

    TKpMultipageImage selector;
    EXPECT_TRUE(selector.setProperty("Preview", QVariant::fromValue(&preview)));
    EXPECT_TRUE(selector.setProperty("PagesPerSheet", QVariant::fromValue(kpTwoPage)));
    EXPECT_EQ(preview.PagesPerSheet(), kpTwoPage); // the linked preview follows
}

TEST(PublishedProperties, PrinterSettingsAreAGadget) {
    const QMetaObject& meta = TKpPrinter::staticMetaObject;
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names << meta.property(i).name();
    EXPECT_EQ(names, QStringList({"DitherType", "Duplex", "PrintColor", "PrintQuality"}));

    TKpPreview preview;
    TKpPrinter& printer = preview.KpPrinter();
    const QMetaProperty color = meta.property(meta.indexOfProperty("PrintColor"));
    EXPECT_EQ(color.readOnGadget(&printer).toInt(), kpColor);
    EXPECT_TRUE(color.writeOnGadget(&printer, QVariant::fromValue(kpMonochrome)));
    EXPECT_EQ(printer.PrintColor(), kpMonochrome);
    printer.SetPrintColor(kpColor); // the process-wide print colour follows; put it back
}
