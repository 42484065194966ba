#include "core/SettingsStore.h"

#include "core/ProfileFile.h"
#include "core/Links.h"
#include "core/Password.h"
#include "core/StoredText.h"
#include "core/Strings.h"
#include "core/UserStore.h"
#include "core/Workspace.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kSettings = "Settings";
constexpr const char *kPlacement = "Placement";
constexpr const char *kWorkspaces = "Workspaces";
constexpr const char *kWorkspacesPlacement = "Workspaces\\Placement";
constexpr const char *kLinks = "Links";
constexpr const char *kLinksPlacement = "Links\\Placement";
constexpr const char *kAddressHistory = "AddressHistory";
constexpr const char *kFilter = "Filter";
constexpr const char *kSallyport = "Sallyport";
constexpr const char *kSitePermissions = "SitePermissions";

constexpr const char *kAppKey = "Software\\Tolvek\\Corvane";
constexpr std::size_t kMaxAddressHistory = 40;

std::string keyPathOf(const char *section)
{
    return std::string(kAppKey) + "\\" + section;
}

std::string numbered(const char *prefix, std::size_t n)
{
    return prefix + std::to_string(n);
}

std::string toLowerAscii(std::string_view text)
{
    return sectioned::toLowerAscii(text);
}

// The mount point holding the current directory: walk up from it while the
// parent is on the same device.
std::string mountPointOfCurrentDirectory()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return "/";
    std::string path(buffer);
    struct stat st;
    if (path.empty() || path[0] != '/' || ::stat(path.c_str(), &st) != 0)
        return "/";
    const dev_t device = st.st_dev;
    while (path != "/") {
        const std::size_t slash = path.rfind('/');
        const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device)
            break;
        path = parent;
    }
    return path;
}

// sscanf's "%d": blanks, an optional sign, at least one digit. Wraps at 32
// bits instead of running into undefined behaviour.
bool scanInt(std::string_view text, std::size_t &pos, int &out)
{
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t digitsStart = pos;
    std::uint32_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        value = value * 10u + std::uint32_t(text[pos++] - '0');
    if (pos == digitsStart)
        return false;
    out = static_cast<int>(negative ? 0u - value : value);
    return true;
}

// "%d,%d,%d"
bool scanColour(std::string_view text, int &r, int &g, int &b)
{
    std::size_t pos = 0;
    return scanInt(text, pos, r) && pos < text.size() && text[pos++] == ',' && scanInt(text, pos, g)
           && pos < text.size() && text[pos++] == ',' && scanInt(text, pos, b);
}

// A drive path in the sense of the Windows world ("E:\...") or an absolute
// path here: what CD mode does not store as the home page.
bool isDrivePath(const std::string &value)
{
    return value.find(':') == 1 || (!value.empty() && value.front() == '/');
}

const char *dialogSection(const std::string &dialogName)
{
    if (dialogName == "Links")
        return kLinksPlacement;
    if (dialogName == "Spawning")
        return "SpawningPlacement";
    return kWorkspacesPlacement;
}

} // namespace

// --- back-end access ----------------------------------------------------------------

class SettingsStore::Writer
{
public:
    explicit Writer(SettingsStore &store) : m_store(store) {}

    bool iniMode() const { return m_store.m_iniMode; }

    void writeInt(const char *section, const std::string &name, int value)
    {
        if (iniMode())
            m_ini.writeInt(section, name, value);
        else
            m_user.writeDword(keyPathOf(section), name, value);
    }
    void writeString(const char *section, const std::string &name, const std::string &value)
    {
        if (iniMode())
            m_ini.writeString(section, name, value);
        else
            m_user.writeString(keyPathOf(section), name, value);
    }
    // Registry mode: removes the key with its subkeys. The INI file keeps
    // its sections (a list there ends at its terminator instead).
    void deleteKey(const char *section)
    {
        if (!iniMode())
            m_user.deleteKey(keyPathOf(section));
    }
    void commit()
    {
        m_store.noteSaved(iniMode() ? m_store.m_ini->commit(m_ini) : m_store.m_userStore->commit(m_user));
    }

private:
    SettingsStore &m_store;
    ProfileFile::Batch m_ini;
    UserStore::Batch m_user;
};

