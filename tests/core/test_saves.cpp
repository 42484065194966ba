// Saves that survive anything: writes gathered into one rewrite per file,
// several instances writing at once, and a writer killed at any moment.

#include "core/FileBytes.h"
#include "core/Links.h"
#include "core/SettingsStore.h"
#include "core/UserStore.h"
#include "core/Workspace.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kSettingsKey = "Software\\Tolvek\\Corvane\\Settings";

ino_t inodeOf(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A store on the folder's files; INI mode when asked.
std::unique_ptr<SettingsStore> openStore(const TempFolder &dir, bool iniMode)
{
    if (iniMode && !fileExists(dir.file("Corvane.ini")))
        writeFile(dir.file("Corvane.ini"), "[Settings]\r\nEnableIniFile=1\r\n");
    auto store = std::make_unique<SettingsStore>(
        SettingsStore::Locations{dir.file("Corvane.ini"), dir.file("config/user.store"), dir.path()});
    store->openBackingStore();
    return store;
}

std::string storeFile(const TempFolder &dir, bool iniMode)
{
    return iniMode ? dir.file("Corvane.ini") : dir.file("config/user.store");
}

// --- one generation of everything an exit stores ------------------------------------

// Every value carries the generation g, and the lists' lengths follow it, so
// that a file holding parts of two saves, or a cut one, is told apart from a
// whole one.
void saveGeneration(SettingsStore &s, int g)
{
    const std::string n = std::to_string(g);
    s.setHomeUrl("http://home.example/" + n);
    s.setSearchUrl("http://search.example/?q=" + n);
    s.setMailServer("mail" + n);
    s.saveMainPlacement(false, Rect{g, g + 1, g + 1000, g + 2000});
    std::vector<std::string> history;
    for (int i = 0; i < g % 10 + 1; ++i)
        history.push_back("http://history.example/" + n + "/" + std::to_string(i));
    s.storeAddressHistory(history);
    SettingsStore::LinkMap links;
    for (int i = 0; i < g % 7 + 1; ++i)
        links["Link " + n + "-" + std::to_string(i)] = "http://links.example/" + n;
    s.storeLinks(links);
    std::vector<std::string> words;
    for (int i = 0; i < g % 5 + 1; ++i)
        words.push_back("word" + n + "-" + std::to_string(i));
    s.storeFilter(words);

    corvane::Workspace ws;
    ws.left = g;
    std::vector<std::string> windows;
    for (int i = 0; i < g % 4 + 1; ++i) {
        corvane::WorkspaceWindow w;
        w.url = "http://window.example/" + n + "/" + std::to_string(i);
        windows.push_back(w.entryText());
    }
    ws.setWindows(windows);
    s.storeWorkspaces({{"default", ws.text()}});
}

// The generation the store holds, or -1 with the reason when it does not
// hold one generation whole.
int storedGeneration(const SettingsStore &s, std::string &why)
{
    const std::string home = s.homeUrl();
    const std::string prefix = "http://home.example/";
    if (home.compare(0, prefix.size(), prefix) != 0) {
        why = "home page \"" + home + "\"";
        return -1;
    }
    const int g = std::stoi(home.substr(prefix.size()));
    const std::string n = std::to_string(g);
    const auto fail = [&](const std::string &what) {
        why = "generation " + n + ": " + what;
        return -1;
    };
    if (s.searchUrl() != "http://search.example/?q=" + n || s.mailServer() != "mail" + n)
        return fail("search or mail");
    if (s.restoreMainPlacement({Rect{}, 1}, Rect{-100000, -100000, 100000, 100000}).rect
        != (Rect{g, g + 1, g + 1000, g + 2000}))
        return fail("placement");
    const auto history = s.loadAddressHistory();
    if (int(history.size()) != g % 10 + 1 || history.back() != "http://history.example/" + n + "/" + std::to_string(g % 10))
        return fail("history");
    const auto links = s.loadLinks();
    if (int(links.size()) != g % 7 + 1 || links.begin()->second != "http://links.example/" + n)
        return fail("links");
    const auto words = s.loadFilter();
    if (int(words.size()) != g % 5 + 1 || words.back() != "word" + n + "-" + std::to_string(g % 5))
        return fail("filter");
    const auto workspaces = s.loadWorkspaces();
    if (workspaces.size() != 1 || !workspaces.count("default"))
        return fail("workspaces");
    const corvane::Workspace ws = corvane::Workspace::parse(workspaces.at("default"));
    const auto windows = ws.windowMap();
    if (ws.left != g || int(windows.size()) != g % 4 + 1
        || corvane::WorkspaceWindow::parse(windows.rbegin()->second).url
               != "http://window.example/" + n + "/" + std::to_string(g % 4))
        return fail("workspace windows");
    return g;
}

// --- deferred commits ----------------------------------------------------------------

class DeferredSaves : public ::testing::TestWithParam<bool>
{
protected:
    bool iniMode() const { return GetParam(); }
    TempFolder m_dir;
};

TEST_P(DeferredSaves, AllWritesOfATransactionAreOneRewriteReadBackAtOnce)
{
    auto store = openStore(m_dir, iniMode());
    saveGeneration(*store, 1);
    const std::string file = storeFile(m_dir, iniMode());
    const std::string before = readFile(file);
    const ino_t inode = inodeOf(file);
    {
        SettingsStore::DeferredCommit saves(*store);
        saveGeneration(*store, 2);
        store->setHideToolBar(1);
        EXPECT_EQ(readFile(file), before) << "nothing is written yet";
        std::string why;
        EXPECT_EQ(storedGeneration(*store, why), 2) << why << ": the store reads its own writes";
        EXPECT_EQ(store->hideToolBar(), 1);
        {
            SettingsStore::DeferredCommit inner(*store);
            store->setHideStatusBar(1);
        }
        EXPECT_EQ(readFile(file), before) << "a nested transaction leaves the writing to the outer one";

        // Another instance reads the old version meanwhile.
        auto other = openStore(m_dir, iniMode());
        EXPECT_EQ(storedGeneration(*other, why), 1) << why;
        EXPECT_EQ(inodeOf(file), inode);
    }
    EXPECT_NE(inodeOf(file), inode) << "written when the transaction ends";
    auto reread = openStore(m_dir, iniMode());
    std::string why;
    EXPECT_EQ(storedGeneration(*reread, why), 2) << why;
    EXPECT_EQ(reread->hideToolBar(), 1);
    EXPECT_EQ(reread->hideStatusBar(), 1);
}

TEST_P(DeferredSaves, ATransactionKeepsWhatAnotherInstanceWroteMeanwhile)
{
    auto store = openStore(m_dir, iniMode());
    auto other = openStore(m_dir, iniMode());
    store->setLinksAlwaysOn(0);
    {
        SettingsStore::DeferredCommit saves(*store);
        store->setHomeUrl("http://mine.example/");
        store->storeFilter({"mine"});
        other->setSearchUrl("http://theirs.example/");
        other->storeSallyport({"theirs.example"});
        other->setHomeUrl("http://theirs.example/");
        // Our reads see their writes under our own.
        EXPECT_EQ(store->searchUrl(), "http://theirs.example/");
        EXPECT_EQ(store->homeUrl(), "http://mine.example/");
    }
    EXPECT_EQ(other->homeUrl(), "http://mine.example/") << "the later write wins";
    EXPECT_EQ(other->searchUrl(), "http://theirs.example/");
    EXPECT_EQ(other->loadFilter(), std::vector<std::string>{"mine"});
    EXPECT_EQ(other->loadSallyport(), std::vector<std::string>{"theirs.example"});
}

TEST_P(DeferredSaves, AFailedTransactionIsReportedOnceAndLeavesTheFile)
{
    openStore(m_dir, iniMode())->setHomeUrl("http://before.example/");
    const std::string file = storeFile(m_dir, iniMode());
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0755), 0);
    ::chmod(m_dir.file("config").c_str(), 0755);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_TRUE(runUnprivileged([&] {
        auto store = openStore(m_dir, iniMode());
        int reports = 0;
        store->setSaveFailureHandler([&](const std::string &, SettingsStore::StoreProblem) { ++reports; });
        bool written = true;
        {
            SettingsStore::DeferredCommit saves(*store);
            store->setHomeUrl("http://after.example/");
            store->setHideTabs(1);
            if (reports != 0 || store->homeUrl() != "http://after.example/")
                return false;
            written = saves.commit();
        }
        return !written && reports == 1;
    }));
    EXPECT_EQ(openStore(m_dir, iniMode())->homeUrl(), "http://before.example/");
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, DeferredSaves, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "Ini" : "UserStore"; });

