#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The one road between a stored text (settings, lists, files from the
// Windows world) and the program's UTF-8 strings.
//
// Reading: a text that is well-formed UTF-8 is taken as it is. Any other text
// is read, as a whole, as Windows-1252: every one of the 256 byte values maps
// to one character, the five bytes that code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) to the control characters of the same number
// (U+0081, ...). No byte is ever replaced by U+FFFD, so an entry written by
// the Windows-era program keeps its characters and can be written back.
//
// Writing: we write UTF-8. A text handed to the writer that is not UTF-8 (raw
// stored bytes passed on by mistake) is read by the same rule first, so what
// we write is always well-formed UTF-8.
//
// So decodeStoredText(encodeStoredText(decodeStoredText(x))) equals
// decodeStoredText(x) for every x.
std::string decodeStoredText(std::string_view bytes);
std::string encodeStoredText(std::string_view utf8);
// The same for each entry of a stored list.
std::vector<std::string> decodeStoredTexts(std::vector<std::string> entries);
std::vector<std::string> encodeStoredTexts(std::vector<std::string> entries);

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). The empty text is.
bool isUtf8(std::string_view text);

} // namespace corvane
