#include "core/Favorites.h"

#include "core/ProfileFile.h"
#include "core/SectionedFile.h"
#include "core/StoredText.h"
#include "core/TextRules.h"
#include "core/UrlShortcut.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace corvane {

namespace {

constexpr std::size_t kLabelLimit = 50;
constexpr std::size_t kLabelKept = 47;
constexpr std::string_view kShortcutSuffix = ".url";
// Deeper than any real favorites tree; keeps the recursion bounded.
constexpr int kMaxDepth = 64;

bool lessIgnoringCase(const std::string &a, const std::string &b)
{
    return sectioned::toLowerAscii(a) < sectioned::toLowerAscii(b);
}

struct Listing
{
    std::vector<std::string> shortcuts; // file names
    std::vector<std::string> folders;
};

// The folder's regular files and folders (links followed), names in byte
// order. Empty when the folder cannot be read.
Listing listFolder(const fs::path &folder)
{
    Listing listing;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code statError;
        const fs::file_status status = it->status(statError);
        if (statError)
            continue;
        if (fs::is_directory(status))
            listing.folders.push_back(std::move(name));
        else if (fs::is_regular_file(status) && name.front() != '.' && isUrlShortcutPath(name))
            listing.shortcuts.push_back(std::move(name));
    }
    std::sort(listing.shortcuts.begin(), listing.shortcuts.end());
    std::sort(listing.folders.begin(), listing.folders.end());
    return listing;
}

std::string readAddress(const fs::path &file)
{
    const ProfileFile shortcut(file.string());
    return decodeStoredText(shortcut.getString("InternetShortcut", "URL"));
}

class Scanner
{
public:
    Scanner(std::vector<std::string> &addresses, std::size_t capacity)
        : m_addresses(addresses), m_capacity(capacity)
    {
    }

    // Marks the folder as read; false when it was read before (or cannot be
    // identified).
    bool enter(const fs::path &folder)
    {
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0)
            return false;
        return m_seen.emplace(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)).second;
    }

    void fill(const fs::path &folder, FavoritesMenu &menu, int depth)
    {
        const Listing listing = listFolder(folder);

        struct Shortcut
        {
            std::string label;
            const std::string *name;
        };
        std::vector<Shortcut> shortcuts;
        shortcuts.reserve(listing.shortcuts.size());
        for (const std::string &name : listing.shortcuts)
            shortcuts.push_back({favoriteLabel(name), &name});
        std::stable_sort(shortcuts.begin(), shortcuts.end(),
                         [](const Shortcut &a, const Shortcut &b) { return lessIgnoringCase(a.label, b.label); });
        for (const Shortcut &s : shortcuts) {
            if (full())
                break;
            menu.shortcuts.push_back({s.label, int(m_addresses.size())});
            m_addresses.push_back(readAddress(folder / *s.name));
        }

        if (depth >= kMaxDepth)
            return;
        for (const std::string &name : listing.folders) {
            if (full())
                break;
            const fs::path sub = folder / name;
            if (!enter(sub))
                continue;
            FavoritesMenu submenu;
            submenu.label = decodeStoredText(name);
            fill(sub, submenu, depth + 1);
            if (submenu.shortcuts.empty() && submenu.submenus.empty())
                continue;
            // Among the folders already in, after those that sort equal.
            const auto at = std::upper_bound(menu.submenus.begin(), menu.submenus.end(), submenu,
                                             [](const FavoritesMenu &a, const FavoritesMenu &b) {
                                                 return lessIgnoringCase(a.label, b.label);
                                             });
            menu.submenus.insert(at, std::move(submenu));
        }
    }

private:
    bool full() const { return m_addresses.size() >= m_capacity; }

    std::vector<std::string> &m_addresses;
    std::size_t m_capacity;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_seen;
};

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

FavoritesScan scanFavorites(const std::string &folder, std::size_t capacity)
{
    FavoritesScan scan;
    Scanner scanner(scan.addresses, capacity);
    if (scanner.enter(folder))
        scanner.fill(folder, scan.menu, 0);
    return scan;
}

std::string favoriteLabel(std::string_view fileName)
{
    if (fileName.size() >= kShortcutSuffix.size())
        fileName.remove_suffix(kShortcutSuffix.size());
    const std::string label = decodeStoredText(fileName);

    std::size_t pos = 0;
    std::size_t count = 0;
    std::size_t keptBytes = 0;
    while (pos < label.size()) {
        if (count == kLabelKept)
            keptBytes = pos;
        if (count == kLabelLimit)
            return label.substr(0, keptBytes) + "...";
        pos += utf8CharLength(label, pos);
        ++count;
    }
    return label;
}

std::string favoriteFileText(std::string_view address)
{
    std::string line;
    for (const char c : encodeStoredText(address)) {
        if (c != '\r' && c != '\n' && c != '\0')
            line += c;
    }
    return "[InternetShortcut]\r\nURL=" + line + "\r\n";
}

std::string favoriteFileName(std::string_view title)
{
    std::string name = encodeStoredText(title);
    for (char &c : name) {
        if (c == '/' || isControl(static_cast<unsigned char>(c)))
            c = ' ';
    }
    const auto trimmed = [](std::string_view text) {
        while (!text.empty() && (text.front() == '.' || sectioned::isBlank(text.front())))
            text.remove_prefix(1);
        return std::string(sectioned::trim(text));
    };
    name = trimmed(name);
    if (name.size() > kFavoriteNameMaxBytes) {
        std::size_t end = 0;
        while (end < name.size()) {
            const std::size_t next = end + utf8CharLength(name, end);
            if (next > kFavoriteNameMaxBytes)
                break;
            end = next;
        }
        name = trimmed(std::string_view(name).substr(0, end));
    }
    return name;
}

std::optional<std::string> writeFavorite(const std::string &folder, std::string_view title,
                                         std::string_view address)
{
    std::string base = favoriteFileName(title);
    if (base.empty())
        base = favoriteFileName(address);
    if (base.empty())
        base = "Untitled";

    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string text = favoriteFileText(address);

    constexpr int kMaxTries = 10000;
    for (int n = 1; n <= kMaxTries; ++n) {
        const std::string name = base + (n == 1 ? std::string() : " (" + std::to_string(n) + ")") + ".url";
        const std::string path = (fs::path(folder) / name).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return std::nullopt;
        }
        std::size_t written = 0;
        while (written < text.size()) {
            const ssize_t w = ::write(fd, text.data() + written, text.size() - written);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            written += std::size_t(w);
        }
        const bool ok = ::close(fd) == 0 && written == text.size();
        if (!ok) {
            ::unlink(path.c_str());
            return std::nullopt;
        }
        return path;
    }
    return std::nullopt;
}

FavoritePick favoritePick(std::string_view path)
{
    const std::string lower = sectioned::toLowerAscii(path);
    const auto endsWith = [&lower](std::string_view suffix) {
        return lower.size() >= suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(kShortcutSuffix))
        return FavoritePick::Shortcut;
    if (endsWith(".htm"))
        return FavoritePick::Page;
    return FavoritePick::Invalid;
}

} // namespace corvane
