#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

// The main() of every view benchmark: a Qt application on the offscreen platform (unless
// the caller chose another) around Google Benchmark's own run.
#define VORELA_QT_BENCHMARK_MAIN()                         \
    int main(int argc, char** argv) {                      \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) \
            qputenv("QT_QPA_PLATFORM", "offscreen");       \
        QApplication app(argc, argv);                      \
        benchmark::Initialize(&argc, argv);                \
        benchmark::RunSpecifiedBenchmarks();               \
        benchmark::Shutdown();                             \
        return 0;                                          \
    }
