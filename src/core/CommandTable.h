#pragma once

#include <array>
#include <string>
#include <vector>

// The menus, accelerators, toolbars and command prompts of the main window,
// as data. The GUI builds its menus and buttons from these tables.
namespace corvane {

struct MenuEntry
{
    enum Kind { Item, Separator, Popup };
    Kind kind = Item;
    int id = 0;               // command ID of an item
    std::string text;         // "&Toolbar\tF6": mnemonic and accelerator text
    std::vector<MenuEntry> children; // a popup's entries
};

// Menu 128: the bar while no browser window exists.
const std::vector<MenuEntry> &menuNoWindow();
// Menu 129: the bar while one or more browser windows exist.
const std::vector<MenuEntry> &menuWithWindow();
// Menu 157: the "&IE" popup.
const MenuEntry &menuIE();
// Menu 206: the splitter's "SplitMenu".
const MenuEntry &menuSplit();

struct Accelerator
{
    std::string keys; // "Ctrl+Shift+C", in the portable key-sequence form
    int id = 0;
};
// Accelerator table 128.
const std::vector<Accelerator> &acceleratorTable();

// Toolbars 128 and 156: 20 slots each, 0 a separator.
using ToolbarSlots = std::array<int, 20>;
const ToolbarSlots &toolbar128();
const ToolbarSlots &toolbar156();
// Toolbar 156 (with Favorites) when the IE menu is on and LinksAlwaysOn is
// off; toolbar 128 (with the Links Manager) otherwise.
bool useFavoritesToolbar(bool ieMenu, bool linksAlwaysOn);

// The status-bar prompt shown while an item or button is highlighted, and
// the tool tip. Empty when the command has none.
struct CommandPrompt
{
    std::string prompt;
    std::string tooltip;
};
CommandPrompt commandPrompt(int id);

// The status bar's idle prompt.
inline constexpr const char *kIdlePrompt = "Ready";

// The Help menu's items that point to the maker.
inline constexpr const char *kMakerHomePageItem = "Corvane on the &Web";
inline constexpr const char *kMailMakerItem = "&Mail the Author...";

} // namespace corvane
