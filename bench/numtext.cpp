// Reading and writing numeric texts. The real-number reader runs over 1,000,000 varied
// texts (integers, fixed and exponential forms, shortest round-trip forms of doubles of
// every magnitude) side by side with std::strtod and std::from_chars on the same texts.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

constexpr size_t kTexts = 1000000;

std::string Digits(std::mt19937_64& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + rng() % 10);
    return s;
}

const std::vector<std::string>& Texts() {
    static const std::vector<std::string> texts = [] {
        std::mt19937_64 rng(2024);
        std::uniform_real_distribution<double> magnitude(-300.0, 300.0);
        std::vector<std::string> t;
        t.reserve(kTexts);
        for (size_t i = 0; i < kTexts; ++i) {
            const char* sign = rng() % 3 == 0 ? "-" : (rng() % 8 == 0 ? "+" : "");
            switch (i % 4) {
                case 0:  // integers as typed
                    t.push_back(sign + Digits(rng, 1 + int(rng() % 10)));
                    break;
                case 1:  // fixed decimals as typed
                    t.push_back(sign + Digits(rng, 1 + int(rng() % 6)) + "." +
                                Digits(rng, 1 + int(rng() % 8)));
                    break;
                case 2: {  // the fields' own exponential form
                    double x = std::pow(10.0, double(rng() % 190) - 95.0) * (1 + rng() % 9);
                    t.push_back(FormatRealText(6 + 1 + int(rng() % 15), -2, x));
                    break;
                }
                default: {  // shortest texts of doubles of every magnitude
                    char buf[64];
                    double x = std::pow(10.0, magnitude(rng)) * (rng() % 2 ? -1 : 1);
                    auto r = std::to_chars(buf, buf + sizeof buf, x);
                    t.emplace_back(buf, r.ptr);
                    break;
                }
            }
        }
        return t;
    }();
    return texts;
}

void ScanReal(benchmark::State& state) {
    const auto& texts = Texts();
    for (auto _ : state) {
        double sum = 0;
        for (const std::string& s : texts) {
            int pos = 1;
            sum += ScanRealText(s, true, ".", pos);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(texts.size()));
}
BENCHMARK(ScanReal)->Unit(benchmark::kMillisecond);

void Strtod(benchmark::State& state) {
    const auto& texts = Texts();
    for (auto _ : state) {
        double sum = 0;
        for (const std::string& s : texts) sum += std::strtod(s.c_str(), nullptr);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(texts.size()));
}
BENCHMARK(Strtod)->Unit(benchmark::kMillisecond);

void FromChars(benchmark::State& state) {
    const auto& texts = Texts();
    for (auto _ : state) {
        double sum = 0;
        for (const std::string& s : texts) {
            // from_chars takes neither leading blanks nor "+".
            const char* first = s.data();
            const char* last = first + s.size();
            while (first != last && *first == ' ') ++first;
            if (first != last && *first == '+') ++first;
            double v = 0;
            std::from_chars(first, last, v);
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(texts.size()));
}
BENCHMARK(FromChars)->Unit(benchmark::kMillisecond);

void IsReal(benchmark::State& state) {
    const auto& texts = Texts();
    for (auto _ : state) {
        int valid = 0;
        for (const std::string& s : texts) valid += IsRealText(s, true, dpPoint);
        benchmark::DoNotOptimize(valid);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(texts.size()));
}
BENCHMARK(IsReal)->Unit(benchmark::kMillisecond);

void FormatExponential(benchmark::State& state) {
    std::mt19937_64 rng(5);
    std::vector<double> values(100000);
    for (double& v : values) v = std::pow(10.0, double(rng() % 190) - 95.0) * 1.2345678;
    for (auto _ : state) {
        size_t n = 0;
        for (double v : values) n += FormatRealText(12, -2, v).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values.size()));
}
BENCHMARK(FormatExponential)->Unit(benchmark::kMillisecond);

void FormatHex(benchmark::State& state) {
    for (auto _ : state) {
        size_t n = 0;
        for (int v = 0; v < 100000; ++v) n += FormatHexText(v * 7919, 8).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 100000);
}
BENCHMARK(FormatHex)->Unit(benchmark::kMillisecond);

}  // namespace
