// hello-report: a three-page report composed through the preview's canvas (title, a table of
// numbers, a bar chart, header and footer), shown with a thumbnail strip, a printer list, a
// pages-per-sheet selector and a Print button.  `hello-report --export out.pdf` writes the
// report to a PDF file instead of showing it.
#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"
#include "selectors/KpMultipageImage.h"
#include "selectors/KpPrinterList.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

static const int sales[4][3] = {{120, 135, 150}, {90, 110, 95}, {60, 75, 105}, {40, 55, 70}};
static const char* const regions[4] = {"North", "South", "East", "West"};

static void compose(TKpPreview& preview) {
    preview.AutoRefresh = false; // no repaint per drawing call
    preview.Clear();
    preview.Header().SetCaptionLeft("Hello report");
    preview.Header().SetCaptionRight("{DATE}");
    preview.Header().SetVisible(true);
    preview.Footer().SetCaptionCenter("Page {PAGE} of {NUMPAGES}");
    preview.Footer().SetVisible(true);
    TKpCanvas& c = preview.Canvas();
    c.SetOriginMode(kpOriginMargins); // millimetres from the margins' top-left corner

    c.Font().SetSize(28);
    c.TextOut(0, 20, "Quarterly sales", kpMillimeters);
    c.Font().SetSize(12);
    c.TextBox(0, 40, 180, 0, "Sales in four regions: the table on page 2, the chart on page 3.",
              taLeftJustify, true, kpMillimeters);

    preview.NewPage();
    c.TextOut(0, 5, "Table of sales", kpMillimeters);
    for (int row = 0; row <= 4; ++row) {
        for (int col = 0; col <= 3; ++col) {
            const double x = col * 40, y = 15 + row * 10;
            c.Brush().SetColor(row == 0 ? clSilver : clWhite);
            c.Rectangle(x, y, x + 40, y + 10, kpMillimeters);
            const QString cell = row == 0   ? (col == 0 ? "Region" : QString("Q%1").arg(col))
                                 : col == 0 ? regions[row - 1]
                                            : QString::number(sales[row - 1][col - 1]);
            c.TextOut(x + 2, y + 2, cell, kpMillimeters);
        }
    }

    preview.NewPage();
    c.TextOut(0, 5, "Chart of sales", kpMillimeters);
    c.Line(10, 120, 170, 120, kpMillimeters); // axes
    c.Line(10, 20, 10, 120, kpMillimeters);
    const TColor colours[4] = {clNavy, clTeal, clMaroon, clWhite}; // quarters, then labels
    for (int region = 0; region < 4; ++region) {
        for (int q = 0; q < 3; ++q) {
            const double x = 15 + region * 40 + q * 10;
            c.Brush().SetColor(colours[q]);
            c.Rectangle(x, 120 - sales[region][q] * 0.6, x + 8, 120, kpMillimeters);
        }
        c.Brush().SetColor(colours[3]);
        c.TextOut(15 + region * 40, 123, regions[region], kpMillimeters);
    }
    c.Brush().SetColor(clYellow);
    c.Pie(120, 130, 170, 180, 170, 155, 145, 130, kpMillimeters); // this year's share

    preview.AutoRefresh = true;
    preview.SetCurrentPage(1);
    preview.RefreshPage();
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (const int at = args.indexOf("--export"); at > 0) {
        if (at + 1 >= args.size()) return 2; // usage: hello-report [--export out.pdf]
        TKpPreview preview;
        compose(preview);
        ExportToPdf(preview, args[at + 1]);
        return 0;
    }
    QWidget window;
    auto* preview = new TKpPreview(&window);
    auto* thumbnails = new TKpThumbnails(&window);
    auto* printers = new TKpPrinterList(&window);
    auto* pagesPerSheet = new TKpMultipageImage(&window);
    auto* print = new QPushButton("Print", &window);
    QObject::connect(print, &QPushButton::clicked, preview, [preview] { preview->Print(); });
    thumbnails->SetLayout(kpThumbVert);
    thumbnails->setFixedWidth(140);
    auto* side = new QVBoxLayout;
    side->addWidget(printers);
    side->addWidget(pagesPerSheet);
    side->addWidget(print);
    side->addStretch();
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(thumbnails);
    layout->addWidget(preview, 1);
    layout->addLayout(side);
    compose(*preview);
    thumbnails->SetPreview(preview); // the strip and the selectors follow the preview
    printers->SetPreview(preview);
    pagesPerSheet->SetPreview(preview);
    window.resize(900, 700);
    window.show();
    return app.exec();
}
