#pragma once

class BrowserView;
class NavigationLog;
class SettingsStore;

// What the Options sheet needs from the main window it belongs to: the store
// and the log, the active view (Current View page), and the effects a page's
// OK has at once. The main window implements it.
class OptionsHost
{
public:
    virtual ~OptionsHost() = default;

    virtual SettingsStore &settings() = 0;
    virtual NavigationLog &log() = 0;
    // The active browser view; nullptr while no browser window is open.
    virtual BrowserView *activeView() const = 0;
    // Whether the desktop has a tray to minimise to.
    virtual bool trayAvailable() const = 0;

    // --- General -----------------------------------------------------------------------
    // Shows or hides the elapsed time and runs its timer accordingly.
    virtual void setShowTimer(bool on) = 0;
    // Keeps the window above the others or not, without moving it.
    virtual void setAlwaysOnTop(bool on) = 0;
    // Empties the address box's drop-down list.
    virtual void clearAddressHistoryList() = 0;
    // The IE menu comes (toolbar 156 or 128, the menu after Tools, Links
    // leaves the Go menu) or goes (toolbar 128, Links back in the Go menu).
    virtual void switchIeMenu(bool on) = 0;
    // The window tabs take the stored style (re-created when shown).
    virtual void applyTabStyle() = 0;
    // Fills the IE menu's favorites.
    virtual void buildFavoritesMenu() = 0;
    // Asks "Default browser alert" now.
    virtual void runDefaultBrowserCheck() = 0;
    // Loads the toolbar again from the stored settings (IE, LinksAlwaysOn,
    // DimToolBar); done whenever the sheet closes.
    virtual void reloadToolbar() = 0;

    // --- Current View ------------------------------------------------------------------
    // The ActiveBorder settings changed: redraw it.
    virtual void applyActiveBorder() = 0;

    // --- Security ----------------------------------------------------------------------
    // The "P" pane of the status bar.
    virtual void setProtectedIndicator(bool on) = 0;
};
