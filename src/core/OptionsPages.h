#pragma once

#include "core/UserMessage.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class NavigationLog;
class SettingsStore;

namespace corvane {

// The Options sheet's rules without a window: what each page reads, which
// controls are enabled, what its OK writes and what it leaves for the main
// window to do at once. Pages read when the sheet is made and write only on
// OK, and only when the user has opened them.

// --- General ------------------------------------------------------------------------

// The check list's items, in their order on the page.
enum class GeneralItem {
    AutoSave,
    NoDialogs,
    MsMenus,
    DimToolBar,
    Logo,
    ShowTimer,
    AddressHistory,
    AlwaysOnTop,
    IeMenu,
    Logging,
    SavePosition,
    DefaultBrowserQuestion,
    SmartNavigate,
};
inline constexpr int kGeneralItemCount = 13;
extern const std::array<const char *, kGeneralItemCount> kGeneralItemTexts;

struct GeneralPageValues
{
    std::array<bool, kGeneralItemCount> items{};
    bool tabsBottom = false;
    bool tabsButtons = false;
    bool tabsStacked = false;

    bool item(GeneralItem i) const { return items[std::size_t(i)]; }
    void setItem(GeneralItem i, bool on) { items[std::size_t(i)] = on; }
    bool operator==(const GeneralPageValues &) const = default;
};

// The page's values as stored ("Show message to make CV the default
// browser" is BiPassDefault negated).
GeneralPageValues readGeneralPage(const SettingsStore &settings);

// Whether an item can be changed: the IE menu only while a browser window
// is open, "Disable dialog boxes coming from sites" only while popups are
// scanned, and in CD mode not the splash screen, address history, logging,
// saved position and default-browser items (their settings are read-only).
struct GeneralPageContext
{
    bool haveView = false;
    bool spawning = false;
    bool cdMode = false;
};
bool generalItemEnabled(GeneralItem item, const GeneralPageContext &context);

// What OK leaves for the main window, in this order.
struct GeneralPageEffects
{
    enum class IeMenu { Unchanged, Enabled, Disabled };

    bool showTimer = true;        // show or hide the elapsed time, timer on or off
    bool alwaysOnTop = false;     // above other windows or not, not moved
    bool clearAddressList = false; // history switched off: empty the drop-down now
    IeMenu ieMenu = IeMenu::Unchanged;
    bool tabStyleChanged = false; // re-create the window tabs if they are shown
    bool buildFavorites = false;  // IE on now, off when the sheet was made
    bool askDefaultBrowser = false;
    std::optional<UserMessage> menuStyleMessage;

    bool operator==(const GeneralPageEffects &) const = default;
};

// OK: writes the page's settings and the logging lines ("Logging enabled"
// after switching on, "Logging disabled" before switching off), clears the
// start-up flag of every stored workspace when AutoSave is ticked, and says
// what the main window has to do. `initial` is what the page read when the
// sheet was made.
GeneralPageEffects applyGeneralPage(SettingsStore &settings, NavigationLog &log, const GeneralPageValues &initial,
                                    const GeneralPageValues &values);

// --- Paths --------------------------------------------------------------------------

struct PathsPageValues
{
    std::string homeUrl;
    std::string searchUrl;
    std::string mailServer;
    std::string logFile;
    bool operator==(const PathsPageValues &) const = default;
};
PathsPageValues readPathsPage(const SettingsStore &settings);

// The log file in a chosen folder: folder + "/Corvane.log", without a
// doubled slash after the root or a folder given with its slash.
std::string logFileInFolder(std::string_view folder);

inline constexpr const char *kLogFolderTitle = "Select a Starting Directory";

// OK's check of the log file, outside CD mode: a path lines cannot be
// written to is replaced by the default log file, with this message.
struct LogFileCheck
{
    std::string logFile;
    std::optional<UserMessage> message;
};
LogFileCheck checkLogFile(const std::string &logFile, const std::string &defaultLogFile, bool cdMode);

// OK: HomeURL, MailServer, LogFile, SearchURL in that order (the store's CD
// mode rules apply).
void applyPathsPage(SettingsStore &settings, const PathsPageValues &values);

// --- Current View ---------------------------------------------------------------------

// An interval edit as the page reads it: an integer (blanks around it
// allowed) within [min, max]; otherwise the message to show, the page then
// staying open with the focus on the field.
struct IntegerField
{
    std::optional<int> value;
    std::optional<UserMessage> message;
};
IntegerField readIntegerField(std::string_view text, int min, int max);

inline constexpr int kAutoRefreshMaxMinutes = 60;
inline constexpr int kAutoRefreshMaxSeconds = 59;

// --- Messages -----------------------------------------------------------------------

// The nine check boxes in their order on the page.
enum class MessageItem {
    AutoRefresh,
    LinksSave,
    MenuIcons,
    ScanPopups,
    OfflineAtStart,
    CloseAll,
    Exit,
    ConfirmNewWindow,
    SmartNavigate,
};
inline constexpr int kMessageItemCount = 9;
extern const std::array<const char *, kMessageItemCount> kMessageItemTexts;
using MessagesPageValues = std::array<bool, kMessageItemCount>;
MessagesPageValues readMessagesPage(const SettingsStore &settings);
// In CD mode the offline and menu-icons messages cannot be changed.
bool messageItemEnabled(MessageItem item, bool cdMode);
void applyMessagesPage(SettingsStore &settings, const MessagesPageValues &values);

// --- Security -----------------------------------------------------------------------

inline constexpr const char *kMinimizeToTaskbar = "Taskbar";
inline constexpr const char *kMinimizeToTray = "Tray";
// Shown under "Minimize to:" where the desktop has no tray.
inline constexpr const char *kNoTrayNote =
    "This desktop has no system tray, so Corvane always minimizes to the taskbar: a window hidden "
    "in a tray that is not there could not be brought back.";

// The password edits take input only with "Tray" chosen and never in CD mode.
bool passwordEditsEnabled(bool tray, bool cdMode);

// A password edit as OK reads it. The store never hands out the password:
// while one is stored, both edits show a placeholder instead, and an edit
// still showing it stands for the stored password.
struct PasswordField
{
    std::string text;
    bool storedPlaceholder = false;
};

struct SecurityPageOutcome
{
    int minimizeToTray = 0;
    std::optional<std::string> newPassword; // to store; "" removes the password
    std::optional<UserMessage> message;
    bool protectedIndicator = false; // "P": a password is set and "Tray" chosen
};

// OK: two fields that differ clear the password, with a message; equal
// fields that differ from the stored password store it (also the empty one),
// with a message; equal to the stored password, nothing is written or said.
// matchesStored tells whether a typed text is the stored password.
SecurityPageOutcome securityPageOk(bool tray, const PasswordField &password, const PasswordField &confirmation,
                                   bool passwordStored,
                                   const std::function<bool(const std::string &)> &matchesStored);

// Told when a new password could not be stored (the hash failed).
UserMessage passwordNotStoredMessage();

} // namespace corvane
