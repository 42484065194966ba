#include "core/OptionsPages.h"

#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"

#include <climits>

namespace corvane {

namespace {

int flag(bool on)
{
    return on ? 1 : 0;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

// --- General ------------------------------------------------------------------------

const std::array<const char *, kGeneralItemCount> kGeneralItemTexts = {
    "Automatically save workspace on exit",
    "Disable dialog boxes coming from sites",
    "Display menus with shadows and icons",
    "Display shaded toolbar",
    "Display splash screen on startup",
    "Display timer on status bar",
    "Enable address bar history",
    "Enable Always On Top",
    "Enable IE menu item",
    "Enable navigational logging",
    "Save position when exiting",
    "Show message to make CV the default browser",
    "Use SmartNavigate (Ctrl+Shift+S)",
};

GeneralPageValues readGeneralPage(const SettingsStore &s)
{
    GeneralPageValues v;
    v.setItem(GeneralItem::Logging, s.logging() != 0);
    v.setItem(GeneralItem::SavePosition, s.savePosition() != 0);
    v.setItem(GeneralItem::Logo, s.logo() != 0);
    v.setItem(GeneralItem::ShowTimer, s.showTimer() != 0);
    v.setItem(GeneralItem::AlwaysOnTop, s.alwaysOnTop() != 0);
    v.setItem(GeneralItem::AddressHistory, s.saveAddressHistory() != 0);
    v.setItem(GeneralItem::IeMenu, s.ie() != 0);
    v.setItem(GeneralItem::DefaultBrowserQuestion, s.biPassDefault() == 0);
    v.tabsBottom = s.tabsBottomPlacement() != 0;
    v.tabsStacked = s.tabsStacked() != 0;
    v.tabsButtons = s.tabsButtons() != 0;
    v.setItem(GeneralItem::MsMenus, s.msMenus() != 0);
    v.setItem(GeneralItem::NoDialogs, s.noDialogs() != 0);
    v.setItem(GeneralItem::AutoSave, s.autoSave() != 0);
    v.setItem(GeneralItem::DimToolBar, s.dimToolBar() != 0);
    v.setItem(GeneralItem::SmartNavigate, s.smartNavigate() != 0);
    return v;
}

bool generalItemEnabled(GeneralItem item, const GeneralPageContext &context)
{
    switch (item) {
    case GeneralItem::IeMenu:
        return context.haveView;
    case GeneralItem::NoDialogs:
        return context.spawning;
    case GeneralItem::Logo:
    case GeneralItem::AddressHistory:
    case GeneralItem::Logging:
    case GeneralItem::SavePosition:
    case GeneralItem::DefaultBrowserQuestion:
        return !context.cdMode;
    default:
        return true;
    }
}

GeneralPageEffects applyGeneralPage(SettingsStore &s, NavigationLog &log, const GeneralPageValues &initial,
                                    const GeneralPageValues &v)
{
    GeneralPageEffects effects;

    // Logging: the line about it is written while logging is on.
    const bool logging = v.item(GeneralItem::Logging);
    const bool wasLogging = s.logging() != 0;
    if (logging && !wasLogging) {
        s.setLogging(1);
        log.write("Logging enabled");
    } else if (!logging && wasLogging) {
        log.write("Logging disabled");
        s.setLogging(0);
    } else {
        s.setLogging(flag(logging));
    }

    s.setSavePosition(flag(v.item(GeneralItem::SavePosition)));
    s.setLogo(flag(v.item(GeneralItem::Logo)));
    s.setNoDialogs(flag(v.item(GeneralItem::NoDialogs)));
    s.setAutoSave(flag(v.item(GeneralItem::AutoSave)));
    s.setShowTimer(flag(v.item(GeneralItem::ShowTimer)));
    s.setDimToolBar(flag(v.item(GeneralItem::DimToolBar)));
    s.setSmartNavigate(flag(v.item(GeneralItem::SmartNavigate)));
    effects.showTimer = v.item(GeneralItem::ShowTimer);

    effects.alwaysOnTop = v.item(GeneralItem::AlwaysOnTop);
    s.setAlwaysOnTop(flag(effects.alwaysOnTop));

    // Switching the history off also forgets the stored one.
    s.setSaveAddressHistory(flag(v.item(GeneralItem::AddressHistory)));
    effects.clearAddressList = !v.item(GeneralItem::AddressHistory);

    // With AutoSave no other workspace starts with the program.
    if (v.item(GeneralItem::AutoSave)) {
        WorkspaceMap workspaces = s.loadWorkspaces();
        for (auto &[name, text] : workspaces) {
            Workspace workspace = Workspace::parse(text);
            workspace.startup = 0;
            text = workspace.text();
        }
        s.storeWorkspaces(workspaces);
    }

    const bool ie = v.item(GeneralItem::IeMenu);
    const bool storedIe = s.ie() != 0;
    if (ie != storedIe)
        effects.ieMenu = ie ? GeneralPageEffects::IeMenu::Enabled : GeneralPageEffects::IeMenu::Disabled;
    s.setIe(flag(ie));

    effects.tabStyleChanged = (s.tabsBottomPlacement() != 0) != v.tabsBottom
                              || (s.tabsStacked() != 0) != v.tabsStacked
                              || (s.tabsButtons() != 0) != v.tabsButtons;
    s.setTabsBottomPlacement(flag(v.tabsBottom));
    s.setTabsStacked(flag(v.tabsStacked));
    s.setTabsButtons(flag(v.tabsButtons));

    effects.buildFavorites = ie && !initial.item(GeneralItem::IeMenu);

    const bool ask = v.item(GeneralItem::DefaultBrowserQuestion);
    s.setBiPassDefault(flag(!ask));
    effects.askDefaultBrowser = ask;

    // The menu style changes at the next start; say so once.
    const bool msMenus = v.item(GeneralItem::MsMenus);
    if (!s.cdSupport() && msMenus != initial.item(GeneralItem::MsMenus) && s.msgMsMenu()) {
        effects.menuStyleMessage =
            msMenus ? UserMessage{"MS menus will be active the next time Corvane starts.", "MS menus enabled",
                                  UserMessage::Icon::Information}
                    : UserMessage{"MS menus will be inactive the next time Corvane starts.", "MS menus disabled",
                                  UserMessage::Icon::Information};
    }
    s.setMsMenus(flag(msMenus));
    return effects;
}

// --- Paths --------------------------------------------------------------------------

PathsPageValues readPathsPage(const SettingsStore &s)
{
    return {s.homeUrl(), s.searchUrl(), s.mailServer(), s.logFile()};
}

std::string logFileInFolder(std::string_view folder)
{
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + "Corvane.log";
}

LogFileCheck checkLogFile(const std::string &logFile, const std::string &defaultLogFile, bool cdMode)
{
    if (cdMode || NavigationLog::canWrite(logFile))
        return {logFile, std::nullopt};
    return {defaultLogFile,
            UserMessage{"The log filename has been changed to " + defaultLogFile + " because it was invalid.",
                        "Invalid filename", UserMessage::Icon::Information}};
}

void applyPathsPage(SettingsStore &s, const PathsPageValues &v)
{
    s.setHomeUrl(v.homeUrl);
    s.setMailServer(v.mailServer);
    s.setLogFile(v.logFile);
    s.setSearchUrl(v.searchUrl);
}

// --- Current View ---------------------------------------------------------------------

IntegerField readIntegerField(std::string_view text, int min, int max)
{
    const UserMessage notAnInteger{"Please enter an integer.", "Corvane", UserMessage::Icon::Exclamation};
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const std::size_t digits = pos;
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos++] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return {std::nullopt, notAnInteger};
    }
    if (pos == digits)
        return {std::nullopt, notAnInteger};
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return {std::nullopt, notAnInteger};
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return {std::nullopt, notAnInteger};
    if (value < min || value > max)
        return {std::nullopt,
                UserMessage{"Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max)
                                + ".",
                            "Corvane", UserMessage::Icon::Exclamation}};
    return {int(value), std::nullopt};
}

// --- Messages -----------------------------------------------------------------------

const std::array<const char *, kMessageItemCount> kMessageItemTexts = {
    "Show message after AutoRefresh toggle",
    "Show message after links have been saved to a file",
    "Show message after menu icons toggle",
    "Show message after scan popups toggle",
    "Show message if the program is offline on startup",
    "Show message before closing all views",
    "Show message before exiting program",
    "Show message to confirm every spawned window",
    "Show message after SmartNavigate toggle",
};

MessagesPageValues readMessagesPage(const SettingsStore &s)
{
    return {s.msgAutoRefresh() != 0, s.msgLinksSave() != 0,      s.msgMsMenu() != 0,
            s.msgWindowSpawning() != 0, s.msgOffline() != 0,     s.msgCloseAll() != 0,
            s.msgExit() != 0,          s.msgConfirmNewWindow() != 0, s.msgSmartNavigate() != 0};
}

bool messageItemEnabled(MessageItem item, bool cdMode)
{
    return !cdMode || (item != MessageItem::OfflineAtStart && item != MessageItem::MenuIcons);
}

void applyMessagesPage(SettingsStore &s, const MessagesPageValues &v)
{
    s.setMsgAutoRefresh(flag(v[0]));
    s.setMsgLinksSave(flag(v[1]));
    s.setMsgMsMenu(flag(v[2]));
    s.setMsgWindowSpawning(flag(v[3]));
    s.setMsgOffline(flag(v[4]));
    s.setMsgCloseAll(flag(v[5]));
    s.setMsgExit(flag(v[6]));
    s.setMsgConfirmNewWindow(flag(v[7]));
    s.setMsgSmartNavigate(flag(v[8]));
}

// --- Security -----------------------------------------------------------------------

bool passwordEditsEnabled(bool tray, bool cdMode)
{
    return tray && !cdMode;
}

SecurityPageOutcome securityPageOk(bool tray, const PasswordField &password, const PasswordField &confirmation,
                                   bool passwordStored,
                                   const std::function<bool(const std::string &)> &matchesStored)
{
    SecurityPageOutcome outcome;
    outcome.minimizeToTray = flag(tray);

    // Whether a field stands for the stored password.
    const auto isStored = [&](const PasswordField &field) {
        if (field.storedPlaceholder)
            return true;
        return passwordStored ? matchesStored(field.text) : field.text.empty();
    };

    bool equal = false;
    if (password.storedPlaceholder || confirmation.storedPlaceholder)
        equal = isStored(password) && isStored(confirmation);
    else
        equal = password.text == confirmation.text;

    bool setAfter = passwordStored;
    if (!equal) {
        outcome.newPassword = std::string();
        outcome.message = UserMessage{"Your password has been reset because it did not match the confirmation password.",
                                      "Authentication disabled", UserMessage::Icon::Exclamation};
        setAfter = false;
    } else if (!isStored(password)) {
        outcome.newPassword = password.text;
        outcome.message =
            UserMessage{"Password changed successfully.", "Authentication enabled", UserMessage::Icon::Information};
        setAfter = !password.text.empty();
    }
    outcome.protectedIndicator = setAfter && tray;
    return outcome;
}

UserMessage passwordNotStoredMessage()
{
    return {"The password could not be stored; the previous one stays in force.", "Password not changed",
            UserMessage::Icon::Stop};
}

} // namespace corvane
