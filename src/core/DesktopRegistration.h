#pragma once

#include "core/UserMessage.h"

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

// --- the question and the registration ------------------------------------------

// The question asked at the first New and from the General page.
inline constexpr const char *kDefaultBrowserTitle = "Default browser alert";
inline constexpr const char *kDefaultBrowserQuestion = "Would you like to make Corvane your default browser?";
inline constexpr const char *kDontAskAgain = "Don't ask this again";

// What an answer does: the BiPassDefault to store (the tick, or 1 after
// Yes, which is asked no more) and whether to register.
struct DefaultBrowserChoice
{
    int biPassDefault = 0;
    bool registerNow = false;
    bool operator==(const DefaultBrowserChoice &) const = default;
};
DefaultBrowserChoice defaultBrowserChoice(bool yes, bool dontAskAgain);

// Where the registration goes: the running executable, $XDG_DATA_HOME and
// $XDG_CONFIG_HOME (absolute; their defaults already applied).
struct DesktopPlaces
{
    std::string executable;
    std::string dataHome;
    std::string configHome;
};
std::string desktopEntryPath(const DesktopPlaces &places);  // <data>/applications/corvane.desktop
std::string mimeappsListPath(const DesktopPlaces &places);  // <config>/mimeapps.list

// Makes Corvane the desktop's web browser: writes the desktop entry, then
// our defaults into mimeapps.list (a symbolic link there is followed, so the
// file it names is edited), each atomically. A mimeapps.list that exists
// but cannot be read is left alone rather than replaced. False when either
// file could not be written.
bool registerDefaultBrowser(const DesktopPlaces &places);

// Told when registerDefaultBrowser failed (exclamation icon).
UserMessage registrationFailedMessage(const DesktopPlaces &places);

} // namespace corvane
