#pragma once

#include "core/Rect.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileFile;
class UserStore;

// A packed colour as the settings carry it: 0x00BBGGRR.
using Rgb = std::uint32_t;
constexpr Rgb makeRgb(int r, int g, int b)
{
    return Rgb(r & 0xFF) | (Rgb(g & 0xFF) << 8) | (Rgb(b & 0xFF) << 16);
}
constexpr int rgbRed(Rgb c) { return int(c & 0xFF); }
constexpr int rgbGreen(Rgb c) { return int((c >> 8) & 0xFF); }
constexpr int rgbBlue(Rgb c) { return int((c >> 16) & 0xFF); }

// The program's version, compared with and written to the Version setting.
inline constexpr const char *kCorvaneVersion = "3.00";

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
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // Start-up selection of the backing store; called once before any read.
    void OpenBackingStore();
    bool usingIniFile() const { return m_iniMode; }

    // The whole per-user store (HKEY_CURRENT_USER's stand-in), for the few
    // values outside the program's own key (script debugger, shell folders).
    UserStore &userStore() { return *m_userStore; }
    const Locations &locations() const { return m_locations; }

    // The folder "cd:" in HomeURL resolves to in CD mode: the mount point
    // holding the current directory. Replaceable for tests.
    void setCdRootResolver(std::function<std::string()> resolver);

    // --- scalar settings ----------------------------------------------------
    std::string GetHomeURL() const;          void SetHomeURL(const std::string &v);
    int GetLogging() const;                  void SetLogging(int v);
    int GetHideToolBar() const;              void SetHideToolBar(int v);
    int GetHideStatusBar() const;            void SetHideStatusBar(int v);
    int GetShowAddressBar() const;           void SetShowAddressBar(int v);
    std::string GetMailServer() const;       void SetMailServer(const std::string &v);
    int GetSavePosition() const;             void SetSavePosition(int v);
    int GetChildMaximized() const;           void SetChildMaximized(int v);
    int GetLogo() const;                     void SetLogo(int v);
    int GetMinimizeToTray() const;           void SetMinimizeToTray(int v);
    std::string GetVersion() const;          void SetVersion(const std::string &v);
    std::string GetPassword() const;         void SetPassword(const std::string &v);
    int GetShowTimer() const;                void SetShowTimer(int v);
    int GetAlwaysOnTop() const;              void SetAlwaysOnTop(int v);
    int GetFonts() const;                    void SetFonts(int v);
    Rgb GetViewRGB() const;                  void SetViewRGB(Rgb v);
    int GetViewBorder3D() const;             void SetViewBorder3D(int v);
    int GetViewBorder3DEnabled() const;      void SetViewBorder3DEnabled(int v);
    int GetOffline() const;                  void SetOffline(int v);
    int GetSpawning() const;                 void SetSpawning(int v);
    int GetSaveAddressHistory() const;       void SetSaveAddressHistory(int v);
    std::string GetLogFile() const;          void SetLogFile(const std::string &v);
    int GetIE() const;                       void SetIE(int v);
    int GetBiPassDefault() const;            void SetBiPassDefault(int v);
    std::string GetSearchURL() const;        void SetSearchURL(const std::string &v);
    int GetHideTabs() const;                 void SetHideTabs(int v);
    int GetTabsBottomPlacement() const;      void SetTabsBottomPlacement(int v);
    int GetTabsStacked() const;              void SetTabsStacked(int v);
    int GetTabsButtons() const;              void SetTabsButtons(int v);
    int GetMSMenus() const;                  void SetMSMenus(int v);
    int GetMsgAutoRefresh() const;           void SetMsgAutoRefresh(int v);
    int GetMsgLinksSave() const;             void SetMsgLinksSave(int v);
    int GetMsgMSMenu() const;                void SetMsgMSMenu(int v);
    int GetMsgWindowSpawning() const;        void SetMsgWindowSpawning(int v);
    int GetMsgOffline() const;               void SetMsgOffline(int v);
    int GetMsgCloseAll() const;              void SetMsgCloseAll(int v);
    int GetMsgExit() const;                  void SetMsgExit(int v);
    int GetMsgConfirmNewWindow() const;      void SetMsgConfirmNewWindow(int v);
    int GetMsgSmartNavigate() const;         void SetMsgSmartNavigate(int v);
    int GetCDSupport() const;                void SetCDSupport(int v);
    int GetEnableIniFile() const;            void SetEnableIniFile(int v);
    int GetLinksAlwaysOn() const;            void SetLinksAlwaysOn(int v);
    int GetNoDialogs() const;                void SetNoDialogs(int v);
    int GetAutoSave() const;                 void SetAutoSave(int v);
    int GetOverrideScriptDebugging() const;  void SetOverrideScriptDebugging(int v);
    std::string GetPreviousDebuggerValue() const; void SetPreviousDebuggerValue(const std::string &v);
    int GetSpawningFilter() const;           void SetSpawningFilter(int v);
    int GetSpawningSallyport() const;        void SetSpawningSallyport(int v);
    int GetDimToolBar() const;               void SetDimToolBar(int v);
    int GetSmartNavigate() const;            void SetSmartNavigate(int v);

    // The web view's script-debugger switch: "Disable Script Debugger" of
    // Software\Microsoft\Internet Explorer\Main in the per-user store.
    // Nothing when that key does not exist. A run on the INI file leaves the
    // per-user store alone, so the setter writes nothing then.
    std::optional<std::string> GetScriptDebuggerSwitch() const;
    void SetScriptDebuggerSwitch(const std::string &value);

    // --- main-window placement ("Placement") ----------------------------------
    struct MainPlacement
    {
        Rect rect;       // where the window is created
        int showCmd = 1; // the start show state (1 normal, 3 maximized, ...)
    };
    // Adjusts the creation rectangle and start show state from the stored
    // record. workArea is the primary screen's available area, or nothing
    // when it cannot be had.
    MainPlacement RestoreMainPlacement(const MainPlacement &creation,
                                       const std::optional<Rect> &workArea) const;
    // Stores the placement: maximized or not, and the normal rectangle in
    // screen coordinates.
    void SaveMainPlacement(bool maximized, const Rect &normalRect);

    // --- stored lists ---------------------------------------------------------
    using LinkMap = std::map<std::string, std::string>;      // name -> address
    using WorkspaceMap = std::map<std::string, std::string>; // name -> record

    std::vector<std::string> LoadAddressHistory() const;
    void StoreAddressHistory(const std::vector<std::string> &items);
    LinkMap LoadLinks() const;
    void StoreLinks(const LinkMap &links);
    std::vector<std::string> LoadFilter() const;
    void StoreFilter(const std::vector<std::string> &words);
    std::vector<std::string> LoadSallyport() const;
    void StoreSallyport(const std::vector<std::string> &sites);
    WorkspaceMap LoadWorkspaces() const;
    void StoreWorkspaces(const WorkspaceMap &workspaces);

    // Resizable dialogs' rectangles by dialog name ("Links", "Spawning",
    // anything else = the Workspace Manager). Restore gives nothing in CD
    // mode or while no record exists (Bottom or Right 0).
    std::optional<Rect> RestoreDialogPlacement(const std::string &dialogName) const;
    void SaveDialogPlacement(const std::string &dialogName, const Rect &rect);

private:
    // Changes gathered for one rewrite of whichever back end is in use.
    class Writer;

    bool cdMode() const;
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
};
