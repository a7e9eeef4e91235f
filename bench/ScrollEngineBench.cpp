// The frame step runs 60 to 120 times a second for the life of the process: it is
// measured against an empty call through the same kind of callback, in the same run.
#include <benchmark/benchmark.h>

#include <functional>

#include "Platform/Accessibility/AccessibilitySettings.h"
#include "Render/ScrollEngine.h"

namespace vorela {
namespace {

class MotionOn final : public AccessibilitySettings {
public:
    bool reduceMotion() const override { return false; }
};

constexpr double kFrame = 1.0 / 60;

void BM_EmptyCallback(benchmark::State& state) {
    std::function<void(double)> callback = [](double v) { benchmark::DoNotOptimize(v); };
    benchmark::DoNotOptimize(callback);
    double t = 0;
    for (auto _ : state) {
        callback(t += kFrame);
    }
}
BENCHMARK(BM_EmptyCallback);

// A moving frame: tick, one exponential, the change callback.
void BM_ScrollEngineStepMoving(benchmark::State& state) {
    MotionOn accessibility;
    ScrollEngine engine(0.18, accessibility);
    double target = 0;
    engine.setOnTick([&engine, &target](double dt) { engine.setTargetY(target += dt * 40); });
    engine.setOnChange([](double y) { benchmark::DoNotOptimize(y); });
    double t = 0;
    engine.step(t);
    for (auto _ : state) {
        engine.step(t += kFrame);
    }
}
BENCHMARK(BM_ScrollEngineStepMoving);

// A frame at rest: the tick only, nobody told.
void BM_ScrollEngineStepAtRest(benchmark::State& state) {
    MotionOn accessibility;
    ScrollEngine engine(0.18, accessibility);
    engine.setOnTick([](double dt) { benchmark::DoNotOptimize(dt); });
    engine.setOnChange([](double y) { benchmark::DoNotOptimize(y); });
    double t = 0;
    engine.step(t);
    for (auto _ : state) {
        engine.step(t += kFrame);
    }
}
BENCHMARK(BM_ScrollEngineStepAtRest);

}  // namespace
}  // namespace vorela
