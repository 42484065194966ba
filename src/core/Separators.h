#pragma once

#include <cstddef>
#include <string_view>

// Field separators of the stored link and workspace texts and of .lks lines.
//
// The separators are raw bytes: 0xB7 (a middle dot in Windows-1252) and the
// three bytes 0xB7 0x7C 0xB7 between a link's name and its address. Our texts
// are UTF-8, where 0xB7 also occurs as a continuation byte (U+00B7 itself is
// C2 B7, and many CJK characters carry a B7). So a 0xB7 byte counts as a
// separator only where it does not continue a valid UTF-8 character: names
// and addresses in any script survive the round trip.

inline constexpr char kSeparatorByte = '\xB7';
inline constexpr std::string_view kLinkSeparator{"\xB7\x7C\xB7", 3};

// Length (2..4) of the valid UTF-8 multi-byte sequence starting at pos, or 0
// when the byte there does not start one (ASCII, a stray continuation byte,
// a truncated or overlong sequence, a surrogate).
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos);

// Position of the first separator byte 0xB7 at or after `from` (which must be
// a character boundary), or npos.
std::size_t findSeparatorByte(std::string_view text, std::size_t from = 0);

// Position of the first link separator (0xB7 0x7C 0xB7 whose first byte is a
// separator byte) at or after `from`, or npos.
//
// Texts from the Windows world are Windows-1252: a name ending in, say, one
// of the letters C3..DF (capital accented letters, sharp s) or in "\xE2\x80"
// forms a valid UTF-8 character with the separator's first byte. UTF-8 text
// never has a lone 0xB7 right after '|', so when no separator is found the
// ordinary way, the first "B7 7C B7" whose B7 ended such a character is the
// separator.
std::size_t findLinkSeparator(std::string_view text, std::size_t from = 0);