TEST(FileBytes, ReplaceFileLeavesNoTempFileBehind)
{
    TempFolder dir;
    const std::string path = dir.file("file.txt");
    ASSERT_TRUE(corvane::writeFileBytes(path, "one"));
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(corvane::writeFileBytes(path, "two"));
    EXPECT_EQ(readFile(path), "two");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "the permissions stay";
    EXPECT_EQ(corvane::replaceFile(path, "three", 0600, [](int) { return false; }),
              corvane::ReplaceOutcome::Failed);
    EXPECT_EQ(readFile(path), "two") << "an abandoned rewrite changes nothing";
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

// --- several processes -------------------------------------------------------------------

// Runs each body in a child process, all released at the same moment; true
// when every child returned true.
bool runTogether(const std::vector<std::function<bool()>> &bodies)
{
    int gate[2];
    if (::pipe(gate) != 0)
        return false;
    std::vector<pid_t> children;
    for (const auto &body : bodies) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char c;
            [[maybe_unused]] const ssize_t n = ::read(gate[0], &c, 1); // returns at the close
            ::_exit(body() ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    bool ok = true;
    for (const pid_t pid : children) {
        int status = 0;
        ok = ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ok;
    }
    return ok;
}

class TwoInstances : public DeferredSaves
{
};

TEST_P(TwoInstances, WritingDifferentSettingsAtOnceKeepsBoth)
{
    openStore(m_dir, iniMode()); // the INI switch in place before they start
    constexpr int kRounds = 100;
    const auto writer = [&](bool first) {
        return [&, first] {
            auto s = openStore(m_dir, iniMode());
            for (int i = 1; i <= kRounds; ++i) {
                if (i % 2) { // alone, and as part of a transaction
                    first ? s->setHomeUrl("a" + std::to_string(i)) : s->setSearchUrl("b" + std::to_string(i));
                } else {
                    SettingsStore::DeferredCommit saves(*s);
                    first ? s->setHomeUrl("a" + std::to_string(i)) : s->setSearchUrl("b" + std::to_string(i));
                    first ? s->setHideToolBar(i) : s->setHideStatusBar(i);
                }
            }
            return true;
        };
    };
    ASSERT_TRUE(runTogether({writer(true), writer(false)}));
    auto s = openStore(m_dir, iniMode());
    EXPECT_EQ(s->homeUrl(), "a" + std::to_string(kRounds));
    EXPECT_EQ(s->searchUrl(), "b" + std::to_string(kRounds));
    EXPECT_EQ(s->hideToolBar(), kRounds);
    EXPECT_EQ(s->hideStatusBar(), kRounds);
}

TEST_P(TwoInstances, WritingTheSameListAtOnceEndsWithOneOfThemWhole)
{
    openStore(m_dir, iniMode());
    const SettingsStore::LinkMap mine{{"a", "http://a.example/"}, {"b", "http://b.example/"}, {"c", ""},
                                      {"d", "http://d.example/"}, {"e", "http://e.example/"}};
    const SettingsStore::LinkMap theirs{{"x", "http://x.example/"}, {"y", "http://y.example/"}};
    const auto writer = [&](const SettingsStore::LinkMap &links) {
        return [&, links] {
            auto s = openStore(m_dir, iniMode());
            for (int i = 0; i < 60; ++i)
                s->storeLinks(links);
            return true;
        };
    };
    ASSERT_TRUE(runTogether({writer(mine), writer(theirs)}));
    const SettingsStore::LinkMap result = openStore(m_dir, iniMode())->loadLinks();
    EXPECT_TRUE(result == mine || result == theirs) << result.size() << " links";
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, TwoInstances, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "Ini" : "UserStore"; });

// --- killed while saving -------------------------------------------------------------------

// A folder in memory when the system has one: a kill tests what the kernel
// holds, the same on any file system, and a thousand rounds of synced
// rewrites on a disk would take minutes.
class MemoryFolder : public TempFolder
{
public:
    MemoryFolder() : TempFolder(memoryBase()) {}

private:
    static std::string memoryBase()
    {
        struct stat st;
        if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0)
            return "/dev/shm";
        return std::string();
    }
};

