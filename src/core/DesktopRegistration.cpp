#include "core/DesktopRegistration.h"

#include "core/FileBytes.h"
#include "core/StoredText.h"

#include <algorithm>
#include <vector>

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

constexpr std::string_view kDefaultGroup = "Default Applications";
constexpr std::string_view kAddedGroup = "Added Associations";
constexpr std::string_view kRemovedGroup = "Removed Associations";

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// One line of the file: its text and its line end ("" for a last line
// without one).
struct Line
{
    std::string text;
    std::string end;
};

std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) {
            lines.push_back({std::string(text.substr(pos)), ""});
            break;
        }
        std::size_t end = lf;
        if (end > pos && text[end - 1] == '\r')
            --end;
        lines.push_back({std::string(text.substr(pos, end - pos)), std::string(text.substr(end, lf + 1 - end))});
        pos = lf + 1;
    }
    return lines;
}

// The group a header line opens, or nothing for any other line.
std::optional<std::string_view> groupName(const Line &line)
{
    const std::string_view t = trimBlanks(line.text);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']')
        return t.substr(1, t.size() - 2);
    return std::nullopt;
}

struct Entry
{
    std::string_view key;
    std::string_view value;
    std::size_t valueStart = 0; // where the value begins in the line, after the blanks
};

std::optional<Entry> parseEntry(const Line &line)
{
    const std::string_view t = line.text;
    const std::string_view lead = trimBlanks(t);
    if (lead.empty() || lead.front() == '#' || lead.front() == '[')
        return std::nullopt;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    std::size_t valueStart = eq + 1;
    while (valueStart < t.size() && (t[valueStart] == ' ' || t[valueStart] == '\t'))
        ++valueStart;
    return Entry{trimBlanks(t.substr(0, eq)), trimBlanks(t.substr(valueStart)), valueStart};
}

std::vector<std::string_view> splitList(std::string_view value)
{
    std::vector<std::string_view> items;
    std::size_t pos = 0;
    while (pos <= value.size()) {
        std::size_t semi = value.find(';', pos);
        if (semi == std::string_view::npos)
            semi = value.size();
        const std::string_view item = trimBlanks(value.substr(pos, semi - pos));
        if (!item.empty())
            items.push_back(item);
        pos = semi + 1;
    }
    return items;
}

std::string joinList(const std::vector<std::string_view> &items)
{
    std::string out;
    for (const std::string_view item : items) {
        out += item;
        out += ';';
    }
    return out;
}

bool isBrowserType(std::string_view key)
{
    return std::find(kBrowserMimeTypes.begin(), kBrowserMimeTypes.end(), key) != kBrowserMimeTypes.end();
}

class MimeAppsList
{
public:
    explicit MimeAppsList(std::string_view text) : m_lines(splitLines(text))
    {
        m_newLineEnd = (!m_lines.empty() && !m_lines.front().end.empty()) ? m_lines.front().end : "\n";
    }

    // Puts id first in each browser type's entry of the group, adding the
    // entries (and the group) that are missing.
    void putFirst(std::string_view group, std::string_view id)
    {
        std::vector<bool> seen(kBrowserMimeTypes.size(), false);
        bool inGroup = false;
        for (Line &line : m_lines) {
            if (const auto name = groupName(line)) {
                inGroup = *name == group;
                continue;
            }
            const auto entry = inGroup ? parseEntry(line) : std::nullopt;
            if (!entry)
                continue;
            const auto type = std::find(kBrowserMimeTypes.begin(), kBrowserMimeTypes.end(), entry->key);
            if (type == kBrowserMimeTypes.end())
                continue;
            seen[std::size_t(type - kBrowserMimeTypes.begin())] = true;
            std::vector<std::string_view> items = splitList(entry->value);
            items.erase(std::remove(items.begin(), items.end(), id), items.end());
            items.insert(items.begin(), id);
            const std::string value = joinList(items);
            if (value != entry->value)
                line.text = line.text.substr(0, entry->valueStart) + value;
        }

        std::vector<Line> missing;
        for (std::size_t t = 0; t < kBrowserMimeTypes.size(); ++t) {
            if (!seen[t])
                missing.push_back({std::string(kBrowserMimeTypes[t]) + "=" + std::string(id) + ";", m_newLineEnd});
        }
        if (missing.empty())
            return;
        std::size_t at = insertionPoint(group);
        if (at == 0) {
            appendSeparation();
            m_lines.push_back({"[" + std::string(group) + "]", m_newLineEnd});
            at = m_lines.size();
        }
        if (m_lines[at - 1].end.empty())
            m_lines[at - 1].end = m_newLineEnd;
        m_lines.insert(m_lines.begin() + std::ptrdiff_t(at), missing.begin(), missing.end());
    }

