#include "content/KpTreeViewPrint.h"

#include <vector>

#include <QImage>

#include "content/KpGridPageLimit.h"
#include "content/KpImageList.h"
#include "content/KpPrintSession.h"
#include "content/KpTreeLayout.h"
#include "content/KpTreeList.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "preview/KpPreview.h"

namespace kp {

TKpTreeViewPrint::TKpTreeViewPrint(QObject* parent)
    : TKpContentPrinter("TKpTreeViewPrint", parent), bottomMargin_(std::make_unique<TKpValue>()),
      topMargin_(std::make_unique<TKpValue>()), font_(std::make_unique<TKpFont>()),
      indent_(std::make_unique<TKpValue>(600)), rowHeight_(std::make_unique<TKpValue>(600)) {
    font_->SetName(QStringLiteral("Arial"));
}

TKpTreeViewPrint::~TKpTreeViewPrint() = default;

void TKpTreeViewPrint::PrintTreeView(int x, int y, const IKpTreeSource& tree, TKpUnit units) {
    if (!Preview()) return;
    // The canvas font is the component's only during the run.
    TKpPrintSession session(*this, TKpAutoRefreshAfter::On);
    TKpPreview& preview = *session.Preview();
    session.KeepFont();
    session.Run([&] {
        TKpFont& canvasFont = preview.Canvas().Font();
        canvasFont.SetPixelsPerInch(font_->PixelsPerInch());
        canvasFont.Assign(*font_);
        const TKpUnit unit = units;
        topMargin_->value = static_cast<int32_t>(kp::Round(ConvertUnits(unit, kpUnits, y)));
        bottomMargin_->value =
            preview.Footer().BandHeight().value + preview.Margins().Bottom().value;
        TKpTreeLayout layout;
        layout.X0 = static_cast<int32_t>(kp::Round(ConvertUnits(unit, kpUnits, x)));
        // A private copy of the nodes, so that expanding them leaves the source as it is.
        std::vector<TKpTreeNode> copy;
        const int count = tree.Count();
        copy.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            copy.push_back({tree.Text(i), tree.Level(i), tree.ImageIndex(i), ExpandNodes});

        const TKpImageList* images = tree.Images();
        int k = 0, level = 0;
        for (int i = 0; i < count && session.Running(); ++i) {
            if (!ExpandNodes && !tree.IsVisible(i)) continue;
            TKpCanvas& canvas = preview.Canvas();
            const TKpTreeNode& node = copy[static_cast<size_t>(i)];
            canvas.Pen().SetColor(clSilver);
            const int previous = level;
            level = node.Level;
            layout.Indent = indent_->value;
            layout.RowHeight = rowHeight_->value;
            const TKpTreeRow row = layout.Row(level, topMargin_->value, k);
            const int32_t h = canvas.TextHeight(node.Text).value;
            canvas.Line(row.L, row.M, row.L + layout.Indent, row.M, kpUnits);
            if (i > 0) {
                canvas.Line(row.L, row.M, row.L, layout.ConnectorTop(row, h, level != previous),
                            kpUnits);
                canvas.Line(layout.X0, row.Top, layout.X0, row.Bottom, kpUnits);
            }
            int32_t iw = 0;
            if (images) {
                const QImage bitmap = images->Bitmap(node.ImageIndex);
                TKpValue v;
                v.SetPixels(ScreenPixelsPerInch(), bitmap.width());
                iw = v.value;
                v.SetPixels(ScreenPixelsPerInch(), bitmap.height());
                const int32_t ih = v.value;
                canvas.Draw(layout.ImageX(row), layout.ImageY(row, ih), &bitmap, 1, kpUnits);
            }
            canvas.Brush().SetColor(clWhite);
            canvas.Brush().SetStyle(bsSolid);
            // The text's white ground covers the lines beneath it.
            canvas.TextOut(layout.TextX(row, iw), TKpTreeLayout::TextY(row, h),
                           QLatin1Char(' ') + node.Text, kpUnits);
            if (layout.PageFull(row, KpRowLimit(preview, bottomMargin_->value))) {
                preview.NewPage();
                k = 0;
                if (session.Running()) FireNewPage(OnNewPage, *topMargin_, *bottomMargin_);
            } else {
                ++k;
            }
        }
    });
}

} // namespace kp
