#include "drawing/KpMargins.h"

#include "drawing/KpDocument.h"

namespace kp {

TKpMargins::TKpMargins(TKpDocument* document)
    : document_(document), left_(std::make_unique<TKpValue>(1500)),
      top_(std::make_unique<TKpValue>(2000)), right_(std::make_unique<TKpValue>(1500)),
      bottom_(std::make_unique<TKpValue>(2500)), pen_(std::make_unique<TKpPen>()),
      printerMarginPen_(std::make_unique<TKpPen>()) {
    pen_->SetColor(clSilver);
    pen_->SetStyle(psDot);
    printerMarginPen_->Assign(*pen_);
    pen_->OnChange = [this](void*) { invalidateImage(); };
    printerMarginPen_->OnChange = [this](void*) { invalidateImage(); };
    for (TKpValue* v : {left_.get(), top_.get(), right_.get(), bottom_.get()})
        v->OnChange = [this](TKpValue*) { marginChanged(); };
}

TKpMargins::~TKpMargins() = default;

void TKpMargins::SetClipMargins(bool v) {
    if (v == clipMargins_) return;
    clipMargins_ = v;
    // The picture is rebuilt at once, with or without the clip, whatever AutoRefresh says.
    if (document_) document_->RefreshPage();
}

void TKpMargins::SetShowPrinterMargins(bool v) {
    showPrinterMargins_ = v;
    invalidateImage();
}

void TKpMargins::SetVisible(bool v) {
    visible_ = v;
    invalidateImage();
}

void TKpMargins::Assign(const TKpMargins& source) {
    left_->value = source.left_->value;
    top_->value = source.top_->value;
    right_->value = source.right_->value;
    bottom_->value = source.bottom_->value;
    visible_ = source.visible_;
    showPrinterMargins_ = source.showPrinterMargins_;
    pen_->Assign(*source.pen_);
    printerMarginPen_->Assign(*source.printerMarginPen_);
    invalidateImage();
}

void TKpMargins::marginChanged() {
    if (document_) document_->FireChangeMargins(this);
}

void TKpMargins::invalidateImage() {
    // Only their display changed: the view repaints the sheet.
    if (document_) document_->FireMarginsDisplay();
}

} // namespace kp
