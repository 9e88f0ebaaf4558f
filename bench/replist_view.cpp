// The report list view: a full paint of a 1920 x 1080 view holding 100 rows and holding
// 1,000,000 rows (painting visits only the rows in view, so the two should cost about the
// same), and a sort of 100,000 rows by a click on a column header.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "host/Application.h"
#include "host/platform/Headless.h"
#include "report_list/replist.h"

namespace {

using namespace kovo;

std::unique_ptr<TReportListView> MakeView(int Rows) {
    Headless::Instance();
    auto view = std::make_unique<TReportListView>(nullptr);
    view->SetBounds(0, 0, 1920, 1080);
    view->HandleNeeded();
    Application->ProcessMessages();
    view->SetSuppressPaint(true);
    view->SetNrOfColumns(6);
    view->SetNrOfRows(Rows);
    view->SetColumnCheckMode(5, cmBox);
    view->SetColumnAlignment(3, taRightJustify);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> num(0, 999999);
    for (int r = 1; r <= Rows; ++r) {
        view->SetElem(1, r, "sample " + std::to_string(num(rng)));
        view->SetElem(2, r, "2026-01-" + std::to_string(1 + r % 28));
        view->SetElem(3, r, std::to_string(num(rng) / 1000.0));
        view->SetElem(4, r, r % 2 ? "mV" : "kPa");
        view->SetElem(5, r, "");
        view->SetElemChecked(5, r, r % 3 == 0);
        view->SetElem(6, r, "a rather long comment that will not fit into its column");
    }
    for (int c = 1; c <= 6; ++c) view->SetColWidths(c, 300);
    view->SetSuppressPaint(false);
    return view;
}

void BM_FullPaint(benchmark::State& State) {
    auto view = MakeView(int(State.range(0)));
    for (auto _ : State) view->Paint();
    State.SetLabel(std::to_string(State.range(0)) + " rows");
}
BENCHMARK(BM_FullPaint)->Arg(100)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_HeaderClickSort(benchmark::State& State) {
    auto view = MakeView(100000);
    TRect header = view->CellRect(0, 0);
    int b = view->BorderWidth();
    for (auto _ : State) {
        Headless::Click(view.get(), header.Left + 40 + b, header.Top + 5 + b);
        Headless::Advance(1000);  // the next click is no double click
    }
}
BENCHMARK(BM_HeaderClickSort)->Unit(benchmark::kMillisecond);

}  // namespace
