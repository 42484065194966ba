#pragma once

#include "browser/BrowserWindow.h"
#include "core/PageRequests.h"
#include "core/SettingsStore.h"
#include "core/ShellFolders.h"
#include "core/Stopwatch.h"
#include "managers/OptionsHost.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class AddressBar;
class BrowserView;
class Download;
class DownloadsWindow;
class NavigationLog;
class QAction;
class QFileSystemWatcher;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;
class TrayIcon;
class VersionChecker;
class StatusPane;
class WindowTabBar;

namespace corvane {
struct FavoritesMenu;
struct MenuEntry;
struct Workspace;
struct WorkspaceWindow;
}

// The single top-level window: menus, toolbar, address bar, status bar and
// the MDI area holding every browser window. It keeps the running copies of
// the bar flags, offline mode, popup scanning and text size, and routes every
// command: the active view first, then the main window, then the application.
// It is the Options sheet's host.
class MainWindow : public QMainWindow, public OptionsHost
{
    Q_OBJECT
public:
    // The store and the log belong to the application and outlive the window.
    MainWindow(SettingsStore &settings, NavigationLog &log);
    ~MainWindow() override;

    QMdiArea *mdiArea() const { return m_mdi; }
    BrowserWindow *activeBrowserWindow() const;
    BrowserView *activeView() const override;
    // Adds a browser window to the MDI area and shows it.
    void addBrowserWindow(BrowserWindow *window);
    // Adds a browser window to the MDI area without showing it (a popup
    // waiting for its decision).
    void adoptBrowserWindow(BrowserWindow *window);
    // Shows a browser window of the MDI area, maximized when ChildMaximized
    // is on, and makes it the active one.
    void showBrowserWindow(BrowserWindow *window);

    // Shows the window in the start show state (normal or maximized) that
    // the stored placement chose, after adjusting the menu bar.
    void showWithStartState();
    // Brings the window up for a request from outside (a shell open).
    void bringToFront();
    // AutoSave as it was when the window was created.
    bool autoSaveAtCreation() const { return m_autoSaveAtCreation; }

    // --- workspaces (MainWindowWorkspaces.cpp) ------------------------------------
    // The state of the main window and of every browser window: the main
    // window's place and bars, then the windows from the active one on (the
    // others as they were last active, most recent first), stored in the
    // workspace order.
    corvane::Workspace captureWorkspace(const std::string &name, int startup) const;
    // The browser windows as a capture visits them.
    QList<BrowserWindow *> browserWindowsInVisitingOrder() const;
    // Loads a workspace: every browser window closes without a question;
    // then the bars, the main window's place and the workspace's windows
    // with their places, pages, scroll positions and AutoRefresh; the first
    // one ends up active. An empty record (nothing to load) only closes the
    // windows. With keepWindows the windows open stay and the workspace's
    // join them (a recovery after a start that opened a file), the main
    // window keeps its place and bars, and the window in front stays there.
    void loadWorkspace(const corvane::Workspace &workspace, bool keepWindows = false);

    // --- the tray and always on top ----------------------------------------------
    // Whether the window hides in the tray (the in-tray flag).
    bool inTray() const { return m_inTray; }
    TrayIcon *trayIcon() const { return m_tray; }
    // Hides the window and shows the tray icon. A minimise by the user does
    // this while MinimizeToTray is on and the desktop has a tray.
    void hideToTray();
    // A click on the tray icon: the window comes back, after the password
    // dialog when a password is set. While a prompt is open further clicks
    // do nothing.
    void trayIconClicked();
    bool passwordPromptOpen() const { return m_promptOpen; }
    // The window comes back from the tray: shown, restored, in front.
    void showFromTray();
    // Takes the tray icon away and clears the in-tray flag.
    void removeFromTray();
    // Keeps the window above the others or not, where it is and as large
    // as it is (changing the flag re-creates the native window).
    void setAlwaysOnTop(bool on) override;
    bool alwaysOnTop() const;

