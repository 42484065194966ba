#include "core/StoredText.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvane;

TEST(StoredText, Utf8StaysAsItIs)
{
    for (const std::string &text : {std::string(), std::string("plain"), std::string("M\xC3\xBCnchen \xE2\x82\xAC"),
                                   std::string("\xF0\x9F\x98\x80"), std::string("a\0b", 3),
                                   std::string("\xEF\xBF\xBD")}) {
        EXPECT_TRUE(isUtf8(text));
        EXPECT_EQ(decodeStoredText(text), text);
        EXPECT_EQ(encodeStoredText(text), text);
    }
}

TEST(StoredText, OtherTextsReadAsWindows1252)
{
    // A history entry from a Windows-era INI.
    EXPECT_EQ(decodeStoredText("http://host/M\xFCnchen"), "http://host/M\xC3\xBCnchen");
    // One bad byte makes the whole text Windows-1252, also the part that
    // would have been UTF-8 on its own.
    EXPECT_EQ(decodeStoredText("\xC3\xA9\xFF"), "\xC3\x83\xC2\xA9\xC3\xBF");
    // The 0x80..0x9F block: euro, quotes, dashes, Z caron, Y diaeresis.
    EXPECT_EQ(decodeStoredText("\x80\x93\x94\x96\x8E\x9F"),
              "\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\x93\xC5\xBD\xC5\xB8");
    // Truncated, overlong and surrogate sequences are not UTF-8.
    for (const std::string bad : {"\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_FALSE(isUtf8(bad)) << bad;
}

TEST(StoredText, EveryByteHasACharacterAndComesBack)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const std::string text = decodeStoredText(all);
    ASSERT_TRUE(isUtf8(text));
    EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos); // never U+FFFD
    // The five undefined bytes become the control characters of their number.
    for (const unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const std::string one = decodeStoredText(std::string(1, char(b)));
        EXPECT_EQ(one, (std::string{char(0xC2), char(b)}));
    }
    // Written and read again: the same characters.
    EXPECT_EQ(decodeStoredText(encodeStoredText(text)), text);
}

TEST(StoredText, WriterNeverWritesInvalidUtf8)
{
    // Raw stored bytes handed to the writer are read by the same rule.
    EXPECT_EQ(encodeStoredText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_TRUE(isUtf8(encodeStoredText("\x9D\xFE\x81")));
}
