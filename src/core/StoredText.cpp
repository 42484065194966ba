#include "core/StoredText.h"

#include "core/Separators.h"

#include <cstdint>

namespace corvane {

namespace {

// Windows-1252 bytes 0x80..0x9F. The undefined ones map to U+0080 + n, like
// the C1 controls of ISO 8859-1, so they come back as the same byte.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

void appendUtf8(std::string &out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string fromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0)
            appendUtf8(out, kHighControls[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

} // namespace

bool isUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t n = utf8SequenceLength(text, pos);
        if (n == 0)
            return false;
        pos += n;
    }
    return true;
}

std::string decodeStoredText(std::string_view bytes)
{
    if (isUtf8(bytes))
        return std::string(bytes);
    return fromWindows1252(bytes);
}

std::string encodeStoredText(std::string_view utf8)
{
    return decodeStoredText(utf8);
}

std::vector<std::string> decodeStoredTexts(std::vector<std::string> entries)
{
    for (std::string &entry : entries)
        entry = decodeStoredText(entry);
    return entries;
}

std::vector<std::string> encodeStoredTexts(std::vector<std::string> entries)
{
    for (std::string &entry : entries)
        entry = encodeStoredText(entry);
    return entries;
}

} // namespace corvane
