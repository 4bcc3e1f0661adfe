// `grid`: a CSV file printed as a ruled table, its columns sized to their widest text and
// the table scaled to the width between the margins when it is wider.
#include <QFileInfo>
#include <QWidget>

#include "commands.h"
#include "content/KpCsv.h"
#include "content/KpGridPrint.h"
#include "content/KpTextGrid.h"
#include "content_common.h"
#include "drawing/KpCanvas.h"
#include "platform/KpDeviceCanvas.h"
#include "preview/KpHeaderFooter.h"
#include "preview/KpMargins.h"
#include "preview/KpPreview.h"

using namespace kpptool;

namespace {

constexpr const char* kUsage =
    "kpptool grid IN.csv -o OUT.pdf|OUT.kpp [--paper A4|Letter] [--landscape] [--x MM] "
    "[--y MM] [--width MM] [--fixed-rows N] [--fixed-cols N] [--mono] [--title TEXT]";

// Free space around a cell's text: the 1 mm inset on the left, as much on the right, and the
// rules (pixels).
constexpr int kCellPadding = 10;
constexpr int kRowPadding = 8;
// Room between the header band and the table (mm).
constexpr double kGapBelowHeader = 3;

struct GridOptions {
    QString in, out, title;
    TKpPaperSize paper = A4;
    bool landscape = false;
    double x = -1, y = -1, width = -1; // mm; -1: worked out
    int fixedRows = 1;
    int fixedCols = 0;
    bool mono = false;
};

GridOptions Parse(const QStringList& args) {
    GridOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o")) {
            o.out = OptionValue(args, i);
        } else if (a == QLatin1String("--paper")) {
            o.paper = PaperFromName(OptionValue(args, i));
        } else if (a == QLatin1String("--landscape")) {
            o.landscape = true;
        } else if (a == QLatin1String("--x")) {
            o.x = NumberArg(OptionValue(args, i), "--x", 0, 1000);
        } else if (a == QLatin1String("--y")) {
            o.y = NumberArg(OptionValue(args, i), "--y", 0, 1000);
        } else if (a == QLatin1String("--width")) {
            o.width = NumberArg(OptionValue(args, i), "--width", 1, 1000);
        } else if (a == QLatin1String("--fixed-rows")) {
            o.fixedRows =
                static_cast<int>(NumberArg(OptionValue(args, i), "--fixed-rows", 0, 1000000));
        } else if (a == QLatin1String("--fixed-cols")) {
            o.fixedCols =
                static_cast<int>(NumberArg(OptionValue(args, i), "--fixed-cols", 0, 1000000));
        } else if (a == QLatin1String("--mono")) {
            o.mono = true;
        } else if (a == QLatin1String("--title")) {
            o.title = OptionValue(args, i);
        } else if (a.startsWith(QLatin1Char('-'))) {
            throw EUsage("unknown option '" + a.toStdString() + "'");
        } else if (o.in.isEmpty()) {
            o.in = a;
        } else {
            throw EUsage("only one input file may be given");
        }
    }
    if (o.in.isEmpty()) throw EUsage("no input file given");
    CheckOutputName(o.out);
    return o;
}

// Cells hold one line each: line breaks inside a field print as spaces.
std::vector<QStringList> OneLineCells(std::vector<QStringList> records) {
    for (QStringList& record : records)
        for (QString& field : record)
            field.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return records;
}

int Grid(const QStringList& args) {
    const GridOptions o = Parse(args);
    TKpCsvReader csv;
    if (!csv.Read(ReadInput(o.in)))
        throw EInput(QStringLiteral("%1: %2").arg(o.in, csv.Error()).toStdString());

    ErrorsToStderr errors;
    QWidget host;
    TKpPreview preview(&host);
    preview.SetPaperSize(o.paper);
    if (o.landscape) preview.SetOrientation(kpLandscape);
    preview.Header().SetCaptionLeft(o.title.isEmpty() ? QFileInfo(o.in).fileName() : o.title);
    preview.Header().SetVisible(true);
    preview.Footer().SetCaptionCenter(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    preview.Footer().SetVisible(true);

    TKpTextGrid grid(OneLineCells(csv.Records()));
    grid.Look.FixedRows = o.fixedRows;
    grid.Look.FixedCols = o.fixedCols;
    grid.Look.Color = clWhite;
    grid.Look.FixedColor = KpRGB(0xE0, 0xE0, 0xE0);
    grid.Look.Font.SetSize(9);

    // Each column as wide as its widest text, each row as high as a line.
    TKpDeviceCanvas& measure = preview.Canvas().MeasureCanvas();
    measure.Font().Assign(grid.Look.Font);
    std::vector<int> widths(static_cast<size_t>(grid.ColCount()), 0);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c) {
            const QString text = grid.Cells(c, r);
            if (!text.isEmpty())
                widths[static_cast<size_t>(c)] =
                    std::max(widths[static_cast<size_t>(c)], measure.TextWidth(text));
        }
    int64_t natural = 0;
    for (int c = 0; c < grid.ColCount(); ++c) {
        grid.SetColWidths(c, widths[static_cast<size_t>(c)] + kCellPadding);
        natural += grid.ColWidths(c);
    }
    grid.RowHeight = measure.TextHeight(QStringLiteral("Ag")) + kRowPadding;

    TKpMargins& margins = preview.Margins();
    const double x = o.x >= 0 ? o.x : margins.Left().AsMillimeters();
    const double y =
        o.y >= 0
            ? o.y
            : (margins.Top().value + preview.Header().BandHeight().value) / 100.0 + kGapBelowHeader;
    const int32_t bodyBottom =
        preview.PaperHeight().value - margins.Bottom().value - preview.Footer().BandHeight().value;
    if (kp::Round(y * 100) + TKpGridLayout::Units(grid.RowHeight) > bodyBottom)
        throw EUsage("--y leaves no room for the table");
    double width = 0;
    if (o.width > 0) {
        width = o.width;
    } else {
        const double room = (preview.PaperWidth().value - margins.Right().value) / 100.0 - x;
        if (TKpGridLayout::Units(natural) / 100.0 > room) width = room;
        if (width <= 0 && room <= 0) throw EUsage("--x leaves no room for the table");
    }

    TKpGridPrint printer;
    printer.SetPreview(&preview);
    printer.Monochrome = o.mono;
    printer.PrintGrid(kpMillimeters, grid, x, y, width);
    if (errors.Failed()) return 1;
    preview.FirstPage();
    WriteDocument(preview, o.out, &errors);
    return errors.Failed() ? 1 : 0;
}

} // namespace

int RunGrid(const QStringList& args) {
    return RunGuarded(kUsage, [&] { return Grid(args); });
}
