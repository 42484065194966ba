#include "core/Separators.h"

namespace {

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

} // namespace

std::size_t utf8SequenceLength(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = at(0);

    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            secondMin = 0xA0; // overlong below U+0800
        else if (lead == 0xED)
            secondMax = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            secondMin = 0x90; // overlong below U+10000
        else if (lead == 0xF4)
            secondMax = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }

    if (text.size() - pos < length)
        return 0;
    if (at(1) < secondMin || at(1) > secondMax)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(at(i)))
            return 0;
    }
    return length;
}

std::size_t findSeparatorByte(std::string_view text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (const std::size_t n = utf8SequenceLength(text, i)) {
            i += n;
            continue;
        }
        if (text[i] == kSeparatorByte)
            return i;
        ++i;
    }
    return std::string_view::npos;
}

std::size_t findLinkSeparator(std::string_view text, std::size_t from)
{
    for (std::size_t i = findSeparatorByte(text, from); i != std::string_view::npos;
         i = findSeparatorByte(text, i + 1)) {
        if (text.substr(i, kLinkSeparator.size()) == kLinkSeparator)
            return i;
    }

    // Windows-1252 fallback: the separator's bytes are there, but its first
    // B7 ended what looked like a UTF-8 character (a name ending in "\xC9",
    // E acute, or "\xE2\x80", a-circumflex and the euro sign).
    return from >= text.size() ? std::string_view::npos : text.find(kLinkSeparator, from + 1);
}
