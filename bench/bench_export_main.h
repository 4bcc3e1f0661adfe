#pragma once
// The start of the benchmarks that export documents: offscreen, at a pinned 96 dpi, with no
// printer (export needs none, and the system's printers are not consulted).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <QApplication>

#include "platform/KpPrinterDevice.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

inline int RunExportBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    TKpScopedPrinterBackend none(
        std::make_unique<TKpVirtualPrinterBackend>(std::vector<TKpVirtualPrinterSetup>{}));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
