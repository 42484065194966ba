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

bool isShortcutName(const std::string &name)
{
    return !name.empty() && name.front() != '.' && isUrlShortcutPath(name);
}

void sortListing(Listing &listing)
{
    std::sort(listing.shortcuts.begin(), listing.shortcuts.end());
    std::sort(listing.folders.begin(), listing.folders.end());
}

// A shortcut file's address, on the disk or in memory.
std::string addressOf(const ProfileFile &shortcut)
{
    return decodeStoredText(shortcut.getString("InternetShortcut", "URL"));
}

// The folders on the disk.
class DiskTree
{
public:
    using Node = fs::path;

    // The folder's regular files and folders (links followed), names in byte
    // order. Empty when the folder cannot be read.
    Listing list(const Node &folder) const
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
            else if (fs::is_regular_file(status) && isShortcutName(name))
                listing.shortcuts.push_back(std::move(name));
        }
        sortListing(listing);
        return listing;
    }

    std::string address(const Node &folder, const std::string &name) const
    {
        return addressOf(ProfileFile((folder / name).string()));
    }

    Node child(const Node &folder, const std::string &name) const { return folder / name; }

    // Marks the folder as read; false when it was read before (or cannot be
    // identified).
    bool enter(const Node &folder)
    {
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0)
            return false;
        return m_seen.emplace(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)).second;
    }

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_seen;
};

// A tree held in memory: of equal names the first counts.
class MemoryTree
{
public:
    using Node = const FavoritesFolder *;

    Listing list(Node folder) const
    {
        Listing listing;
        for (const FavoritesFolder &sub : folder->folders)
            listing.folders.push_back(sub.name);
        for (const FavoritesFolder::File &file : folder->files) {
            if (isShortcutName(file.name))
                listing.shortcuts.push_back(file.name);
        }
        sortListing(listing);
        return listing;
    }

    std::string address(Node folder, const std::string &name) const
    {
        for (const FavoritesFolder::File &file : folder->files) {
            if (file.name == name)
                return addressOf(ProfileFile(MemoryFile{file.bytes}));
        }
        return {};
    }

    Node child(Node folder, const std::string &name) const
    {
        for (const FavoritesFolder &sub : folder->folders) {
            if (sub.name == name)
                return &sub;
        }
        return nullptr;
    }

    bool enter(Node folder) { return folder && m_seen.insert(folder).second; }

private:
    std::set<Node> m_seen;
};

template<typename Tree>
class Scanner
{
public:
    using Node = typename Tree::Node;

    Scanner(Tree &tree, std::vector<std::string> &addresses, std::size_t capacity)
        : m_tree(tree), m_addresses(addresses), m_capacity(capacity)
    {
    }

    bool enter(const Node &folder) { return m_tree.enter(folder); }

    void fill(const Node &folder, FavoritesMenu &menu, int depth)
    {
        const Listing listing = m_tree.list(folder);

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
            if (full()) {
                ++menu.notShown;
                continue;
            }
            menu.shortcuts.push_back({s.label, int(m_addresses.size())});
            m_addresses.push_back(m_tree.address(folder, *s.name));
        }

        if (depth >= kMaxDepth)
            return;
        // Past the capacity the folders are still listed: they keep their
        // places and say what they hold that is not shown.
        for (const std::string &name : listing.folders) {
            const Node sub = m_tree.child(folder, name);
            if (!enter(sub))
                continue;
            FavoritesMenu submenu;
            submenu.label = decodeStoredText(name);
            fill(sub, submenu, depth + 1);
            if (submenu.shortcuts.empty() && submenu.submenus.empty() && submenu.notShown == 0)
                continue;
            menu.notShown += submenu.notShown;
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

    Tree &m_tree;
    std::vector<std::string> &m_addresses;
    std::size_t m_capacity;
};

template<typename Tree>
FavoritesScan scan(Tree tree, const typename Tree::Node &top, std::size_t capacity)
{
    FavoritesScan result;
    Scanner<Tree> scanner(tree, result.addresses, capacity);
    if (scanner.enter(top))
        scanner.fill(top, result.menu, 0);
    return result;
}

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

FavoritesScan scanFavorites(const std::string &folder, std::size_t capacity)
{
    return scan(DiskTree(), fs::path(folder), capacity);
}

FavoritesScan scanFavorites(const FavoritesFolder &tree, std::size_t capacity)
{
    return scan(MemoryTree(), &tree, capacity);
}

std::string favoritesNotShownText(std::size_t notShown)
{
    const std::string held = " (the menu holds " + std::to_string(kFavoritesCapacity) + ")";
    if (notShown == 1)
        return "1 favorite is not shown" + held;
    return std::to_string(notShown) + " favorites are not shown" + held;
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
