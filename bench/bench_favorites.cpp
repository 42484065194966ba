// The Favorites submenu is rebuilt from the folder at start-up and after every
// Add or Organize: what reading a large favorites tree costs.

#include "core/Favorites.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

// 1000 shortcuts in 10 folders of 10 subfolders of 10 files each, made once
// in a temp folder and removed at exit.
class FavoritesTree
{
public:
    FavoritesTree()
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvane-bench-favorites-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern;
        for (int a = 0; a < 10; ++a) {
            for (int b = 0; b < 10; ++b) {
                const std::string folder =
                    m_path + "/Folder " + std::to_string(a) + "/Topic " + std::to_string(b);
                std::filesystem::create_directories(folder);
                for (int c = 0; c < 10; ++c) {
                    const std::string name = "Site number " + std::to_string(a * 100 + b * 10 + c);
                    std::ofstream(folder + "/" + name + ".url", std::ios::binary)
                        << "[DEFAULT]\r\nBASEURL=http://www.example.org/\r\n[InternetShortcut]\r\nURL=http://www."
                        << name.substr(12) << ".example.org/index.html\r\nIconIndex=0\r\n";
                }
            }
        }
    }
    ~FavoritesTree()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

const FavoritesTree &tree()
{
    static const FavoritesTree t;
    return t;
}

// The menu as built: room for 512, so about half the files are read.
void BM_ScanFavoritesMenu(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(corvane::scanFavorites(tree().path()));
}
BENCHMARK(BM_ScanFavoritesMenu)->Unit(benchmark::kMillisecond);

// Every one of the 1000 files listed and read.
void BM_ScanFavoritesAll1000(benchmark::State &state)
{
    for (auto _ : state) {
        const corvane::FavoritesScan scan = corvane::scanFavorites(tree().path(), 1000);
        if (scan.addresses.size() != 1000)
            state.SkipWithError("the tree did not give 1000 favorites");
        benchmark::DoNotOptimize(scan);
    }
}
BENCHMARK(BM_ScanFavoritesAll1000)->Unit(benchmark::kMillisecond);

} // namespace
