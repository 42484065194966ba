#include "core/ProfileFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include <fcntl.h>

namespace {

TEST(ProfileFile, ReadsWithProfileRules)
{
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    writeFile(path, "\xEF\xBB\xBF[Settings]\n"
                    "; comment=not a key\n"
                    "  Name  =  value with blanks   \n"
                    "Quoted=\"  spaced  \"\n"
                    "Single='x'\n"
                    "Mixed=\"x'\n"
                    "Dup=first\n"
                    "dup=second\n"
                    "Empty=\n"
                    "Number= -12abc\n"
                    "[ SETTINGS ]\n"
                    "Other=in the duplicate section\n"
                    "[Links\\Placement]\n"
                    "Left=5\n"
                    "[Bytes]\n"
                    "Raw=\xC3\xA9\xB7\x7C\xB7\x01\xFF");
    ProfileFile ini(path);

    EXPECT_EQ(ini.getString("settings", "NAME"), "value with blanks");
    EXPECT_EQ(ini.getString("Settings", "Quoted"), "  spaced  ");
    EXPECT_EQ(ini.getString("Settings", "Single"), "x");
    EXPECT_EQ(ini.getString("Settings", "Mixed"), "\"x'");
    EXPECT_EQ(ini.getString("Settings", "DUP"), "first");
    EXPECT_EQ(ini.value("Settings", "Empty"), std::optional<std::string>(""));
    EXPECT_EQ(ini.value("Settings", "Other"), std::nullopt) << "the first of duplicate sections counts";
    EXPECT_EQ(ini.value("Settings", "; comment"), std::nullopt);
    EXPECT_EQ(ini.getInt("links\\placement", "left", 0), 5);
    EXPECT_EQ(ini.value("Placement", "Left"), std::nullopt);
    EXPECT_EQ(ini.getString("Bytes", "Raw"), "\xC3\xA9\xB7\x7C\xB7\x01\xFF");

    EXPECT_EQ(ini.getString("Settings", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.getInt("Settings", "Missing", -3), -3);
    EXPECT_EQ(ini.getInt("Settings", "Empty", 7), 7);
    EXPECT_EQ(ini.getInt("Settings", "Number", 7), -12);
    EXPECT_EQ(ini.getInt("Settings", "Name", 7), 0);
    EXPECT_EQ(ProfileFile::parseInt("+3", 5), 3);
    EXPECT_EQ(ProfileFile::parseInt("4294967297", 5), 1);
    EXPECT_EQ(ProfileFile::parseInt("0x10", 5), 0);
}

TEST(ProfileFile, RewriteKeepsSpellingAndPlacesNewEntries)
{
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    ProfileFile ini(path);
    EXPECT_TRUE(ini.deleteKey("Settings", "A"));
    EXPECT_TRUE(ini.deleteSection("Settings"));
    EXPECT_FALSE(fileExists(path)) << "a delete that removes nothing must not create the file";

    writeFile(path, "[Settings]\n"
                    "EnableINIFile=1\n"
                    "; keep me\n"
                    "Other=2\n"
                    "\n"
                    "[Next]\n"
                    "A=1");
    EXPECT_TRUE(ini.writeString("settings", "enableinifile", "0"));
    EXPECT_TRUE(ini.writeString("SETTINGS", "New", "n"));
    EXPECT_TRUE(ini.writeString("Added", "K", "v"));
    EXPECT_TRUE(ini.writeInt("next", "B", -2));
    EXPECT_EQ(readFile(path), "[Settings]\r\n"
                              "EnableINIFile=0\r\n"
                              "; keep me\r\n"
                              "Other=2\r\n"
                              "New=n\r\n"
                              "\r\n"
                              "[Next]\r\n"
                              "A=1\r\n"
                              "B=-2\r\n"
                              "\r\n"
                              "[Added]\r\n"
                              "K=v\r\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Settings", "Next", "Added"}));

