#include "core/UserStore.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const std::string kSettingsKey = "Software\\Tolvek\\Corvane\\Settings";

TEST(UserStore, ValuesRoundTripInTheDocumentedForm)
{
    TempFolder dir;
    const std::string path = dir.file("user.store");
    UserStore store(path);
    EXPECT_TRUE(store.writeString(kSettingsKey, "HomeURL", "http://example.org/\"q\"\\"));
    EXPECT_TRUE(store.writeDword(kSettingsKey, "Fonts", 42));
    EXPECT_TRUE(store.writeString(kSettingsKey, "", "default"));
    EXPECT_TRUE(store.writeDword("Software\\Tolvek\\Corvane\\Placement", "Left", -1));
    EXPECT_EQ(readFile(path), "; Corvane per-user store\r\n"
                              "\r\n"
                              "[Software\\Tolvek\\Corvane\\Settings]\r\n"
                              "\"HomeURL\"=\"http://example.org/\\\"q\\\"\\\\\"\r\n"
                              "\"Fonts\"=dword:0000002a\r\n"
                              "@=\"default\"\r\n"
                              "\r\n"
                              "[Software\\Tolvek\\Corvane\\Placement]\r\n"
                              "\"Left\"=dword:ffffffff\r\n");

    std::string allBytes;
    for (int c = 0; c < 256; ++c)
        allBytes += char(c);
    const std::string oddName = "a \"name\" with \\ and = and \xD0\x96";
    ASSERT_TRUE(store.writeString(kSettingsKey, "All", allBytes));
    ASSERT_TRUE(store.writeString(kSettingsKey, oddName, "  padded  "));
    for (int v : {INT_MIN, INT_MAX})
        ASSERT_TRUE(store.writeDword(kSettingsKey, "N" + std::to_string(v), v));

    UserStore fresh(path);
    EXPECT_EQ(fresh.readString(kSettingsKey, "all"), allBytes);
    EXPECT_EQ(fresh.readString(kSettingsKey, oddName), "  padded  ");
    EXPECT_EQ(fresh.readString(kSettingsKey, ""), "default");
    for (int v : {INT_MIN, INT_MAX})
        EXPECT_EQ(fresh.readDword(kSettingsKey, "N" + std::to_string(v)), v);

    // A value of the other type reads as missing.
    EXPECT_EQ(fresh.readDword(kSettingsKey, "HomeURL"), std::nullopt);
    EXPECT_EQ(fresh.readString(kSettingsKey, "Fonts"), std::nullopt);
    store.writeDword(kSettingsKey, "HomeURL", 5);
    EXPECT_EQ(fresh.readString(kSettingsKey, "HomeURL"), std::nullopt);
}

TEST(UserStore, DeleteKeyTakesTheSubtreeIgnoringCase)
{
    TempFolder dir;
    const std::string path = dir.file("user.store");
    writeFile(path, "[Software\\Tolvek\\Corvane\\Links]\n"
                    "\"Link1\"=\"a\"\n"
                    "[Software\\Tolvek\\Corvane\\Links\\Placement]\n"
                    "\"Left\"=dword:00000001\n"
                    "[Software\\Tolvek\\Corvane\\LinksExtra]\n"
                    "\"Keep\"=\"1\"\n"
                    "[SOFTWARE\\TOLVEK\\CORVANE\\LINKS\\Deep\\Er]\n"
                    "\"X\"=\"y\"\n"
                    "[Software\\Other]\n"
                    "\"Keep\"=\"2\"\n");
    UserStore store(path);
    EXPECT_TRUE(store.keyExists("software\\tolvek"));
    EXPECT_FALSE(store.keyExists("Software\\Tolvek\\Corvane\\Link"));
    EXPECT_EQ(store.readString("software\\TOLVEK\\corvane\\links", "LINK1"), "a");

    EXPECT_TRUE(store.deleteKey("software\\tolvek\\corvane\\LINKS"));
    EXPECT_FALSE(store.keyExists("Software\\Tolvek\\Corvane\\Links"));
    EXPECT_FALSE(store.keyExists("Software\\Tolvek\\Corvane\\Links\\Deep\\Er"));
    EXPECT_EQ(store.readString("Software\\Tolvek\\Corvane\\LinksExtra", "Keep"), "1");
    EXPECT_EQ(store.readString("Software\\Other", "Keep"), "2");

    EXPECT_TRUE(store.deleteValue("Software\\Other", "keep"));
    EXPECT_EQ(store.readString("Software\\Other", "Keep"), std::nullopt);
    EXPECT_TRUE(store.keyExists("Software\\Other")) << "deleting the last value keeps the key";
    EXPECT_FALSE(store.writeString("Bad\\", "X", "y"));
}

TEST(UserStore, LinesItCannotReadAreSkippedAndKept)
{
    TempFolder dir;
    const std::string path = dir.file("user.store");
    writeFile(path, "garbage without structure\n"
                    "[Software\\Tolvek\\Corvane\\Settings]\n"
                    "\"Unterminated=\"x\n"
                    "\"Binary\"=hex:01,02\n"
                    "\"BadNumber\"=dword:zz\n"
                    "\"TooLong\"=dword:123456789\n"
                    "\"Trailing\"=\"x\" junk\n"
                    "\"Escapes\"=\"\\x41\\xZZ\\q\\t\"\n");
    UserStore store(path);
    EXPECT_EQ(store.readString(kSettingsKey, "Escapes"), "AxZZq\t");
    for (const char *name : {"Unterminated", "Binary", "BadNumber", "TooLong", "Trailing"}) {
        EXPECT_EQ(store.readString(kSettingsKey, name), std::nullopt) << name;
        EXPECT_EQ(store.readDword(kSettingsKey, name), std::nullopt) << name;
    }

    ASSERT_TRUE(store.writeDword(kSettingsKey, "Binary", 3)); // replaces the unknown value
    const std::string after = readFile(path);
    EXPECT_NE(after.find("garbage without structure\r\n"), std::string::npos);
    EXPECT_NE(after.find("\"TooLong\"=dword:123456789\r\n"), std::string::npos);
    EXPECT_EQ(after.find("hex:"), std::string::npos);
    EXPECT_EQ(UserStore(path).readDword(kSettingsKey, "Binary"), 3);
}

TEST(UserStore, FileAppearsOnlyWithARealChangeAndIsPrivate)
{
    TempFolder dir;
    const std::string path = dir.file("config/Tolvek/user.store");
    UserStore store(path);
    EXPECT_TRUE(store.deleteKey("Software\\Tolvek\\Corvane\\AddressHistory"));
    EXPECT_TRUE(store.deleteValue(kSettingsKey, "X"));
    EXPECT_FALSE(fileExists(dir.file("config")));

    EXPECT_TRUE(store.writeDword(kSettingsKey, "X", 1));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    UserStore other(path);
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE((i % 2 ? store : other).writeDword(kSettingsKey, "K", i % 16));
        ASSERT_EQ((i % 2 ? other : store).readDword(kSettingsKey, "K"), i % 16) << i;
    }
}

TEST(UserStore, HeldInMemoryRoundTripsAnyBytes)
{
    const std::string value("\x01\"\\\r\n\xFF\0end", 10);
    UserStore store(MemoryFile{"[" + std::string(kSettingsKey) + "]\r\n\"Old\"=dword:0000002a\r\n"});
    EXPECT_EQ(store.readDword(kSettingsKey, "Old"), 42);
    EXPECT_TRUE(store.writeString(kSettingsKey, "Bytes", value));
    EXPECT_TRUE(store.deleteValue(kSettingsKey, "Old"));
    const UserStore again(MemoryFile{store.contents()});
    EXPECT_EQ(again.readString(kSettingsKey, "Bytes"), value);
    EXPECT_FALSE(again.readDword(kSettingsKey, "Old").has_value());
}

} // namespace
