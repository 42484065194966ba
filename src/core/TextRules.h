#pragma once

#include <cstddef>
#include <string>

namespace corvane {

// Status texts and page titles as the status bar and the window caption show
// them: up to 128 characters unchanged, a longer text cut to its first 125
// characters followed by "...". Characters are UTF-8 code points; a byte that
// does not belong to a well-formed sequence counts as one character. The cut
// never falls inside a sequence.
inline constexpr std::size_t kDisplayTextLimit = 128;
inline constexpr std::size_t kDisplayTextKept = 125;
std::string truncateForDisplay(const std::string &text);

// The number of bytes of the UTF-8 character starting at text[pos]: 1 to 4 for
// a well-formed sequence (no overlong forms, no surrogates, nothing above
// U+10FFFF), 1 for any byte that does not start one. pos must be < size.
std::size_t utf8CharLength(const std::string &text, std::size_t pos);

// True when the address, upper-cased (ASCII), contains "HTTPS:"; this lights
// the secure indicator ("S").
bool isSecureAddress(const std::string &address);

} // namespace corvane