    // Takes id out of each browser type's entry of the group; an entry left
    // empty goes.
    void remove(std::string_view group, std::string_view id)
    {
        bool inGroup = false;
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            if (const auto name = groupName(m_lines[i])) {
                inGroup = *name == group;
                continue;
            }
            const auto entry = inGroup ? parseEntry(m_lines[i]) : std::nullopt;
            if (!entry || !isBrowserType(entry->key))
                continue;
            std::vector<std::string_view> items = splitList(entry->value);
            const auto kept = std::remove(items.begin(), items.end(), id);
            if (kept == items.end())
                continue;
            items.erase(kept, items.end());
            if (items.empty()) {
                m_lines.erase(m_lines.begin() + std::ptrdiff_t(i));
                --i;
            } else {
                m_lines[i].text = m_lines[i].text.substr(0, entry->valueStart) + joinList(items);
            }
        }
    }

    std::string text() const
    {
        std::string out;
        for (const Line &line : m_lines)
            out += line.text + line.end;
        return out;
    }

private:
    // Where a new entry of the group goes: after the last entry of its first
    // occurrence, or right after its header; 0 when the group is missing.
    std::size_t insertionPoint(std::string_view group) const
    {
        std::size_t i = 0;
        while (i < m_lines.size() && groupName(m_lines[i]) != group)
            ++i;
        if (i == m_lines.size())
            return 0;
        std::size_t at = ++i;
        for (; i < m_lines.size() && !groupName(m_lines[i]); ++i) {
            if (parseEntry(m_lines[i]))
                at = i + 1;
        }
        return at;
    }

    // A blank line between the last group and a new one.
    void appendSeparation()
    {
        if (m_lines.empty())
            return;
        if (m_lines.back().end.empty())
            m_lines.back().end = m_newLineEnd;
        if (!trimBlanks(m_lines.back().text).empty())
            m_lines.push_back({"", m_newLineEnd});
    }

    std::vector<Line> m_lines;
    std::string m_newLineEnd;
};

} // namespace

namespace {

// The characters that make the Desktop Entry rules quote an argument.
bool needsQuoting(std::string_view word)
{
    if (word.empty())
        return true;
    for (const char c : word) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
        switch (c) {
        case ' ': case '"': case '\'': case '\\': case '>': case '<': case '~': case '|':
        case '&': case ';': case '$': case '*': case '?': case '#': case '(': case ')': case '`':
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace

std::string desktopExecProgram(std::string_view executablePath)
{
    // The quoting of the command line, where it is needed.
    const bool quote = needsQuoting(executablePath);
    std::string word = quote ? "\"" : "";
    for (const char c : executablePath) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            word += '\\';
        word += c;
        if (c == '%')
            word += '%';
    }
    if (quote)
        word += '"';
    // The escapes of a string value.
    std::string value;
    for (const char c : word) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        default: value += c;
        }
    }
    return value;
}

namespace {

bool isExecutableFile(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// An absolute path without "." steps and repeated slashes; ".." stays, since
// the folder before it may be a link.
std::string withoutDotSteps(std::string_view path)
{
    std::string out;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string_view::npos)
            slash = path.size();
        const std::string_view step = path.substr(pos, slash - pos);
        if (!step.empty() && step != ".") {
            out += '/';
            out += step;
        }
        pos = slash + 1;
    }
    return out.empty() ? "/" : out;
}

} // namespace

std::string startedProgramPath(std::string_view argv0, std::string_view startFolder,
                               std::string_view pathVariable)
{
    if (argv0.empty())
        return {};
    if (argv0.find('/') != std::string_view::npos) {
        std::string path = argv0.front() == '/' ? std::string(argv0)
                                                : std::string(startFolder) + "/" + std::string(argv0);
        if (path.front() != '/')
            return {};
        path = withoutDotSteps(path);
        return isExecutableFile(path) ? path : std::string();
    }
    // Found through PATH, as the shell found it; an empty entry is the
    // folder it was started in.
    std::size_t pos = 0;
    while (pos <= pathVariable.size()) {
        std::size_t colon = pathVariable.find(':', pos);
        if (colon == std::string_view::npos)
            colon = pathVariable.size();
        std::string folder(pathVariable.substr(pos, colon - pos));
        if (folder.empty())
            folder = std::string(startFolder);
        if (!folder.empty() && folder.front() != '/')
            folder = std::string(startFolder) + "/" + folder;
        if (!folder.empty() && folder.front() == '/') {
            const std::string path = withoutDotSteps(folder + "/" + std::string(argv0));
            if (isExecutableFile(path))
                return path;
        }
        pos = colon + 1;
    }
    return {};
}

