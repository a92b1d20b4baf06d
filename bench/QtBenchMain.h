#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <functional>

namespace kelvane {

// The main of a benchmark program over the windows: offscreen unless told
// otherwise, the application object the benchmarks need, then the runs;
// done is called after the runs, while the application still exists.
template <typename TApplication>
int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& done = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (done) done();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kelvane
