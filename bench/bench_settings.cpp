// The settings store reads the backing store at every call and writes
// through at once: what one getter and one setter cost on each back end.

#include "BenchStore.h"
#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

void BM_ReadFonts(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.store->fonts());
}
BENCHMARK(BM_ReadFonts)->ArgName("ini")->Arg(0)->Arg(1);

void BM_ReadHomeUrl(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.store->homeUrl());
}
BENCHMARK(BM_ReadHomeUrl)->ArgName("ini")->Arg(0)->Arg(1);

// Alternating values, so that every call rewrites the file.
void BM_WriteFonts(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    int value = 1;
    for (auto _ : state) {
        bench.store->setFonts(value);
        value = value == 1 ? 2 : 1;
    }
}
BENCHMARK(BM_WriteFonts)->ArgName("ini")->Arg(0)->Arg(1);

// The same value again: nothing to rewrite.
void BM_WriteFontsUnchanged(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    for (auto _ : state)
        bench.store->setFonts(3);
}
BENCHMARK(BM_WriteFontsUnchanged)->ArgName("ini")->Arg(0)->Arg(1);

void BM_LoadLinks(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.store->loadLinks());
}
BENCHMARK(BM_LoadLinks)->ArgName("ini")->Arg(0)->Arg(1);

void BM_StoreAddressHistory(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    std::vector<std::string> history = bench.store->loadAddressHistory();
    for (auto _ : state) {
        std::rotate(history.begin(), history.begin() + 1, history.end());
        bench.store->storeAddressHistory(history);
    }
}
BENCHMARK(BM_StoreAddressHistory)->ArgName("ini")->Arg(0)->Arg(1);

} // namespace
