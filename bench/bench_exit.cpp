// What an exit stores, with a full store: the address history, the main
// window's placement, the script-debugger switch, the "default" workspace of
// ten windows and the bars, each through the settings store as the main
// window stores them. Every exit differs from the one before (the history's
// order, the placement, the workspace), so each one rewrites the file.
//
// transaction:0 is one rewrite per call (how the exit saved before),
// transaction:1 one deferred commit for the whole exit, one rewrite.

#include "BenchStore.h"
#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

void exitSaves(SettingsStore &s, std::vector<std::string> &history, int exitNumber)
{
    std::rotate(history.begin(), history.begin() + 1, history.end());
    if (s.saveAddressHistory())
        s.storeAddressHistory(history);
    if (s.savePosition())
        s.saveMainPlacement(false, Rect{88 + exitNumber % 50, 88, 952, 697});
    s.setScriptDebuggerSwitch(s.previousDebuggerValue());
    s.setPreviousDebuggerValue(std::string());
    s.setOverrideScriptDebugging(1);
    SettingsStore::WorkspaceMap workspaces = s.loadWorkspaces();
    workspaces["default"] = BenchStore::tenWindowWorkspace("default", exitNumber);
    s.storeWorkspaces(workspaces);
    s.setHideToolBar(0);
    s.setHideStatusBar(0);
    s.setVersion(kCorvaneVersion);
    s.setOffline(0);
    s.setHideTabs(0);
    s.setShowAddressBar(1);
}

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
        exitSaves(*bench.store, history, ++exitNumber);
    }
}
BENCHMARK(BM_ExitSaves)->ArgNames({"ini", "transaction"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace
