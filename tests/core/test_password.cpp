#include "core/Password.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string scrambled(const std::string &password)
{
    std::string bytes = password;
    for (char &c : bytes)
        c = char(static_cast<unsigned char>(c) + 0x15);
    return bytes;
}

TEST(Password, EveryByteOfTheScrambledFormReadsBack)
{
    // A UTF-8 password of every character up to U+00FF, and its
    // Windows-1252 spelling from the Windows world, read as the same text.
    std::string utf8;
    std::string windows;
    for (int c = 0x20; c < 0x100; ++c) {
        if (c >= 0x80 && c < 0xA0)
            continue; // Windows-1252 puts other characters there
        windows += char(c);
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    EXPECT_EQ(corvane::unscrambledPassword(scrambled(utf8)), utf8);
    EXPECT_EQ(corvane::unscrambledPassword(scrambled(windows)), utf8);
    EXPECT_TRUE(corvane::passwordMatches(scrambled(windows), utf8));
    EXPECT_FALSE(corvane::passwordMatches(scrambled(windows), windows)) << "typed text is UTF-8";
    EXPECT_TRUE(corvane::passwordNeedsRehash(scrambled("x")));
}

TEST(Password, HashesAndBrokenStoredValues)
{
    const std::string hash = corvane::passwordHash("pa55 word").value();
    EXPECT_TRUE(corvane::isPasswordHash(hash));
    EXPECT_FALSE(corvane::passwordNeedsRehash(hash));
    EXPECT_TRUE(corvane::passwordMatches(hash, "pa55 word"));
    EXPECT_FALSE(corvane::passwordMatches(hash, "Pa55 word"));
    EXPECT_FALSE(corvane::passwordMatches(hash, ""));

    EXPECT_EQ(corvane::passwordHash("").value(), "");
    EXPECT_TRUE(corvane::passwordMatches("", ""));
    EXPECT_FALSE(corvane::passwordMatches("", "x"));
    EXPECT_FALSE(corvane::passwordNeedsRehash(""));

    // A hand-edited or cut hash refuses every text, and a check rewrites it
    // only after a success, which it never gives.
    for (const std::string &broken : {hash.substr(0, hash.size() - 4), std::string("$argon2id$"),
                                      hash + std::string(200, 'A')}) {
        EXPECT_FALSE(corvane::passwordMatches(broken, "pa55 word")) << broken;
        EXPECT_FALSE(corvane::passwordMatches(broken, "")) << broken;
    }
}

} // namespace
