#include "core/CommandTable.h"

#include "core/CommandIds.h"

#include <unordered_map>

namespace corvane {

namespace {

MenuEntry item(int id, const char *text)
{
    return MenuEntry{MenuEntry::Item, id, text, {}};
}

MenuEntry separator()
{
    return MenuEntry{MenuEntry::Separator, 0, {}, {}};
}

MenuEntry popup(const char *text, std::vector<MenuEntry> children)
{
    return MenuEntry{MenuEntry::Popup, 0, text, std::move(children)};
}

std::vector<MenuEntry> barToggles()
{
    return {item(cmd::AddressBar, "&Address Bar"), item(cmd::ToolBar, "&Toolbar\tF6"),
            item(cmd::Tabs, "T&abs\tF7"), item(cmd::StatusBar, "&Status Bar\tF8")};
}

MenuEntry toolsMenu()
{
    return popup("&Tools", {item(cmd::Mail, "&Mail\tF9"), item(cmd::Search, "&Search\tF10"),
                            separator(), item(cmd::Downloads, "&Downloads\tCtrl+J"),
                            item(cmd::WindowSpawning, "Window Sp&awning...\tCtrl+Shift+X"),
                            item(cmd::Workspaces, "&Workspaces...\tCtrl+Shift+C"), separator(),
                            item(cmd::Options, "&Options...\tAlt+O")});
}

} // namespace

const std::vector<MenuEntry> &menuNoWindow()
{
    static const std::vector<MenuEntry> menu = {
        popup("&File", {item(cmd::New, "&New\tCtrl+N"), item(cmd::Open, "&Open...\tCtrl+O"),
                        separator(), item(cmd::PrintSetup, "P&rint Setup..."), separator(),
                        item(cmd::Exit, "E&xit")}),
        popup("&View", barToggles()),
        popup("&Go", {item(cmd::Navigate, "&Navigate...\tF4")}),
        toolsMenu(),
        popup("&Help", {item(cmd::MakerHomePage, kMakerHomePageItem), separator(),
                        item(cmd::About, "&About Corvane...")}),
    };
    return menu;
}

const std::vector<MenuEntry> &menuWithWindow()
{
    static const std::vector<MenuEntry> menu = [] {
        std::vector<MenuEntry> view = barToggles();
        view.push_back(separator());
        view.push_back(item(cmd::Stop, "Sto&p\tAlt+C"));
        view.push_back(item(cmd::Refresh, "&Refresh\tF5"));
        view.push_back(separator());
        view.push_back(item(cmd::ViewSource, "Source"));
        view.push_back(separator());
        view.push_back(popup("&Fonts", {item(cmd::FontsHuge, "&Huge"), item(cmd::FontsLarge, "&Large"),
                                         item(cmd::FontsNormal, "&Normal"),
                                         item(cmd::FontsSmall, "&Small"), item(cmd::FontsTiny, "&Tiny"),
                                         separator(), item(cmd::TextLarger, "Lar&ger\tCtrl++"),
                                         item(cmd::TextSmaller, "S&maller\tCtrl+-")}));
        view.push_back(item(cmd::FullScreen, "F&ull Screen\tF11"));
        return std::vector<MenuEntry>{
            popup("&File",
                  {item(cmd::New, "&New\tCtrl+N"), item(cmd::Open, "&Open...\tCtrl+O"),
                   item(cmd::Close, "&Close\tCtrl+W"), item(cmd::CloseAll, "Clos&e All\tAlt+X"),
                   separator(), item(cmd::SaveAs, "Save &As...\tCtrl+S"), separator(),
                   item(cmd::Preview, "Print Preview"), item(cmd::PrintSetup, "P&rint Setup..."),
                   item(cmd::Print, "&Print...\tCtrl+P"), separator(),
                   item(cmd::Properties, "Properties..."), separator(), item(cmd::Offline, "O&ffline"),
                   item(cmd::Exit, "E&xit")}),
            popup("&Edit", {item(cmd::Undo, "&Undo\tCtrl+Z"), item(cmd::Redo, "&Redo\tCtrl+Y"),
                            separator(), item(cmd::Cut, "Cu&t\tCtrl+X"), item(cmd::Copy, "&Copy\tCtrl+C"),
                            item(cmd::Paste, "&Paste\tCtrl+V"), separator(),
                            item(cmd::SelectAll, "&Select All\tCtrl+A"), separator(),
                            item(cmd::Find, "Find...\tCtrl+F")}),
            popup("&View", view),
            popup("&Go", {item(cmd::Back, "&Back\tF2"), item(cmd::Forward, "&Forward\tF3"),
                          item(cmd::Home, "&Home Page"), separator(),
                          item(cmd::Navigate, "&Navigate...\tF4"), item(cmd::Links, "&Links...\tAlt+L")}),
            toolsMenu(),
            popup("&Window", {item(cmd::Cascade, "&Cascade"), item(cmd::TileHorizontally, "Tile &Horizontally"),
                              item(cmd::TileVertically, "Tile &Vertically"), item(cmd::Split, "S&plit\tAlt+S")}),
            popup("&Help", {item(cmd::CheckVersion, "&Check for New Version"), separator(),
                            item(cmd::MakerHomePage, kMakerHomePageItem),
                            item(cmd::MailMaker, kMailMakerItem), separator(),
                            item(cmd::About, "&About Corvane...")}),
        };
    }();
    return menu;
}

const MenuEntry &menuIE()
{
    static const MenuEntry menu = popup(
        "&IE", {item(cmd::FavoritesPlaceholder, "Favorites...\tAlt+Z"), separator(),
                item(cmd::AddToFavorites, "&Add to Favorites..."),
                item(cmd::OrganizeFavorites, "&Organize Favorites..."), separator(),
                popup("&Explore", {item(cmd::ExploreCache, "C&ache"), item(cmd::ExploreCookies, "&Cookies"),
                                   item(cmd::ExploreFavorites, "&Favorites"),
                                   item(cmd::ExploreHistory, "&History"),
                                   item(cmd::ExplorePersonal, "&Personal")}),
                item(cmd::InternetOptions, "&Internet Options...\tCtrl+Shift+Z")});
    return menu;
}

const MenuEntry &menuSplit()
{
    static const MenuEntry menu = popup("SplitMenu", {item(cmd::Lock, "Lock"), item(cmd::Unlock, "Unlock")});
    return menu;
}

const std::vector<Accelerator> &acceleratorTable()
{
    static const std::vector<Accelerator> table = {
        {"Ctrl+C", cmd::Copy},         {"Ctrl+Ins", cmd::Copy},
        {"Alt+C", cmd::Stop},          {"Ctrl+Shift+C", cmd::Workspaces},
        {"Alt+L", cmd::Links},         {"Ctrl+Shift+L", cmd::ToolbarVariant},
        {"Ctrl+O", cmd::Open},         {"Alt+O", cmd::Options},
        {"Ctrl+P", cmd::Print},        {"Alt+P", cmd::AutoRefresh},
        {"Alt+Q", cmd::ScanPopups},    {"Ctrl+S", cmd::SaveAs},
        {"Alt+S", cmd::Split},         {"Ctrl+Shift+S", cmd::SmartNavigateToggle},
        {"Ctrl+V", cmd::Paste},        {"Shift+Ins", cmd::Paste},
        {"Ctrl+Z", cmd::Undo},         {"Alt+Backspace", cmd::Undo},
        {"Ctrl+Y", cmd::Redo},         {"Ctrl+Shift+Z", cmd::InternetOptions},
        {"F1", cmd::New},              {"Ctrl+N", cmd::New},
        {"F2", cmd::Back},             {"F3", cmd::Forward},
        {"F4", cmd::Navigate},         {"F5", cmd::Refresh},
        {"F6", cmd::ToolBar},          {"Shift+F6", cmd::PreviousPane},
        {"F7", cmd::Tabs},             {"F8", cmd::StatusBar},
        {"F9", cmd::Mail},             {"F10", cmd::Search},
        {"Ctrl+W", cmd::Close},        {"Ctrl+X", cmd::Cut},
        {"Shift+Del", cmd::Cut},       {"Alt+X", cmd::CloseAll},
        {"Ctrl+Shift+X", cmd::WindowSpawning}, {"Alt+Z", cmd::Favorites},
        // The keys the Edit menu shows for Select All and Find. A browser
        // control that answers them itself is not to be relied on: here the
        // window binds them like the others.
        {"Ctrl+A", cmd::SelectAll},    {"Ctrl+F", cmd::Find},
        // Keys people expect of a browser today, on keys the table leaves
        // free (F6, F7 and F8 keep the bars).
        {"Ctrl+L", cmd::FocusAddress}, {"Alt+D", cmd::FocusAddress},
        {"Alt+Left", cmd::Back},       {"Alt+Right", cmd::Forward},
        {"Ctrl++", cmd::TextLarger},   {"Ctrl+=", cmd::TextLarger},
        {"Ctrl+-", cmd::TextSmaller},  {"Ctrl+0", cmd::FontsNormal},
        {"F11", cmd::FullScreen},      {"Ctrl+F4", cmd::Close},
        {"Ctrl+J", cmd::Downloads},
    };
    return table;
}

const ToolbarSlots &toolbar128()
{
    static const ToolbarSlots slots = {cmd::New, cmd::Split, cmd::ScanPopups, 0, cmd::Back,
                                       cmd::Forward, cmd::Navigate, cmd::Home, cmd::Stop, cmd::Refresh,
                                       0, cmd::Mail, cmd::Search, 0, cmd::LinksManager,
                                       cmd::WindowSpawning, cmd::Workspaces, cmd::Options, 0, cmd::About};
    return slots;
}

const ToolbarSlots &toolbar156()
{
    static const ToolbarSlots slots = [] {
        ToolbarSlots s = toolbar128();
        for (int &id : s)
            if (id == cmd::LinksManager)
                id = cmd::Favorites;
        return s;
    }();
    return slots;
}

bool useFavoritesToolbar(bool ieMenu, bool linksAlwaysOn)
{
    return ieMenu && !linksAlwaysOn;
}

CommandPrompt commandPrompt(int id)
{
    static const std::unordered_map<int, CommandPrompt> prompts = {
        // The main window's own commands.
        {cmd::ToolBar, {"Show or hide the toolbar", "Toggle ToolBar"}},
        {cmd::StatusBar, {"Show or hide the status bar", "Toggle StatusBar"}},
        {cmd::AddressBar, {"Show or hide the address bar", "Toggle Address Bar"}},
        {cmd::Tabs, {"Show or hide window tabs", "Toggle Tabs"}},
        {cmd::Options, {"Change Settings", "Options (Alt+O)"}},
        {cmd::CloseAll, {"Close all documents", "Close All (Alt+X)"}},
        {cmd::Offline, {"View pages offline or online", "Toggle offline mode"}},
        {cmd::ScanPopups, {"Enable or disable Window Spawning Manager", "Scan popups (Alt+Q)"}},
        {cmd::Workspaces, {"Envoke the Workspace Manager", "Workspace Manager (Ctrl+Shift+C)"}},
        {cmd::WindowSpawning, {"Envoke the Window Spawning Manager", "Window Spawning Manager (Ctrl+Shift+X)"}},
        {cmd::Mail, {"Go to Mail Server", "Mail (F9)"}},
        {cmd::Search, {"Search for other sites", "Search (F10)"}},
        {cmd::Links, {"Links to other sites", "Links (Alt+L)"}},
        {cmd::LinksManager, {"Links to other sites", "Links Manager (Alt+L)"}},
        {cmd::Navigate, {"Navigate to a website", "Navigate (F4)"}},
        {cmd::Lock, {"Lock splitter bar in place", ""}},
        {cmd::Unlock, {"Unlock splitter bar", ""}},
        {cmd::MailMaker, {"Send mail to the author of Corvane", ""}},
        {cmd::MakerHomePage, {"Show how Corvane works", ""}},
        {cmd::FontsHuge, {"Changes the view's font aspect to huge affecting all views", ""}},
        {cmd::FontsLarge, {"Changes the view's font aspect to large affecting all views", ""}},
        {cmd::FontsNormal, {"Changes the view's font aspect to normal affecting all views", ""}},
        {cmd::FontsSmall, {"Changes the view's font aspect to small affecting all views", ""}},
        {cmd::FontsTiny, {"Changes the view's font aspect to tiny affecting all views", ""}},
        // Favorites and the page.
        {cmd::Favorites, {"Favorite sites", "Favorites (Alt+Z)"}},
        {cmd::FavoritesPlaceholder, {"Open the Favorites folder", "Favorites (Alt+Z)"}},
        {cmd::AddToFavorites, {"Add to Favorites", "Add to Favorites"}},
        {cmd::OrganizeFavorites, {"Organize Favorites", "Organize Favorites"}},
        {cmd::ExploreCache, {"Explore the Temporary Internet Files folder", "Explore Cache"}},
        {cmd::ExploreCookies, {"Explore the Cookies folder", "Explore Cookies"}},
        {cmd::ExploreFavorites, {"Explore the Favorites folder", "Explore Favorites"}},
        {cmd::ExploreHistory, {"Explore the History folder", "Explore History"}},
        {cmd::ExplorePersonal, {"Explore the Personal folder", "Explore Personal"}},
        {cmd::InternetOptions, {"Launch Internet Options dialog box", "Internet Options"}},
        {cmd::Find, {"Find the specified text", "Find"}},
        {cmd::ViewSource, {"View the source code for the current page", "View source"}},
        {cmd::Properties, {"View properties for the current page", "Properties"}},
        // The framework's standard commands.
        {cmd::New, {"Open a new browser window", "New (Ctrl+N)"}},
        {cmd::Open, {"Open a file in the browser window", "Open (Ctrl+O)"}},
        {cmd::Close, {"Close the active browser window", "Close"}},
        {cmd::SaveAs, {"Save the page with a new name", "Save As"}},
        {cmd::PrintSetup, {"Change the printing options", "Print Setup"}},
        {cmd::Print, {"Print the page", "Print (Ctrl+P)"}},
        {cmd::Preview, {"Show how the page will print", "Print Preview"}},
        {cmd::Exit, {"Quit Corvane", "Exit"}},
        {cmd::Undo, {"Undo the last action", "Undo"}},
        {cmd::Redo, {"Redo the previously undone action", "Redo"}},
        {cmd::Cut, {"Cut the selection and put it on the Clipboard", "Cut"}},
        {cmd::Copy, {"Copy the selection and put it on the Clipboard", "Copy"}},
        {cmd::Paste, {"Insert Clipboard contents", "Paste"}},
        {cmd::SelectAll, {"Select the entire page", "Select All"}},
        {cmd::Stop, {"Stop loading the page", "Stop (Alt+C)"}},
        {cmd::Refresh, {"Reload the page", "Refresh (F5)"}},
        {cmd::Back, {"Go to the previous page", "Back (F2)"}},
        {cmd::Forward, {"Go to the next page", "Forward (F3)"}},
        {cmd::Home, {"Go to the home page", "Home"}},
        {cmd::Cascade, {"Arrange windows so they overlap", "Cascade Windows"}},
        {cmd::TileHorizontally, {"Arrange windows as non-overlapping tiles", "Tile Horizontally"}},
        {cmd::TileVertically, {"Arrange windows side by side", "Tile Vertically"}},
        {cmd::Split, {"Split the active window into panes", "Split (Alt+S)"}},
        {cmd::CheckVersion, {"Check for a newer version of Corvane", "Check for New Version"}},
        {cmd::About, {"Display program information, version number and copyright", "About"}},
        {cmd::AutoRefresh, {"Refresh this page at a set interval", "AutoRefresh (Alt+P)"}},
        // Commands of our own.
        {cmd::FocusAddress, {"Type an address", "Address (Ctrl+L)"}},
        {cmd::FullScreen, {"Show the page alone on the whole screen", "Full Screen (F11)"}},
        {cmd::TextLarger, {"Makes the view's text one size larger", "Larger Text (Ctrl++)"}},
        {cmd::TextSmaller, {"Makes the view's text one size smaller", "Smaller Text (Ctrl+-)"}},
        {cmd::Downloads, {"Show the files downloaded in this session", "Downloads (Ctrl+J)"}},
    };
    const auto it = prompts.find(id);
    return it == prompts.end() ? CommandPrompt{} : it->second;
}

} // namespace corvane
