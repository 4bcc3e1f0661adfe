#include "content/KpLabelPrinter.h"

#include "content/KpPrintSession.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpMargins.h"
#include "platform/KpStateGuard.h"
#include "preview/KpPreview.h"
#include "printing/KpErrors.h"

namespace kp {

namespace {
// Corner ellipse of the rounded outlines (2 mm).
constexpr int32_t kCorner = 200;
} // namespace

TKpLabelPrinter::TKpLabelPrinter(QObject* parent)
    : TKpContentPrinter("TKpLabelPrinter", parent), labelBrush_(std::make_unique<TKpBrush>()),
      labelPen_(std::make_unique<TKpPen>()), labelWidth_(std::make_unique<TKpValue>()),
      labelHeight_(std::make_unique<TKpValue>()), horzPitch_(std::make_unique<TKpValue>()),
      vertPitch_(std::make_unique<TKpValue>()) {
    labelPen_->SetColor(clSilver);
    // A new look lays the sheet out again on the cleared preview.
    labelBrush_->OnChange = [this](void*) { SetPreview(Preview()); };
    labelPen_->OnChange = [this](void*) { SetPreview(Preview()); };
    for (TKpValue* v : {labelWidth_.get(), labelHeight_.get(), horzPitch_.get(), vertPitch_.get()})
        v->OnChange = [this](TKpValue*) { turnCustom(); };
}

TKpLabelPrinter::~TKpLabelPrinter() {
    if (TKpPreview* preview = Preview()) preview->Clear();
}

void TKpLabelPrinter::SetPreview(TKpPreview* preview) {
    if (TKpPreview* previous = Preview()) previous->Clear();
    TKpContentPrinter::SetPreview(preview);
    if (Preview()) PrintLabels();
}

void TKpLabelPrinter::SetTemplate(TLabelTemplate t) {
    template_ = t;
    templateIndex_ = 0;
    for (int i = 1; i <= KpLabelTemplateCount; ++i)
        if (LabelTemplateRecord(i).Template == t) templateIndex_ = i;
    if (Preview()) PrintLabels();
}

void TKpLabelPrinter::turnCustom() {
    template_ = TLabelTemplate::Custom;
    templateIndex_ = 0;
}

void TKpLabelPrinter::SetColumns(int n) {
    if (n == columns_) return;
    columns_ = n;
    turnCustom();
}

void TKpLabelPrinter::SetRows(int n) {
    if (n == rows_) return;
    rows_ = n;
    turnCustom();
}

void TKpLabelPrinter::SetLabelShape(uint8_t shape) {
    if (shape == labelShape_) return;
    labelShape_ = shape;
    turnCustom();
}

TKpLabelLayout TKpLabelPrinter::Layout() const {
    TKpLabelGeometry g;
    if (TKpPreview* preview = Preview()) {
        g.Left = preview->Margins().Left().value;
        g.Top = preview->Margins().Top().value;
    }
    g.LabelWidth = labelWidth_->value;
    g.LabelHeight = labelHeight_->value;
    g.HorzPitch = horzPitch_->value;
    g.VertPitch = vertPitch_->value;
    g.Columns = columns_;
    g.Rows = rows_;
    return TKpLabelLayout(g);
}

void TKpLabelPrinter::loadTemplate(const TLabelTemplateRec& record) {
    TKpPreview& preview = *Preview();
    // Written straight into the values: loading a template never turns it to Custom, and the
    // margins change without a notification.
    columns_ = record.Columns;
    rows_ = record.Rows;
    labelWidth_->value = record.LabelWidth;
    labelHeight_->value = record.LabelHeight;
    horzPitch_->value = record.HorzPitch;
    vertPitch_->value = record.VertPitch;
    TKpMargins& margins = preview.Margins();
    margins.Left().value = record.LeftMargin;
    margins.Top().value = record.TopMargin;
    margins.Right().value = record.RightMargin;
    margins.Bottom().value = record.BottomMargin;
    preview.GetPage(preview.CurrentPage())->SetOrientation(record.Orientation);
    labelShape_ = record.LabelShape;
}

void TKpLabelPrinter::PrintLabels() {
    if (BeforeDrawLabels) BeforeDrawLabels(this);
    Q_EMIT aboutToDrawLabels();
    if (!Preview()) return;
    if (templateIndex_ == 0) {
        // Custom: the sheet as the geometry now stands, from the preview's margins. Without
        // any labels there is nothing to do; a geometry that makes no sheet is reported.
        if (columns_ == 0 || rows_ == 0) return;
        if (const QString problem = Layout().Problem(); !problem.isEmpty()) {
            ShowError(this, problem);
            return;
        }
    }
    // AutoRefresh goes back to what it was, and the page is refreshed, also when a handler
    // raises.
    TKpPrintSession session(*this, TKpAutoRefreshAfter::AsBefore);
    TKpPreview& preview = *session.Preview();
    session.Run([&] {
        const TKpStateGuard<int> index(labelIndex_);
        if (templateIndex_ > 0) loadTemplate(LabelTemplateRecord(templateIndex_));
        preview.GetPage(preview.CurrentPage())->Clear();
        layOut(session);
    });
}

void TKpLabelPrinter::layOut(const TKpPrintSession& session) {
    TKpPreview* const preview = session.Preview();
    const TKpLabelLayout layout = Layout();
    for (int k = 0; k < layout.Count() && session.Running(); ++k) {
        TKpCanvas& canvas = preview->Canvas();
        const QPoint corner = layout.Corner(k);
        const int32_t x = corner.x(), y = corner.y();
        const int32_t w = labelWidth_->value, h = labelHeight_->value;
        {
            const TKpStateGuard<TKpPen> keepPen(canvas.Pen(), preview);
            const TKpStateGuard<TKpBrush> keepBrush(canvas.Brush(), preview);
            canvas.Brush().Assign(*labelBrush_);
            canvas.Pen().Assign(*labelPen_);
            switch (labelShape_) {
            case kpLabelRectangle:
                canvas.Rectangle(x, y, x + w, y + h, kpUnits);
                break;
            case kpLabelEllipse:
                canvas.Ellipse(x, y, x + w, y + h, kpUnits);
                break;
            default:
                canvas.RoundRect(x, y, x + w, y + h, kCorner, kCorner, kpUnits);
                break;
            }
        }
        // Outlines show in the preview only.
        if (TKpBaseObject* outline = canvas.LastObject()) outline->Printable = false;
        if (OnDrawLabel) {
            const TKpStateGuard<int32_t> originX(canvas.OriginX, x, preview);
            const TKpStateGuard<int32_t> originY(canvas.OriginY, y, preview);
            canvas.Brush().SetStyle(bsClear);
            labelIndex_ = k;
            OnDrawLabel(this, &canvas);
        }
        if (session.Running()) Q_EMIT labelDrawn(k);
    }
}

} // namespace kp
