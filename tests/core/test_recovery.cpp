// The crash-recovery snapshot's file: one keeper at a time, written whole
// and private, read back only when it holds windows to open.
#include "core/Recovery.h"

#include "TempFolder.h"

#include <memory>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

Workspace withWindows(const std::vector<std::string> &urls)
{
    Workspace ws;
    ws.name = kRecoveryWorkspaceName;
    ws.empty = false;
    std::vector<std::string> entries;
    for (const std::string &url : urls) {
        WorkspaceWindow w;
        w.url = url;
        entries.push_back(w.entryText());
    }
    ws.setWindows(entries);
    return ws;
}

} // namespace

TEST(Recovery, ThePathIsUnderTheDataFolderAndOnlyWindowsCount)
{
    EXPECT_EQ(recoveryFilePath("/home/u/.local/share"), "/home/u/.local/share/Tolvek/Corvane/recovery.cws");
    EXPECT_FALSE(parseRecoverySnapshot(""));
    EXPECT_FALSE(parseRecoverySnapshot(withWindows({}).text())) << "no windows: nothing to ask about";
    EXPECT_FALSE(parseRecoverySnapshot("\x01\x02garbage")) << "a damaged file holds no windows";
    const auto two = parseRecoverySnapshot(withWindows({"http://a/", "http://b/"}).text());
    ASSERT_TRUE(two);
    EXPECT_EQ(two->windowMap().size(), 2u);
}

TEST(Recovery, OneKeeperWritesReadsAndRemovesTheSnapshot)
{
    TempFolder dir;
    const std::string path = dir.file("data/Tolvek/Corvane/recovery.cws");
    auto first = std::make_unique<RecoveryFile>(path);
    ASSERT_TRUE(first->lock()) << "the folders are made";
    EXPECT_FALSE(first->leftOver());
    const std::string text = withWindows({"http://a/"}).text();
    ASSERT_TRUE(first->write(text));
    EXPECT_EQ(readFile(path), text);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "it tells where the user browsed";

    // A second program running at the same time leaves it alone, also from
    // another process.
    RecoveryFile second(path);
    EXPECT_FALSE(second.lock());
    EXPECT_FALSE(second.leftOver());
    EXPECT_FALSE(second.write("x"));
    second.remove();
    EXPECT_EQ(readFile(path), text);
    const pid_t pid = ::fork();
    if (pid == 0) {
        RecoveryFile other(path);
        ::_exit(other.lock() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // The keeper's lock goes with it; the next one finds what it left.
    first.reset();
    RecoveryFile next(path);
    ASSERT_TRUE(next.lock());
    ASSERT_TRUE(next.leftOver());
    EXPECT_EQ(next.leftOver()->text(), text);
    next.remove();
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(next.leftOver());
}
