// Sorting a report list of 1,000,000 rows on a text column and on a numeric column, beside
// std::stable_sort of the same texts in a std::vector<std::string>. "vs_std_stable_sort" is
// the time of one Sort divided by that of one std::stable_sort of the column's texts, both
// in thread CPU time (the machine may be shared).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "report_list/replist.h"

namespace {

using namespace kovo;

constexpr int kRows = 1000000;

struct Column {
    std::vector<std::string> words;    // mixed-case words of 4 to 12 letters
    std::vector<std::string> numbers;  // decimal numbers with up to two decimals
};

const Column& Data() {
    static const Column data = [] {
        Column c;
        std::mt19937 rng(12345);
        std::uniform_int_distribution<int> len(4, 12), letter(0, 51), num(-5000000, 5000000);
        const char* letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        c.words.reserve(kRows);
        c.numbers.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            std::string w;
            for (int k = len(rng); k > 0; --k) w += letters[letter(rng)];
            c.words.push_back(std::move(w));
            const int n = num(rng);
            c.numbers.push_back(std::to_string(n / 100) + "." + std::to_string(std::abs(n % 100)));
        }
        return c;
    }();
    return data;
}

TRLData& Store() {
    static TRLData* store = [] {
        auto* d = new TRLData(nullptr);
        d->SetNrOfColumns(2);
        d->SetNrOfRows(kRows);
        const Column& c = Data();
        for (int r = 1; r <= kRows; ++r) {
            d->SetElem(1, r, c.words[size_t(r - 1)]);
            d->SetElem(2, r, c.numbers[size_t(r - 1)]);
        }
        return d;
    }();
    return *store;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double StdStableSortSeconds(const std::vector<std::string>& texts) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> copy = texts;
        const double start = CpuSeconds();
        std::stable_sort(copy.begin(), copy.end());
        best = std::min(best, CpuSeconds() - start);
        benchmark::DoNotOptimize(copy.data());
    }
    return best;
}

void SortColumn(benchmark::State& state, int Col, const std::vector<std::string>& texts) {
    TRLData& d = Store();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.UnSort();
        state.ResumeTiming();
        const double start = CpuSeconds();
        d.Sort(Col, -1, true);
        total += CpuSeconds() - start;
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["vs_std_stable_sort"] =
        (total / double(state.iterations())) / StdStableSortSeconds(texts);
}

void BM_RLDataSort_Text(benchmark::State& state) {
    SortColumn(state, 1, Data().words);
}
BENCHMARK(BM_RLDataSort_Text)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RLDataSort_Numeric(benchmark::State& state) {
    SortColumn(state, 2, Data().numbers);
}
BENCHMARK(BM_RLDataSort_Numeric)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StdStableSort_Text(benchmark::State& state) {
    const std::vector<std::string>& texts = Data().words;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = texts;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_StdStableSort_Text)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
