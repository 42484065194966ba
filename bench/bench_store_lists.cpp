// Storing a long list: the Links Manager's OK with an imported list of many
// links, the Workspace Manager's OK with many workspaces. A store rewrites
// the whole list in one rewrite of the file; its cost must grow with the
// list, no faster. Each round stores another list of the same length (the
// addresses change), so every round rewrites the file.

#include "BenchStore.h"
#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

SettingsStore::LinkMap manyLinks(long count, int round)
{
    SettingsStore::LinkMap links;
    const std::string tail = "/page.html?r=" + std::to_string(round);
    for (long i = 0; i < count; ++i)
        links["Link name " + std::to_string(i)] = "http://link" + std::to_string(i) + ".example.org" + tail;
    return links;
}

void BM_StoreLinks(benchmark::State &state)
{
    BenchStore bench(state.range(1) != 0);
    const long count = state.range(0);
    const SettingsStore::LinkMap lists[2] = {manyLinks(count, 0), manyLinks(count, 1)};
    int round = 0;
    for (auto _ : state)
        bench.store->storeLinks(lists[++round % 2]);
    state.SetComplexityN(count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StoreLinks)
    ->ArgNames({"links", "ini"})
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_StoreWorkspaces(benchmark::State &state)
{
    BenchStore bench(state.range(1) != 0);
    const long count = state.range(0);
    SettingsStore::WorkspaceMap lists[2];
    for (int round = 0; round < 2; ++round) {
        for (long i = 0; i < count; ++i) {
            const std::string name = "Workspace " + std::to_string(i);
            lists[round][name] = BenchStore::tenWindowWorkspace(name, round);
        }
    }
    int round = 0;
    for (auto _ : state)
        bench.store->storeWorkspaces(lists[++round % 2]);
    state.SetComplexityN(count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StoreWorkspaces)
    ->ArgNames({"workspaces", "ini"})
    ->ArgsProduct({{20, 200, 2000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
