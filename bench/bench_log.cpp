#include "core/NavigationLog.h"
#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// One navigation-log line with logging on: the settings are read, the file is
// opened, locked, appended to and closed, as for every line the program writes.
static void BM_NavigationLogWriteLine(benchmark::State &state)
{
    char pattern[] = "/tmp/corvane-bench-log-XXXXXX";
    if (!::mkdtemp(pattern)) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const fs::path dir = pattern;
    {
        SettingsStore settings(SettingsStore::Locations{
            (dir / "Corvane.ini").string(), (dir / "user-store").string(), dir.string()});
        settings.openBackingStore();
        settings.setLogging(1);
        settings.setLogFile((dir / "bench.log").string());
        NavigationLog log(settings);
        const std::string line = "* Navigation started to URL: [https://example.org/some/page.html?q=1] *";
        for (auto _ : state)
            log.write(line);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_NavigationLogWriteLine);
