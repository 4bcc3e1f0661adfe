#pragma once
// One run of a content printer over its preview. While the run draws, the preview does not
// refresh; at the end, however the run ends, the canvas state the run asked to keep comes
// back, AutoRefresh is on again (or as it was) and the page is refreshed once. The run stays
// with the preview it began on: when that preview is destroyed mid-run (a handler closed its
// window), nothing more is written to it.
#include "paginor/KpExport.h"

#include <cstdint>
#include <optional>
#include <utility>

#include <QPointer>

#include "platform/KpGraphics.h"
#include "platform/KpRunThen.h"
#include "platform/KpStateGuard.h"

namespace kp {

class TKpContentPrinter;
class TKpPreview;

// What AutoRefresh is left at when the run ends.
enum class TKpAutoRefreshAfter : uint8_t { On, AsBefore };

class PAGINOR_INTERNAL_EXPORT TKpPrintSession {
public:
    // Begins on the printer's preview, which must be set, and turns its AutoRefresh off.
    TKpPrintSession(TKpContentPrinter& printer, TKpAutoRefreshAfter after);
    TKpPrintSession(const TKpPrintSession&) = delete;
    TKpPrintSession& operator=(const TKpPrintSession&) = delete;

    // The preview the run began on; null once it is destroyed.
    TKpPreview* Preview() const { return preview_; }
    // The run may go on: its preview exists and the printer still points at it.
    bool Running() const;

    // The canvas's pen, font or brush as it is now comes back when the run ends.
    void KeepPen();
    void KeepFont();
    void KeepBrush();

    // Runs body, then ends the run, also when body raises (whose exception then passes on).
    // A run that ends without raising tells the printer's host it printed.
    template <class Body> void Run(Body&& body) {
        kp::RunThen(std::forward<Body>(body), [this] { end(); });
        finished();
    }

private:
    void end();
    void finished();

    TKpContentPrinter& printer_;
    QPointer<TKpPreview> preview_;
    bool autoRefresh_;
    std::optional<TKpStateGuard<TKpPen>> pen_;
    std::optional<TKpStateGuard<TKpFont>> font_;
    std::optional<TKpStateGuard<TKpBrush>> brush_;
};

} // namespace kp