    // --- what the browser view asks of the main window (through its host) -----
    // Puts a text into the address box unless the user is typing an address.
    void setAddressText(const QString &text);
    QString addressText() const;
    void clearAddressTyping() { m_addressTyping = false; }
    bool addressTyping() const { return m_addressTyping; }
    void setProgress(int progress, int progressMax);
    int progress() const { return m_progress; }
    int progressMax() const { return m_progressMax; }
    // The secure indicator: "S", a warning after a certificate error, or
    // empty; its tool tip names the security in words.
    void setSecurity(corvane::PageSecurity security) { m_security = security; }
    corvane::PageSecurity security() const { return m_security; }
    // Pane 0 of the status bar.
    void setStatusText(const QString &text);
    // A notice of the program's own (a setting that cannot be saved): it
    // covers pane 0 for a while, whatever the pages say meanwhile.
    void showNotice(const QString &text);
    QString statusText() const { return m_statusText; }
    bool isOffline() const { return m_offline; }
    // Offline mode applies to every open browser window at once.
    void setOffline(bool on);
    bool overrideScriptDebugging() const { return m_overrideScriptDebugging; }
    int fontSize() const { return m_fontSize; }
    void setFontSize(int size) { m_fontSize = size; }
    // The "&IE" menu after "&Tools" in both menu bars when IE is on; the Go
    // menu then loses "&Links...". Safe to call again.
    void insertIEMenu();
    // Re-applies the status bar layout from the current fields.
    void updateStatusPanes();
    // The texts the status panes show now (for the status bar and tests).
    QStringList statusPaneTexts() const;
    // A status pane (0-4).
    StatusPane *statusPane(int pane) const { return m_panes[pane]; }
    // The widths the layout gave the panes, in pixels.
    int statusPaneWidth(int pane) const { return m_paneWidths[pane]; }
    // The protected indicator ("P" or empty); the Security page sets it.
    void setProtectedText(const QString &text) { m_protected = text; }
    // The elapsed-time display; the General page switches it.
    void setShowTimer(bool on) override;
    // A shared printer for Print Setup and printing.
    QPrinter &printer();

    // --- commands ----------------------------------------------------------------
    // Runs a command: the active view, then the main window, then the application.
    // False when nothing handles it (or it is disabled).
    bool runCommand(int id);
    // Enables, disables and checks every command from the current state.
    void updateCommandUI();
    // The action of a command (menus and accelerators share it).
    QAction *commandAction(int id) const;
    bool isCommandEnabled(int id) const;
    bool isCommandChecked(int id) const;
    // The menu bar in use: menu 129 while a browser window exists, else 128.
    bool windowMenuShown() const { return m_windowMenuShown; }
    QList<QMenu *> currentMenus() const;

    // --- bars --------------------------------------------------------------------
    QToolBar *toolBar() const { return m_toolBar; }
    QToolBar *addressBand() const { return m_addressBand; }
    AddressBar *addressBar() const { return m_address; }
    bool toolBarVisible() const { return m_toolBarVisible; }
    bool statusBarVisible() const { return m_statusBarVisible; }
    bool addressBarVisible() const { return m_addressBarVisible; }
    bool tabsVisible() const { return m_tabsVisible; }
    bool popupScanning() const { return m_popupScanning; }
    // Toolbar 128 (Links Manager) or 156 (Favorites), with the normal images
    // shaded when DimToolBar is on and in full colour under the mouse.
    void loadToolbarImages(int toolbar);
    int currentToolbar() const { return m_currentToolbar; }
    // The window tabs around the MDI area: made (again) in the style the
    // settings name, or taken away.
    void createTabs();
    void destroyTabs();
    // nullptr while the tabs are hidden.
    WindowTabBar *tabBar() const { return m_tabBar; }