std::string startFolder(const char *pwd)
{
    struct stat here;
    struct stat named;
    if (pwd && pwd[0] == '/' && ::stat(".", &here) == 0 && ::stat(pwd, &named) == 0
        && here.st_dev == named.st_dev && here.st_ino == named.st_ino)
        return pwd;
    std::string folder(4096, '\0');
    while (!::getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE || folder.size() > (std::size_t(1) << 20))
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder;
}

std::optional<std::string> desktopEntryText(std::string_view executablePath)
{
    if (!isUtf8(executablePath) || executablePath.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string mimeTypes;
    for (const std::string_view type : kBrowserMimeTypes) {
        mimeTypes += type;
        mimeTypes += ';';
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.4\n"
           "Name=Corvane\n"
           "GenericName=Web Browser\n"
           "Comment=Browse the web in many windows at once\n"
           "Exec="
           + desktopExecProgram(executablePath)
           + " /dde %u\n"
             "Icon=corvane\n"
             "Terminal=false\n"
             "StartupNotify=true\n"
             "Categories=Network;WebBrowser;\n"
             "MimeType="
           + mimeTypes + "\n";
}

std::string setDefaultApplications(std::string_view mimeappsText, std::string_view desktopId)
{
    MimeAppsList list(mimeappsText);
    list.putFirst(kDefaultGroup, desktopId);
    list.putFirst(kAddedGroup, desktopId);
    list.remove(kRemovedGroup, desktopId);
    return list.text();
}

DefaultBrowserChoice defaultBrowserChoice(bool yes, bool dontAskAgain)
{
    if (yes)
        return {1, true};
    return {dontAskAgain ? 1 : 0, false};
}

namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

constexpr std::size_t kMaxMimeappsBytes = std::size_t(4) << 20;

} // namespace

std::string desktopEntryPath(const DesktopPlaces &places)
{
    return withoutTrailingSlashes(places.dataHome) + "/applications/" + kDesktopId;
}

std::string mimeappsListPath(const DesktopPlaces &places)
{
    return withoutTrailingSlashes(places.configHome) + "/mimeapps.list";
}

std::string desktopIconPath(const DesktopPlaces &places, const DesktopIcon &icon)
{
    return withoutTrailingSlashes(places.dataHome) + "/icons/hicolor/" + icon.size + "/apps/corvane."
           + icon.extension;
}

bool registerDefaultBrowser(const DesktopPlaces &places)
{
    const std::optional<std::string> entry = desktopEntryText(places.executable);
    if (!entry)
        return false;
    for (const DesktopIcon &icon : places.icons) {
        const std::string path = desktopIconPath(places, icon);
        const std::optional<std::string> there = readFileBytes(path, icon.bytes.size() + 1);
        if ((!there || *there != icon.bytes) && makeFolders(folderOf(path), 0755))
            writeFileBytes(path, icon.bytes);
    }
    const std::string entryPath = desktopEntryPath(places);
    if (!makeFolders(folderOf(entryPath)) || !writeFileBytes(entryPath, *entry))
        return false;

    const std::string listPath = linkTarget(mimeappsListPath(places));
    std::string before;
    struct stat st;
    if (::stat(listPath.c_str(), &st) == 0) {
        std::optional<std::string> bytes = readFileBytes(listPath, kMaxMimeappsBytes);
        if (!bytes)
            return false;
        before = std::move(*bytes);
    } else if (errno != ENOENT || !makeFolders(folderOf(listPath))) {
        return false;
    }
    const std::string after = setDefaultApplications(before);
    return after == before || writeFileBytes(listPath, after);
}

UserMessage registrationFailedMessage(const DesktopPlaces &places)
{
    return {"Corvane could not be made your default browser: " + desktopEntryPath(places) + " or "
                + mimeappsListPath(places) + " could not be written.",
            kDefaultBrowserTitle, UserMessage::Icon::Exclamation};
}

} // namespace corvane
