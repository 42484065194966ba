// What an exit stores, with a full store: the address history, the main
// window's placement, the script-debugger switch, the "default" workspace of
// ten windows and the bars, each through the settings store as the main
// window stores them. Every exit differs from the one before (the history's
// order, the placement, the workspace), so each one rewrites the file.
//
// transaction:0 is one rewrite per call (how the exit saved before),
// transaction:1 one deferred commit for the whole exit, one rewrite.
// corvane_exit_saves (exit_saves.cpp) runs the same exits as a process of
// its own, for timing from outside.

#include "BenchStore.h"
#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

namespace {

void BM_ExitSaves(benchmark::State &state)
{
    BenchStore bench(state.range(0) != 0);
    const bool transaction = state.range(1) != 0;
    std::vector<std::string> history = bench.store->loadAddressHistory();
    int exitNumber = 0;
    for (auto _ : state) {
        std::optional<SettingsStore::DeferredCommit> saves;
        if (transaction)
            saves.emplace(*bench.store);
        BenchStore::exitSaves(*bench.store, history, ++exitNumber);
    }
}
BENCHMARK(BM_ExitSaves)->ArgNames({"ini", "transaction"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace
