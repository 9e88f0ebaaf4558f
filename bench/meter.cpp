// One full paint of an analog meter (off-screen picture, scale background, scale with
// labels, both needles with shadows, rims, anchor, lamps, frame, the copy onto the control)
// at the default size and at 800 x 600. Each iteration changes the value, which repaints at
// once.
#include <benchmark/benchmark.h>

#include "instruments/Meter.h"

using namespace kovo;

namespace {

void ConfigureMeter(TMeter& m, int Width, int Height) {
    m.SetBounds(0, 0, Width, Height);
    m.SetMeterLayout(mlCirc120);
    m.SetMeterMaxValue(100);
    m.SetThresholdHigh(80);
    m.SetThresholdLow(20);
    m.SetMeterNrTicks(10);
    m.SetScaleBkVisible(true);
    m.SetScaleBkWidth(10);
    m.SetCaption("kPa");
    m.NeedleLayout()->SetShadowDx(3);
    m.NeedleLayout()->SetShadowDy(-3);
    m.NeedleLayoutSec()->SetVisible(true);
    m.SetValueSec(35);
}

void BM_MeterPaint(benchmark::State& state) {
    TMeter m(nullptr);
    ConfigureMeter(m, int(state.range(0)), int(state.range(1)));
    double v = 10;
    for (auto _ : state) {
        v = v == 10 ? 60 : 10;
        m.SetValue(v);
    }
    state.counters["pixels"] = double(state.range(0) * state.range(1));
}
BENCHMARK(BM_MeterPaint)->Args({297, 209})->Args({800, 600})->Unit(benchmark::kMicrosecond);

// The same on a logarithmic 300-degree scale of five decades (45 long ticks, 15 labels).
void BM_MeterPaintLogarithmic(benchmark::State& state) {
    TMeter m(nullptr);
    ConfigureMeter(m, int(state.range(0)), int(state.range(1)));
    m.SetMeterLayout(mlCirc300);
    m.SetMeterMaxValue(1e5);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    m.SetMeterDecPlaces(0);
    double v = 10;
    for (auto _ : state) {
        v = v == 10 ? 600 : 10;
        m.SetValue(v);
    }
}
BENCHMARK(BM_MeterPaintLogarithmic)
    ->Args({297, 209})
    ->Args({800, 600})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
