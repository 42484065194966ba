#pragma once

#include "core/Rect.h"
#include "core/SitePermissions.h"
#include "core/ShellFolders.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileFile;
class UserStore;
struct MemoryFile;

// A packed colour as the settings carry it: 0x00BBGGRR.
using Rgb = std::uint32_t;
constexpr Rgb makeRgb(int r, int g, int b)
{
    return Rgb(r & 0xFF) | (Rgb(g & 0xFF) << 8) | (Rgb(b & 0xFF) << 16);
}
constexpr int rgbRed(Rgb c) { return int(c & 0xFF); }
constexpr int rgbGreen(Rgb c) { return int((c >> 8) & 0xFF); }
constexpr int rgbBlue(Rgb c) { return int((c >> 16) & 0xFF); }
// The colour button's "automatic": no colour of its own chosen.
inline constexpr Rgb kAutomaticColour = 0xFF000000;

// The program's version, compared with and written to the Version setting.
inline constexpr const char *kCorvaneVersion = "3.00";
// The one-line version file Check for New Version fetches (VersionURL).
inline constexpr const char *kDefaultVersionUrl = "https://www.tolvek.example/corvane/version.txt";

// Every persistent option of the browser, read and written through at once.
// The backing store is either the per-user store (the registry's stand-in,
// key Software\Tolvek\Corvane) or "Corvane.ini" beside the executable when it
// holds EnableIniFile=1. Nothing is cached: each getter reads the store anew.
class SettingsStore
{
public:
    // Where things live. iniFile: "Corvane.ini" beside the executable;
    // userStoreFile: the per-user store file; homeDir: the user's home folder
    // (the default log file lives there).
    struct Locations
    {
        std::string iniFile;
        std::string userStoreFile;
        std::string homeDir;
    };

    explicit SettingsStore(Locations locations);
    // Both files held in memory (see SectionedFile), nothing read from or
    // written to the disk: the store as the fuzz target runs it.
    SettingsStore(MemoryFile iniFile, MemoryFile userStoreFile, std::string homeDir);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // Start-up selection of the backing store; called once before any read.
    void openBackingStore();
    bool usingIniFile() const { return m_iniMode; }

    // The whole per-user store (HKEY_CURRENT_USER's stand-in), for the few
    // values outside the program's own key (script debugger, shell folders).
    UserStore &userStore() { return *m_userStore; }
    const Locations &locations() const { return m_locations; }

    // A write the back end in use refused (its file and folder read-only, a
    // full disk) loses the value; a file that is there but cannot be read
    // (larger than 64 MiB, a read error) gives the defaults and is left as
    // it is, never replaced. Either is reported once per run through this
    // handler, with the file's path and what went wrong (storeProblemText
    // says it to the user): an unreadable one as soon as openBackingStore()
    // finds it. saveFailed() tells whether one happened.
    enum class StoreProblem { CannotWrite, CannotRead };
    using SaveFailureHandler = std::function<void(const std::string &path, StoreProblem problem)>;
    void setSaveFailureHandler(SaveFailureHandler handler);
    bool saveFailed() const { return m_saveFailed; }
    static std::string storeProblemText(StoreProblem problem, const std::string &path);

    // Saves made together: every write from its creation until it goes (or
    // commit() is called) is kept, read back at once through the store, and
    // then written with one rewrite per file, onto the file as it is then,
    // so another instance's writes meanwhile stay. The exit's saves and the
    // Options sheet's OK are one such transaction. Nests: the outermost one
    // writes. A write that fails is reported through the save failure
    // handler, as an immediate one is.
    class DeferredCommit
    {
    public:
        explicit DeferredCommit(SettingsStore &store);
        ~DeferredCommit();
        DeferredCommit(const DeferredCommit &) = delete;
        DeferredCommit &operator=(const DeferredCommit &) = delete;
        // Writes now, once; false when a file could not be written.
        bool commit();

    private:
        SettingsStore *m_store;
    };

    // The folder "cd:" in HomeURL resolves to in CD mode: the mount point
    // holding the current directory. Replaceable for tests.
    void setCdRootResolver(std::function<std::string()> resolver);

