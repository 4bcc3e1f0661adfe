#pragma once
// Scoped changes of preview and canvas state made by the content printers while they lay out
// a document. Each guard puts the state back when it goes, also when a host's handler raises.
// They hold the preview weakly: a handler may delete it, and then there is nothing to restore.
#include "paginor/KpExport.h"

#include <QPointer>

#include "drawing/KpCanvas.h"
#include "platform/KpGraphics.h"
#include "preview/KpPreview.h"

// Switches the preview's AutoRefresh off; on leaving sets it to `after` (by default the value
// it had).
class PAGINOR_EXPORT TKpAutoRefreshOff {
public:
    explicit TKpAutoRefreshOff(TKpPreview& preview)
        : TKpAutoRefreshOff(preview, preview.AutoRefresh) {}
    TKpAutoRefreshOff(TKpPreview& preview, bool after) : preview_(&preview), after_(after) {
        preview.AutoRefresh = false;
    }
    ~TKpAutoRefreshOff() {
        if (preview_) preview_->AutoRefresh = after_;
    }
    TKpAutoRefreshOff(const TKpAutoRefreshOff&) = delete;
    TKpAutoRefreshOff& operator=(const TKpAutoRefreshOff&) = delete;

private:
    QPointer<TKpPreview> preview_;
    bool after_;
};

// Keeps a copy of the canvas pen (or brush) and assigns it back on leaving.
template <typename Value, Value& (TKpCanvas::*Member)()> class TKpKeepCanvasValue {
public:
    explicit TKpKeepCanvasValue(TKpPreview& preview) : preview_(&preview) {
        saved_.Assign((preview.Canvas().*Member)());
    }
    ~TKpKeepCanvasValue() {
        if (preview_) (preview_->Canvas().*Member)().Assign(saved_);
    }
    TKpKeepCanvasValue(const TKpKeepCanvasValue&) = delete;
    TKpKeepCanvasValue& operator=(const TKpKeepCanvasValue&) = delete;

private:
    QPointer<TKpPreview> preview_;
    Value saved_;
};

using TKpKeepCanvasPen = TKpKeepCanvasValue<TKpPen, &TKpCanvas::Pen>;
using TKpKeepCanvasBrush = TKpKeepCanvasValue<TKpBrush, &TKpCanvas::Brush>;

// Keeps the canvas font with its pixels-per-inch figure, so its height comes back unchanged.
class PAGINOR_EXPORT TKpKeepCanvasFont {
public:
    explicit TKpKeepCanvasFont(TKpPreview& preview) : preview_(&preview) {
        const TKpFont& font = preview.Canvas().Font();
        saved_.SetPixelsPerInch(font.PixelsPerInch());
        saved_.Assign(font);
    }
    ~TKpKeepCanvasFont() {
        if (!preview_) return;
        TKpFont& font = preview_->Canvas().Font();
        font.SetPixelsPerInch(saved_.PixelsPerInch());
        font.Assign(saved_);
    }
    TKpKeepCanvasFont(const TKpKeepCanvasFont&) = delete;
    TKpKeepCanvasFont& operator=(const TKpKeepCanvasFont&) = delete;

private:
    QPointer<TKpPreview> preview_;
    TKpFont saved_;
};

// Moves the canvas origin to (x, y) KpUnits for the life of the guard, then back to (0, 0).
class PAGINOR_EXPORT TKpMoveCanvasOrigin {
public:
    TKpMoveCanvasOrigin(TKpPreview& preview, int32_t x, int32_t y) : preview_(&preview) {
        preview.Canvas().OriginX = x;
        preview.Canvas().OriginY = y;
    }
    ~TKpMoveCanvasOrigin() {
        if (!preview_) return;
        preview_->Canvas().OriginX = 0;
        preview_->Canvas().OriginY = 0;
    }
    TKpMoveCanvasOrigin(const TKpMoveCanvasOrigin&) = delete;
    TKpMoveCanvasOrigin& operator=(const TKpMoveCanvasOrigin&) = delete;

private:
    QPointer<TKpPreview> preview_;
};
