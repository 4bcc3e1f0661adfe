// Published properties through Qt's property system: a form compiled by uic sets them (enum
// values by name, as Designer writes them), the printer settings are a gadget, and the content
// printers carry theirs with their defaults.
#include <gtest/gtest.h>

#include <QMetaProperty>

#include "content/KpGridPrint.h"
#include "content/KpLabelPrinter.h"
#include "content/KpRtfPreview.h"
#include "content/KpTreeViewPrint.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"
#include "selectors/KpMultipageImage.h"
#include "selectors/KpPrinterList.h"
#include "thumbnails/KpThumbnails.h"
#include "ui_report_form.h"

using namespace kp;

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

namespace {
QMetaProperty Property(const QMetaObject& meta, const char* name) {
    return meta.property(meta.indexOfProperty(name));
}
} // namespace

// Property editors offer an enum-typed property's keys; each key must carry the ordinal the
// files store.
TEST(PublishedProperties, EnumPropertiesOfferTheirKeys) {
    struct Case {
        const QMetaObject* meta;
        const char* property;
        int keyCount;
        const char* key;
        int value;
    };
    const Case cases[] = {
        {&TKpPreview::staticMetaObject, "PaperSize", 9, "Letter", Letter},
        {&TKpPreview::staticMetaObject, "Orientation", 2, "kpLandscape", kpLandscape},
        {&TKpPreview::staticMetaObject, "PagesPerSheet", 3, "kpFourPage", kpFourPage},
        {&TKpPreview::staticMetaObject, "ZoomStyle", 2, "kpVariableZoom", kpVariableZoom},
        {&TKpPreview::staticMetaObject, "BorderStyle", 2, "bsSingle", bsSingle},
        {&TKpPreview::staticMetaObject, "ViewMode", 3, "vmContinuous", vmContinuous},
        {&TKpThumbnails::staticMetaObject, "Layout", 3, "kpThumbGrid", kpThumbGrid},
        {&TKpThumbnails::staticMetaObject, "BorderStyle", 2, "bsNone", bsNone},
        {&TKpMultipageImage::staticMetaObject, "PagesPerSheet", 3, "kpTwoPage", kpTwoPage},
        {&TKpPrinter::staticMetaObject, "DitherType", 5, "kpGrayScale", kpGrayScale},
        {&TKpPrinter::staticMetaObject, "Duplex", 3, "kpVertDuplex", kpVertDuplex},
        {&TKpPrinter::staticMetaObject, "PrintColor", 2, "kpMonochrome", kpMonochrome},
        {&TKpPrinter::staticMetaObject, "PrintQuality", 4, "kpHigh", kpHigh},
        {&TKpLabelPrinter::staticMetaObject, "Template", KpLabelTemplateCount + 1, "CD1_CdLabels",
         static_cast<int>(TLabelTemplate::CD1_CdLabels)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        const QMetaProperty property = Property(*c.meta, c.property);
        ASSERT_TRUE(property.isEnumType());
        const QMetaEnum keys = property.enumerator();
        EXPECT_EQ(keys.keyCount(), c.keyCount);
        EXPECT_EQ(keys.keyToValue(c.key), c.value);
        EXPECT_EQ(keys.value(0), 0);
    }

    TKpPreview preview;
    EXPECT_TRUE(preview.setProperty("PaperSize", QStringLiteral("Legal"))); // as loaders write
    EXPECT_EQ(preview.PaperSize(), Legal);
    EXPECT_EQ(preview.property("PaperSize").value<TKpPaperSize>(), Legal);
}

TEST(PublishedProperties, ContentPrintersDefaults) {
    TKpGridPrint grid;
    EXPECT_EQ(grid.property("About").toString(), "TKpGridPrint v2.42");
    EXPECT_FALSE(grid.property("Monochrome").toBool());
    EXPECT_TRUE(grid.property("ScaleText").toBool());
    TKpPreview preview;
    EXPECT_TRUE(grid.setProperty("Preview", QVariant::fromValue(&preview)));
    EXPECT_EQ(grid.Preview(), &preview);

    TKpTreeViewPrint tree;
    EXPECT_TRUE(tree.property("ExpandNodes").toBool());
    EXPECT_EQ(tree.property("Indent").toInt(), 600);
    EXPECT_EQ(tree.property("RowHeight").toInt(), 600);
    EXPECT_TRUE(tree.setProperty("Indent", 450));
    EXPECT_EQ(tree.Indent().value, 450);

    TKpRtfPreview rtf;
    EXPECT_EQ(rtf.property("About").toString(), rtf.About());
    EXPECT_EQ(rtf.property("TopMargin").toInt(), 3000);
    EXPECT_EQ(rtf.property("BottomMargin").toInt(), 3000);
}

TEST(PublishedProperties, LabelGeometryWrittenAsPropertyTurnsCustom) {
    TKpLabelPrinter labels;
    EXPECT_EQ(labels.property("Template").value<TLabelTemplate>(), TLabelTemplate::L7159_Address);
    EXPECT_EQ(labels.property("LabelShape").toInt(), kpLabelRoundRect);
    EXPECT_TRUE(labels.setProperty("Template", QStringLiteral("L7161_Address")));
    EXPECT_EQ(labels.TemplateIndex(), 3);

    EXPECT_TRUE(labels.setProperty("LabelWidth", 5000));
    EXPECT_EQ(labels.LabelWidth().value, 5000);
    EXPECT_EQ(labels.Template(), TLabelTemplate::Custom);
    EXPECT_EQ(labels.TemplateIndex(), 0);
}
