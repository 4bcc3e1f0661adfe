#pragma once
// The document's four page margins and how they are shown on the sheet.
#include "paginor/KpExport.h"

#include <memory>

#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"

namespace kp {

class TKpDocument;

class PAGINOR_EXPORT TKpMargins {
public:
    explicit TKpMargins(TKpDocument* document);
    ~TKpMargins();

    TKpValue& Left() { return *left_; }
    TKpValue& Top() { return *top_; }
    TKpValue& Right() { return *right_; }
    TKpValue& Bottom() { return *bottom_; }
    TKpPen& Pen() { return *pen_; }
    TKpPen& PrinterMarginPen() { return *printerMarginPen_; }

    bool ClipMargins() const { return clipMargins_; }
    void SetClipMargins(bool v);
    bool ShowPrinterMargins() const { return showPrinterMargins_; }
    void SetShowPrinterMargins(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    void Assign(const TKpMargins& source);

private:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    void marginChanged();
    void invalidateImage();

    TKpDocument* document_;
    std::unique_ptr<TKpValue> left_, top_, right_, bottom_;
    std::unique_ptr<TKpPen> pen_, printerMarginPen_;
    bool clipMargins_ = false;
    bool showPrinterMargins_ = false;
    bool visible_ = false;
};

} // namespace kp