    // --- Close All ---------------------------------------------------------------
    bool closingAll() const { return m_closingAll; }
    void setClosingAll(bool on) { m_closingAll = on; }
    // Closes the active browser window, or ends closing all when none is left.
    // A closed browser window calls this again while closing all is set.
    void closeNextWindow();
    bool loadingWorkspace() const { return m_loadingWorkspace; }

    // --- favorites and the special folders -------------------------------------------
    // The IE menu once inserted (nullptr before, or with IE off).
    QMenu *ieMenu() const { return m_ieMenu; }
    // Builds the IE menu's Favorites submenu anew from the Favorites folder,
    // in place of the previous one. Nothing while there is no IE menu. The
    // menu is built again when the IE menu opens after the folder changed.
    void buildFavoritesMenu() override;
    // The Favorites submenu (the first item of the IE menu), once built.
    QMenu *favoritesMenu() const;
    // The favorites menu's addresses, by command ID - 3584.
    QStringList &favoriteAddresses() { return m_favoriteAddresses; }
    // Where a special folder is: the "User Shell Folders" value with its
    // variables expanded, else the program's default for it.
    QString shellFolderPath(corvane::ShellFolder folder) const;
    // The version file Check for New Version fetches, and its time-out.
    void setVersionCheckTimeout(int ms) { m_versionCheckTimeoutMs = ms; }

    // Closing without questions (SIGTERM, end of session): every save of a
    // confirmed exit.
    void closeWithoutQuestions();
    // The exit leaves the stored workspaces as they are ("default" is not
    // captured over): the windows open are not the user's (the program
    // ends while it asks which to open).
    void keepStoredWorkspaces() { m_keepStoredWorkspaces = true; }

    // An exit on its way: the pages of the windows are being asked whether
    // they may close.
    bool exitPending() const { return m_askingPagesForExit; }

    // --- downloads ---------------------------------------------------------------
    // The Downloads window (Tools > Downloads, Ctrl+J), made at its first
    // use; it opens by itself when a download starts while
    // ShowDownloadsWindow is on, without taking the focus.
    void showDownloads(bool activate = true);
    DownloadsWindow *downloadsWindow() const;
    // A download's start and end, in the navigation log.
    void logDownload(const Download *download);

    // --- the main window's commands ----------------------------------------------
    void toggleToolBar();
    void toggleStatusBar();
    void toggleAddressBar();
    void toggleTabs();
    void closeAll();
    void toggleOffline();
    void togglePopupScanning();
    void switchToolbarVariant();
    void toggleSmartNavigate();
    void openMail();
    void openSearch();
    void openMakerHomePage();
    void mailMaker();
    void openFavorite(int id);
    void pickFavorite();
    void addToFavorites();
    void organizeFavorites();
    void exploreFolder(int id);
    void showInternetOptions();
    void checkForNewVersion();
    void goToTypedAddress();
    void goToPickedAddress(int index);
    void noteAddressTyping(const QString &text);
    // Ctrl+L, Alt+D: the keyboard focus in the address box with its text
    // selected; the Navigate dialog when the box is out of sight.
    void focusAddressBox();
    void closeActiveWindow();
    void exitProgram();
    void printSetup();
    // The Window Spawning Manager (32896).
    void showWindowSpawningManager();
    // The Navigate dialog (F4) for the active view, opening a window first
    // when none is; then goes to the address it left, or starts the image
    // series it asked for.
    void showNavigateDialog();
    // The Options sheet.
    void showOptions();
    // Commands whose dialogs come with their own modules; until then their
    // actions stay disabled.
    void showWorkspaceManager();
    void showLinksManager();
    // The active browser window's splitter.
    void splitActiveWindow();
    void lockSplitter();
    void unlockSplitter();
    void activatePreviousPane();
    // The split menu ("Lock", "Unlock") at a screen point.
    void showSplitMenu(const QPoint &globalPos);
    QMenu *splitMenu() const { return m_splitMenu; }

