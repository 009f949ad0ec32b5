// SPDX-License-Identifier: GPL-3.0-or-later
// The main() of benchmarks that paint: fonts and images need a GUI
// application (a widget application for benchmarks of widgets), and the
// offscreen platform needs no display.
#include <benchmark/benchmark.h>

#ifdef VANTRELL_BENCH_WIDGETS
#include <QApplication>
using BenchmarkApplication = QApplication;
#else
#include <QGuiApplication>
using BenchmarkApplication = QGuiApplication;
#endif

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchmarkApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
