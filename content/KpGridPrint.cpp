#include "content/KpGridPrint.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include <QPointer>

#include "content/KpGridPageLimit.h"
#include "content/KpPrintSession.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "platform/KpRunThen.h"
#include "platform/KpStateGuard.h"
#include "preview/KpPreview.h"
#include "printing/KpErrors.h"

namespace kp {

namespace {
// The table's cell text starts this far right of the cell's left rule (1 mm).
constexpr int32_t kTextInset = 100;
// Kept free above the footer's band on every page (10 mm): the row that passes the limit
// stays on the page.
constexpr int32_t kBottomReserve = 1000;

int64_t ColumnPixelSum(const IKpGridSource& grid) {
    int64_t sum = 0;
    for (int c = 0; c < grid.ColCount(); ++c)
        sum += grid.ColWidths(c);
    return sum;
}
} // namespace

TKpGridPrint::TKpGridPrint(QObject* parent)
    : TKpContentPrinter("TKpGridPrint", parent), topMargin_(std::make_unique<TKpValue>()),
      bottomMargin_(std::make_unique<TKpValue>()) {}

TKpGridPrint::~TKpGridPrint() = default;

void TKpGridPrint::PrintGrid(TKpUnit units, const IKpGridSource& grid, Extended x, Extended y,
                             Extended width) {
    grid_ = &grid;
    if (!Preview()) {
        ShowError(this, QStringLiteral("Preview property not assigned."));
        return;
    }
    // The scale is worked out before anything changes, so a grid that cannot be scaled is
    // reported and leaves the preview as it was.
    Extended scale = 1.0L;
    try {
        scale = TKpGridLayout::ScaleFactor(ConvertUnits(units, kpUnits, width),
                                           width != 0 ? ColumnPixelSum(grid) : 0);
    } catch (const EKpGridLayout& e) {
        ShowError(this, QString::fromUtf8(e.what()));
        return;
    }
    // The pen comes back, and AutoRefresh ends on as after a complete table, also when a
    // host's handler raises.
    TKpPrintSession session(*this, TKpAutoRefreshAfter::On);
    TKpPreview& preview = *session.Preview();
    session.KeepPen();
    if (KeepCanvasState) {
        session.KeepFont();
        session.KeepBrush();
    }
    session.Run([&] {
        scaleFactor_ = scale;
        const int32_t x0 = static_cast<int32_t>(kp::Round(ConvertUnits(units, kpUnits, x)));
        topMargin_->value = static_cast<int32_t>(kp::Round(ConvertUnits(units, kpUnits, y)));
        bottomMargin_->value =
            preview.Footer().BandHeight().value + preview.Margins().Bottom().value + kBottomReserve;

        TKpGridLayout layout(scaleFactor_, x0, topMargin_->value);
        lastY_ = ConvertUnits(kpUnits, units, layout.Y());
        const int rows = grid.RowCount();
        // Draws row r with its rules; false when a handler took the preview away.
        TKpCellRect cell;
        auto drawRow = [&](int r) {
            const int cols = grid.ColCount();
            if (cols <= 0) return true;
            for (int c = 0; c < cols; ++c) {
                cell = layout.NextCell(grid.ColWidths(c), grid.RowHeights(r));
                // A column that rounds to no width cannot be seen: it records nothing but the
                // table's right rule when it is the last one.
                const bool visible = cell.Right != cell.Left;
                if (visible) {
                    TKpCellRect rect = cell;
                    DrawCell(this, c, r, rect, &preview.Canvas());
                    if (!session.Running()) return false;
                    Q_EMIT cellDrawn(c, r);
                    if (!session.Running()) return false;
                }
                TKpCanvas& canvas = preview.Canvas();
                canvas.Pen().SetColor(clBlack);
                if (visible) {
                    canvas.MoveTo(cell.Left, cell.Bottom, kpUnits);
                    canvas.LineTo(cell.Left, cell.Top, kpUnits);
                    canvas.LineTo(cell.Right, cell.Top, kpUnits);
                }
                if (c == cols - 1) {
                    canvas.MoveTo(cell.Right, cell.Bottom, kpUnits);
                    canvas.LineTo(cell.Right, cell.Top, kpUnits);
                }
                if (r == rows - 1 && visible)
                    canvas.Line(cell.Left, cell.Bottom, cell.Right, cell.Bottom, kpUnits);
            }
            layout.EndRow(cell);
            lastY_ = ConvertUnits(kpUnits, units, layout.Y());
            return true;
        };
        for (int r = 0; r < rows; ++r) {
            if (!drawRow(r)) return;
            if (grid.ColCount() <= 0) continue;
            const int32_t limit = KpRowLimit(preview, bottomMargin_->value);
            if (layout.PageFull(limit, r == rows - 1)) {
                // Close the table on this page, then carry on at the top of the next one.
                preview.Canvas().Pen().SetColor(clBlack);
                preview.Canvas().Line(x0, cell.Bottom, cell.Right, cell.Bottom, kpUnits);
                nextPage(preview);
                if (ContinueAtTop) topMargin_->value = KpRowTop(preview);
                layout.StartPage(topMargin_->value);
                FireNewPage(OnGridNewPage, *topMargin_, *bottomMargin_);
                if (!session.Running()) return;
                layout.StartPage(topMargin_->value);
                // The column titles again, as far as they were printed (a page may break
                // inside them).
                if (RepeatFixedRows)
                    for (int f = 0; f < std::min(grid.FixedRows(), r + 1); ++f)
                        if (!drawRow(f)) return;
            }
        }
    });
}

TAlignment TKpGridPrint::ColumnAlignment(int col) const {
    if (col < 0 || static_cast<size_t>(col) >= alignments_.size()) return taLeftJustify;
    return alignments_[static_cast<size_t>(col)];
}

void TKpGridPrint::SetColumnAlignment(int col, TAlignment alignment) {
    if (col < 0) return;
    if (static_cast<size_t>(col) >= alignments_.size())
        alignments_.resize(static_cast<size_t>(col) + 1, taLeftJustify);
    alignments_[static_cast<size_t>(col)] = alignment;
}

void TKpGridPrint::nextPage(TKpPreview& preview) {
    // Pages already after the current one are written on rather than appended.
    if (preview.CurrentPage() < preview.NumPages())
        preview.SetCurrentPage(preview.CurrentPage() + 1);
    else
        preview.NewPage();
}

void TKpGridPrint::scaleFont(TKpCanvas& canvas) const {
    if (scaleFactor_ < 1 && ScaleText) {
        // The font keeps its pixel height; more pixels per inch make fewer points.
        TKpFont& font = canvas.Font();
        Extended ppi = std::numeric_limits<int>::max();
        if (scaleFactor_ > 0) ppi = std::min(ppi, font.PixelsPerInch() / scaleFactor_);
        // Far down the size would round to 0 pt, which prints at the default size: the text
        // stops at 1 pt, the smallest size a recorded font keeps.
        const Extended onePoint = static_cast<Extended>(std::abs(font.Height())) * 72;
        if (onePoint > 0) ppi = std::min(ppi, onePoint);
        font.SetPixelsPerInch(kp::RoundInt(ppi));
    }
}

void TKpGridPrint::DrawCell(void*, int col, int row, TKpCellRect& rect, TKpCanvas* canvas) {
    if (!canvas || !grid_) return;
    const IKpGridSource& grid = *grid_;
    TKpFont& font = canvas->Font();
    const int ppi = font.PixelsPerInch();
    font.SetPixelsPerInch(grid.Font().PixelsPerInch());
    font.Assign(grid.Font());
    // Afterwards the font's figure comes back and the pen is solid again, also when drawing or
    // a host's handler raises. A handler may destroy the preview (closing the window that
    // holds it, say); its canvas went with it, so then nothing is touched.
    const QPointer<TKpDocument> owner = canvas->Owner();
    const bool owned = !owner.isNull();
    kp::RunThen(
        [&] {
            if (OnDrawCell) {
                scaleFont(*canvas);
                canvas->Pen().SetStyle(psClear);
                OnDrawCell(this, col, row, rect, canvas);
                return;
            }
            paintCell(col, row, rect, *canvas, ColumnAlignment(col), true);
        },
        [&] {
            if (owned && owner.isNull()) return;
            canvas->Font().SetPixelsPerInch(ppi);
            canvas->Pen().SetStyle(psSolid);
        });
}

void TKpGridPrint::DrawDefaultCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas) {
    paintCell(col, row, rect, canvas, ColumnAlignment(col), false);
}

