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
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "platform/KpDeviceCanvas.h"
#include "preview/KpPreview.h"

using namespace kp;

using namespace kpptool;

namespace {

constexpr const char* kUsage =
    "kpptool grid IN.csv -o OUT.pdf|OUT.kpp [--paper A4|Letter] [--landscape] [--x MM] "
    "[--y MM] [--width MM] [--fixed-rows N] [--fixed-cols N] [--mono] [--title TEXT] "
    "[--repeat-header] [--align COL:left|right|center,...]";

// Free space around a cell's text: the 1 mm inset on the left, as much on the right, and the
// rules (pixels).
constexpr int kCellPadding = 10;
constexpr int kRowPadding = 8;
// Room between the header band and the table (mm).
constexpr double kGapBelowHeader = 3;
// The widest table the columns are measured to (pixels, some 13 km): wider ones are cut down
// column by column, so that their width in KpUnits stays a 32-bit number. Such a table is
// scaled to the paper anyway.
constexpr int64_t kMaxTablePixels = 50'000'000;
// Qt adds up a text's advance in 26.6 fixed point, which wraps past 2^25 pixels: long texts
// are measured in pieces of this many characters.
constexpr qsizetype kMeasurePiece = 4096;

struct GridOptions {
    QString in, out, title;
    TKpPaperSize paper = A4;
    bool landscape = false;
    double x = -1, y = -1, width = -1; // mm; -1: worked out
    int fixedRows = 1;
    int fixedCols = 0;
    bool mono = false;
    bool repeatHeader = false;
    std::vector<std::pair<int, TAlignment>> align; // columns from 0
};

// "3:right,4:right": columns counted from 0, each left, right or center (centre).
std::vector<std::pair<int, TAlignment>> AlignArg(const QString& text) {
    std::vector<std::pair<int, TAlignment>> out;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList parts = item.split(QLatin1Char(':'));
        bool ok = false;
        const int col = parts.size() == 2 ? parts[0].trimmed().toInt(&ok) : -1;
        const QString how = parts.value(1).trimmed().toLower();
        TAlignment alignment = taLeftJustify;
        if (how == QLatin1String("right"))
            alignment = taRightJustify;
        else if (how == QLatin1String("center") || how == QLatin1String("centre"))
            alignment = taCenter;
        else if (how != QLatin1String("left"))
            ok = false;
        if (!ok || col < 0 || col > 1000000)
            throw EUsage("--align takes COL:left|right|center, comma-separated, not '" +
                         item.toStdString() + "'");
        out.emplace_back(col, alignment);
    }
    return out;
}

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
        } else if (a == QLatin1String("--repeat-header")) {
            o.repeatHeader = true;
        } else if (a == QLatin1String("--align")) {
            o.align = AlignArg(OptionValue(args, i));
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

// The text's width in pixels, also for texts far wider than Qt measures in one go.
int64_t TextWidth(TKpDeviceCanvas& measure, const QString& text) {
    int64_t width = 0;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype n = std::min(kMeasurePiece, text.size() - at);
        // A surrogate pair stays in one piece.
        if (at + n < text.size() && text[at + n - 1].isHighSurrogate()) --n;
        width += measure.TextWidth(text.mid(at, n));
        at += n;
    }
    return width;
}

// The table's width (KpUnits) as the grid printer lays it out when asked for `width`: it
// rounds every column on its own, so many narrow columns can add up to more than was asked.
int64_t LaidOutWidth(const IKpGridSource& grid, int64_t natural, int32_t width) {
    TKpGridLayout layout(TKpGridLayout::ScaleFactor(width, natural), 0, 0);
    for (int c = 0; c < grid.ColCount(); ++c)
        layout.NextCell(grid.ColWidths(c), 0);
    return layout.X();
}

// The widest width (KpUnits) to ask the grid printer for so that the table it lays out is no
// wider than `room`. The laid-out width grows with the width asked for.
int32_t FittedWidth(const IKpGridSource& grid, int64_t natural, int32_t room) {
    if (LaidOutWidth(grid, natural, room) <= room) return room;
    int32_t fits = 1, tooWide = room;
    while (tooWide - fits > 1) {
        const int32_t mid = fits + (tooWide - fits) / 2;
        (LaidOutWidth(grid, natural, mid) <= room ? fits : tooWide) = mid;
    }
    return fits;
}

// Scales the columns to `room` KpUnits and returns the width to print the table at. The
// printer rounds each column on its own, which over thousands of columns adds up to far more
// (or less) than the room; so the columns' edges are rounded here instead, and each column
// gets the pixel width that the printer turns into exactly its share.
int32_t FitColumns(TKpTextGrid& grid, int64_t natural, int32_t room) {
    const Extended perPixel = static_cast<Extended>(room) / natural;
    int64_t passed = 0, fitted = 0;
    int32_t edge = 0;
    for (int c = 0; c < grid.ColCount(); ++c) {
        passed += grid.ColWidths(c);
        const auto next = static_cast<int32_t>(kp::Round(perPixel * passed));
        const int pixels = static_cast<int>(kp::Round((next - edge) / perPixel));
        edge = next;
        grid.SetColWidths(c, pixels);
        fitted += pixels;
    }
    // What rounding is left over must not take the table past its room.
    return FittedWidth(grid, fitted, room);
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
    std::vector<int64_t> widths(static_cast<size_t>(grid.ColCount()), 0);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c) {
            const QString text = grid.Cells(c, r);
            if (!text.isEmpty())
                widths[static_cast<size_t>(c)] =
                    std::max(widths[static_cast<size_t>(c)], TextWidth(measure, text));
        }
    const int64_t widest =
        std::max<int64_t>(kCellPadding, kMaxTablePixels / MaxInt(1, grid.ColCount()));
    int64_t natural = 0;
    for (int c = 0; c < grid.ColCount(); ++c) {
        grid.SetColWidths(
            c, static_cast<int>(std::min(widths[static_cast<size_t>(c)] + kCellPadding, widest)));
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
    if (width > 0)
        width = FitColumns(grid, natural, static_cast<int32_t>(kp::Round(width * 100))) / 100.0;

    TKpGridPrint printer;
    printer.SetPreview(&preview);
    printer.Monochrome = o.mono;
    printer.RepeatFixedRows = o.repeatHeader;
    for (const auto& [col, alignment] : o.align)
        printer.SetColumnAlignment(col, alignment);
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
