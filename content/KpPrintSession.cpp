#include "content/KpPrintSession.h"

#include "content/KpContentPrinter.h"
#include "drawing/KpCanvas.h"
#include "preview/KpPreview.h"

namespace kp {

TKpPrintSession::TKpPrintSession(TKpContentPrinter& printer, TKpAutoRefreshAfter after)
    : printer_(printer), preview_(printer.Preview()) {
    TKpPreview& preview = *preview_;
    autoRefresh_ = after == TKpAutoRefreshAfter::On || preview.AutoRefresh;
    preview.AutoRefresh = false;
}

bool TKpPrintSession::Running() const {
    return preview_ && printer_.Preview() == preview_;
}

void TKpPrintSession::KeepPen() {
    if (preview_) pen_.emplace(preview_->Canvas().Pen(), preview_);
}

void TKpPrintSession::KeepFont() {
    if (preview_) font_.emplace(preview_->Canvas().Font(), preview_);
}

void TKpPrintSession::KeepBrush() {
    if (preview_) brush_.emplace(preview_->Canvas().Brush(), preview_);
}

void TKpPrintSession::end() {
    // The guards write nothing to a preview that is gone.
    if (brush_) brush_->Restore();
    if (font_) font_->Restore();
    if (pen_) pen_->Restore();
    if (!preview_) return;
    preview_->AutoRefresh = autoRefresh_;
    preview_->RefreshPage();
}

void TKpPrintSession::finished() {
    printer_.emitPrinted();
}

} // namespace kp