    // --- OptionsHost ----------------------------------------------------------------
    SettingsStore &settings() override { return m_settings; }
    NavigationLog &log() override { return m_log; }
    bool trayAvailable() const override;
    void clearAddressHistoryList() override;
    // The IE menu comes or goes, with the toolbar that goes with it.
    void switchIeMenu(bool on) override;
    // Takes the "&IE" menu out of the menu bars; the Go menu gets
    // "&Links..." back.
    void removeIEMenu();
    void applyTabStyle() override;
    void runDefaultBrowserCheck() override { Q_EMIT defaultBrowserCheckRequested(); }
    void reloadToolbar() override;
    void applyActiveBorder() override;
    void setProtectedIndicator(bool on) override;
    QString protectedText() const { return m_protected; }

Q_SIGNALS:
    // The window accepted a close: the program ends.
    void closed();
    // The New command, or a command that needs a browser window while none
    // is open: the application opens one. Connected directly, so the window
    // is there when the emit returns.
    void newWindowRequested();
    // New with its first page given: the window opens at address instead
    // of the home page (a workspace's window). Connected directly.
    void newWindowAtRequested(const QString &address);
    // The General page's "Show message to make CV the default browser": the
    // application asks the question. Connected directly.
    void defaultBrowserCheckRequested();
    // About (57664): the application shows its About box.
    void aboutRequested();
    // What a workspace would record changed: a browser window opened,
    // closed, made active, moved or resized, the main window moved or
    // resized, a bar shown or hidden. (The pages report through the views'
    // host.)
    void windowsChanged();

protected:
    // No menu of Qt's own on the menu bar, the toolbars or the strip beside
    // them: every bar changes only through its command.
    QMenu *createPopupMenu() override { return nullptr; }
    void closeEvent(QCloseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Command
    {
        QAction *action = nullptr;          // menus and accelerators
        QList<QAction *> toolbarButtons;    // the same command on the toolbar
    };

    void restorePlacement();
    void showPendingNotice();
    void createActions();
    QAction *ensureAction(int id, const QString &text = QString());
    void buildMenus();
    QMenu *buildMenu(const corvane::MenuEntry &popup, QWidget *parent);
    void showMenus(bool withWindow);
    void fillWindowList(QMenu *menu);
    void createToolBars();
    void createStatusBar();
    void applyBarVisibility();
    void applyMenuIcons();
    void saveAddressHistory();
    void saveOnDestroy();
    // The bars' and modes' running copies into the store.
    void storeBarsAndModes();
    void onSubWindowActivated(QMdiSubWindow *window);
    // Hides the panes of every window a maximized window in front covers
    // and shows the others' (top: the window to count as the topmost, when
    // the stacking order does not say so yet). scheduleCoverUpdate does it
    // once the current event is done: while the active window changes, the
    // area passes through states that would uncover every window for a
    // moment.
    void updateCoveredWindows(QMdiSubWindow *top = nullptr);
    void scheduleCoverUpdate();
    void fillFavoritesMenu(QMenu *menu, const corvane::FavoritesMenu &folder);
    // The folder, when it is there (the Favorites folder of our own is made
    // when missing); otherwise the "... folder not found." message and an
    // empty text.
    QString existingShellFolder(corvane::ShellFolder folder);
    void watchFavoritesFolder(const QString &folder);
    void onVersionCheckFinished(int outcome);
    void onActiveViewChanged(BrowserWindow *window, BrowserView *view);
    // Places the MDI area, and the tab bar around it, in the central room.
    void layoutClient();
    // A browser window for a workspace entry: its place, its page and
    // AutoRefresh; nullptr when none could open.
    BrowserWindow *openWorkspaceWindow(const corvane::WorkspaceWindow &entry);
    // Closes every browser window at once, without a question.
    void closeAllWindowsNow();
    // The exit's round of the pages: every browser window's, one window
    // after another; MayClose or Stay when all answered at once.
    BrowserWindow::PagesAnswer askPagesForExit();
    BrowserWindow::PagesAnswer askRemainingWindowsForExit();
    void onExitPagesAnswered(bool mayClose);
    void onBrowserWindowCloseRefused(BrowserWindow *window);
    // Navigates the view, opening a browser window first when none is active.
    BrowserView *ensureView();
    bool routeToView(BrowserView *view, int id);
    bool routeToMainWindow(int id);
    bool routeToApplication(int id);
    bool viewHandles(int id) const;
    bool mainWindowHandles(int id) const;
    bool applicationHandles(int id) const;
    void setCommandState(int id, bool enabled, bool checkable, bool checked);

    SettingsStore &m_settings;
    NavigationLog &m_log;
    QWidget *m_client = nullptr; // the central room: the MDI area and the tabs
    QMdiArea *m_mdi = nullptr;
    WindowTabBar *m_tabBar = nullptr;
    QMenu *m_splitMenu = nullptr;
    QToolBar *m_toolBar = nullptr;
    QToolBar *m_addressBand = nullptr;
    AddressBar *m_address = nullptr;
    TrayIcon *m_tray = nullptr;
    QHash<int, Command> m_commands;
    QList<QMenu *> m_menusNoWindow;   // menu 128
    QList<QMenu *> m_menusWithWindow; // menu 129
    QMenu *m_ieMenu = nullptr;
    QPointer<QMenu> m_favoritesMenu;
    QFileSystemWatcher *m_favoritesWatcher = nullptr;
    bool m_favoritesChanged = false;
    VersionChecker *m_versionChecker = nullptr;
    QPointer<BrowserView> m_versionCheckView;
    int m_versionCheckTimeoutMs = 10000;
    StatusPane *m_panes[5] = {};
    int m_paneWidths[5] = {};
    QPointer<QMdiSubWindow> m_lastActivated;
    std::unique_ptr<QPrinter> m_printer;
    Stopwatch m_runTime;
    QString m_elapsed;
    QString m_statusText;
    QString m_notice; // waits for the window to show
    corvane::PageSecurity m_security = corvane::PageSecurity::NotEncrypted;
    QString m_protected;
    QStringList m_favoriteAddresses;
    int m_progress = 0;
    int m_progressMax = 0;
    int m_fontSize = 3;
    int m_startShowCmd = 1;
    // The place the window was last given as stored (the placement at
    // start, then a loaded workspace's): what a capture records where the
    // platform does not say where the window is.
    Rect m_givenPlace;
    int m_clockTimer = 0;
    int m_currentToolbar = 128;
    bool m_windowMenuShown = false;
    bool m_toolBarVisible = true;
    bool m_statusBarVisible = true;
    bool m_addressBarVisible = true;
    bool m_tabsVisible = false;
    bool m_showTimer = true;
    bool m_addressTyping = false;
    bool m_offline = false;
    bool m_popupScanning = false;
    bool m_closingAll = false;
    bool m_loadingWorkspace = false;
    bool m_coverUpdatePending = false;
    bool m_overrideScriptDebugging = false;
    bool m_autoSaveAtCreation = false;
    bool m_skipQuestions = false;
    bool m_keepStoredWorkspaces = false;
    bool m_closed = false;
    // Exit: the pages are being asked; then they all may close.
    bool m_askingPagesForExit = false;
    bool m_exitApproved = false;
    QList<QPointer<BrowserWindow>> m_exitWindowsToAsk;
    QPointer<BrowserWindow> m_exitWindowAsking;
    QPointer<DownloadsWindow> m_downloads;
    // The exit's saves, from the confirmed close to the window's end: one
    // rewrite per file.
    std::unique_ptr<SettingsStore::DeferredCommit> m_exitSaves;
    bool m_inTray = false;
    bool m_promptOpen = false;
    bool m_authenticated = false;
    // The program minimises the window itself (a start show state): that
    // minimise does not go to the tray.
    bool m_minimizingItself = false;
    bool m_destroying = false;
};
