#include "core/Links.h"

#include "core/FileBytes.h"
#include "core/ListBoxRules.h"
#include "core/Separators.h"
#include "core/StoredText.h"

#include <cstdint>

namespace corvane {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kCrLf{"\r\n"};
constexpr std::string_view kUtf8Bom{"\xEF\xBB\xBF"};

// Number of characters (UTF-8 code points; a stray byte counts as one) and
// the byte position where each starts.
std::vector<std::size_t> characterStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < text.size()) {
        starts.push_back(i);
        const std::size_t n = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : utf8SequenceLength(text, i);
        i += n ? n : 1;
    }
    return starts;
}

} // namespace

// --- one entry ----------------------------------------------------------------------

std::string linkEntryText(const std::string &name, const std::string &address)
{
    // A name alone, unless it would read as name and address: a Windows-era
    // name may hold what looks like a separator. The separator after it
    // keeps it whole.
    if (address.empty() && findLinkSeparator(name) == npos)
        return name;
    std::string out = name;
    out += kLinkSeparator;
    out += address;
    return out;
}

std::optional<std::pair<std::string, std::string>> parseLinkEntry(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const std::size_t sep = findLinkSeparator(text);
    if (sep == npos)
        return std::make_pair(std::string(text), std::string());
    if (sep == 0)
        return std::nullopt;
    return std::make_pair(std::string(text.substr(0, sep)), std::string(text.substr(sep + kLinkSeparator.size())));
}

namespace {

// The address with each piece between its separators passed through convert.
template<typename Convert>
std::string byPieces(std::string_view address, Convert convert, std::string_view separator)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t at = findLinkSeparator(address); at != npos; at = findLinkSeparator(address, start)) {
        out += convert(address.substr(start, at - start));
        out += separator;
        start = at + kLinkSeparator.size();
    }
    out += convert(address.substr(start));
    return out;
}

} // namespace

std::string decodeLinkAddress(std::string_view bytes)
{
    return byPieces(bytes, decodeStoredText, kLinkSeparator);
}

std::string encodeLinkAddress(std::string_view address)
{
    return byPieces(address, encodeStoredText, kLinkSeparator);
}

std::string linkAddressShown(std::string_view address)
{
    return byPieces(address, decodeStoredText, "\xC2\xB7|\xC2\xB7");
}

LinkMap decodeStoredLinks(const LinkMap &stored)
{
    LinkMap links;
    for (const auto &[name, address] : stored)
        links[decodeStoredText(name)] = decodeLinkAddress(address);
    return links;
}

LinkMap encodeStoredLinks(const LinkMap &links)
{
    LinkMap stored;
    for (const auto &[name, address] : links)
        stored[encodeStoredText(name)] = encodeLinkAddress(address);
    return stored;
}

// --- the links file -----------------------------------------------------------------------

std::string linksFileText(const LinkMap &links)
{
    std::string out(kLinksFileHeader);
    out += kCrLf;
    for (const auto &[name, address] : links) {
        out += linkEntryText(encodeStoredText(name), encodeLinkAddress(address));
        out += kCrLf;
    }
    return out;
}

std::optional<LinkMap> parseLinksFile(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        bytes.remove_prefix(kUtf8Bom.size());
    if (bytes.substr(0, kLinksFileHeader.size()) != kLinksFileHeader)
        return std::nullopt;

    LinkMap links;
    std::size_t start = bytes.find('\n');
    if (start == npos)
        return links;
    ++start;
    // Only lines that end in LF; what follows the last one is ignored.
    for (std::size_t lineEnd = bytes.find('\n', start); lineEnd != npos;
         start = lineEnd + 1, lineEnd = bytes.find('\n', start)) {
        std::string_view line = bytes.substr(start, lineEnd - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (auto entry = parseLinkEntry(line))
            links[decodeStoredText(entry->first)] = decodeLinkAddress(entry->second);
    }
    return links;
}

std::string linksExportPath(const std::string &chosen)
{
    const std::vector<std::size_t> starts = characterStarts(chosen);
    if (starts.size() >= 4 && chosen[starts[starts.size() - 4]] == '.')
        return chosen;
    return chosen + ".lks";
}

std::optional<std::string> readLinksFileBytes(const std::string &path)
{
    return readFileBytes(path, kMaxLinksFileBytes);
}

bool writeLinksFileBytes(const std::string &path, const std::string &bytes)
{
    return writeFileBytes(path, bytes);
}

// --- messages --------------------------------------------------------------------------------

UserMessage notALinksFileMessage()
{
    return {"The file you are trying to open is not a links file.", "Invalid file format", UserMessage::Icon::Stop};
}

UserMessage linksUnreadableMessage()
{
    return {"The file you are trying to open could not be read.", "Open error", UserMessage::Icon::Stop};
}

UserMessage linksSavedMessage()
{
    return {"Your links have been saved successfully.", "File saved", UserMessage::Icon::Information};
}

UserMessage linksNotSavedMessage()
{
    return {"Your links could not be saved to this file.", "Save error", UserMessage::Icon::Stop};
}

// --- LinkList -----------------------------------------------------------------------------------

std::vector<std::string> LinkList::names() const
{
    std::vector<std::string> names;
    names.reserve(m_links.size());
    for (const auto &entry : m_links)
        names.push_back(entry.first);
    sortForListBox(names);
    return names;
}

std::string LinkList::targetOf(const std::string &name) const
{
    const auto it = m_links.find(name);
    return it == m_links.end() ? std::string() : linkTarget(it->first, it->second);
}

LinkList::Edit LinkList::beginEdit(const std::string &selected, const std::string &currentAddress) const
{
    const auto it = m_links.find(selected);
    if (selected.empty() || it == m_links.end())
        return {std::string(), std::string(), currentAddress};
    if (it->second.empty())
        return {selected, std::string(), selected};
    return {selected, selected, it->second};
}

void LinkList::finishEdit(const Edit &edit, const std::string &name, const std::string &typed)
{
    // An address left as it was shown keeps its bytes (a separator in it).
    const std::string address = typed == linkAddressShown(edit.address) ? edit.address : typed;
    // The edited entry gives way, so that a rename or a new address replaces
    // it (an address-only entry too: editing it must not leave the old one).
    if (!edit.selected.empty())
        m_links.erase(edit.selected);

    if (!name.empty() && !address.empty()) {
        // An address-only entry for the same address gives way to the named
        // one; a named link whose name happens to be that text does not.
        const auto same = m_links.find(address);
        if (same != m_links.end() && same->second.empty() && address != name)
            m_links.erase(same);
        m_links[name] = address;
    } else if (name.empty() && !address.empty()) {
        m_links[address] = std::string();
    }
}

std::optional<UserMessage> LinkList::importBytes(std::string_view bytes)
{
    std::optional<LinkMap> links = parseLinksFile(bytes);
    if (!links)
        return notALinksFileMessage();
    m_links = std::move(*links);
    return std::nullopt;
}

std::optional<UserMessage> LinkList::importFile(const std::string &path)
{
    const std::optional<std::string> bytes = readLinksFileBytes(path);
    if (!bytes)
        return linksUnreadableMessage();
    return importBytes(*bytes);
}

std::optional<UserMessage> LinkList::exportFile(const std::string &chosenPath, bool showSavedMessage) const
{
    if (!writeLinksFileBytes(linksExportPath(chosenPath), linksFileText(m_links)))
        return linksNotSavedMessage();
    if (showSavedMessage)
        return linksSavedMessage();
    return std::nullopt;
}

} // namespace corvane
