// Writing and reading a report-list document of 100,000 rows x 10 columns through memory
// streams, beside pugixml's plain parse of the same document as the reference. The byte
// rate (MB/s) counts the document's size; "vs_plain_parse" is the time of one load divided
// by that of one plain parse, both in thread CPU time (the machine may be shared).
#include <benchmark/benchmark.h>

#include <ctime>
#include <random>
#include <string>

#include <pugixml.hpp>

#include "report_list/replist.h"

namespace {

using namespace kovo;

constexpr int kRows = 100000;
constexpr int kCols = 10;

double ThreadSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Words, numbers, a check-mark column and a little markup, as a real list has.
TRLData& Source() {
    static TRLData* d = [] {
        auto* data = new TRLData(nullptr);
        data->SetNrOfColumns(kCols);
        data->SetNrOfRows(kRows);
        data->SetColumnCheckMode(kCols, cmBox);
        std::mt19937 rng(4711);
        std::uniform_int_distribution<int> len(3, 14), letter(0, 25), num(0, 999999);
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c) {
                std::string s;
                if (c % 3 == 0) {
                    s = std::to_string(num(rng) / 100.0);
                } else {
                    for (int k = len(rng); k > 0; --k) s += char('a' + letter(rng));
                    if (c == 2 && r % 7 == 0) s += " & <co>";
                }
                data->SetElem(c, r, s);
                if (c == kCols && r % 2 == 0) data->SetElemChecked(c, r, true);
            }
        return data;
    }();
    return *d;
}

const std::string& Document() {
    static const std::string doc = [] {
        TStringStream s;
        Source().WriteToXMLStream(&s, true, "bench");
        return s.DataString();
    }();
    return doc;
}

double PlainParseSeconds() {
    static const double seconds = [] {
        const std::string& doc = Document();
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            const double t0 = ThreadSeconds();
            {
                pugi::xml_document xml;
                xml.load_buffer(doc.data(), doc.size());
            }
            best = std::min(best, ThreadSeconds() - t0);
        }
        return best;
    }();
    return seconds;
}

void BM_Save(benchmark::State& state) {
    TRLData& d = Source();
    const int64_t bytes = int64_t(Document().size());
    for (auto _ : state) {
        TStringStream s;
        d.WriteToXMLStream(&s, true, "bench");
        benchmark::DoNotOptimize(s.Size());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Load(benchmark::State& state) {
    const std::string& doc = Document();
    TRLData d(nullptr);
    double spent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TStringStream s(doc);
        state.ResumeTiming();
        const double t0 = ThreadSeconds();
        if (!d.ReadFromXMLStream(&s, "bench")) state.SkipWithError("document refused");
        spent += ThreadSeconds() - t0;
    }
    state.SetBytesProcessed(state.iterations() * int64_t(doc.size()));
    state.counters["vs_plain_parse"] = spent / double(state.iterations()) / PlainParseSeconds();
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainParse(benchmark::State& state) {
    const std::string& doc = Document();
    for (auto _ : state) {
        pugi::xml_document xml;
        benchmark::DoNotOptimize(xml.load_buffer(doc.data(), doc.size()));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(doc.size()));
}
BENCHMARK(BM_PlainParse)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
