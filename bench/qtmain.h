#pragma once
// The main of the benchmarks that draw or open windows: the offscreen platform unless the
// environment names another, an application of the given Qt class, the setup the benchmarks
// need, then the benchmarks the command line asks for.

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

namespace vl::bench {

template <class Application, class Setup> int RunUnderQt(int& argc, char** argv, Setup setup) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    setup();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

template <class Application> int RunUnderQt(int& argc, char** argv) {
    return RunUnderQt<Application>(argc, argv, [] {});
}

} // namespace vl::bench
