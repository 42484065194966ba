// The open-request channel's rules: which folder it may live in, what is
// said when there is none, and how a connection's bytes become commands.
#include "core/OpenChannel.h"

#include <gtest/gtest.h>

using corvane::FolderFacts;
using corvane::FolderVerdict;

namespace {

constexpr unsigned kUid = 1000;

FolderFacts folder(unsigned owner, unsigned mode, unsigned parentMode = 01777)
{
    FolderFacts f;
    f.exists = true;
    f.isFolder = true;
    f.owner = owner;
    f.mode = mode;
    f.parentMode = parentMode;
    return f;
}

} // namespace

TEST(OpenChannel, OnlyAFolderOfTheUsersAloneHoldsTheChannel)
{
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0700), kUid), FolderVerdict::Private);
    // The user's own, others may look in: closed to them first.
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0755), kUid), FolderVerdict::Tighten);
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0711), kUid), FolderVerdict::Tighten);
    // Another user made it first, whatever its mode.
    EXPECT_EQ(judgeChannelFolder(folder(1001, 0777), kUid), FolderVerdict::OtherOwner);
    EXPECT_EQ(judgeChannelFolder(folder(1001, 0700), kUid), FolderVerdict::OtherOwner);
    EXPECT_EQ(judgeChannelFolder(folder(0, 0700), kUid), FolderVerdict::OtherOwner);
    // The user's, but others may have put their own socket in it.
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0777), kUid), FolderVerdict::OpenToOthers);
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0720), kUid), FolderVerdict::OpenToOthers);
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 01733), kUid), FolderVerdict::OpenToOthers);
    // In a folder anyone may write in without the sticky bit, another user
    // could rename it away; /tmp (sticky) and a private parent are fine.
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0700, 0777), kUid), FolderVerdict::UnsafeParent);
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0700, 0770), kUid), FolderVerdict::UnsafeParent);
    EXPECT_EQ(judgeChannelFolder(folder(kUid, 0700, 0755), kUid), FolderVerdict::Private);

    FolderFacts link = folder(kUid, 0777);
    link.isFolder = false;
    link.isSymbolicLink = true;
    EXPECT_EQ(judgeChannelFolder(link, kUid), FolderVerdict::SymbolicLink);
    FolderFacts file = folder(kUid, 0600);
    file.isFolder = false;
    EXPECT_EQ(judgeChannelFolder(file, kUid), FolderVerdict::NotAFolder);
    EXPECT_EQ(judgeChannelFolder(FolderFacts{}, kUid), FolderVerdict::Missing);
}

TEST(OpenChannel, FallbackFolderAndWhyThereIsNoChannel)
{
    EXPECT_EQ(corvane::fallbackChannelFolder("/tmp", 1000), "/tmp/corvane-1000");
    EXPECT_EQ(corvane::fallbackChannelFolder("/var/tmp/", 0), "/var/tmp/corvane-0");
    EXPECT_EQ(corvane::fallbackChannelFolder("", 7), "/tmp/corvane-7");
    EXPECT_EQ(corvane::fallbackChannelFolder("/", 7), "/corvane-7");

    EXPECT_EQ(corvane::channelOffText("/tmp/corvane-1000", FolderVerdict::OtherOwner),
              "The open-request channel is off: /tmp/corvane-1000 belongs to another user. An address "
              "opened from another program starts a Corvane of its own.");
    EXPECT_NE(corvane::channelOffText("/x", FolderVerdict::OpenToOthers).find("other users may write in /x"),
              std::string::npos);
    EXPECT_NE(corvane::channelOffText("/x", FolderVerdict::SymbolicLink).find("/x is a symbolic link"),
              std::string::npos);
    EXPECT_TRUE(corvane::channelOffText("/x", FolderVerdict::Private).empty());
    EXPECT_TRUE(corvane::channelOffText("/x", FolderVerdict::Tighten).empty());
}

TEST(OpenChannel, EveryCompleteCommandOfAWriteIsTaken)
{
    std::string buffer = "[open(\"a\")]\n[open(\"b\")]\r\n[open(\"c";
    EXPECT_EQ(corvane::takeChannelCommands(buffer),
              (std::vector<std::string>{"[open(\"a\")]", "[open(\"b\")]\r"}));
    EXPECT_EQ(buffer, "[open(\"c");
    buffer += "\")]\n";
    EXPECT_EQ(corvane::takeChannelCommands(buffer), (std::vector<std::string>{"[open(\"c\")]"}));
    EXPECT_TRUE(buffer.empty());
    // Empty lines are commands too (refused by the reader); nothing yet is
    // nothing.
    buffer = "\n\n";
    EXPECT_EQ(corvane::takeChannelCommands(buffer), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(corvane::takeChannelCommands(buffer).empty());
}
