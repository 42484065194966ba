#include "core/Favorites.h"
#include "core/UrlShortcut.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

using namespace corvane;
namespace fs = std::filesystem;

namespace {

void shortcut(const std::string &path, const std::string &address)
{
    fs::create_directories(fs::path(path).parent_path());
    writeFile(path, "[InternetShortcut]\r\nURL=" + address + "\r\n");
}

std::vector<std::string> labels(const FavoritesMenu &menu)
{
    std::vector<std::string> out;
    for (const FavoritesMenu &sub : menu.submenus)
        out.push_back(sub.label + "/");
    for (const FavoriteShortcut &s : menu.shortcuts)
        out.push_back(s.label);
    return out;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(Favorites, FoldersFirstThenShortcutsSortedIgnoringCase)
{
    TempFolder t;
    shortcut(t.file("Zeta.url"), "http://zeta/");
    shortcut(t.file("alpha.url"), "http://alpha/");
    shortcut(t.file("News/Daily.url"), "http://daily/");
    const FavoritesScan scan = scanFavorites(t.path());

    EXPECT_EQ(labels(scan.menu), (Strings{"News/", "alpha", "Zeta"}));
    EXPECT_EQ(labels(scan.menu.submenus[0]), (Strings{"Daily"}));
    // Shortcuts of a folder first, then its subfolders.
    EXPECT_EQ(scan.menu.shortcuts[0].index, 0);
    EXPECT_EQ(scan.addresses, (Strings{"http://alpha/", "http://zeta/", "http://daily/"}));
    EXPECT_EQ(scan.menu.submenus[0].shortcuts[0].index, 2);
}

TEST(Favorites, IndexesFollowListingOrderMenusFollowCaselessOrder)
{
    TempFolder t;
    shortcut(t.file("beta/b.url"), "http://b/");
    shortcut(t.file("Alpha/inner/deep.url"), "http://deep/");
    shortcut(t.file("Alpha/a.url"), "http://a/");
    shortcut(t.file("Beta/B2.url"), "http://b2/");
    const FavoritesScan scan = scanFavorites(t.path());

    // "Beta" and "beta" sort equal: listing (byte) order between them.
    EXPECT_EQ(labels(scan.menu), (Strings{"Alpha/", "Beta/", "beta/"}));
    EXPECT_EQ(labels(scan.menu.submenus[0]), (Strings{"inner/", "a"}));
    // Depth first: Alpha's own shortcut, Alpha/inner, then Beta, then beta.
    EXPECT_EQ(scan.addresses, (Strings{"http://a/", "http://deep/", "http://b2/", "http://b/"}));
    EXPECT_EQ(scan.menu.submenus[0].submenus[0].shortcuts[0].index, 1);
}

TEST(Favorites, FoldersWithoutShortcutsAreLeftOut)
{
    TempFolder t;
    EXPECT_EQ(scanFavorites(t.path()).menu, FavoritesMenu{}); // empty folder, empty menu
    writeFile(t.file("readme.txt"), "x");
    fs::create_directories(t.file("Empty/AlsoEmpty"));
    fs::create_directories(t.file("Docs"));
    writeFile(t.file("Docs/page.htm"), "<p>");
    shortcut(t.file("Outer/Inner/x.url"), "http://x/");
    const FavoritesScan scan = scanFavorites(t.path());
    EXPECT_EQ(labels(scan.menu), (Strings{"Outer/"}));
    EXPECT_EQ(labels(scan.menu.submenus[0]), (Strings{"Inner/"}));
    // A folder that does not exist reads as empty.
    EXPECT_TRUE(scanFavorites(t.file("missing")).addresses.empty());
}

TEST(Favorites, LabelsCutAt50CharactersAndDecoded)
{
    EXPECT_EQ(favoriteLabel(std::string(50, 'a') + ".url"), std::string(50, 'a'));
    EXPECT_EQ(favoriteLabel(std::string(60, 'a') + ".url"), std::string(47, 'a') + "...");
    std::string umlauts;
    for (int i = 0; i < 51; ++i)
        umlauts += "\xC3\xBC";
    EXPECT_EQ(favoriteLabel(umlauts + ".url"), umlauts.substr(0, 94) + "...");
    // A Windows-1252 file name shows its characters.
    EXPECT_EQ(favoriteLabel("Caf\xE9.url"), "Caf\xC3\xA9");
}

TEST(Favorites, AddressIsTheUrlValueOfTheShortcutSection)
{
    TempFolder t;
    writeFile(t.file("a.url"), "[DEFAULT]\r\nBASEURL=http://base/\r\n[internetshortcut]\r\n url = http://a/ \r\n");
    writeFile(t.file("b.url"), "[InternetShortcut]\nURL=http://b/\n"); // LF line ends
    writeFile(t.file("c.url"), "URL=http://outside-any-section/\r\n");
    writeFile(t.file("d.url"), "[InternetShortcut]\r\nURL=http://host/M\xFCnchen\r\n");
    const FavoritesScan scan = scanFavorites(t.path());
    EXPECT_EQ(scan.addresses, (Strings{"http://a/", "http://b/", "", "http://host/M\xC3\xBCnchen"}));
}

TEST(Favorites, OnlyRegularFilesAndFoldersNoLoops)
{
    TempFolder t;
    shortcut(t.file("real.url"), "http://real/");
    shortcut(t.file("Sub/s.url"), "http://s/");
    shortcut(t.file(".hidden.url"), "http://hidden/");
    shortcut(t.file("LOUD.URL"), "http://loud/");
    ASSERT_EQ(::mkfifo(t.file("pipe.url").c_str(), 0600), 0); // would block a reader
    fs::create_directory_symlink("..", t.file("Sub/up"));      // a loop
    fs::create_symlink("real.url", t.file("linked.url"));
    fs::create_symlink("nowhere.url", t.file("dangling.url"));
    fs::create_directory_symlink("/dev", t.file("Devices"));
    const FavoritesScan scan = scanFavorites(t.path());
    EXPECT_EQ(labels(scan.menu), (Strings{"Sub/", "linked", "LOUD", "real"}));
    EXPECT_EQ(labels(scan.menu.submenus[0]), (Strings{"s"}));
}

TEST(Favorites, PastTheRoomFoldersKeepTheirPlacesAndCountWhatIsNotShown)
{
    TempFolder t;
    for (const char *name : {"e", "d", "c", "b", "a"})
        shortcut(t.file(std::string(name) + ".url"), std::string("http://") + name + "/");
    shortcut(t.file("Sub/x.url"), "http://x/");
    shortcut(t.file("Sub/Deeper/y.url"), "http://y/");
    shortcut(t.file("Sub/Deeper/z.url"), "http://z/");
    fs::create_directories(t.file("Sub/Empty"));

    // Room for three: the first of the top folder in label order, the rest
    // counted where they are; the folder holding only what is not shown
    // stays (it used to vanish, with everything in it).
    const FavoritesScan scan = scanFavorites(t.path(), 3);
    EXPECT_EQ(labels(scan.menu), (Strings{"Sub/", "a", "b", "c"}));
    EXPECT_EQ(scan.addresses, (Strings{"http://a/", "http://b/", "http://c/"}));
    EXPECT_EQ(scan.menu.notShown, 5u);
    const FavoritesMenu &sub = scan.menu.submenus.at(0);
    EXPECT_EQ(labels(sub), (Strings{"Deeper/"}));
    EXPECT_EQ(sub.notShown, 3u);
    EXPECT_EQ(sub.submenus.at(0).notShown, 2u);
    EXPECT_TRUE(sub.submenus.at(0).shortcuts.empty());

    // Room for seven: the top folder and Sub whole, Deeper's second is out.
    const FavoritesScan seven = scanFavorites(t.path(), 7);
    EXPECT_EQ(seven.menu.notShown, 1u);
    EXPECT_EQ(labels(seven.menu.submenus.at(0).submenus.at(0)), (Strings{"y"}));
    // Room for all: nothing is said.
    const FavoritesScan all = scanFavorites(t.path());
    EXPECT_EQ(all.addresses.size(), 8u);
    EXPECT_EQ(all.menu.notShown, 0u);

    EXPECT_EQ(favoritesNotShownText(1), "1 favorite is not shown (the menu holds 512)");
    EXPECT_EQ(favoritesNotShownText(37), "37 favorites are not shown (the menu holds 512)");
}

TEST(Favorites, NewFavoriteFile)
{
    EXPECT_EQ(favoriteFileText("http://a/"), "[InternetShortcut]\r\nURL=http://a/\r\n");
    EXPECT_EQ(favoriteFileText("http://a/\r\n[x]\0y"), "[InternetShortcut]\r\nURL=http://a/[x]\r\n");

    EXPECT_EQ(favoriteFileName("  News / Today\t"), "News   Today");
    EXPECT_EQ(favoriteFileName(".."), "");
    EXPECT_EQ(favoriteFileName(". . ."), "");
    EXPECT_EQ(favoriteFileName(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(favoriteFileName("...profile"), "profile"); // no hidden file
    std::string euros;
    for (int i = 0; i < 100; ++i)
        euros += "\xE2\x82\xAC"; // 300 bytes
    EXPECT_EQ(favoriteFileName(euros), euros.substr(0, 198)); // whole characters only
}

TEST(Favorites, WriterNeverOverwritesAndTheScanReadsItBack)
{
    TempFolder t;
    const std::string folder = t.file("Favorites/Sub");
    const auto first = writeFavorite(folder, "Home page", "http://home/");
    const auto second = writeFavorite(folder, "Home page", "http://other/");
    const auto untitled = writeFavorite(folder, " ", "");
    ASSERT_TRUE(first && second && untitled);
    EXPECT_EQ(*first, folder + "/Home page.url");
    EXPECT_EQ(*second, folder + "/Home page (2).url");
    EXPECT_EQ(*untitled, folder + "/Untitled.url");
    EXPECT_EQ(readFile(*first), "[InternetShortcut]\r\nURL=http://home/\r\n");

    const FavoritesScan scan = scanFavorites(t.file("Favorites"));
    EXPECT_EQ(labels(scan.menu.submenus.at(0)), (Strings{"Home page", "Home page (2)", "Untitled"}));
    EXPECT_EQ(scan.addresses, (Strings{"http://home/", "http://other/", ""}));
}

TEST(Favorites, WriterReportsAFolderItCannotWrite)
{
    TempFolder t;
    writeFile(t.file("file"), "x");
    EXPECT_FALSE(writeFavorite(t.file("file"), "a", "http://a/")); // a file where the folder should be
}

TEST(Favorites, PickerOpensShortcutsAndPagesInAnyCase)
{
    EXPECT_EQ(favoritePick("/f/News/Daily.url"), FavoritePick::Shortcut);
    EXPECT_EQ(favoritePick("/f/SITE.URL"), FavoritePick::Shortcut);
    EXPECT_EQ(favoritePick("/f/Page.HTM"), FavoritePick::Page);
    EXPECT_EQ(favoritePick("/f/page.html"), FavoritePick::Invalid);
    EXPECT_EQ(favoritePick("/f/notes.url.txt"), FavoritePick::Invalid);
    EXPECT_EQ(favoritePick("/f/News"), FavoritePick::Invalid);
    EXPECT_FALSE(isPickableFavorite("url"));
}

TEST(UrlShortcut, ReadsOnlyRegularFilesOfAShortcutsSize)
{
    TempFolder t;
    writeFile(t.file("a.url"), "[InternetShortcut]\r\nURL=http://a/");
    EXPECT_EQ(readUrlShortcut(t.file("a.url")).address, "http://a/") << "the last line needs no line break";
    EXPECT_FALSE(readUrlShortcut(t.file("missing.url")).found);
    // A pipe nobody writes to reads as empty at once, a folder too.
    ASSERT_EQ(::mkfifo(t.file("pipe.url").c_str(), 0600), 0);
    EXPECT_FALSE(readUrlShortcut(t.file("pipe.url")).found);
    fs::create_directories(t.file("dir.url"));
    EXPECT_FALSE(readUrlShortcut(t.file("dir.url")).found);
    writeFile(t.file("big.url"), "URL=http://big/\r\n" + std::string(std::size_t(kMaxUrlShortcutBytes), ' '));
    EXPECT_FALSE(readUrlShortcut(t.file("big.url")).found);
}

TEST(Favorites, TreeHeldInMemoryScansAsTheSameTreeOnDisk)
{
    // Hidden and other files, an empty folder, equal labels, a folder
    // without shortcuts, a shortcut without its address.
    const std::vector<std::pair<std::string, std::string>> files = {
        {"b.url", "[InternetShortcut]\r\nURL=http://b/\r\n"},
        {"B.URL", "[internetshortcut]\r\nurl = \"http://B/\"\r\n"},
        {".hidden.url", "[InternetShortcut]\r\nURL=http://hidden/\r\n"},
        {"notes.txt", "x"},
        {"News/Daily.url", "[InternetShortcut]\nURL=http://daily/\n"},
        {"News/Old/none.url", "no address"},
        {"a/x.url", "[InternetShortcut]\r\nURL=caf\xE9\r\n"},
        {"Docs/page.htm", "<p>"},
    };
    TempFolder t;
    FavoritesFolder tree;
    for (const auto &[path, bytes] : files) {
        fs::create_directories(fs::path(t.file(path)).parent_path());
        writeFile(t.file(path), bytes);
        FavoritesFolder *folder = &tree;
        const fs::path relative(path);
        for (const auto &part : relative.parent_path()) {
            auto sub = std::find_if(folder->folders.begin(), folder->folders.end(),
                                    [&](const FavoritesFolder &f) { return f.name == part.string(); });
            if (sub == folder->folders.end()) {
                folder->folders.push_back({part.string(), {}, {}});
                sub = folder->folders.end() - 1;
            }
            folder = &*sub;
        }
        folder->files.push_back({relative.filename().string(), bytes});
    }
    fs::create_directories(t.file("Empty"));
    tree.folders.push_back({"Empty", {}, {}});

    for (const std::size_t capacity : {std::size_t(2), std::size_t(3), kFavoritesCapacity}) {
        const FavoritesScan disk = scanFavorites(t.path(), capacity);
        const FavoritesScan memory = scanFavorites(tree, capacity);
        EXPECT_EQ(memory.menu, disk.menu) << capacity;
        EXPECT_EQ(memory.addresses, disk.addresses) << capacity;
    }
    EXPECT_EQ(scanFavorites(tree).addresses,
              (Strings{"http://B/", "http://b/", "http://daily/", "", "caf\xC3\xA9"}))
        << "folders in listing (byte) order: News before a";
}
