#pragma once

#include <string>

namespace corvane {

struct UrlShortcutResult
{
    bool found = false;  // the file holds "URL="
    std::string address; // the address on that line
};

// Reads an Internet shortcut (".url" file, all of its bytes). The address is
// the text after the first "URL=" up to the next line feed; a carriage return
// just before that line feed is dropped, any other character is kept (files
// with LF line ends keep their last character). When no line feed follows,
// the address runs to the end of the file, less a final carriage return.
UrlShortcutResult parseUrlShortcut(const std::string &fileBytes);

// Reads and parses the shortcut file at path. Only a regular file of a
// shortcut's size (up to kMaxUrlShortcutBytes) is read: a pipe would block
// and a device like /dev/zero would never end; those read as empty.
inline constexpr long kMaxUrlShortcutBytes = 1L << 20;
UrlShortcutResult readUrlShortcut(const std::string &path);

// True when the path, lower-cased (ASCII), ends in ".url".
bool isUrlShortcutPath(const std::string &path);

} // namespace corvane
