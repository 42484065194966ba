#pragma once

#include "core/UserMessage.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The executable as the first word of an Exec line. Quoted only where the
// Desktop Entry rules require it, for a path holding a blank or a reserved
// character (" ' \ > < ~ | & ; $ * ? # ( ) `, a control character): the
// desktop's own tools take the first word as it stands and cannot read a
// quoted path. Inside the quotes '"', '`', '$' and '\' are escaped; '%' is
// doubled either way; then the word is escaped once more as a desktop-entry
// string (so a backslash in the path is written as four). Line breaks and
// tabs become the string escapes \n, \t, \r.
std::string desktopExecProgram(std::string_view executablePath);

// The program as the user started it, for the Exec line: argv0 when it
// names a path (made absolute against the folder it was started in, with
// "." steps taken out and symbolic links kept as they are), else the first
// executable file of that name in the PATH list. Empty when neither names
// an executable file.
std::string startedProgramPath(std::string_view argv0, std::string_view startFolder,
                               std::string_view pathVariable);

// The folder the program was started in as the user knows it: $PWD (pwd)
// when it is absolute and names the current folder (the path through links
// the shell keeps), else the current folder itself.
std::string startFolder(const char *pwd);

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

// One picture of the program's icon for the user's hicolor theme: its size
// folder ("scalable", "48x48"), its file type ("svg", "png") and its bytes.
struct DesktopIcon
{
    std::string size;
    std::string extension;
    std::string bytes;
};

// Where the registration goes: the executable to start, $XDG_DATA_HOME and
// $XDG_CONFIG_HOME (absolute; their defaults already applied), and the
// pictures of the icon the entry names.
struct DesktopPlaces
{
    std::string executable;
    std::string dataHome;
    std::string configHome;
    std::vector<DesktopIcon> icons;
};
std::string desktopEntryPath(const DesktopPlaces &places);  // <data>/applications/corvane.desktop
std::string mimeappsListPath(const DesktopPlaces &places);  // <config>/mimeapps.list
// <data>/icons/hicolor/<size>/apps/corvane.<extension>
std::string desktopIconPath(const DesktopPlaces &places, const DesktopIcon &icon);

// Makes Corvane the desktop's web browser: writes the icon's pictures into
// the user's hicolor theme (so that "Icon=corvane" names a picture without
// an installation; one that cannot be written leaves the desktop's generic
// icon and fails nothing), the desktop entry, then
// our defaults into mimeapps.list (a symbolic link there is followed, so the
// file it names is edited), each atomically. A mimeapps.list that exists
// but cannot be read is left alone rather than replaced. False when either
// file could not be written.
bool registerDefaultBrowser(const DesktopPlaces &places);

// Told when registerDefaultBrowser failed (exclamation icon).
UserMessage registrationFailedMessage(const DesktopPlaces &places);

} // namespace corvane
