// The seven-segment display's two costs: a paint with a warm image cache (cell copies and
// the frame, composed off-screen) and a rebuild of the cache (21 characters composed on the
// template and scaled down with averaging), at the default size and at a large one.
#include <benchmark/benchmark.h>

#include "displays/sevenseg.h"

namespace {

using namespace kovo;

class TBenchSeg : public TSevenSeg {
  public:
    using TSevenSeg::TSevenSeg;
    void PaintNow() { Paint(); }
    void Rebuild() { CreateImageCache(); }
};

void Prepare(TBenchSeg& seg, const benchmark::State& state) {
    seg.SetBounds(0, 0, int(state.range(0)), int(state.range(1)));
    seg.SetNumDigits(4);
    seg.SetCaption("8.8.8.8.");
}

void BM_SevenSeg_PaintWarmCache(benchmark::State& state) {
    TBenchSeg seg(nullptr);
    Prepare(seg, state);
    seg.PaintNow();
    for (auto _ : state) seg.PaintNow();
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_SevenSeg_PaintWarmCache)
    ->Args({216, 76})
    ->Args({1200, 400})
    ->Unit(benchmark::kMicrosecond);

void BM_SevenSeg_CacheRebuild(benchmark::State& state) {
    TBenchSeg seg(nullptr);
    Prepare(seg, state);
    for (auto _ : state) seg.Rebuild();
}
BENCHMARK(BM_SevenSeg_CacheRebuild)
    ->Args({216, 76})
    ->Args({1200, 400})
    ->Unit(benchmark::kMillisecond);

}  // namespace
