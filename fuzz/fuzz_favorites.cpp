// Favorites: file names and titles come from anywhere (a page's title, files
// copied from the Windows world). Labels are well-formed UTF-8 of at most 50
// characters, a file name made from a title is one safe name, and a new
// favorite's file reads back with its address on one line.
//
// The input cut at its first NUL: before it the name or title, after it the
// contents of a favorites tree (see below) that the menu scan reads (for one
// input in four: making the tree costs far more than the rest).

#include "FuzzScratch.h"
#include "core/Favorites.h"
#include "core/StoredText.h"
#include "core/UrlShortcut.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include <sys/stat.h>

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
        check(!sub.shortcuts.empty() || !sub.submenus.empty());
        visit(sub, indexes, addresses);
    }
}

// The tree: lines "path=contents" (contents up to the line's end, a 0x1F
// byte standing for a line feed), where a path of "a/b.url" puts a file
// b.url into a folder a. Paths stay inside the
// scratch folder (no "..", no absolute paths) and at most four levels deep.
void scanTree(std::string_view tree)
{
    static const fuzz::Scratch scratch("corvane-fuzz-favorites", "unused");
    const std::filesystem::path root = scratch.folder() + "/Favorites";
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    std::filesystem::create_directory(root, ec);

    std::size_t files = 0;
    while (!tree.empty() && files < 16) {
        const std::size_t end = tree.find('\n');
        const std::string_view line = tree.substr(0, end);
        tree = end == std::string_view::npos ? std::string_view() : tree.substr(end + 1);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0 || line.substr(0, eq).find('\0') != std::string_view::npos)
            continue;
        std::filesystem::path relative(std::string(line.substr(0, eq)));
        bool usable = relative.is_relative();
        int depth = 0;
        for (const auto &part : relative) {
            usable = usable && part != ".." && part != "." && !part.empty();
            ++depth;
        }
        if (!usable || depth > 4 || relative.filename().string().size() > 200)
            continue;
        const std::filesystem::path path = root / relative;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec || std::filesystem::is_directory(path, ec))
            continue;
        std::string contents(line.substr(eq + 1));
        std::replace(contents.begin(), contents.end(), '\x1F', '\n');
        fuzz::Scratch::writeFile(path.string(), contents);
        ++files;
    }

    for (const std::size_t capacity : {std::size_t(3), corvane::kFavoritesCapacity}) {
        const corvane::FavoritesScan scan = corvane::scanFavorites(root.string(), capacity);
        check(scan.addresses.size() <= capacity);
        for (const std::string &address : scan.addresses)
            check(corvane::isUtf8(address));
        std::set<int> indexes;
        visit(scan.menu, indexes, scan.addresses.size());
        check(indexes.size() == scan.addresses.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = bytes.find('\0');
    checkNames(bytes.substr(0, cut));
    if (cut != std::string_view::npos && fuzz::writesToo(size))
        scanTree(bytes.substr(cut + 1));
    return 0;
}
