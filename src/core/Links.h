#pragma once

#include "core/UserMessage.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The links: named web addresses, their one textual form (the stored list's
// "Link%d" values and the lines of a .lks links file), the links file, and
// the Links Manager's rules for editing the list.
//
// A link is a name and an address. An entry added without a name is kept
// under its address with an empty value (an address-only entry); it is
// shown, stored and written as its address alone.
//
// Links file (.lks): the six bytes "Links:" and CR LF, then one line per
// entry, name 0xB7 0x7C 0xB7 address CR LF (or the name alone, CR LF, for an
// address-only entry), in map order; nothing after the last line. Names and
// addresses go through the stored-text pair: we write UTF-8, and on reading
// a name or address that is not UTF-8 is Windows-1252 from the Windows
// world, so accents arrive intact.
//
// An address may hold the separator itself (the first one ends the name;
// later ones are the address's own): it keeps those three bytes, in memory
// and in every file written, and the text between them is read as above.
// So such an address is not one UTF-8 text: linkAddressShown() is the text
// a user sees for it.

namespace corvane {

using LinkMap = std::map<std::string, std::string>; // name -> address ("" address-only)

inline constexpr std::string_view kLinksFileHeader{"Links:"};

// --- one entry ----------------------------------------------------------------

// name, separator, address; or the name alone when the address is empty
// (followed by the separator if the name alone would read otherwise).
std::string linkEntryText(const std::string &name, const std::string &address);

// The inverse, by the first separator (later ones stay in the address); no
// separator: an address-only entry. Nothing for an empty text or one that
// begins with the separator (an empty name). Bytes are kept as they are.
std::optional<std::pair<std::string, std::string>> parseLinkEntry(std::string_view text);

// The address a link opens: its address, or its name for an address-only
// entry.
inline const std::string &linkTarget(const std::string &name, const std::string &address)
{
    return address.empty() ? name : address;
}

// A link's address from its stored bytes and back: the pieces between the
// separators the address holds are decoded (encoded) one by one, and the
// separators keep their bytes.
std::string decodeLinkAddress(std::string_view bytes);
std::string encodeLinkAddress(std::string_view address);
// The address as UTF-8 text to show and edit: a separator it holds shown
// as the characters it stands for in Windows-1252 (U+00B7 | U+00B7).
std::string linkAddressShown(std::string_view address);

// The stored list as the program's UTF-8 text (a Windows-era name or
// address read as Windows-1252, as the stored-text pair reads it), and back
// for storing. Two stored names that read the same keep the later one.
LinkMap decodeStoredLinks(const LinkMap &stored);
LinkMap encodeStoredLinks(const LinkMap &links);

// --- the links file -----------------------------------------------------------------

// The bytes of a links file holding these links (names and addresses as
// UTF-8, a Windows-1252 one converted).
std::string linksFileText(const LinkMap &links);

// The links of a links file's bytes; nothing when they do not begin with
// "Links:" (a UTF-8 byte-order mark before it is allowed). Lines end at LF;
// a CR before the LF is dropped (a line ending in LF alone is read whole);
// the first line is the header; an empty line, or one that begins with the
// separator, is skipped; a later line with the same name replaces an
// earlier one. Text after the last LF is no line: a file cut off in the
// middle of a line (a broken download) does not replace a good entry with
// the start of one.
std::optional<LinkMap> parseLinksFile(std::string_view bytes);

// The path an export writes: ".lks" is appended unless the fourth character
// from the end is a dot (a three-character extension is kept).
std::string linksExportPath(const std::string &chosen);

// Reads a file whole: regular files of at most kMaxLinksFileBytes only (a
// FIFO or a device would never end). Nothing when it cannot be read.
inline constexpr std::size_t kMaxLinksFileBytes = std::size_t(16) << 20;
std::optional<std::string> readLinksFileBytes(const std::string &path);

// Writes the bytes to path through a temp file in the same folder renamed
// over it (in place when the folder refuses a temp file). False on failure,
// and when path names something other than a regular file.
bool writeLinksFileBytes(const std::string &path, const std::string &bytes);

// --- messages ------------------------------------------------------------------------

UserMessage notALinksFileMessage();   // import of a file that is not a links file
UserMessage linksUnreadableMessage(); // import of a file that cannot be read
UserMessage linksSavedMessage();      // export done (when MsgLinksSave is on)
UserMessage linksNotSavedMessage();   // export failed

// --- the Links Manager's list ----------------------------------------------------------

// The links while the Links Manager edits them: a fresh copy of the stored
// list; every edit changes only this copy, OK stores links() whole.
class LinkList
{
public:
    explicit LinkList(LinkMap links = {}) : m_links(std::move(links)) {}

    const LinkMap &links() const { return m_links; }

    // The names as the list shows them: sorted, case ignored.
    std::vector<std::string> names() const;

    // The address OK hands back for the selected name ("" when none is
    // selected or it is unknown).
    std::string targetOf(const std::string &name) const;

    // Add/Edit: what the Add/Edit Link dialog starts with. `selected` is the
    // selected name ("" when nothing is selected), `currentAddress` the page
    // of the window the manager was opened for.
    struct Edit
    {
        std::string selected; // the entry being edited, "" for a new one
        std::string name;
        std::string address;
    };
    Edit beginEdit(const std::string &selected, const std::string &currentAddress) const;

    // The dialog ended with OK holding name and address (the address as
    // linkAddressShown() showed it: left unchanged, the entry keeps its own
    // bytes). The edited entry gives way first; then both filled: name ->
    // address (an address-only entry for that address gives way to it); the
    // address alone: an address-only entry; a name alone or nothing: nothing
    // is added.
    void finishEdit(const Edit &edit, const std::string &name, const std::string &address);

    void remove(const std::string &name) { m_links.erase(name); }
    void reset() { m_links.clear(); }

    // Import: the file's links replace the list. On an error the list stays
    // as it was and the message is handed back.
    std::optional<UserMessage> importFile(const std::string &path);
    std::optional<UserMessage> importBytes(std::string_view bytes);

    // Export to the chosen path (".lks" appended by the rule above). Hands
    // back the message to show: the success notice when showSavedMessage
    // (MsgLinksSave) is on, the failure always.
    std::optional<UserMessage> exportFile(const std::string &chosenPath, bool showSavedMessage) const;

private:
    LinkMap m_links;
};

} // namespace corvane