// Temp files a rewrite of the file left beside it.
int tempFilesOf(const std::string &file)
{
    const std::filesystem::path path(file);
    const std::string prefix = "." + path.filename().string() + ".";
    int count = 0;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(path.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        count += name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
    }
    return count;
}

// A child saves generation after generation (the settings, lists and
// workspaces of an exit in one transaction, then a links file export) and
// reports each one done on a pipe; it is killed at a random moment. The
// files read afterwards hold the last reported generation or the one after
// it, whole. Half the rounds run on the per-user store, half on the INI file.
TEST(KilledWhileSaving, EveryFileIsTheOldOrTheNewVersionWhole)
{
    constexpr int kKills = 1000;
    std::mt19937 random(20240611u);
    MemoryFolder folders[2];
    int midWrite = 0;
    int lastDone = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const bool iniMode = kill % 2 == 1;
        const TempFolder &dir = folders[kill % 2];
        const std::string linksFile = dir.file("export.lks");
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(report[0]);
            auto store = openStore(dir, iniMode);
            std::string why;
            int g = std::max(storedGeneration(*store, why), 0);
            for (;;) {
                ++g;
                {
                    SettingsStore::DeferredCommit saves(*store);
                    saveGeneration(*store, g);
                }
                SettingsStore::LinkMap links;
                for (int i = 0; i < g % 7 + 1; ++i)
                    links["Link " + std::to_string(g) + "-" + std::to_string(i)] = "http://x/";
                corvane::writeLinksFileBytes(linksFile, corvane::linksFileText(links));
                if (::write(report[1], &g, sizeof g) != ssize_t(sizeof g))
                    ::_exit(1);
            }
        }
        ::close(report[1]);
        ASSERT_GT(pid, 0);
        // The first save of this child done, then a moment into the next ones.
        int done = 0;
        ASSERT_EQ(::read(report[0], &done, sizeof done), ssize_t(sizeof done));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";
        int g = 0;
        while (::read(report[0], &g, sizeof g) == ssize_t(sizeof g))
            done = g;
        ::close(report[0]);

        const std::string file = storeFile(dir, iniMode);
        ASSERT_GT(readFile(file).size(), 0u) << "round " << kill;
        // A kill in mid-rewrite leaves its temp file; the next rewrite under
        // the lock removes it, so there is never more than one.
        const int left = tempFilesOf(file);
        ASSERT_LE(left, 1) << "round " << kill;
        midWrite += left;
        auto store = openStore(dir, iniMode);
        std::string why;
        const int stored = storedGeneration(*store, why);
        ASSERT_GE(stored, 0) << "round " << kill << ": " << why;
        ASSERT_TRUE(stored == done || stored == done + 1)
            << "round " << kill << ": stored " << stored << ", last done " << done;

        const std::optional<corvane::LinkMap> links = corvane::parseLinksFile(readFile(linksFile));
        ASSERT_TRUE(links && !links->empty()) << "round " << kill;
        const std::string name = links->begin()->first; // "Link G-0"
        const int linksGeneration = std::stoi(name.substr(5));
        EXPECT_EQ(int(links->size()), linksGeneration % 7 + 1) << "round " << kill;
        EXPECT_TRUE(linksGeneration == done || linksGeneration == done + 1) << "round " << kill;
        lastDone = std::max(lastDone, done);
    }
    std::printf("%d kills, up to generation %d, %d of them in mid-rewrite of the store\n", kKills, lastDone,
                midWrite);
}

} // namespace