    // --- scalar settings ----------------------------------------------------
    // One getter and one setter per stored value, named for the value:
    // HideToolBar is hideToolBar() / setHideToolBar(), HomeURL homeUrl().
    std::string homeUrl() const;          void setHomeUrl(const std::string &v);
    int logging() const;                  void setLogging(int v);
    int hideToolBar() const;              void setHideToolBar(int v);
    int hideStatusBar() const;            void setHideStatusBar(int v);
    int showAddressBar() const;           void setShowAddressBar(int v);
    std::string mailServer() const;       void setMailServer(const std::string &v);
    // Help, the mail item's address; kDefaultAuthorMail when none is stored.
    std::string authorMail() const;       void setAuthorMail(const std::string &v);
    int savePosition() const;             void setSavePosition(int v);
    int childMaximized() const;           void setChildMaximized(int v);
    int logo() const;                     void setLogo(int v);
    int minimizeToTray() const;           void setMinimizeToTray(int v);
    std::string version() const;          void setVersion(const std::string &v);
    int showTimer() const;                void setShowTimer(int v);
    int alwaysOnTop() const;              void setAlwaysOnTop(int v);
    int fonts() const;                    void setFonts(int v);
    Rgb viewRgb() const;                  void setViewRgb(Rgb v);
    int viewBorder3D() const;             void setViewBorder3D(int v);
    int viewBorder3DEnabled() const;      void setViewBorder3DEnabled(int v);
    int offline() const;                  void setOffline(int v);
    int spawning() const;                 void setSpawning(int v);
    int saveAddressHistory() const;       void setSaveAddressHistory(int v);
    std::string logFile() const;          void setLogFile(const std::string &v);
    // Corvane.log in the home folder: LogFile's value when none is stored.
    std::string defaultLogFile() const;
    int ie() const;                       void setIe(int v);
    int biPassDefault() const;            void setBiPassDefault(int v);
    std::string searchUrl() const;        void setSearchUrl(const std::string &v);
    int hideTabs() const;                 void setHideTabs(int v);
    int tabsBottomPlacement() const;      void setTabsBottomPlacement(int v);
    int tabsStacked() const;              void setTabsStacked(int v);
    int tabsButtons() const;              void setTabsButtons(int v);
    int msMenus() const;                  void setMsMenus(int v);
    int msgAutoRefresh() const;           void setMsgAutoRefresh(int v);
    int msgLinksSave() const;             void setMsgLinksSave(int v);
    int msgMsMenu() const;                void setMsgMsMenu(int v);
    int msgWindowSpawning() const;        void setMsgWindowSpawning(int v);
    int msgOffline() const;               void setMsgOffline(int v);
    int msgCloseAll() const;              void setMsgCloseAll(int v);
    int msgExit() const;                  void setMsgExit(int v);
    int msgConfirmNewWindow() const;      void setMsgConfirmNewWindow(int v);
    int msgSmartNavigate() const;         void setMsgSmartNavigate(int v);
    int cdSupport() const;                void setCdSupport(int v);
    int enableIniFile() const;            void setEnableIniFile(int v);
    int linksAlwaysOn() const;            void setLinksAlwaysOn(int v);
    int noDialogs() const;                void setNoDialogs(int v);
    int autoSave() const;                 void setAutoSave(int v);
    int overrideScriptDebugging() const;  void setOverrideScriptDebugging(int v);
    std::string previousDebuggerValue() const; void setPreviousDebuggerValue(const std::string &v);
    int spawningFilter() const;           void setSpawningFilter(int v);
    int spawningSallyport() const;        void setSpawningSallyport(int v);
    int dimToolBar() const;               void setDimToolBar(int v);
    int smartNavigate() const;            void setSmartNavigate(int v);
    // Internet Options: the web profile's scripts and images switches.
    int enableJavaScript() const;         void setEnableJavaScript(int v);
    int loadImages() const;               void setLoadImages(int v);
    // Downloads: the Downloads window opens when a download starts (1); a
    // download asks where to save it (1) or goes into the download folder
    // under a name of its own (0).
    int showDownloadsOnStart() const;     void setShowDownloadsOnStart(int v);
    int askWhereToSave() const;           void setAskWhereToSave(int v);
    // Check for New Version's address; kDefaultVersionUrl when unset or empty.
    std::string versionUrl() const;       void setVersionUrl(const std::string &v);

    // The password asked before the window comes back from the tray
    // ("Password"). The store never hands it out: it says whether one is
    // set and whether a typed text is it, and takes a new one, which it
    // stores as a salted hash. A correct check of a password stored in the
    // scrambled form of earlier versions rewrites it as a hash.
    bool hasPassword() const;
    bool checkPassword(const std::string &typed);
    // An empty password removes it. False when nothing could be stored
    // (the hash failed); the stored password is then unchanged.
    bool setPassword(const std::string &password);

