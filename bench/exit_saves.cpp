// An exit's saves with a full store, as a process of its own, for timing
// from outside (the whole process: the store's set-up is the same for both
// ways and cancels out in a difference):
//
//   corvane_exit_saves ini|user one|each EXITS
//
// ini: the INI file, user: the per-user store. one: each exit's saves are
// one deferred commit, one rewrite (how Corvane exits); each: one rewrite
// per save (how it exited before).
#include "BenchStore.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: corvane_exit_saves ini|user one|each EXITS\n");
        return 2;
    }
    BenchStore bench(std::string(argv[1]) == "ini");
    const bool oneCommit = std::string(argv[2]) == "one";
    const int exits = std::atoi(argv[3]);
    std::vector<std::string> history = bench.store->loadAddressHistory();
    for (int i = 1; i <= exits; ++i) {
        std::optional<SettingsStore::DeferredCommit> saves;
        if (oneCommit)
            saves.emplace(*bench.store);
        BenchStore::exitSaves(*bench.store, history, i);
    }
    return 0;
}
