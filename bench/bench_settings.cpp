// The settings store reads the backing store at every call and writes
// through at once: what one getter and one setter cost on each back end.

#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// A store in a fresh temp folder, filled like a used installation: all
// scalar settings, 40 history addresses and 50 links.
class BenchStore
{
public:
    explicit BenchStore(bool iniMode)
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvane-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_dir = pattern;
        if (iniMode)
            std::ofstream(m_dir + "/Corvane.ini", std::ios::binary) << "[Settings]\r\nEnableIniFile=1\r\n";
        store = std::make_unique<SettingsStore>(
            SettingsStore::Locations{m_dir + "/Corvane.ini", m_dir + "/user.store", m_dir});
        store->openBackingStore();

        store->setHomeUrl("http://www.example.org/start.html");
        store->setLogging(1);
        store->setViewRgb(makeRgb(12, 34, 56));
        store->setPassword("secret");
        store->setSearchUrl("http://search.example.org/?q=");
        store->setMailServer("mailto:someone@example.org");
        store->saveMainPlacement(false, Rect{88, 88, 952, 697});
        std::vector<std::string> history;
        for (int i = 0; i < 40; ++i)
            history.push_back("http://site" + std::to_string(i) + ".example.org/page.html");
        store->storeAddressHistory(history);
        SettingsStore::LinkMap links;
        for (int i = 0; i < 50; ++i)
            links["Link name " + std::to_string(i)] = "http://link" + std::to_string(i) + ".example.org/";
        store->storeLinks(links);
    }
    ~BenchStore()
    {
        store.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    std::unique_ptr<SettingsStore> store;

private:
    std::string m_dir;
};

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
