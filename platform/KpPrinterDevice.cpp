#include "platform/KpPrinterDevice.h"

#include <QCoreApplication>
#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpWinFlags.h"

namespace kp {

struct TKpPlatformPrinter::State {
    std::unique_ptr<TKpPrinterBackend> backend;
    bool listBuilt = false;
    std::vector<TKpPrinterEntry> printers;
    int index = -1;
    TKpOrientation orientation = kpPortrait;
    QString title;
    TKpDeviceMode mode;
    bool geometryValid = false;
    TKpPrinterGeometry geometry;
    QPainter* painter = nullptr; // belongs to the backend's open document
    std::unique_ptr<TKpDeviceCanvas> canvas;
    int pages = 0;
};

TKpPlatformPrinter& TKpPlatformPrinter::Instance() {
    static TKpPlatformPrinter instance;
    return instance;
}

void TKpPlatformPrinter::shutdown() {
    // Printer devices belong to the application: they go with it, not at process exit.
    // An application that outlives this object (a static one) finds nothing left to do.
    if (!state_) return;
    if (state_->painter) AbortDoc();
    state_ = std::make_unique<State>();
    state_->backend =
        std::make_unique<TKpVirtualPrinterBackend>(std::vector<TKpVirtualPrinterSetup>{});
    state_->listBuilt = true;
}

TKpPlatformPrinter::TKpPlatformPrinter() : state_(std::make_unique<State>()) {
    state_->backend = MakeQtPrinterBackend();
    if (QCoreApplication::instance()) qAddPostRoutine([] { Instance().shutdown(); });
}

TKpPlatformPrinter::~TKpPlatformPrinter() {
    // A document still open at exit is dropped rather than half-spooled.
    if (state_ && state_->painter) AbortDoc();
}

std::unique_ptr<TKpPlatformPrinter::State>
TKpPlatformPrinter::SwapBackend(std::unique_ptr<TKpPrinterBackend> backend) {
    auto fresh = std::make_unique<State>();
    fresh->backend = std::move(backend);
    std::swap(fresh, state_);
    return fresh;
}

void TKpPlatformPrinter::RestoreState(std::unique_ptr<State> state) {
    if (!state) return;
    if (state_->painter) AbortDoc();
    state_ = std::move(state);
}

TKpPrinterBackend& TKpPlatformPrinter::Backend() {
    return *state_->backend;
}

const std::vector<TKpPrinterEntry>& TKpPlatformPrinter::Printers() {
    State& s = *state_;
    if (!s.listBuilt) {
        s.listBuilt = true;
        s.printers = s.backend->Enumerate();
        s.index = s.printers.empty() ? -1 : 0;
        for (size_t i = 0; i < s.printers.size(); ++i)
            if (s.printers[i].IsDefault) s.index = static_cast<int>(i);
        if (s.index >= 0) s.mode = s.printers[s.index].Defaults;
    }
    return s.printers;
}

int TKpPlatformPrinter::PrinterIndex() {
    Printers();
    return state_->index;
}

void TKpPlatformPrinter::SetPrinterIndex(int index) {
    const auto& list = Printers();
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    if (state_->painter) return; // not while a document is open
    state_->index = index;
    state_->mode = list[index].Defaults;
    state_->geometryValid = false;
}

QString TKpPlatformPrinter::PrinterName() {
    const int i = PrinterIndex();
    return i >= 0 ? state_->printers[i].Name : QString();
}

TKpOrientation TKpPlatformPrinter::Orientation() const {
    return state_->orientation;
}

void TKpPlatformPrinter::SetOrientation(TKpOrientation v) {
    if (state_->painter || v == state_->orientation) return;
    state_->orientation = v;
    state_->geometryValid = false;
}

QString TKpPlatformPrinter::Title() const {
    return state_->title;
}

void TKpPlatformPrinter::SetTitle(const QString& v) {
    if (!state_->painter) state_->title = v;
}

TKpDeviceMode* TKpPlatformPrinter::DeviceMode() {
    return PrinterIndex() >= 0 ? &state_->mode : nullptr;
}

const TKpPrinterGeometry& TKpPlatformPrinter::Geometry() {
    State& s = *state_;
    if (PrinterIndex() < 0) {
        s.geometry = TKpPrinterGeometry{};
        return s.geometry;
    }
    if (!s.geometryValid) {
        s.geometry = s.backend->Geometry(s.index, s.mode, s.orientation);
        s.geometryValid = true;
    }
    return s.geometry;
}

void TKpPlatformPrinter::DeviceModeChanged() {
    state_->geometryValid = false;
}

bool TKpPlatformPrinter::Printing() const {
    return state_->painter != nullptr;
}

void TKpPlatformPrinter::rebuildCanvas() {
    State& s = *state_;
    if (!s.painter) {
        s.canvas.reset();
        return;
    }
    const TKpPrinterGeometry& g = Geometry();
    s.canvas = std::make_unique<TKpDeviceCanvas>(s.painter, g.LogPixelsX, g.LogPixelsY);
}

bool TKpPlatformPrinter::BeginDoc(const QString& docName, const QString& outputFile) {
    State& s = *state_;
    if (PrinterIndex() < 0 || s.painter) return false;
    s.geometryValid = false;
    s.painter = s.backend->BeginDoc(s.index, s.mode, s.orientation, docName, outputFile);
    if (!s.painter) return false;
    s.pages = 1;
    rebuildCanvas();
    return true;
}

bool TKpPlatformPrinter::NewPage() {
    State& s = *state_;
    if (!s.painter) return false;
    if (!s.backend->NewPage(s.orientation)) return false;
    ++s.pages;
    return true;
}

bool TKpPlatformPrinter::ChangeOrientation(TKpOrientation v) {
    State& s = *state_;
    if (!s.painter) return false;
    s.mode.dmFields |= DM_ORIENTATION;
    s.mode.dmOrientation = v == kpLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    s.orientation = v;
    s.geometryValid = false;
    if (!s.backend->NewPage(v)) return false;
    ++s.pages;
    // The reset device takes the pen, brush and font afresh.
    rebuildCanvas();
    return true;
}

bool TKpPlatformPrinter::EndDoc() {
    State& s = *state_;
    if (!s.painter) return false;
    s.canvas.reset();
    s.painter = nullptr;
    s.geometryValid = false;
    return s.backend->EndDoc();
}

void TKpPlatformPrinter::AbortDoc() {
    State& s = *state_;
    if (!s.painter) return;
    s.canvas.reset();
    s.painter = nullptr;
    s.geometryValid = false;
    s.backend->AbortDoc();
}

TKpDeviceCanvas* TKpPlatformPrinter::Canvas() {
    return state_->canvas.get();
}
QPainter* TKpPlatformPrinter::Painter() {
    return state_->painter;
}

void* TKpPlatformPrinter::Handle() {
    if (PrinterIndex() < 0) return nullptr;
    if (state_->painter) return state_->backend->Device();
    return &state_->printers[state_->index];
}

int TKpPlatformPrinter::PageCount() const {
    return state_->painter ? state_->pages : 0;
}

TKpScopedPrinterBackend::TKpScopedPrinterBackend(std::unique_ptr<TKpPrinterBackend> backend)
    : saved_(TKpPlatformPrinter::Instance().SwapBackend(std::move(backend))) {}

TKpScopedPrinterBackend::~TKpScopedPrinterBackend() {
    TKpPlatformPrinter::Instance().RestoreState(std::move(saved_));
}

} // namespace kp
