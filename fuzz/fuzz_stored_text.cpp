// Stored texts come from any file a user hands us: every byte string decodes
// to well-formed UTF-8 without U+FFFD of our own making, and what we write
// reads back as the same characters.
#include "core/StoredText.h"

#include "FuzzScratch.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const std::string text = corvane::decodeStoredText(bytes);

    fuzz::check(corvane::isUtf8(text));
    fuzz::check(corvane::decodeStoredText(corvane::encodeStoredText(text)) == text);
    if (corvane::isUtf8(bytes))
        fuzz::check(text == bytes);
    else
        fuzz::check(text.find("\xEF\xBF\xBD") == std::string::npos);
    return 0;
}