void TKpGridPrint::DrawDefaultCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas,
                                   TAlignment alignment) {
    paintCell(col, row, rect, canvas, alignment, false);
}

void TKpGridPrint::paintCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas,
                             TAlignment alignment, bool scaleText) {
    if (!grid_) return;
    const IKpGridSource& grid = *grid_;
    TKpBrush& brush = canvas.Brush();
    TKpPen& pen = canvas.Pen();
    brush.SetColor(col >= grid.FixedCols() && row >= grid.FixedRows() ? grid.Color()
                                                                      : grid.FixedColor());
    brush.SetStyle(bsSolid);
    {
        // The background is outlined in its own colour.
        const TKpStateGuard<TKpPen> keepPen(pen);
        pen.SetColor(brush.Color());
        if (Monochrome) {
            brush.SetStyle(bsClear);
            pen.SetStyle(psClear);
        }
        canvas.Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom, kpUnits);
    }
    pen.SetStyle(psClear);
    // Called from OnDrawCell the font is already scaled.
    if (scaleText) scaleFont(canvas);
    const TKpCellRect box = TKpGridLayout::TextBox(rect, alignment, kTextInset);
    canvas.TextBox(box.Left, box.Top, box.Right, box.Bottom, grid.Cells(col, row), alignment, true,
                   kpUnits, tlCenter);
    brush.SetStyle(bsSolid);
}

} // namespace kp
