// Favorites: file names and titles come from anywhere (a page's title, files
// copied from the Windows world). Labels are well-formed UTF-8 of at most 50
// characters, a file name made from a title is one safe name, and a new
// favorite's file reads back with its address on one line.
//
// The input cut at its first NUL: before it the name or title, after it the
// contents of a favorites tree (see below) that the menu scan reads.

#include "FuzzScratch.h"
#include "core/Favorites.h"
#include "core/StoredText.h"
#include "core/UrlShortcut.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>


using fuzz::check;

namespace {

std::size_t characters(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

void checkNames(std::string_view text)
{
    const std::string label = corvane::favoriteLabel(text);
    check(corvane::isUtf8(label));
    check(characters(label) <= 50);

    const std::string name = corvane::favoriteFileName(text);
    check(corvane::isUtf8(name));
    check(name.size() <= corvane::kFavoriteNameMaxBytes);
    for (const char c : name)
        check(c != '/' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    if (!name.empty()) {
        check(name.front() != '.' && name.front() != ' ' && name.back() != ' ');
        check(corvane::favoriteFileName(name) == name);
    }

    const std::string file = corvane::favoriteFileText(text);
    const corvane::UrlShortcutResult shortcut = corvane::parseUrlShortcut(file);
    check(shortcut.found);
    check(shortcut.address.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
}

void visit(const corvane::FavoritesMenu &menu, std::set<int> &indexes, std::size_t addresses)
{
    for (const corvane::FavoriteShortcut &s : menu.shortcuts) {
        check(corvane::isUtf8(s.label) && characters(s.label) <= 50);
        check(s.index >= 0 && std::size_t(s.index) < addresses);
        check(indexes.insert(s.index).second);
    }
    for (const corvane::FavoritesMenu &sub : menu.submenus) {
        check(corvane::isUtf8(sub.label));
        check(!sub.shortcuts.empty() || !sub.submenus.empty() || sub.notShown > 0);
        check(sub.notShown <= menu.notShown);
        visit(sub, indexes, addresses);
    }
}

// The tree: lines "path=contents" (contents up to the line's end, a 0x1F
// byte standing for a line feed), where a path of "a/b.url" puts a file
// b.url into a folder a; at most four levels deep, sixteen files. The tree
// is held in memory: the scan's rules and its shortcut reader, no disk.
void scanTree(std::string_view tree)
{
    corvane::FavoritesFolder root;
    std::size_t files = 0;
    while (!tree.empty() && files < 16) {
        const std::size_t end = tree.find('\n');
        const std::string_view line = tree.substr(0, end);
        tree = end == std::string_view::npos ? std::string_view() : tree.substr(end + 1);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0)
            continue;
        std::vector<std::string_view> parts;
        for (std::string_view path = line.substr(0, eq); !path.empty();) {
            const std::size_t slash = path.find('/');
            parts.push_back(path.substr(0, slash));
            path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        }
        const bool usable = !parts.empty() && parts.size() <= 4
                            && std::none_of(parts.begin(), parts.end(), [](std::string_view p) {
                                   return p.empty() || p == "." || p == ".." || p.find('\0') != std::string_view::npos;
                               });
        if (!usable)
            continue;

        // Folders are made on the way; a file in the way stops the line.
        corvane::FavoritesFolder *folder = &root;
        for (std::size_t i = 0; folder && i + 1 < parts.size(); ++i) {
            const auto isPart = [&](const auto &entry) { return entry.name == parts[i]; };
            if (std::any_of(folder->files.begin(), folder->files.end(), isPart)) {
                folder = nullptr;
                break;
            }
            auto sub = std::find_if(folder->folders.begin(), folder->folders.end(), isPart);
            if (sub == folder->folders.end()) {
                folder->folders.push_back({std::string(parts[i]), {}, {}});
                sub = folder->folders.end() - 1;
            }
            folder = &*sub;
        }
        const auto isName = [&](const auto &entry) { return entry.name == parts.back(); };
        if (!folder || std::any_of(folder->folders.begin(), folder->folders.end(), isName))
            continue;
        std::string contents(line.substr(eq + 1));
        std::replace(contents.begin(), contents.end(), '\x1F', '\n');
        const auto file = std::find_if(folder->files.begin(), folder->files.end(), isName);
        if (file != folder->files.end())
            file->bytes = std::move(contents);
        else
            folder->files.push_back({std::string(parts.back()), std::move(contents)});
        ++files;
    }

    for (const std::size_t capacity : {std::size_t(3), corvane::kFavoritesCapacity}) {
        const corvane::FavoritesScan scan = corvane::scanFavorites(root, capacity);
        check(scan.addresses.size() <= capacity);
        for (const std::string &address : scan.addresses)
            check(corvane::isUtf8(address));
        std::set<int> indexes;
        visit(scan.menu, indexes, scan.addresses.size());
        check(indexes.size() == scan.addresses.size());
        // What is shown and what is not make the whole tree.
        const corvane::FavoritesScan whole = corvane::scanFavorites(root, files + 1);
        check(scan.addresses.size() + scan.menu.notShown == whole.addresses.size());
        check(whole.menu.notShown == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = bytes.find('\0');
    checkNames(bytes.substr(0, cut));
    if (cut != std::string_view::npos)
        scanTree(bytes.substr(cut + 1));
    return 0;
}
