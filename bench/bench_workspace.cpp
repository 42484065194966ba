#include "core/Workspace.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace corvane;

namespace {

// Ten windows, one of them split in four panes, with addresses of a usual
// length: what a start-up restore reads.
std::string tenWindowWorkspace()
{
    std::vector<std::string> entries;
    for (int i = 0; i < 10; ++i) {
        WorkspaceWindow w;
        w.url = "https://www.example.org/section/page-" + std::to_string(i) + ".html?session=1234567890";
        w.scrollTop = 100 * i;
        if (i == 3) {
            w.rowSplit = 240;
            w.colSplit = 380;
            for (int p = 0; p < 4; ++p) {
                WorkspacePane pane;
                pane.url = w.url + "#pane" + std::to_string(p);
                w.panes.push_back(pane);
            }
        }
        entries.push_back(w.entryText());
    }
    Workspace ws;
    ws.name = "Morning";
    ws.setWindows(entries);
    return ws.text();
}

} // namespace

// Reading a stored workspace whole: the record, its window list and every
// window and pane.
static void BM_WorkspaceParseTenWindows(benchmark::State &state)
{
    const std::string text = tenWindowWorkspace();
    for (auto _ : state) {
        const Workspace ws = Workspace::parse(text);
        std::size_t panes = 0;
        for (const auto &[number, entry] : ws.windowMap())
            panes += WorkspaceWindow::parse(entry).panes.size();
        benchmark::DoNotOptimize(panes);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_WorkspaceParseTenWindows);
