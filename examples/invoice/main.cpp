// invoice: an invoice of 120 item lines read from a CSV file, with a logo, a table whose title
// row comes back on every page, totals under the table and "Page n of m", shown in a preview
// with a thumbnail strip and a pages-per-sheet selector, and exported to PDF.
//   invoice [--items FILE.csv] [--pdf OUT.pdf]   (--pdf writes the file and exits)
#include <cstdio>
#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "content/KpCsv.h"
#include "content/KpGridPrint.h"
#include "content/KpTextGrid.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "preview/KpPreview.h"
#include "printing/KpErrors.h"
#include "selectors/KpMultipageImage.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

const QString kData = QStringLiteral(INVOICE_DATA_DIR);
constexpr double kTableWidth = 180; // mm, the width between the margins

QString Money(double v) {
    return QLocale(QLocale::English).toString(v, 'f', 2);
}

// The items as table rows: the CSV's four columns and the amount worked out.
std::vector<QStringList> ReadItems(const QString& file, double& subtotal) {
    TKpCsvReader csv;
    if (!csv.ReadFile(file)) throw std::runtime_error(csv.Error().toStdString());
    std::vector<QStringList> rows = csv.Records();
    rows[0] << QStringLiteral("Amount");
    subtotal = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
        const double amount = rows[r].value(2).toDouble() * rows[r].value(3).toDouble();
        subtotal += amount;
        rows[r] << Money(amount);
    }
    return rows;
}

