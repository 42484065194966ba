#include "core/TextRules.h"

namespace corvane {

namespace {

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::size_t utf8CharLength(const std::string &text, std::size_t pos)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x80)
        return 1;

    std::size_t length = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (lead == 0xED)
            hi = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            lo = 0x90;
        else if (lead == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 1;
    }

    if (pos + length > text.size())
        return 1;
    if (at(pos + 1) < lo || at(pos + 1) > hi)
        return 1;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(at(pos + i)))
            return 1;
    }
    return length;
}

std::string truncateForDisplay(const std::string &text)
{
    // Short texts (the usual case) need no decoding at all.
    if (text.size() <= kDisplayTextLimit)
        return text;

    std::size_t pos = 0;
    std::size_t count = 0;
    std::size_t keptBytes = 0;
    while (pos < text.size()) {
        if (count == kDisplayTextKept)
            keptBytes = pos;
        if (count == kDisplayTextLimit)
            return text.substr(0, keptBytes) + "...";
        pos += utf8CharLength(text, pos);
        ++count;
    }
    return text; // at most 128 characters, however many bytes
}

bool isSecureAddress(const std::string &address)
{
    static constexpr char kNeedle[] = "HTTPS:";
    constexpr std::size_t n = sizeof kNeedle - 1;
    if (address.size() < n)
        return false;
    for (std::size_t i = 0; i + n <= address.size(); ++i) {
        std::size_t j = 0;
        while (j < n && asciiUpper(address[i + j]) == kNeedle[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
}

} // namespace corvane
