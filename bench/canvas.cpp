// The canvas's hot paths: a full-surface fill next to std::fill over the same pixels, text
// with cached glyphs, and scaling a bitmap onto a large surface in both stretch modes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"

namespace {

using namespace kovo;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int64_t kPixels = int64_t(kWidth) * kHeight;

double SecondsOf(int times, const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i) work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Fill_StdFill(benchmark::State& state) {
    std::vector<TPixel> buffer(size_t(kPixels), 0);
    TPixel value = 1;
    for (auto _ : state) {
        std::fill(buffer.begin(), buffer.end(), value++ & 0xFFFFFF);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_Fill_StdFill);

// Rectangle over the whole surface; "vs_std_fill" is its speed divided by that of std::fill
// over a buffer of the same size, both timed here alternately.
void BM_Fill_Rectangle(benchmark::State& state) {
    const bool withPen = state.range(0) != 0;
    TSurface surface(kWidth, kHeight);
    TCanvas canvas;
    canvas.SetSurface(&surface);
    canvas.Pen()->SetStyle(withPen ? psSolid : psClear);
    TColor color = 1;
    auto rectangle = [&] {
        canvas.Brush()->SetColor(color++ & 0xFFFFFF);
        canvas.Rectangle(0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(surface.Data());
        benchmark::ClobberMemory();
    };
    for (auto _ : state) rectangle();
    state.SetItemsProcessed(state.iterations() * kPixels);

    std::vector<TPixel> buffer(size_t(kPixels), 0);
    TPixel value = 1;
    auto stdFill = [&] {
        std::fill(buffer.begin(), buffer.end(), value++ & 0xFFFFFF);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    };
    double rectSeconds = 0, fillSeconds = 0;
    for (int round = 0; round < 5; ++round) {
        rectSeconds += SecondsOf(10, rectangle);
        fillSeconds += SecondsOf(10, stdFill);
    }
    state.counters["vs_std_fill"] = fillSeconds / rectSeconds;
}
BENCHMARK(BM_Fill_Rectangle)->ArgName("pen")->Arg(0)->Arg(1);

void BM_TextOut40(benchmark::State& state) {
    TSurface surface(kWidth, 100);
    TCanvas canvas;
    canvas.SetSurface(&surface);
    canvas.Font()->SetName("DejaVu Sans");
    canvas.Font()->SetSize(10);
    const std::string text = "The quick brown fox jumps over a lazy do";  // 40 characters
    canvas.TextOut(0, 0, text);                                           // fills the glyph cache
    for (auto _ : state) {
        canvas.TextOut(10, 10, text);
        benchmark::DoNotOptimize(surface.Data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_TextOut40);

void BM_StretchDraw640x480To1920x1080(benchmark::State& state) {
    const int mode = int(state.range(0));
    TBitmap bitmap(640, 480);
    TSurface& pixels = bitmap.MutableSurface();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) pixels.Row(y)[x] = TPixel((x * 7) ^ (y * 13)) & 0xFFFFFF;
    TSurface surface(kWidth, kHeight);
    TCanvas canvas;
    canvas.SetSurface(&surface);
    canvas.SetStretchBltMode(mode);
    for (auto _ : state) {
        canvas.StretchDraw(Rect(0, 0, kWidth, kHeight), &bitmap);
        benchmark::DoNotOptimize(surface.Data());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
    state.SetLabel(mode == HALFTONE ? "HALFTONE" : "COLORONCOLOR");
}
BENCHMARK(BM_StretchDraw640x480To1920x1080)->ArgName("mode")->Arg(COLORONCOLOR)->Arg(HALFTONE);

}  // namespace