// Draws the whole invoice; the canvas works in millimetres from the margins' corner.
void Compose(TKpPreview& preview, const QString& itemsFile) {
    double subtotal = 0;
    TKpTextGrid grid(ReadItems(itemsFile, subtotal));
    preview.AutoRefresh = false; // one refresh at the end, not one per drawing call
    preview.Clear();
    preview.Header().SetCaptionLeft(QStringLiteral("Invoice 2026-0042"));
    preview.Header().SetCaptionRight(QStringLiteral("{DATE}"));
    preview.Header().SetVisible(true);
    preview.Footer().SetCaptionCenter(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    preview.Footer().SetVisible(true);
    TKpCanvas& c = preview.Canvas();
    c.SetOriginMode(kpOriginMargins);
    // Texts fill their background with the brush, text boxes are framed with the pen: both off.
    c.Brush().SetStyle(bsClear);
    c.Pen().SetStyle(psClear);

    const QImage logo(kData + QStringLiteral("/logo.png"));
    c.StretchDraw(0, 8, 40, 28, &logo, kpMillimeters);
    c.Font().SetSize(20);
    c.Font().SetStyle(fsBold);
    c.TextOut(45, 10, QStringLiteral("Northwind Hardware"), kpMillimeters);
    c.Font().SetSize(10);
    c.Font().SetStyle(TKpFontStyles());
    c.TextOut(45, 20, QStringLiteral("12 Mill Lane, Springfield"), kpMillimeters);
    c.TextOut(120, 35, QStringLiteral("Bill to: Acme Workshop Ltd"), kpMillimeters);
    c.TextOut(120, 40, QStringLiteral("4 Harbour Road, Shelbyville"), kpMillimeters);

    grid.Look.FixedCols = 0;
    grid.Look.FixedRows = 1; // the title row
    grid.Look.Color = clWhite;
    grid.Look.FixedColor = KpRGB(0xdd, 0xe4, 0xf0);
    grid.Look.Font.SetSize(9);
    grid.RowHeight = 18;
    const int widths[] = {60, 300, 60, 80, 90}; // screen pixels, scaled to kTableWidth
    for (int col = 0; col < 5; ++col)
        grid.SetColWidths(col, widths[col]);

    TKpGridPrint table;
    table.SetPreview(&preview);
    table.RepeatFixedRows = true; // the title row on every page
    table.ContinueAtTop = true;   // continuation pages start under the header
    table.KeepCanvasState = true; // our font and brush come back afterwards
    for (int col = 2; col < 5; ++col)
        table.SetColumnAlignment(col, taRightJustify);
    table.OnDrawCell = [&table](void*, int col, int row, TKpCellRect& rect, TKpCanvas* canvas) {
        if (row == 0) canvas->Font().SetStyle(fsBold); // titles bold, centred
        table.DrawDefaultCell(col, row, rect, *canvas,
                              row == 0 ? taCenter : table.ColumnAlignment(col));
    };
    table.PrintGrid(kpMillimeters, grid, 0, 55, kTableWidth);

    // Totals under the table, on a new page when they do not fit.
    const double bottom = (preview.PaperHeight().value - preview.Margins().Bottom().value -
                           preview.Footer().BandHeight().value - preview.Margins().Top().value) /
                          100.0;
    double y = table.LastY() + 4;
    if (y + 20 > bottom) {
        preview.NewPage();
        y = preview.Header().BandHeight().Millimeters() + 4;
    }
    const double vat = subtotal * 0.2;
    const QString lines[3][2] = {{"Subtotal", Money(subtotal)},
                                 {"VAT 20 %", Money(vat)},
                                 {"Total due", Money(subtotal + vat)}};
    for (int i = 0; i < 3; ++i) {
        if (i == 2) c.Font().SetStyle(fsBold);
        c.TextBox(100, y + i * 6, 140, y + i * 6 + 6, lines[i][0], taLeftJustify, true,
                  kpMillimeters);
        c.TextBox(140, y + i * 6, kTableWidth - 1, y + i * 6 + 6, lines[i][1], taRightJustify, true,
                  kpMillimeters);
    }
    c.Font().SetStyle(TKpFontStyles());

    preview.AutoRefresh = true;
    preview.FirstPage();
    preview.RefreshPage();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int itemsAt = args.indexOf(QStringLiteral("--items"));
    const QString items = itemsAt > 0 ? args.value(itemsAt + 1) : kData + "/items.csv";
    const int pdfAt = args.indexOf(QStringLiteral("--pdf"));
    if (pdfAt > 0) {
        // Headless: no reporter is installed, so the library's own reports are Qt warnings.
        TKpPreview preview;
        try {
            Compose(preview, items);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "invoice: %s\n", e.what());
            return 1;
        }
        const TKpResult written = ExportToPdf(preview, args.value(pdfAt + 1));
        if (!written) std::fprintf(stderr, "invoice: %s\n", qPrintable(written.Error));
        return written ? 0 : 1;
    }

    QWidget window;
    auto* preview = new TKpPreview(&window);
    auto* strip = new TKpThumbnails(&window);
    auto* perSheet = new TKpMultipageImage(&window);
    auto* exportButton = new QPushButton(QStringLiteral("Export PDF…"), &window);
    strip->SetLayout(kpThumbVert);
    strip->setFixedWidth(140);
    auto* side = new QVBoxLayout;
    side->addWidget(perSheet);
    side->addWidget(exportButton);
    side->addStretch();
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(strip);
    layout->addWidget(preview, 1);
    layout->addLayout(side);
    try {
        Compose(*preview, items);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Invoice"), QString::fromUtf8(e.what()));
        return 1;
    }
    strip->SetPreview(preview); // the strip and the selector follow the preview
    perSheet->SetPreview(preview);
    QObject::connect(exportButton, &QPushButton::clicked, preview, [preview, &window] {
        const QString file =
            QFileDialog::getSaveFileName(&window, {}, "invoice.pdf", "PDF (*.pdf)");
        if (file.isEmpty()) return;
        // The library opens no dialog itself: the host shows the reason.
        if (const TKpResult r = ExportToPdf(*preview, file); !r)
            QMessageBox::warning(&window, QStringLiteral("Invoice"), r.Error);
    });
    window.resize(1000, 760);
    window.show();
    return app.exec();
}