    // Writing the value a key already has leaves the file as it is.
    writeFile(path, "[Settings]\nEnableIniFile = 0\n");
    EXPECT_TRUE(ini.writeInt("Settings", "EnableIniFile", 0));
    EXPECT_EQ(readFile(path), "[Settings]\nEnableIniFile = 0\n");
}

TEST(ProfileFile, WritesGoToTheFirstOfDuplicatesAndDeletesRemoveAll)
{
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    writeFile(path, "[S]\r\nK=1\r\nk=2\r\nJ=3\r\n[s]\r\nK=4\r\nL=5\r\n[T]\r\nX=1\r\n");
    ProfileFile ini(path);

    EXPECT_TRUE(ini.writeString("S", "K", "one"));
    EXPECT_EQ(readFile(path), "[S]\r\nK=one\r\nk=2\r\nJ=3\r\n[s]\r\nK=4\r\nL=5\r\n[T]\r\nX=1\r\n");

    EXPECT_TRUE(ini.deleteKey("S", "K"));
    EXPECT_EQ(ini.value("S", "K"), std::nullopt) << "a later duplicate must not come back";
    EXPECT_EQ(readFile(path), "[S]\r\nJ=3\r\n[s]\r\nL=5\r\n[T]\r\nX=1\r\n");

    EXPECT_TRUE(ini.deleteSection("S"));
    EXPECT_EQ(readFile(path), "[T]\r\nX=1\r\n");
}

TEST(ProfileFile, ValuesReadBackExactly)
{
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    ProfileFile ini(path);
    const std::vector<std::string> values = {
        "  leading", "trailing\t", "\"quoted\"", "'single'", "\"", "", " ",
        "\xE6\x97\xA5\xB7\x7C\xB7\xC2\xB7", std::string("nul\0byte", 8),
    };
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_TRUE(ini.writeString("Values", "V" + std::to_string(i), values[i]));
    ProfileFile other(path);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(other.getString("Values", "V" + std::to_string(i)), values[i]) << i;

    // A line cannot hold a line break: it becomes a space, and no entry can
    // be smuggled in.
    EXPECT_TRUE(ini.writeString("Values", "Broken", "one\r\n[Settings]\nEnableIniFile=1"));
    EXPECT_EQ(other.getString("Values", "Broken"), "one  [Settings] EnableIniFile=1");
    EXPECT_EQ(other.value("Settings", "EnableIniFile"), std::nullopt);

    EXPECT_FALSE(ini.writeString("Values", "a=b", "x"));
    EXPECT_FALSE(ini.writeString("Values", "[K]", "x"));
    EXPECT_FALSE(ini.writeString("Bad\nSection", "K", "x"));
}

TEST(ProfileFile, HeldInMemoryWritesTheBytesTheFileGets)
{
    // The same edits, deferred and not, to the same bytes on the disk and in
    // memory: the same result, and nothing on the disk for the memory one.
    const std::string before = "; comment\n[Links]\nLink1=a\n\n[Other]\r\nKey = ' x '\r\n";
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    writeFile(path, before);
    ProfileFile disk(path);
    ProfileFile memory(MemoryFile{before});
    EXPECT_TRUE(memory.path().empty());
    for (ProfileFile *ini : {&disk, &memory}) {
        ini->writeString("Links", "Link2", " b ");
        ini->beginDeferred();
        ini->writeInt("New", "N", -3);
        ini->deleteKey("Other", "KEY");
        EXPECT_EQ(ini->getInt("New", "N", 0), -3);
        ini->endDeferred();
        ini->deleteSection("other");
    }
    EXPECT_EQ(memory.contents(), readFile(path));
    EXPECT_EQ(ProfileFile(MemoryFile{memory.contents()}).getString("Links", "Link2"), " b ");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ProfileFile, ObjectsOnOneFileSeeEachOthersWrites)
{
    TempFolder dir;
    ProfileFile a(dir.file("Corvane.ini"));
    ProfileFile b(dir.file("Corvane.ini"));
    // Same-size values in quick succession: a cached version must never be
    // taken for a new one (inode numbers get reused).
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE((i % 3 ? a : b).writeInt("S", "K", i % 10));
        ASSERT_EQ((i % 3 ? b : a).getInt("S", "K", -1), i % 10) << i;
    }
}