SettingsStore::SettingsStore(Locations locations)
    : m_locations(std::move(locations)),
      m_ini(std::make_unique<ProfileFile>(m_locations.iniFile)),
      m_userStore(std::make_unique<UserStore>(m_locations.userStoreFile))
{
}

SettingsStore::SettingsStore(MemoryFile iniFile, MemoryFile userStoreFile, std::string homeDir)
    : m_locations{std::string(), std::string(), std::move(homeDir)},
      m_ini(std::make_unique<ProfileFile>(std::move(iniFile))),
      m_userStore(std::make_unique<UserStore>(std::move(userStoreFile)))
{
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::setCdRootResolver(std::function<std::string()> resolver)
{
    m_cdRoot = std::move(resolver);
}

void SettingsStore::openBackingStore()
{
    // The INI file first: it alone says whether it is the store.
    m_iniMode = true;
    if (m_ini->getInt(kSettings, "EnableIniFile", 0) != 0) {
        if (m_ini->unreadable())
            reportProblem(StoreProblem::CannotRead);
        return;
    }

    // Leave both switches in the file, ready to be edited.
    m_ini->writeInt(kSettings, "EnableIniFile", 0);
    if (m_ini->getInt(kSettings, "CDSupport", 0) == 0)
        m_ini->writeInt(kSettings, "CDSupport", 0);

    m_iniMode = false;
    if (m_userStore->unreadable())
        reportProblem(StoreProblem::CannotRead);
}

bool SettingsStore::cdMode() const
{
    return cdSupport() != 0;
}

int SettingsStore::readInt(const char *section, const std::string &name, int defaultValue) const
{
    if (m_iniMode)
        return m_ini->getInt(section, name, defaultValue);
    return m_userStore->readDword(keyPathOf(section), name).value_or(defaultValue);
}

std::string SettingsStore::readString(const char *section, const std::string &name) const
{
    if (m_iniMode)
        return m_ini->getString(section, name);
    return m_userStore->readString(keyPathOf(section), name).value_or(std::string());
}

void SettingsStore::writeInt(const char *section, const std::string &name, int value)
{
    noteSaved(m_iniMode ? m_ini->writeInt(section, name, value)
                        : m_userStore->writeDword(keyPathOf(section), name, value));
}

void SettingsStore::writeString(const char *section, const std::string &name, const std::string &value)
{
    noteSaved(m_iniMode ? m_ini->writeString(section, name, value)
                        : m_userStore->writeString(keyPathOf(section), name, value));
}

SettingsStore::DeferredCommit::DeferredCommit(SettingsStore &store) : m_store(&store)
{
    m_store->beginDeferred();
}

SettingsStore::DeferredCommit::~DeferredCommit()
{
    commit();
}

bool SettingsStore::DeferredCommit::commit()
{
    if (!m_store)
        return true;
    SettingsStore *store = std::exchange(m_store, nullptr);
    return store->endDeferred();
}

void SettingsStore::beginDeferred()
{
    m_ini->beginDeferred();
    m_userStore->beginDeferred();
}

bool SettingsStore::endDeferred()
{
    const bool iniWritten = m_ini->endDeferred();
    const bool userWritten = m_userStore->endDeferred();
    const bool ok = m_iniMode ? iniWritten : userWritten;
    noteSaved(ok);
    return ok;
}

void SettingsStore::setSaveFailureHandler(SaveFailureHandler handler)
{
    m_onSaveFailure = std::move(handler);
}

std::string SettingsStore::storeProblemText(StoreProblem problem, const std::string &path)
{
    if (problem == StoreProblem::CannotRead)
        return "Corvane cannot read its settings: " + path
               + " cannot be read; the defaults are used and the file is left as it is.";
    return "Corvane cannot save its settings: " + path + " cannot be written.";
}

bool SettingsStore::storeUnreadable() const
{
    return m_iniMode ? m_ini->unreadable() : m_userStore->unreadable();
}

void SettingsStore::reportProblem(StoreProblem problem)
{
    if (m_saveFailed)
        return;
    m_saveFailed = true;
    if (m_onSaveFailure)
        m_onSaveFailure(m_iniMode ? m_locations.iniFile : m_locations.userStoreFile, problem);
}

void SettingsStore::noteSaved(bool ok)
{
    if (ok || m_saveFailed)
        return;
    // A file that could not be read is not written either: that is what to say.
    reportProblem(storeUnreadable() ? StoreProblem::CannotRead : StoreProblem::CannotWrite);
}

// --- scalar settings ------------------------------------------------------------------

// getter, setter: the accessors; Name: the stored value's name.
#define CORVANE_INT_SETTING(getter, setter, Name, Section, Default)                                    \
    int SettingsStore::getter() const { return readInt(Section, #Name, Default); }                    \
    void SettingsStore::setter(int v) { writeInt(Section, #Name, v); }

// Read-only media: the getter gives a fixed value and the setter writes nothing.
#define CORVANE_CD_INT_SETTING(getter, setter, Name, Section, Default, CdValue)                        \
    int SettingsStore::getter() const { return cdMode() ? CdValue : readInt(Section, #Name, Default); } \
    void SettingsStore::setter(int v)                                                                  \
    {                                                                                                  \
        if (!cdMode())                                                                                 \
            writeInt(Section, #Name, v);                                                               \
    }

#define CORVANE_STRING_SETTING(getter, setter, Name)                                                   \
    std::string SettingsStore::getter() const { return readString(kSettings, #Name); }                \
    void SettingsStore::setter(const std::string &v) { writeString(kSettings, #Name, v); }

CORVANE_CD_INT_SETTING(logging, setLogging, Logging, kSettings, 0, 0)
CORVANE_INT_SETTING(hideToolBar, setHideToolBar, HideToolBar, kSettings, 0)
CORVANE_INT_SETTING(hideStatusBar, setHideStatusBar, HideStatusBar, kSettings, 0)
CORVANE_STRING_SETTING(mailServer, setMailServer, MailServer)
CORVANE_CD_INT_SETTING(savePosition, setSavePosition, SavePosition, kPlacement, 1, 0)
CORVANE_INT_SETTING(childMaximized, setChildMaximized, ChildMaximized, kSettings, 1)
CORVANE_CD_INT_SETTING(logo, setLogo, Logo, kSettings, 1, 1)
CORVANE_INT_SETTING(minimizeToTray, setMinimizeToTray, MinimizeToTray, kSettings, 0)
CORVANE_INT_SETTING(alwaysOnTop, setAlwaysOnTop, AlwaysOnTop, kSettings, 0)
CORVANE_INT_SETTING(fonts, setFonts, Fonts, kSettings, 3)
CORVANE_INT_SETTING(viewBorder3D, setViewBorder3D, ViewBorder3D, kSettings, 1)
CORVANE_INT_SETTING(viewBorder3DEnabled, setViewBorder3DEnabled, ViewBorder3DEnabled, kSettings, 1)
CORVANE_INT_SETTING(offline, setOffline, Offline, kSettings, 0)
CORVANE_INT_SETTING(spawning, setSpawning, Spawning, kSettings, 0)
CORVANE_INT_SETTING(ie, setIe, IE, kSettings, 1)
CORVANE_CD_INT_SETTING(biPassDefault, setBiPassDefault, BiPassDefault, kSettings, 0, 1)
CORVANE_STRING_SETTING(searchUrl, setSearchUrl, SearchURL)
CORVANE_INT_SETTING(hideTabs, setHideTabs, HideTabs, kSettings, 0)
CORVANE_INT_SETTING(tabsBottomPlacement, setTabsBottomPlacement, TabsBottomPlacement, kSettings, 1)
CORVANE_INT_SETTING(tabsStacked, setTabsStacked, TabsStacked, kSettings, 0)
CORVANE_INT_SETTING(tabsButtons, setTabsButtons, TabsButtons, kSettings, 0)
CORVANE_INT_SETTING(msMenus, setMsMenus, MSMenus, kSettings, 1)
CORVANE_INT_SETTING(msgAutoRefresh, setMsgAutoRefresh, MsgAutoRefresh, kSettings, 1)
CORVANE_INT_SETTING(msgLinksSave, setMsgLinksSave, MsgLinksSave, kSettings, 1)
CORVANE_CD_INT_SETTING(msgMsMenu, setMsgMsMenu, MsgMSMenu, kSettings, 1, 0)
CORVANE_INT_SETTING(msgWindowSpawning, setMsgWindowSpawning, MsgWindowSpawning, kSettings, 1)
CORVANE_CD_INT_SETTING(msgOffline, setMsgOffline, MsgOffline, kSettings, 1, 0)
CORVANE_INT_SETTING(msgCloseAll, setMsgCloseAll, MsgCloseAll, kSettings, 1)
CORVANE_INT_SETTING(msgExit, setMsgExit, MsgExit, kSettings, 1)
CORVANE_INT_SETTING(msgConfirmNewWindow, setMsgConfirmNewWindow, MsgConfirmNewWindow, kSettings, 1)
CORVANE_INT_SETTING(msgSmartNavigate, setMsgSmartNavigate, MsgSmartNavigate, kSettings, 1)
CORVANE_INT_SETTING(cdSupport, setCdSupport, CDSupport, kSettings, 0)
CORVANE_INT_SETTING(enableIniFile, setEnableIniFile, EnableIniFile, kSettings, 0)
CORVANE_INT_SETTING(linksAlwaysOn, setLinksAlwaysOn, LinksAlwaysOn, kSettings, 0)
CORVANE_INT_SETTING(noDialogs, setNoDialogs, NoDialogs, kSettings, 0)
CORVANE_INT_SETTING(autoSave, setAutoSave, AutoSave, kWorkspaces, 0)
CORVANE_INT_SETTING(overrideScriptDebugging, setOverrideScriptDebugging, OverrideScriptDebugging, kSettings, 1)
CORVANE_STRING_SETTING(previousDebuggerValue, setPreviousDebuggerValue, PreviousDebuggerValue)
CORVANE_INT_SETTING(spawningFilter, setSpawningFilter, SpawningFilter, kSettings, 1)
CORVANE_INT_SETTING(spawningSallyport, setSpawningSallyport, SpawningSallyport, kSettings, 1)
CORVANE_INT_SETTING(dimToolBar, setDimToolBar, DimToolBar, kSettings, 1)
CORVANE_INT_SETTING(smartNavigate, setSmartNavigate, SmartNavigate, kSettings, 1)
CORVANE_INT_SETTING(enableJavaScript, setEnableJavaScript, EnableJavaScript, kSettings, 1)
CORVANE_INT_SETTING(loadImages, setLoadImages, LoadImages, kSettings, 1)
// Downloads.
CORVANE_INT_SETTING(showDownloadsOnStart, setShowDownloadsOnStart, ShowDownloadsWindow, kSettings, 1)
CORVANE_INT_SETTING(askWhereToSave, setAskWhereToSave, AskWhereToSave, kSettings, 0)

#undef CORVANE_INT_SETTING
#undef CORVANE_CD_INT_SETTING
#undef CORVANE_STRING_SETTING

std::string SettingsStore::homeUrl() const
{
    const std::string url = readString(kSettings, "HomeURL");
    if (!cdMode())
        return url;
    // "cd:" counts at the start or after a slash ("file://cd:/..."), not
    // where it ends a host name before its port ("http://www.abcd:8080/").
    const std::string lower = toLowerAscii(url);
    std::size_t at = lower.find("cd:");
    while (at != std::string::npos && at > 0 && lower[at - 1] != '/' && lower[at - 1] != '\\')
        at = lower.find("cd:", at + 1);
    if (at == std::string::npos)
        return url;

    // "cd:" stands for the root of the medium we run from.
    std::string root = m_cdRoot ? m_cdRoot() : mountPointOfCurrentDirectory();
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    // A path on the medium written the Windows way ("cd:\\Start\\Index.htm")
    // takes our separators.
    std::string rest = url.substr(at + 3);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    if (!rest.empty() && rest.front() == '/')
        rest.erase(0, 1);
    std::string path = root + "/" + rest;
    return url.substr(0, at) + path;
}

void SettingsStore::setHomeUrl(const std::string &v)
{
    if (cdMode() && isDrivePath(v))
        return;
    writeString(kSettings, "HomeURL", v);
}

std::string SettingsStore::authorMail() const
{
    const std::string address = readString(kSettings, "AuthorMail");
    return address.empty() ? std::string(corvane::kDefaultAuthorMail) : address;
}

void SettingsStore::setAuthorMail(const std::string &v)
{
    writeString(kSettings, "AuthorMail", v);
}

int SettingsStore::showAddressBar() const
{
    return readInt(kSettings, "HideAddressBar", 0) == 0 ? 1 : 0;
}

void SettingsStore::setShowAddressBar(int v)
{
    writeInt(kSettings, "HideAddressBar", v == 0 ? 1 : 0);
}

int SettingsStore::showTimer() const
{
    return readInt(kSettings, "HideTimer", 0) == 0 ? 1 : 0;
}

void SettingsStore::setShowTimer(int v)
{
    writeInt(kSettings, "HideTimer", v == 0 ? 1 : 0);
}

std::string SettingsStore::version() const
{
    return cdMode() ? std::string(kCorvaneVersion) : readString(kSettings, "Version");
}

void SettingsStore::setVersion(const std::string &v)
{
    if (!cdMode())
        writeString(kSettings, "Version", v);
}

bool SettingsStore::hasPassword() const
{
    return !readString(kSettings, "Password").empty();
}

bool SettingsStore::checkPassword(const std::string &typed)
{
    const std::string stored = readString(kSettings, "Password");
    if (!corvane::passwordMatches(stored, typed))
        return false;
    if (corvane::passwordNeedsRehash(stored)) {
        if (const auto hash = corvane::passwordHash(typed))
            writeString(kSettings, "Password", *hash);
    }
    return true;
}

bool SettingsStore::setPassword(const std::string &password)
{
    const std::optional<std::string> hash = corvane::passwordHash(password);
    if (!hash)
        return false;
    writeString(kSettings, "Password", *hash);
    return true;
}

Rgb SettingsStore::viewRgb() const
{
    int r = 0;
    int g = 0;
    int b = 0;
    if (!scanColour(readString(kSettings, "ViewRGB"), r, g, b))
        return makeRgb(0, 255, 0);
    return makeRgb(r, g, b);
}

void SettingsStore::setViewRgb(Rgb v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%d,%d,%d", rgbRed(v), rgbGreen(v), rgbBlue(v));
    writeString(kSettings, "ViewRGB", text);
}

int SettingsStore::saveAddressHistory() const
{
    return cdMode() ? 0 : readInt(kSettings, "SaveAddressHistory", 1);
}

void SettingsStore::setSaveAddressHistory(int v)
{
    if (cdMode())
        return;
    // Switching the history off forgets it in the per-user store, whichever
    // back end is in use; an INI file keeps its entries (they are not loaded
    // while the switch is off).
    if (v == 0)
        m_userStore->deleteKey(keyPathOf(kAddressHistory));
    writeInt(kSettings, "SaveAddressHistory", v);
}

std::string SettingsStore::logFile() const
{
    if (cdMode())
        return std::string();
    // A file name here is UTF-8, whatever the Windows world stored.
    std::string file = corvane::decodeStoredText(readString(kSettings, "LogFile"));
    std::string home = m_locations.homeDir;
    while (!home.empty() && home.back() == '/')
        home.pop_back();
    if (file.empty())
        return defaultLogFile();
    // A drive path from the Windows world ("C:\Corvane.log"): the home
    // folder stands for the drive's root.
    if (file.size() >= 3 && std::isalpha(static_cast<unsigned char>(file[0])) && file[1] == ':'
        && (file[2] == '\\' || file[2] == '/')) {
        std::string rest = file.substr(3);
        std::replace(rest.begin(), rest.end(), '\\', '/');
        return home + "/" + rest;
    }
    return file;
}

std::string SettingsStore::defaultLogFile() const
{
    std::string home = m_locations.homeDir;
    while (!home.empty() && home.back() == '/')
        home.pop_back();
    return home + "/Corvane.log";
}

void SettingsStore::setLogFile(const std::string &v)
{
    if (!cdMode())
        writeString(kSettings, "LogFile", v);
}

// --- main-window placement -------------------------------------------------------------

namespace {
const char *const kScriptDebuggerKey = "Software\\Microsoft\\Internet Explorer\\Main";
const char *const kScriptDebuggerValue = "Disable Script Debugger";
} // namespace

std::optional<std::string> SettingsStore::scriptDebuggerSwitch() const
{
    if (!m_userStore->keyExists(kScriptDebuggerKey))
        return std::nullopt;
    return m_userStore->readString(kScriptDebuggerKey, kScriptDebuggerValue).value_or(std::string());
}

void SettingsStore::setScriptDebuggerSwitch(const std::string &value)
{
    if (!m_iniMode)
        m_userStore->writeString(kScriptDebuggerKey, kScriptDebuggerValue, value);
}

std::optional<std::string> SettingsStore::userShellFolder(corvane::ShellFolder folder) const
{
    return m_userStore->readString(corvane::kUserShellFoldersKey, corvane::shellFolderName(folder));
}

std::string SettingsStore::versionUrl() const
{
    const std::string url = readString(kSettings, "VersionURL");
    return url.empty() ? std::string(kDefaultVersionUrl) : url;
}

void SettingsStore::setVersionUrl(const std::string &v)
{
    writeString(kSettings, "VersionURL", v);
}

SettingsStore::MainPlacement SettingsStore::restoreMainPlacement(const MainPlacement &creation,
                                                                 const std::optional<Rect> &workArea) const
{
    Rect stored;
    stored.bottom = readInt(kPlacement, "Bottom", 697);
    stored.left = readInt(kPlacement, "Left", 88);
    stored.right = readInt(kPlacement, "Right", 952);
    stored.top = readInt(kPlacement, "Top", 88);
    const int showCmd = readInt(kPlacement, "ShowCmd", 3) == 3 ? 3 : 1;

    MainPlacement result = creation;
    result.stored = stored;
    const int start = creation.showCmd;
    const bool keepStart = start == 2 || start == 6 || start == 7 || start == 3; // minimized or maximized
    if (!keepStart)
        result.showCmd = showCmd;

    if (!workArea)
        return result;
    const Rect visible = intersected(stored, *workArea);
    if (visible.isEmpty())
        return result;
    // The stored size, but never larger than the work area: a hand-edited
    // record (or one saved on a larger desktop) may hold edges whose
    // difference does not even fit an int, and a window of such a size
    // cannot be drawn. The corner lies on the work area, so the window is
    // always at least partly on it.
    const auto extent = [](int from, int to, int areaFrom, int areaTo) {
        const long long size = static_cast<long long>(to) - from;
        const long long area = static_cast<long long>(areaTo) - areaFrom;
        return static_cast<int>(std::min(size, area));
    };
    const long long right =
        static_cast<long long>(visible.left) + extent(stored.left, stored.right, workArea->left, workArea->right);
    const long long bottom =
        static_cast<long long>(visible.top) + extent(stored.top, stored.bottom, workArea->top, workArea->bottom);
    const Rect atCorner{visible.left, visible.top, static_cast<int>(std::min<long long>(right, INT_MAX)),
                        static_cast<int>(std::min<long long>(bottom, INT_MAX))};
    // A window too small to use, or with too little of it on the work
    // area, is made usable there.
    result.rect = placeOnArea(atCorner, *workArea, kUsableMainWindow).value_or(atCorner);
    return result;
}

void SettingsStore::saveMainPlacement(bool maximized, const Rect &reportedRect, bool positionReported)
{
    // The record's defaults are the place a first start takes.
    const Rect stored{readInt(kPlacement, "Left", 88), readInt(kPlacement, "Top", 88),
                      readInt(kPlacement, "Right", 952), readInt(kPlacement, "Bottom", 697)};
    const Rect normalRect = placementToStore(reportedRect, stored, positionReported);
    Writer writer(*this);
    writer.writeInt(kPlacement, "Bottom", normalRect.bottom);
    writer.writeInt(kPlacement, "Left", normalRect.left);
    writer.writeInt(kPlacement, "Right", normalRect.right);
    writer.writeInt(kPlacement, "Top", normalRect.top);
    writer.writeInt(kPlacement, "ShowCmd", maximized ? 3 : 1);
    writer.commit();
}

// --- stored lists -----------------------------------------------------------------------

std::vector<std::string> SettingsStore::loadList(const char *section, const char *prefix) const
{
    std::vector<std::string> values;
    for (std::size_t n = 1;; ++n) {
        std::string value = readString(section, numbered(prefix, n));
        if (value.empty())
            break;
        values.push_back(std::move(value));
    }
    return values;
}

// Numbers the values from 1. An empty value would end the list when it is
// read back and hide every later entry, so empty values are left out. The
// INI file keeps older entries: a terminator (count + 1, empty) hides them.
void SettingsStore::storeList(Writer &writer, const char *section, const char *prefix,
                              const std::vector<std::string> &values) const
{
    std::size_t count = 0;
    for (const std::string &value : values) {
        if (!value.empty())
            writer.writeString(section, numbered(prefix, ++count), value);
    }
    if (writer.iniMode())
        writer.writeString(section, numbered(prefix, count + 1), std::string());
}

std::vector<std::string> SettingsStore::loadAddressHistory() const
{
    return loadList(kAddressHistory, "Address");
}

void SettingsStore::storeAddressHistory(const std::vector<std::string> &items)
{
    std::vector<std::string> kept;
    for (const std::string &item : items) {
        if (kept.size() == kMaxAddressHistory)
            break;
        if (!item.empty())
            kept.push_back(item);
    }
    Writer writer(*this);
    writer.deleteKey(kAddressHistory);
    storeList(writer, kAddressHistory, "Address", kept);
    writer.commit();
}

SettingsStore::LinkMap SettingsStore::loadLinks() const
{
    LinkMap links;
    for (const std::string &text : loadList(kLinks, "Link")) {
        // A text starting with the separator has no name: skipped.
        if (auto entry = corvane::parseLinkEntry(text))
            links[std::move(entry->first)] = std::move(entry->second);
    }
    return links;
}

void SettingsStore::storeLinks(const LinkMap &links)
{
    std::vector<std::string> values;
    values.reserve(links.size());
    for (const auto &[name, address] : links) {
        if (name.empty())
            continue; // could never be read back
        values.push_back(corvane::linkEntryText(name, address));
    }
    Writer writer(*this);
    writer.deleteKey(kLinksPlacement);
    writer.deleteKey(kLinks);
    storeList(writer, kLinks, "Link", values);
    writer.commit();
}

std::vector<std::string> SettingsStore::loadFilter() const
{
    return loadList(kFilter, "Word");
}

void SettingsStore::storeFilter(const std::vector<std::string> &words)
{
    storeWordList(kFilter, words);
}

std::vector<std::string> SettingsStore::loadSallyport() const
{
    return loadList(kSallyport, "Word");
}

void SettingsStore::storeSallyport(const std::vector<std::string> &sites)
{
    storeWordList(kSallyport, sites);
}

void SettingsStore::storeWordList(const char *section, const std::vector<std::string> &words)
{
    Writer writer(*this);
    writer.deleteKey(section);
    storeList(writer, section, "Word", words);
    writer.commit();
}

SettingsStore::WorkspaceMap SettingsStore::loadWorkspaces() const
{
    WorkspaceMap workspaces;
    const std::vector<std::string> records = loadList(kWorkspaces, "Workspace");
    std::vector<std::size_t> nameless;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t end = corvane::workspaceNameEnd(records[i]);
        if (end == std::string::npos || end == 0)
            nameless.push_back(i);
        else
            workspaces[records[i].substr(0, end)] = records[i];
    }
    // A record without a name is known by its value's name. A workspace the
    // user named so keeps it: the record takes the next number free, so
    // that neither is lost at the next store.
    for (const std::size_t i : nameless) {
        for (std::size_t n = i + 1;; ++n) {
            if (workspaces.try_emplace(numbered("Workspace", n), records[i]).second)
                break;
        }
    }
    return workspaces;
}

void SettingsStore::storeWorkspaces(const WorkspaceMap &workspaces)
{
    // The key also holds AutoSave and, below it, the Workspace Manager's
    // placement: keep them across the rewrite.
    const int autoSave = readInt(kWorkspaces, "AutoSave", 0);
    const int bottom = readInt(kWorkspacesPlacement, "Bottom", 0);
    const int left = readInt(kWorkspacesPlacement, "Left", 0);
    const int right = readInt(kWorkspacesPlacement, "Right", 0);
    const int top = readInt(kWorkspacesPlacement, "Top", 0);

    std::vector<std::string> records;
    records.reserve(workspaces.size());
    for (const auto &entry : workspaces)
        records.push_back(entry.second);

    Writer writer(*this);
    writer.deleteKey(kWorkspacesPlacement);
    writer.deleteKey(kWorkspaces);
    storeList(writer, kWorkspaces, "Workspace", records);
    writer.writeInt(kWorkspaces, "AutoSave", autoSave);
    writer.writeInt(kWorkspacesPlacement, "Bottom", bottom);
    writer.writeInt(kWorkspacesPlacement, "Left", left);
    writer.writeInt(kWorkspacesPlacement, "Right", right);
    writer.writeInt(kWorkspacesPlacement, "Top", top);
    writer.commit();
}

corvane::SitePermissionList SettingsStore::loadSitePermissions() const
{
    return corvane::SitePermissionList::fromTexts(loadList(kSitePermissions, "Site"));
}

void SettingsStore::storeSitePermissions(const corvane::SitePermissionList &permissions)
{
    Writer writer(*this);
    writer.deleteKey(kSitePermissions);
    storeList(writer, kSitePermissions, "Site", permissions.texts());
    writer.commit();
}

std::optional<Rect> SettingsStore::restoreDialogPlacement(const std::string &dialogName) const
{
    if (cdMode())
        return std::nullopt;
    const char *section = dialogSection(dialogName);
    Rect rect;
    rect.bottom = readInt(section, "Bottom", 0);
    rect.left = readInt(section, "Left", 0);
    rect.right = readInt(section, "Right", 0);
    rect.top = readInt(section, "Top", 0);
    if (rect.bottom == 0 || rect.right == 0)
        return std::nullopt;
    return rect;
}

void SettingsStore::saveDialogPlacement(const std::string &dialogName, const Rect &reportedRect,
                                        bool positionReported)
{
    if (cdMode())
        return;
    const Rect rect = placementToStore(reportedRect, restoreDialogPlacement(dialogName), positionReported);
    const char *section = dialogSection(dialogName);
    Writer writer(*this);
    writer.writeInt(section, "Bottom", rect.bottom);
    writer.writeInt(section, "Left", rect.left);
    writer.writeInt(section, "Right", rect.right);
    writer.writeInt(section, "Top", rect.top);
    writer.commit();
}
