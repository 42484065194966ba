#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The user's Favorites: a folder tree of Internet shortcut (".url") files,
// shown as the Favorites submenu, and the writer of a new favorite.

// The menu has room for 512 favorites, command IDs 3584 to 4095.
inline constexpr int kFavoriteFirstCommand = 3584;
inline constexpr std::size_t kFavoritesCapacity = 512;

struct FavoriteShortcut
{
    std::string label; // the file name without ".url", cut to 50 characters
    int index = 0;     // command ID kFavoriteFirstCommand + index
    bool operator==(const FavoriteShortcut &) const = default;
};

struct FavoritesMenu
{
    std::string label;                    // the folder's name (empty for the top)
    std::vector<FavoritesMenu> submenus;  // shown first, sorted ignoring case
    std::vector<FavoriteShortcut> shortcuts; // then these, sorted ignoring case
    // The shortcuts in this folder and below it that found no room in the
    // menu; the menu then ends with favoritesNotShownText.
    std::size_t notShown = 0;
    bool operator==(const FavoritesMenu &) const = default;
};

struct FavoritesScan
{
    FavoritesMenu menu;
    std::vector<std::string> addresses; // addresses[index]
};

// Reads the folder tree into a menu.
//
// In each folder the shortcuts are the regular files whose names end in
// ".url" (any case) and do not begin with "." (hidden); their labels sort
// ignoring case, equal labels in listing order (names in byte order). A label
// longer than 50 characters is cut to its first 47 and "...". Each address
// is the value "URL" of the section "InternetShortcut" (empty when missing).
// Subfolders come before the shortcuts, sorted the same way; a folder with
// no shortcut anywhere below it is left out. Indexes go to the shortcuts of a
// folder first, then depth first into its subfolders in listing order. Once
// `capacity` shortcuts are in, no more shortcuts are added (the first ones of
// a folder in label order are kept), but every folder holding shortcuts
// keeps its place, and each menu counts what it and its folders could not
// show (`notShown`).
//
// Anything that is neither a regular file nor a folder (pipes, devices,
// broken links) is skipped; links are followed, but no folder is read twice,
// so a link to a folder above it does not loop. A folder that cannot be
// read adds nothing. Labels and addresses are UTF-8 (decodeStoredText), so
// names and files from the Windows world show their characters.
FavoritesScan scanFavorites(const std::string &folder, std::size_t capacity = kFavoritesCapacity);

// A favorites tree held in memory: folders, and files with their bytes.
struct FavoritesFolder
{
    struct File
    {
        std::string name;
        std::string bytes;
    };
    std::string name;
    std::vector<FavoritesFolder> folders;
    std::vector<File> files;
};

// The same scan over a tree held in memory (the fuzz target runs it so,
// without a disk): the same rules and the same reader of each shortcut.
FavoritesScan scanFavorites(const FavoritesFolder &tree, std::size_t capacity = kFavoritesCapacity);

// The disabled item that ends a menu whose favorites did not all find room:
// "1 favorite is not shown (the menu holds 512)", "N favorites are not
// shown (...)".
std::string favoritesNotShownText(std::size_t notShown);

// The label of a shortcut file name: ".url" dropped, decoded, cut.
std::string favoriteLabel(std::string_view fileName);

// A new favorite file: "[InternetShortcut]\r\nURL=" + address + "\r\n". Line
// breaks and NULs in the address are left out, so it stays one line.
std::string favoriteFileText(std::string_view address);

// A file name (without ".url") made from a page title: '/', NUL and other
// control characters become spaces; blanks around it and leading dots are
// removed (no hidden file, no "." or ".."); at most kFavoriteNameMaxBytes
// bytes, cut between characters. Empty when nothing usable is left.
inline constexpr std::size_t kFavoriteNameMaxBytes = 200;
std::string favoriteFileName(std::string_view title);

// Writes a new favorite into the folder (created when missing), named after
// the title (else the address, else "Untitled"); an existing name gets
// " (2)", " (3)", ... An existing file is never overwritten. Returns the new
// file's path, or nothing when it could not be written.
std::optional<std::string> writeFavorite(const std::string &folder, std::string_view title,
                                         std::string_view address);

// --- the Favorites picker (Alt+Z) ---------------------------------------------

// What a file picked in the Favorites folder opens: a shortcut (".url") its
// address, a page (".htm") itself; anything else is refused with
// kFavoriteInvalidText. The test ignores case; the path keeps its own.
enum class FavoritePick { Shortcut, Page, Invalid };
FavoritePick favoritePick(std::string_view path);
// Whether the picker's OK may take the path.
inline bool isPickableFavorite(std::string_view path)
{
    return favoritePick(path) != FavoritePick::Invalid;
}

inline constexpr const char *kFavoritesPickerPrompt = "Select a favorite site and click OK:";
inline constexpr const char *kFavoriteNoSiteTitle = "Invalid file format";
inline constexpr const char *kFavoriteNoSiteText =
    "The Favorites shortcut you are trying to open does not contain a valid site.";
inline constexpr const char *kFavoriteInvalidTitle = "Error opening site";
inline constexpr const char *kFavoriteInvalidText =
    "The Favorites shortcut you are trying to open is invalid.\nCheck the path and try again.";

} // namespace corvane
