#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Making Corvane the desktop's web browser: the desktop entry that starts it
// with the "/dde" switch and the address, and the defaults of the desktop's
// MIME application list. Texts in, texts out; the caller writes the files
// ($XDG_DATA_HOME/applications/<id>, $XDG_CONFIG_HOME/mimeapps.list).

inline constexpr const char *kDesktopId = "corvane.desktop";

// Web pages, XHTML, Internet shortcuts and web addresses.
inline constexpr std::array<std::string_view, 5> kBrowserMimeTypes{
    "text/html", "application/xhtml+xml", "application/x-mswinurl", "x-scheme-handler/http",
    "x-scheme-handler/https"};

// The executable as the first word of an Exec line: always in double quotes,
// with '"', '`', '$' and '\' escaped inside them and '%' doubled, then
// escaped once more as a desktop-entry string (so a backslash in the path is
// written as four). Line breaks and tabs become the string escapes \n, \t, \r.
std::string desktopExecProgram(std::string_view executablePath);

// The whole desktop entry, lines ending in LF, with
// Exec=<quoted executable> /dde %u and the MimeType list above. Nothing when
// the path is not UTF-8, which a desktop entry cannot hold.
std::optional<std::string> desktopEntryText(std::string_view executablePath);

// mimeapps.list with desktopId as the default application for each browser
// MIME type: first in its "[Default Applications]" entry and in its
// "[Added Associations]" entry (the applications listed there before stay,
// after it), and taken out of "[Removed Associations]" for those types.
// Every other line (comments, blank lines, other entries, other groups) is
// kept byte for byte; a missing entry goes after the last entry of its group,
// a missing group at the end. New lines end like the file's first line (LF
// when it has none). An entry that is already as it should be is untouched.
std::string setDefaultApplications(std::string_view mimeappsText, std::string_view desktopId = kDesktopId);

} // namespace corvane
