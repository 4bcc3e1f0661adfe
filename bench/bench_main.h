#pragma once
// The start of the benchmarks that draw: offscreen unless a platform is named, at a pinned
// 96 dpi, with a tear-down that runs while the application still exists.
#include <benchmark/benchmark.h>

#include <functional>

#include <QApplication>

#include "platform/KpScreenOverride.h"

template <class App = QApplication>
int RunBenchmarks(int argc, char** argv, const std::function<void()>& tearDown = {}) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tearDown) tearDown();
    return 0;
}