TEST(ProfileFile, ConcurrentWritersLoseNothing)
{
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    constexpr int kWriters = 3;
    constexpr int kKeys = 30;
    pid_t children[kWriters];
    for (int w = 0; w < kWriters; ++w) {
        children[w] = ::fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            ProfileFile ini(path);
            bool ok = true;
            for (int k = 0; k < kKeys; ++k)
                ok = ini.writeInt("W" + std::to_string(w), "K" + std::to_string(k), k) && ok;
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ProfileFile ini(path);
    for (int w = 0; w < kWriters; ++w) {
        for (int k = 0; k < kKeys; ++k)
            EXPECT_EQ(ini.getInt("W" + std::to_string(w), "K" + std::to_string(k), -1), k);
    }
}

TEST(ProfileFile, ReadOnlyFolderRewritesTheFileInPlace)
{
    // An install under /opt: the folder refuses a temp file, the file itself
    // is writable. The file is rewritten where it stands, under its lock.
    TempFolder dir;
    const std::string folder = dir.file("readonly");
    const std::string path = folder + "/Corvane.ini";
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    writeFile(path, "; kept\r\n[Settings]\r\nLogging=1\r\nHomeURL=http://a.long.address.example/index.html\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    EXPECT_TRUE(runUnprivileged([&] {
        ProfileFile ini(path);
        ProfileFile other(path);
        const int seen = other.getInt("Settings", "Logging", -1); // caches the old content
        return seen == 1 && ini.writeInt("Settings", "Logging", 0) && ini.writeString("Settings", "HomeURL", "x")
               && ini.getInt("Settings", "Logging", -1) == 0 && other.getInt("Settings", "Logging", -1) == 0
               && other.getString("Settings", "HomeURL") == "x";
    }));
    EXPECT_EQ(readFile(path), "; kept\r\n[Settings]\r\nLogging=0\r\nHomeURL=x\r\n") << "shorter: cut to size";
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temp file left";
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
}

TEST(ProfileFile, FailedWritesAreIgnoredAndKeepTheFile)
{
    TempFolder dir;
    const std::string path = dir.file("Corvane.ini");
    const std::string original = "[Settings]\r\nLogging=1\r\n";
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    writeFile(path, original);

    // A file the user may not write is not replaced, whatever its folder allows.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(runUnprivileged([&] { return !ProfileFile(path).writeInt("Settings", "Logging", 0); }));
    EXPECT_EQ(readFile(path), original);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_TRUE(runUnprivileged([&] { return !ProfileFile(path).writeInt("Settings", "Logging", 0); }));
    EXPECT_EQ(readFile(path), original);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);

    EXPECT_FALSE(ProfileFile(dir.file("missing/Corvane.ini")).writeInt("Settings", "Logging", 1));
    EXPECT_FALSE(fileExists(dir.file("missing")));
}

TEST(ProfileFile, OnlyRegularFilesAreReadOrWritten)
{
    // A FIFO (or a device) in place of the file reads as empty at once and
    // is never written through; a FIFO nobody writes would block an open.
    TempFolder dir;
    const std::string fifo = dir.file("Corvane.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    auto done = std::async(std::launch::async, [&] {
        ProfileFile ini(fifo);
        return ini.getInt("Settings", "EnableIniFile", -1) == -1 && ini.sectionNames().empty()
               && !ini.writeInt("Settings", "EnableIniFile", 0);
    });
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the reader blocked on the FIFO, then fail.
        const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
        ::close(writer);
        FAIL() << "blocked on a FIFO";
    }
    EXPECT_TRUE(done.get());
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A folder in place of the file: nothing read, nothing created in it.
    const std::string folder = dir.file("folder.ini");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ProfileFile ini(folder);
    EXPECT_EQ(ini.getInt("Settings", "Logging", -1), -1);
    EXPECT_FALSE(ini.writeInt("Settings", "Logging", 1));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 0);
}

} // namespace
