// Painting a full-screen grid (1920 x 1080, one short text per cell, the same in every row) with 10
// rows and with a million rows. The row height is chosen so that 10 rows fill the screen: both
// grids then show the same cells, and any difference comes from the row count alone. "vs_10_rows"
// is the time of a paint divided by that of the 10-row grid, both timed here alternately in
// processor time. The default row height (24) is measured too, where the million-row grid shows 43
// rows instead of 10.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>

#include "host/Application.h"
#include "host/Grid.h"
#include "host/platform/Headless.h"

namespace {

using namespace kovo;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kTallRow = (kHeight - 4) / 10 - 1;  // ten rows with their lines fill the view

std::unique_ptr<TDrawGrid> MakeGrid(int Rows, int RowHeight, bool Scrolled, int& Cells) {
    Headless::Instance();
    auto grid = std::make_unique<TDrawGrid>(nullptr);
    grid->SetBounds(0, 0, kWidth, kHeight);
    grid->SetColCount(40);
    grid->SetRowCount(Rows);
    grid->SetDefaultRowHeight(RowHeight);
    // A few rows of their own height, as a program sets them.
    for (int r : {3, 7, Rows / 2, Rows - 2}) grid->SetRowHeights(r, RowHeight + 6);
    if (Scrolled) grid->SetTopRow(Rows / 2);
    TDrawGrid* g = grid.get();
    grid->OnDrawCell = [g, &Cells](TObject*, int c, int, TRect R, TGridDrawState) {
        ++Cells;
        // The same texts in every row, so that only the row count differs.
        g->Canvas()->TextRect(R, R.Left + 2, R.Top + 2, "cell " + std::to_string(c));
    };
    grid->Repaint();  // fills the glyph cache
    return grid;
}

// Processor time of this thread: other programs on a shared machine do not count.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double SecondsOf(int Times, TDrawGrid* Grid) {
    const double start = ThreadSeconds();
    for (int i = 0; i < Times; ++i) Grid->Repaint();
    return ThreadSeconds() - start;
}

void BM_PaintGrid(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int height = int(state.range(1));
    const bool scrolled = state.range(2) != 0;
    int cells = 0;
    auto grid = MakeGrid(rows, height, scrolled, cells);
    cells = 0;
    for (auto _ : state) grid->Repaint();
    state.counters["cells"] = double(cells) / double(state.iterations());

    int refCells = 0;
    auto reference = MakeGrid(10, height, false, refCells);
    double mine = 0, ref = 0;
    for (int round = 0; round < 10; ++round) {
        mine += SecondsOf(5, grid.get());
        ref += SecondsOf(5, reference.get());
    }
    state.counters["vs_10_rows"] = mine / ref;
}
// rows, row height, scrolled to the middle
BENCHMARK(BM_PaintGrid)
    ->ArgNames({"rows", "height", "mid"})
    ->Args({10, kTallRow, 0})
    ->Args({1000000, kTallRow, 0})
    ->Args({1000000, kTallRow, 1})
    ->Args({10, 24, 0})
    ->Args({1000000, 24, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The geometry queries a program makes per mouse move, in a million rows.
void BM_MouseCoordMillionRows(benchmark::State& state) {
    int cells = 0;
    auto grid = MakeGrid(1000000, 24, true, cells);
    int y = 0;
    for (auto _ : state) {
        TGridCoord c = grid->MouseCoord(500, 30 + (y++ % 1000));
        benchmark::DoNotOptimize(c);
        TRect r = grid->CellRect(c.X, c.Y);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MouseCoordMillionRows);

}  // namespace
