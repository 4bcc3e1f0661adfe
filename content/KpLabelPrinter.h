#pragma once
// Turns the preview's current page into a sheet of labels: the page takes the template's
// margins and orientation, every label gets an outline that shows in the preview but is never
// printed, and the host draws each label's content with the canvas origin at its corner.
#include "paginor/KpExport.h"

#include <functional>
#include <memory>

#include "content/KpContentPrinter.h"
#include "content/KpLabelLayout.h"
#include "content/KpLabelTemplates.h"
#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"
#include "preview/KpPropertyEnums.h"

namespace kp {

class TKpCanvas;
class TKpPrintSession;

using TOnDrawLabelEvent = std::function<void(void* sender, TKpCanvas* canvas)>;

class PAGINOR_EXPORT TKpLabelPrinter : public TKpContentPrinter {
    Q_OBJECT
    // Published properties (property editors, form files), and the sheet geometry in KpUnits:
    // writing any of the geometry turns the template to Custom, as its own setters do.
    Q_PROPERTY(kp::KpEnums::TLabelTemplate Template READ Template WRITE SetTemplate)
    Q_PROPERTY(int LabelWidth READ labelWidthUnits WRITE setLabelWidthUnits)
    Q_PROPERTY(int LabelHeight READ labelHeightUnits WRITE setLabelHeightUnits)
    Q_PROPERTY(int HorzPitch READ horzPitchUnits WRITE setHorzPitchUnits)
    Q_PROPERTY(int VertPitch READ vertPitchUnits WRITE setVertPitchUnits)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(int Rows READ Rows WRITE SetRows)
    Q_PROPERTY(int LabelShape READ LabelShape WRITE SetLabelShape)
public:
    explicit TKpLabelPrinter(QObject* parent = nullptr);
    // Clears the preview it lays labels out on, if any.
    ~TKpLabelPrinter() override;

    // Fill and pen of the outlines; any change lays the sheet out again on a cleared preview.
    TKpBrush& LabelBrush() { return *labelBrush_; }
    TKpPen& LabelPen() { return *labelPen_; }
    void SetLabelBrush(const TKpBrush& brush) { labelBrush_->Assign(brush); }
    void SetLabelPen(const TKpPen& pen) { labelPen_->Assign(pen); }

    // Setting the preview clears the one set before (also when it is the same one) and lays
    // out a sheet on the new one.
    void SetPreview(TKpPreview* preview) override;

    // Setting a template lays out a sheet when a preview is set.
    TLabelTemplate Template() const { return template_; }
    void SetTemplate(TLabelTemplate t);
    // Position of the template in the table, 1..18; 0 for Custom.
    int TemplateIndex() const { return templateIndex_; }

    // Geometry of the sheet (KpUnits). Set by hand, each turns the template to Custom, whose
    // sheet starts at the preview's left and top margins.
    TKpValue& LabelWidth() { return *labelWidth_; }
    TKpValue& LabelHeight() { return *labelHeight_; }
    TKpValue& HorzPitch() { return *horzPitch_; }
    TKpValue& VertPitch() { return *vertPitch_; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // Outline shape: kpLabelRectangle, kpLabelRoundRect or kpLabelEllipse.
    uint8_t LabelShape() const { return labelShape_; }
    void SetColumns(int n);
    void SetRows(int n);
    void SetLabelShape(uint8_t shape);

    // Called at the start of PrintLabels, then once per label with the canvas origin at the
    // label's top-left corner and a clear brush.
    TNotifyEvent BeforeDrawLabels;
    TOnDrawLabelEvent OnDrawLabel;

    // Lays out one sheet on the preview's current page.
    void PrintLabels();

Q_SIGNALS:
    void aboutToDrawLabels();   // after BeforeDrawLabels
    void labelDrawn(int index); // after each label (and its OnDrawLabel), in visiting order

public:
    // While OnDrawLabel runs: the label's place in the visiting order (from 0) and the sheet.
    int LabelIndex() const { return labelIndex_; }
    TKpLabelLayout Layout() const;

private:
    // Through the values' own setters, which turn the template to Custom.
    static void setUnits(TKpValue& value, int v) { value.SetMillimeters(v / 100.0L); }
    int labelWidthUnits() const { return labelWidth_->value; }
    void setLabelWidthUnits(int v) { setUnits(*labelWidth_, v); }
    int labelHeightUnits() const { return labelHeight_->value; }
    void setLabelHeightUnits(int v) { setUnits(*labelHeight_, v); }
    int horzPitchUnits() const { return horzPitch_->value; }
    void setHorzPitchUnits(int v) { setUnits(*horzPitch_, v); }
    int vertPitchUnits() const { return vertPitch_->value; }
    void setVertPitchUnits(int v) { setUnits(*vertPitch_, v); }

    void turnCustom();
    void loadTemplate(const TLabelTemplateRec& record);
    void layOut(const TKpPrintSession& session);

    TLabelTemplate template_ = TLabelTemplate::L7159_Address;
    int templateIndex_ = 1;
    std::unique_ptr<TKpBrush> labelBrush_;
    std::unique_ptr<TKpPen> labelPen_;
    std::unique_ptr<TKpValue> labelWidth_, labelHeight_, horzPitch_, vertPitch_;
    uint8_t labelShape_ = kpLabelRoundRect;
    int columns_ = 0;
    int rows_ = 0;
    int labelIndex_ = -1;
};

} // namespace kp
