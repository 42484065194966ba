#include "core/CommandIds.h"
#include "core/CommandTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>

using namespace corvane;

namespace {

void collect(const std::vector<MenuEntry> &entries, std::set<int> &ids)
{
    for (const MenuEntry &entry : entries) {
        if (entry.kind == MenuEntry::Item)
            ids.insert(entry.id);
        collect(entry.children, ids);
    }
}

std::set<int> menuIds()
{
    std::set<int> ids;
    collect(menuNoWindow(), ids);
    collect(menuWithWindow(), ids);
    collect({menuIE(), menuSplit()}, ids);
    return ids;
}

std::string acceleratorText(const std::string &menuText)
{
    const size_t tab = menuText.find('\t');
    return tab == std::string::npos ? std::string() : menuText.substr(tab + 1);
}

} // namespace

TEST(CommandTable, EveryAcceleratorReachesAMenuItemOrAKnownKeyOnlyCommand)
{
    const std::set<int> inMenus = menuIds();
    const std::set<int> keyOnly = {cmd::ToolbarVariant, cmd::AutoRefresh, cmd::PreviousPane,
                                   cmd::SmartNavigateToggle, cmd::ScanPopups, cmd::Favorites,
                                   cmd::FocusAddress};
    std::map<std::string, int> byKeys;
    for (const Accelerator &a : acceleratorTable()) {
        EXPECT_TRUE(inMenus.count(a.id) || keyOnly.count(a.id)) << a.keys << " -> " << a.id;
        // One key, one command.
        const auto [it, inserted] = byKeys.emplace(a.keys, a.id);
        EXPECT_TRUE(inserted) << a.keys << " is bound twice";
    }
}

TEST(CommandTable, MenuAcceleratorTextsMatchTheTable)
{
    // "&Toolbar\tF6" promises F6: the table must bind F6 to that command.
    std::vector<MenuEntry> all = menuNoWindow();
    all.insert(all.end(), menuWithWindow().begin(), menuWithWindow().end());
    all.push_back(menuIE());
    std::set<int> checked;
    std::function<void(const std::vector<MenuEntry> &)> walk = [&](const std::vector<MenuEntry> &entries) {
        for (const MenuEntry &entry : entries) {
            walk(entry.children);
            const std::string keys = acceleratorText(entry.text);
            if (entry.kind != MenuEntry::Item || keys.empty())
                continue;
            const auto &table = acceleratorTable();
            int target = entry.id;
            // The IE menu's placeholder shows the picker's key.
            if (entry.id == cmd::FavoritesPlaceholder)
                target = cmd::Favorites;
            const bool bound = std::any_of(table.begin(), table.end(), [&](const Accelerator &a) {
                return a.id == target && a.keys == keys;
            });
            EXPECT_TRUE(bound) << entry.text;
        }
    };
    walk(all);
}

TEST(CommandTable, KeysOfOurOwnLeaveTheOriginalKeysAlone)
{
    std::map<std::string, int> bound;
    for (const Accelerator &a : acceleratorTable())
        bound[a.keys] = a.id;
    // The bars keep F6, F7 and F8; Close keeps Ctrl+W.
    EXPECT_EQ(bound["F6"], cmd::ToolBar);
    EXPECT_EQ(bound["F7"], cmd::Tabs);
    EXPECT_EQ(bound["F8"], cmd::StatusBar);
    EXPECT_EQ(bound["Ctrl+W"], cmd::Close);
    EXPECT_EQ(bound["Ctrl+F4"], cmd::Close);
    EXPECT_EQ(bound["Ctrl+L"], cmd::FocusAddress);
    EXPECT_EQ(bound["Alt+D"], cmd::FocusAddress);
    EXPECT_EQ(bound["Alt+Left"], cmd::Back);
    EXPECT_EQ(bound["Alt+Right"], cmd::Forward);
    EXPECT_EQ(bound["Ctrl++"], cmd::TextLarger);
    EXPECT_EQ(bound["Ctrl+-"], cmd::TextSmaller);
    EXPECT_EQ(bound["Ctrl+0"], cmd::FontsNormal);
    EXPECT_EQ(bound["F11"], cmd::FullScreen);
    EXPECT_EQ(bound["Ctrl+J"], cmd::Downloads);
    // The Downloads window is there with or without a browser window.
    std::set<int> withoutWindow;
    collect(menuNoWindow(), withoutWindow);
    EXPECT_TRUE(withoutWindow.count(cmd::Downloads));
}

TEST(CommandTable, ToolbarsHaveTwentySlotsAndDifferOnlyInLinksOrFavorites)
{
    const ToolbarSlots &plain = toolbar128();
    const ToolbarSlots &ie = toolbar156();
    EXPECT_EQ(std::count(plain.begin(), plain.end(), 0), 4);
    EXPECT_EQ(plain.front(), cmd::New);
    EXPECT_EQ(plain.back(), cmd::About);
    for (size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == cmd::LinksManager)
            EXPECT_EQ(ie[i], cmd::Favorites);
        else
            EXPECT_EQ(ie[i], plain[i]) << "slot " << i;
        // Every button has a tool tip and a prompt.
        if (plain[i] != 0) {
            EXPECT_FALSE(commandPrompt(plain[i]).tooltip.empty()) << plain[i];
            EXPECT_FALSE(commandPrompt(plain[i]).prompt.empty()) << plain[i];
        }
    }
    EXPECT_TRUE(useFavoritesToolbar(true, false));
    EXPECT_FALSE(useFavoritesToolbar(true, true));
    EXPECT_FALSE(useFavoritesToolbar(false, false));
}