    // The web view's script-debugger switch: "Disable Script Debugger" of
    // Software\Microsoft\Internet Explorer\Main in the per-user store.
    // Nothing when that key does not exist. A run on the INI file leaves the
    // per-user store alone, so the setter writes nothing then.
    std::optional<std::string> scriptDebuggerSwitch() const;
    void setScriptDebuggerSwitch(const std::string &value);

    // A special folder's value in the per-user store's "User Shell Folders"
    // key, as stored (not expanded); nothing when there is none. Read in
    // either back end: the key is the desktop's, not the program's.
    std::optional<std::string> userShellFolder(corvane::ShellFolder folder) const;

    // --- main-window placement ("Placement") ----------------------------------
    struct MainPlacement
    {
        Rect rect;       // where the window is created
        int showCmd = 1; // the start show state (1 normal, 3 maximized, ...)
        Rect stored;     // the record as stored, before any adjustment
    };
    // Adjusts the creation rectangle and start show state from the stored
    // record. workArea is the primary screen's available area, or nothing
    // when it cannot be had. A restored window is at most the size of the
    // work area, at least a usable size (kUsableMainWindow) and with that
    // much of it on the work area.
    MainPlacement restoreMainPlacement(const MainPlacement &creation,
                                       const std::optional<Rect> &workArea) const;
    // Stores the placement: maximized or not, and the normal rectangle in
    // screen coordinates. Where the platform does not report positions
    // (positionReported false) the stored corner stays, with the new size.
    void saveMainPlacement(bool maximized, const Rect &normalRect, bool positionReported = true);

    // --- stored lists ---------------------------------------------------------
    using LinkMap = std::map<std::string, std::string>;      // name -> address
    using WorkspaceMap = std::map<std::string, std::string>; // name -> record

    std::vector<std::string> loadAddressHistory() const;
    void storeAddressHistory(const std::vector<std::string> &items);
    LinkMap loadLinks() const;
    void storeLinks(const LinkMap &links);
    std::vector<std::string> loadFilter() const;
    void storeFilter(const std::vector<std::string> &words);
    std::vector<std::string> loadSallyport() const;
    void storeSallyport(const std::vector<std::string> &sites);
    WorkspaceMap loadWorkspaces() const;
    void storeWorkspaces(const WorkspaceMap &workspaces);
    // The answers the user gave sites ("SitePermissions", "Site%d"), as
    // their text form (SitePermissions.h); an unreadable entry is skipped.
    corvane::SitePermissionList loadSitePermissions() const;
    void storeSitePermissions(const corvane::SitePermissionList &permissions);

    // Resizable dialogs' rectangles by dialog name ("Links", "Spawning",
    // anything else = the Workspace Manager). Restore gives nothing in CD
    // mode or while no record exists (Bottom or Right 0).
    std::optional<Rect> restoreDialogPlacement(const std::string &dialogName) const;
    // Where the platform does not report positions, the stored corner stays.
    void saveDialogPlacement(const std::string &dialogName, const Rect &rect, bool positionReported = true);

private:
    // Changes gathered for one rewrite of whichever back end is in use.
    class Writer;

    void beginDeferred();
    bool endDeferred();

    bool cdMode() const;
    // Takes note of a write's outcome: the first failure is reported.
    void noteSaved(bool ok);
    // The back end in use is there but cannot be read.
    bool storeUnreadable() const;
    void reportProblem(StoreProblem problem);
    int readInt(const char *section, const std::string &name, int defaultValue) const;
    std::string readString(const char *section, const std::string &name) const;
    void writeInt(const char *section, const std::string &name, int value);
    void writeString(const char *section, const std::string &name, const std::string &value);
    std::vector<std::string> loadList(const char *section, const char *prefix) const;
    void storeList(Writer &writer, const char *section, const char *prefix,
                   const std::vector<std::string> &values) const;
    // Filter words and sallyport sites: "Word%d" in their own section.
    void storeWordList(const char *section, const std::vector<std::string> &words);

    Locations m_locations;
    bool m_iniMode = false;
    std::unique_ptr<ProfileFile> m_ini;
    std::unique_ptr<UserStore> m_userStore;
    std::function<std::string()> m_cdRoot;
    SaveFailureHandler m_onSaveFailure;
    bool m_saveFailed = false;
};
