#include "core/SettingsStore.h"

#include "core/FileBytes.h"
#include "core/ProfileFile.h"
#include "core/UserStore.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

const std::string kSettingsKey = "Software\\Tolvek\\Corvane\\Settings";
const std::string kPlacementKey = "Software\\Tolvek\\Corvane\\Placement";

class SettingsStoreTest : public ::testing::Test
{
protected:
    std::string iniPath() const { return m_dir.file("Corvane.ini"); }
    std::string userPath() const { return m_dir.file("config/Tolvek/Corvane/user.store"); }

    SettingsStore &open(const std::string &iniContent = {})
    {
        if (!iniContent.empty())
            writeFile(iniPath(), iniContent);
        m_store = std::make_unique<SettingsStore>(
            SettingsStore::Locations{iniPath(), userPath(), m_dir.file("home")});
        m_store->openBackingStore();
        return *m_store;
    }

    TempFolder m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

TEST_F(SettingsStoreTest, FreshStartWritesBothSwitchesAndUsesTheUserStore)
{
    SettingsStore &s = open();
    EXPECT_FALSE(s.usingIniFile());
    EXPECT_EQ(readFile(iniPath()), "[Settings]\r\nEnableIniFile=0\r\nCDSupport=0\r\n");
    EXPECT_EQ(s.fonts(), 3);
    EXPECT_EQ(s.showTimer(), 1);
    EXPECT_EQ(s.saveAddressHistory(), 1);
    EXPECT_EQ(s.logFile(), m_dir.file("home") + "/Corvane.log");
    EXPECT_FALSE(fileExists(userPath())) << "reading writes nothing";

    s.setLogging(1);
    s.setHomeUrl("http://example.org/");
    EXPECT_EQ(readFile(iniPath()), "[Settings]\r\nEnableIniFile=0\r\nCDSupport=0\r\n");
    UserStore user(userPath());
    EXPECT_EQ(user.readDword(kSettingsKey, "Logging"), 1);
    EXPECT_EQ(user.readString(kSettingsKey, "HomeURL"), "http://example.org/");
    EXPECT_EQ(s.logging(), 1);

    // The store caches nothing: another writer's value is seen at once.
    user.writeDword(kSettingsKey, "Fonts", 5);
    EXPECT_EQ(s.fonts(), 5);
}

TEST_F(SettingsStoreTest, EnabledIniFileHoldsEverythingAndTheUserStoreIsNeverCreated)
{
    SettingsStore &s = open("[Settings]\r\nEnableIniFile=1\r\n");
    EXPECT_TRUE(s.usingIniFile());

    s.setFonts(2);
    s.setHomeUrl("http://example.org/");
    s.setSavePosition(0);
    s.setAutoSave(1);
    s.setSaveAddressHistory(0);
    s.saveMainPlacement(false, Rect{1, 2, 3, 4});
    s.storeLinks({{"a", "b"}});
    s.storeWorkspaces({{"w", "w\xB7rest"}});
    s.storeAddressHistory({"http://a/"});
    s.saveDialogPlacement("Links", Rect{1, 2, 3, 4});
    s.setScriptDebuggerSwitch("yes");
    EXPECT_FALSE(fileExists(userPath()));
    EXPECT_FALSE(fileExists(m_dir.file("config")));

    ProfileFile ini(iniPath());
    EXPECT_EQ(ini.getInt("Settings", "Fonts", 0), 2);
    EXPECT_EQ(ini.getString("Settings", "HomeURL"), "http://example.org/");
    EXPECT_EQ(ini.getInt("Placement", "SavePosition", 1), 0);
    EXPECT_EQ(ini.getInt("Workspaces", "AutoSave", 0), 1);
    EXPECT_EQ(ini.getInt("Settings", "EnableIniFile", 0), 1);
    EXPECT_EQ(s.fonts(), 2);
}

TEST_F(SettingsStoreTest, ScriptDebuggerSwitchLivesOutsideTheProgramsKey)
{
    SettingsStore &s = open();
    EXPECT_EQ(s.scriptDebuggerSwitch(), std::nullopt);
    s.setScriptDebuggerSwitch("no");
    EXPECT_EQ(UserStore(userPath()).readString("Software\\Microsoft\\Internet Explorer\\Main",
                                               "Disable Script Debugger"),
              "no");
    EXPECT_EQ(s.scriptDebuggerSwitch(), "no");
}

TEST_F(SettingsStoreTest, ShellFoldersAreReadFromTheUserStoreInEitherMode)
{
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    UserStore(userPath()).writeString(key, "Favorites", "$HOME/Bookmarks");
    SettingsStore &s = open("[Settings]\r\nEnableIniFile=1\r\n");
    ASSERT_TRUE(s.usingIniFile());
    EXPECT_EQ(s.userShellFolder(corvane::ShellFolder::Favorites), "$HOME/Bookmarks");
    EXPECT_EQ(s.userShellFolder(corvane::ShellFolder::Personal), std::nullopt);
}

TEST_F(SettingsStoreTest, VersionFileAddressHasADefault)
{
    SettingsStore &s = open();
    EXPECT_EQ(s.versionUrl(), kDefaultVersionUrl);
    s.setVersionUrl("http://127.0.0.1:8080/version.txt");
    EXPECT_EQ(UserStore(userPath()).readString(kSettingsKey, "VersionURL"), "http://127.0.0.1:8080/version.txt");
    s.setVersionUrl("");
    EXPECT_EQ(s.versionUrl(), kDefaultVersionUrl) << "an empty value is no address";
}

TEST_F(SettingsStoreTest, DisabledIniFileWithCdSupportStaysUnchanged)
{
    const std::string content = "[Settings]\nEnableIniFile=0\nCDSupport=1\n";
    SettingsStore &s = open(content);
    EXPECT_FALSE(s.usingIniFile());
    EXPECT_EQ(readFile(iniPath()), content);
    EXPECT_EQ(s.cdSupport(), 0) << "CD mode comes from the user store";
    s.setLogging(1);
    EXPECT_EQ(s.logging(), 1);

    // An INI file without CDSupport gets it.
    open("[Settings]\r\nEnableIniFile=\r\nOther=x\r\n");
    EXPECT_EQ(readFile(iniPath()), "[Settings]\r\nEnableIniFile=0\r\nOther=x\r\nCDSupport=0\r\n");
}

TEST_F(SettingsStoreTest, ValuesLandUnderTheirSectionsAndTypes)
{
    SettingsStore &s = open();
    s.setShowTimer(0);
    s.setShowAddressBar(0);
    s.setSavePosition(0);
    UserStore user(userPath());
    EXPECT_EQ(user.readDword(kSettingsKey, "HideTimer"), 1);
    EXPECT_EQ(user.readDword(kSettingsKey, "HideAddressBar"), 1);
    EXPECT_EQ(user.readDword(kPlacementKey, "SavePosition"), 0);
    EXPECT_EQ(s.showTimer(), 0);
    EXPECT_EQ(s.showAddressBar(), 0);

    // A number stored as text reads as missing, and the other way round.
    user.writeString(kSettingsKey, "Fonts", "1");
    user.writeDword(kSettingsKey, "SearchURL", 1);
    EXPECT_EQ(s.fonts(), 3);
    EXPECT_EQ(s.searchUrl(), "");

    // An empty string setting gives its default.
    user.writeString(kSettingsKey, "LogFile", "");
    EXPECT_EQ(s.logFile(), m_dir.file("home") + "/Corvane.log");
    s.setLogFile("/var/tmp/nav.log");
    EXPECT_EQ(s.logFile(), "/var/tmp/nav.log");
    // The log's path is a file name here: a Windows-1252 one is read as such.
    user.writeString(kSettingsKey, "LogFile", "/var/tmp/J\xFCrgen.log");
    EXPECT_EQ(s.logFile(), "/var/tmp/J\xC3\xBCrgen.log");
}

TEST_F(SettingsStoreTest, CdModeFixesGuardedSettingsAndWritesNothingForThem)
{
    SettingsStore &s = open();
    s.setLogging(1);
    s.setLogo(0);
    s.setVersion("2.00");
    s.setBiPassDefault(0);
    s.setLogFile("/tmp/x.log");
    s.storeAddressHistory({"http://a/"});
    s.saveDialogPlacement("Links", Rect{10, 20, 300, 400});
    s.setCdSupport(1);

    EXPECT_EQ(s.logging(), 0);
    EXPECT_EQ(s.savePosition(), 0);
    EXPECT_EQ(s.logo(), 1);
    EXPECT_EQ(s.version(), "3.00");
    EXPECT_EQ(s.biPassDefault(), 1);
    EXPECT_EQ(s.logFile(), "");
    EXPECT_EQ(s.msgMsMenu(), 0);
    EXPECT_EQ(s.msgOffline(), 0);
    EXPECT_EQ(s.saveAddressHistory(), 0);
    EXPECT_EQ(s.restoreDialogPlacement("Links"), std::nullopt);

    const std::string before = readFile(userPath());
    s.setLogging(0);
    s.setVersion("3.00");
    s.setLogFile("/tmp/y.log");
    s.setSaveAddressHistory(0); // would also drop the history
    s.saveDialogPlacement("Links", Rect{1, 2, 3, 4});
    s.setHomeUrl("/cdrom/index.html");
    EXPECT_EQ(readFile(userPath()), before);

    // Unguarded settings still go through; the switch is read at every call.
    s.setFonts(1);
    EXPECT_EQ(s.fonts(), 1);
    s.setCdSupport(0);
    EXPECT_EQ(s.logging(), 1);
    EXPECT_EQ(s.version(), "2.00");
    EXPECT_EQ(s.loadAddressHistory(), std::vector<std::string>{"http://a/"});
    EXPECT_EQ(s.restoreDialogPlacement("Links"), (Rect{10, 20, 300, 400}));
}

TEST_F(SettingsStoreTest, HomePageOnTheMediumWeRunFrom)
{
    SettingsStore &s = open();
    std::string root = "/media/cdrom/";
    s.setCdRootResolver([&root] { return root; });

    s.setHomeUrl("CD:\\Start\\Index.htm");
    EXPECT_EQ(s.homeUrl(), "CD:\\Start\\Index.htm") << "outside CD mode the value is as stored";

    s.setCdSupport(1);
    EXPECT_EQ(s.homeUrl(), "/media/cdrom/Start/Index.htm") << "a Windows path on the medium";
    root = "/";
    EXPECT_EQ(s.homeUrl(), "/Start/Index.htm");
    root = "/media/cdrom";

    const auto resolved = [&s](const std::string &stored) {
        s.setHomeUrl(stored);
        return s.homeUrl();
    };
    EXPECT_EQ(resolved("file://cd:/docs/start.html"), "file:///media/cdrom/docs/start.html");
    EXPECT_EQ(resolved("cd:start.html"), "/media/cdrom/start.html");
    EXPECT_EQ(resolved("cd:"), "/media/cdrom/");
    EXPECT_EQ(resolved("file://cd:\\a\\b.htm"), "file:///media/cdrom/a/b.htm");
    EXPECT_EQ(resolved("http://example.org/"), "http://example.org/");
    EXPECT_EQ(resolved("http://www.abcd:8080/"), "http://www.abcd:8080/") << "a host name ending in cd";
    EXPECT_EQ(resolved("http://example.cd:81/"), "http://example.cd:81/");

    // CD mode does not store drive paths or absolute paths.
    s.setHomeUrl("http://kept.example/");
    s.setHomeUrl("E:\\index.htm");
    s.setHomeUrl("/media/cdrom/index.htm");
    EXPECT_EQ(s.homeUrl(), "http://kept.example/");
    s.setHomeUrl("x");
    EXPECT_EQ(s.homeUrl(), "x");
}

TEST_F(SettingsStoreTest, DefaultCdRootIsTheMountPointOfTheCurrentDirectory)
{
    SettingsStore &s = open();
    s.setHomeUrl("cd:index.html");
    s.setCdSupport(1);
    const std::string url = s.homeUrl();
    const std::string root = url.substr(0, url.size() - std::string("/index.html").size());
    ASSERT_EQ(root + "/index.html", url);

    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ((std::string(cwd) + "/").rfind(root + "/", 0), 0u) << root << " holds " << cwd;
    struct stat here, mount, parent;
    ASSERT_EQ(::stat(cwd, &here), 0);
    ASSERT_EQ(::stat((root + "/").c_str(), &mount), 0);
    ASSERT_EQ(::stat((root + "/..").c_str(), &parent), 0);
    EXPECT_EQ(here.st_dev, mount.st_dev);
    EXPECT_TRUE(root.empty() || parent.st_dev != mount.st_dev);
}

TEST_F(SettingsStoreTest, ActiveBorderColour)
{
    SettingsStore &s = open();
    UserStore user(userPath());
    const auto colourOf = [&](const std::string &text) {
        user.writeString(kSettingsKey, "ViewRGB", text);
        return s.viewRgb();
    };
    EXPECT_EQ(colourOf("1,2"), makeRgb(0, 255, 0));
    EXPECT_EQ(colourOf("300,0,0"), makeRgb(44, 0, 0));
    EXPECT_EQ(colourOf(" 1, 2,+3 and more"), makeRgb(1, 2, 3));
    EXPECT_EQ(colourOf("-1,256,99999999999"), makeRgb(255, 0, 0xFF & 99999999999LL));
    EXPECT_EQ(colourOf("1 ,2,3"), makeRgb(0, 255, 0));
    EXPECT_EQ(colourOf("1,2,"), makeRgb(0, 255, 0));
    EXPECT_EQ(colourOf(""), makeRgb(0, 255, 0));

    s.setViewRgb(makeRgb(10, 200, 255));
    EXPECT_EQ(user.readString(kSettingsKey, "ViewRGB"), "10,200,255");
    EXPECT_EQ(s.viewRgb(), makeRgb(10, 200, 255));
}

// The scrambled form earlier versions wrote: every byte plus 0x15.
std::string scrambled(const std::string &password)
{
    std::string bytes = password;
    for (char &c : bytes)
        c = char(static_cast<unsigned char>(c) + 0x15);
    return bytes;
}

TEST_F(SettingsStoreTest, PasswordIsStoredAsASaltedHashInBothBackEnds)
{
    for (const bool iniMode : {false, true}) {
        SettingsStore &s = open(iniMode ? "[Settings]\r\nEnableIniFile=1\r\n" : "");
        ASSERT_EQ(s.usingIniFile(), iniMode);
        const auto stored = [&] {
            return iniMode ? ProfileFile(iniPath()).getString("Settings", "Password")
                           : UserStore(userPath()).readString(kSettingsKey, "Password").value_or("");
        };
        EXPECT_FALSE(s.hasPassword());
        EXPECT_TRUE(s.checkPassword("")) << "no password: nothing to type";

        ASSERT_TRUE(s.setPassword("Secret \xE2\x82\xAC"));
        const std::string first = stored();
        EXPECT_TRUE(first.starts_with("$argon2id$")) << first;
        EXPECT_EQ(first.find("Secret"), std::string::npos);
        EXPECT_TRUE(s.hasPassword());
        EXPECT_TRUE(s.checkPassword("Secret \xE2\x82\xAC"));
        for (const char *wrong : {"secret \xE2\x82\xAC", "Secret \xE2\x82\xAC ", ""})
            EXPECT_FALSE(s.checkPassword(wrong)) << wrong;
        EXPECT_EQ(stored(), first) << "a check of a hash rewrites nothing";

        // Salted: the same password twice gives two hashes.
        ASSERT_TRUE(s.setPassword("Secret \xE2\x82\xAC"));
        EXPECT_NE(stored(), first);
        EXPECT_TRUE(s.checkPassword("Secret \xE2\x82\xAC"));

        ASSERT_TRUE(s.setPassword(""));
        EXPECT_EQ(stored(), "");
        EXPECT_FALSE(s.hasPassword());
    }
}

TEST_F(SettingsStoreTest, ScrambledPasswordsOfEarlierVersionsAreAcceptedAndUpgraded)
{
    for (const bool iniMode : {false, true}) {
        SettingsStore &s = open(iniMode ? "[Settings]\r\nEnableIniFile=1\r\n" : "");
        const auto store = [&](const std::string &bytes) {
            if (iniMode)
                ProfileFile(iniPath()).writeString("Settings", "Password", bytes);
            else
                UserStore(userPath()).writeString(kSettingsKey, "Password", bytes);
        };
        const auto stored = [&] {
            return iniMode ? ProfileFile(iniPath()).getString("Settings", "Password")
                           : UserStore(userPath()).readString(kSettingsKey, "Password").value_or("");
        };

        // Written by this program before: UTF-8 bytes, scrambled.
        store(scrambled("caf\xC3\xA9 Noir"));
        EXPECT_TRUE(s.hasPassword());
        EXPECT_FALSE(s.checkPassword("Caf\xC3\xA9 Noir")) << "letter case counts";
        EXPECT_FALSE(s.checkPassword("caf\xC3\xA9 Noi"));
        EXPECT_FALSE(s.checkPassword("caf\xC3\xA9 Noir!"));
        EXPECT_EQ(stored(), scrambled("caf\xC3\xA9 Noir")) << "a refused text changes nothing";
        EXPECT_TRUE(s.checkPassword("caf\xC3\xA9 Noir"));
        EXPECT_TRUE(stored().starts_with("$argon2id$")) << "upgraded at the successful check";
        EXPECT_TRUE(s.checkPassword("caf\xC3\xA9 Noir"));

        // From the Windows world: Windows-1252 bytes, typed here as UTF-8.
        store(scrambled("caf\xE9"));
        EXPECT_TRUE(s.checkPassword("caf\xC3\xA9"));
        EXPECT_TRUE(s.checkPassword("caf\xC3\xA9"));
    }
}

TEST_F(SettingsStoreTest, RestoringTheMainWindowPlacement)
{
    SettingsStore &s = open();
    const Rect screen{0, 0, 1920, 1050};
    const SettingsStore::MainPlacement creation{Rect{5, 6, 7, 8}, 1};

    // The defaults: 88,88 - 952,697, maximized.
    SettingsStore::MainPlacement p = s.restoreMainPlacement(creation, screen);
    EXPECT_EQ(p.rect, (Rect{88, 88, 952, 697}));
    EXPECT_EQ(p.showCmd, 3);

    UserStore user(userPath());
    user.writeDword(kPlacementKey, "ShowCmd", 2);
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).showCmd, 1) << "never start minimized";
    for (int start : {0, 1, 4, 5, 8, 10})
        EXPECT_EQ(s.restoreMainPlacement({creation.rect, start}, screen).showCmd, 1) << start;
    for (int start : {2, 3, 6, 7})
        EXPECT_EQ(s.restoreMainPlacement({creation.rect, start}, screen).showCmd, start) << start;

    // Partly off screen: moved to the visible part's corner, size kept, and
    // up until enough of it is on the work area.
    s.saveMainPlacement(false, Rect{-100, 300, 700, 900});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, (Rect{0, 300, 800, 900}));
    s.saveMainPlacement(false, Rect{-100, 900, 700, 1500});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, (Rect{0, 450, 800, 1050}));

    // Entirely outside the work area, or no work area: creation rect kept.
    s.saveMainPlacement(true, Rect{3000, 100, 3500, 600});
    p = s.restoreMainPlacement(creation, screen);
    EXPECT_EQ(p.rect, creation.rect);
    EXPECT_EQ(p.showCmd, 3);
    EXPECT_EQ(s.restoreMainPlacement(creation, std::nullopt).rect, creation.rect);

    // A record larger than the work area (hand-edited, or saved on a larger
    // desktop) is cut to the work area's size, at the visible part's corner.
    s.saveMainPlacement(false, Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, (Rect{0, 0, 1920, 1050}));
    s.saveMainPlacement(false, Rect{0, 0, 1048576, 1048576});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, (Rect{0, 0, 1920, 1050}));
    // Only a corner of it on the work area, or too small to use: made usable
    // there.
    s.saveMainPlacement(false, Rect{1900, 1000, INT_MAX, INT_MAX});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, (Rect{0, 0, 1920, 1050}));
    s.saveMainPlacement(false, Rect{1800, 900, 2400, 1300});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, (Rect{1320, 650, 1920, 1050}));
    s.saveMainPlacement(false, Rect{100, 100, 132, 132});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect,
              (Rect{100, 100, 100 + kUsableMainWindow.width, 100 + kUsableMainWindow.height}));
    const Rect lowered{100, 40, 1380, 1064};
    s.saveMainPlacement(false, Rect{-5000, INT_MIN, 5000, 300});
    EXPECT_EQ(s.restoreMainPlacement(creation, lowered).rect, (Rect{100, 40, 1380, 1064}));
    s.saveMainPlacement(false, Rect{INT_MIN, 0, INT_MIN + 10, 10});
    EXPECT_EQ(s.restoreMainPlacement(creation, screen).rect, creation.rect) << "entirely outside";
}

TEST_F(SettingsStoreTest, SavingTheMainWindowPlacementWritesTheRecordInOrder)
{
    SettingsStore &s = open("[Settings]\r\nEnableIniFile=1\r\n");
    s.saveMainPlacement(true, Rect{10, 20, 810, 620});
    EXPECT_EQ(readFile(iniPath()), "[Settings]\r\nEnableIniFile=1\r\n\r\n"
                                   "[Placement]\r\nBottom=620\r\nLeft=10\r\nRight=810\r\nTop=20\r\nShowCmd=3\r\n");
    s.saveMainPlacement(false, Rect{10, 20, 810, 620});
    EXPECT_EQ(ProfileFile(iniPath()).getInt("Placement", "ShowCmd", 0), 1);
    EXPECT_EQ(s.restoreMainPlacement({Rect{}, 1}, Rect{0, 0, 1000, 1000}).rect, (Rect{10, 20, 810, 620}));
}

TEST_F(SettingsStoreTest, APlatformThatReportsNoPositionsLeavesTheStoredCornersAlone)
{
    SettingsStore &s = open();
    const Rect area{0, 0, 1920, 1050};
    // Nothing stored yet: the corner a first start takes.
    s.saveMainPlacement(false, Rect{0, 0, 500, 400}, false);
    EXPECT_EQ(s.restoreMainPlacement({Rect{}, 1}, area).rect, (Rect{88, 88, 588, 488}));
    // The main window: the stored corner, the size and state reported.
    s.saveMainPlacement(false, Rect{40, 30, 840, 630});
    s.saveMainPlacement(true, Rect{0, 0, 1000, 700}, false);
    EXPECT_EQ(s.restoreMainPlacement({Rect{}, 1}, area).rect, (Rect{40, 30, 1040, 730}));
    EXPECT_EQ(s.restoreMainPlacement({Rect{}, 1}, area).showCmd, 3);

    // A dialog: the same, and as reported while it has no record.
    s.saveDialogPlacement("Links", Rect{0, 0, 300, 200}, false);
    EXPECT_EQ(s.restoreDialogPlacement("Links"), (Rect{0, 0, 300, 200}));
    s.saveDialogPlacement("Links", Rect{200, 100, 500, 300});
    s.saveDialogPlacement("Links", Rect{0, 0, 320, 240}, false);
    EXPECT_EQ(s.restoreDialogPlacement("Links"), (Rect{200, 100, 520, 340}));
}

TEST_F(SettingsStoreTest, PortableIniInAReadOnlyFolderKeepsItsSettings)
{
    // An install under /opt whose Corvane.ini the user may write.
    const std::string install = m_dir.file("install");
    const std::string ini = install + "/Corvane.ini";
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(install.c_str(), 0755), 0);
    writeFile(ini, "[Settings]\r\nEnableIniFile=1\r\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(install.c_str(), 0555), 0);
    EXPECT_TRUE(runUnprivileged([&] {
        SettingsStore s({ini, m_dir.file("nowhere/user.store"), m_dir.file("home")});
        s.openBackingStore();
        int reports = 0;
        s.setSaveFailureHandler([&](const std::string &, SettingsStore::StoreProblem) { ++reports; });
        s.setFonts(1);
        s.storeFilter({"ads", "banner"});
        return s.fonts() == 1 && s.loadFilter().size() == 2 && reports == 0 && !s.saveFailed();
    }));
    EXPECT_EQ(readFile(ini), "[Settings]\r\nEnableIniFile=1\r\nFonts=1\r\n\r\n[Filter]\r\nWord1=ads\r\nWord2=banner\r\nWord3=\r\n");
    ASSERT_EQ(::chmod(install.c_str(), 0755), 0);
}

TEST_F(SettingsStoreTest, ASettingThatCannotBeSavedIsReportedOnce)
{
    const std::string install = m_dir.file("install");
    const std::string ini = install + "/Corvane.ini";
    const std::string user = m_dir.file("config/user.store");
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(install.c_str(), 0555), 0);
    ASSERT_EQ(::mkdir(m_dir.file("config").c_str(), 0777), 0);
    ASSERT_EQ(::chmod(m_dir.file("config").c_str(), 0777), 0);

    // A read-only install folder without an INI file is no failure: the
    // per-user store takes the settings.
    EXPECT_TRUE(runUnprivileged([&] {
        SettingsStore s({ini, user, m_dir.file("home")});
        int reports = 0;
        s.setSaveFailureHandler([&](const std::string &, SettingsStore::StoreProblem) { ++reports; });
        s.openBackingStore();
        s.setFonts(2);
        return !s.usingIniFile() && s.fonts() == 2 && reports == 0;
    }));

    // Neither the folder nor the file may be written: said once, with the path.
    ASSERT_EQ(::chmod(install.c_str(), 0755), 0);
    writeFile(ini, "[Settings]\r\nEnableIniFile=1\r\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(install.c_str(), 0555), 0);
    EXPECT_TRUE(runUnprivileged([&] {
        SettingsStore s({ini, user, m_dir.file("home")});
        s.openBackingStore();
        std::vector<std::string> reports;
        s.setSaveFailureHandler([&](const std::string &path, SettingsStore::StoreProblem) { reports.push_back(path); });
        s.setFonts(1);
        s.storeAddressHistory({"http://a/"});
        s.saveMainPlacement(false, Rect{1, 2, 3, 4});
        return s.saveFailed() && reports == std::vector<std::string>{ini} && s.fonts() == 3;
    }));
    EXPECT_EQ(readFile(ini), "[Settings]\r\nEnableIniFile=1\r\n");
    ASSERT_EQ(::chmod(install.c_str(), 0755), 0);
}

TEST_F(SettingsStoreTest, UnwritableStoreFallsBackToDefaults)
{
    // The user store's folder cannot be made: a file stands in the way.
    writeFile(m_dir.file("config"), "not a folder");
    SettingsStore &s = open();
    s.setFonts(1);
    s.storeFilter({"ads"});
    s.setPassword("x");
    EXPECT_EQ(s.fonts(), 3);
    EXPECT_TRUE(s.loadFilter().empty());
    EXPECT_FALSE(s.hasPassword());
    EXPECT_EQ(readFile(m_dir.file("config")), "not a folder");
}

} // namespace

namespace {

TEST_F(SettingsStoreTest, AStoreTooLargeToReadIsSaidSoAndLeftAsItIs)
{
    // 65 MiB, most of it a hole: more than a store of ours ever holds.
    const std::string head = "[" + kSettingsKey + "]\r\n\"Fonts\"=dword:00000001\r\n";
    ASSERT_TRUE(corvane::makeFolders(corvane::folderOf(userPath())));
    writeFile(userPath(), head);
    ASSERT_EQ(::truncate(userPath().c_str(), off_t(65) << 20), 0);
    struct stat before;
    ASSERT_EQ(::stat(userPath().c_str(), &before), 0);

    SettingsStore s({iniPath(), userPath(), m_dir.file("home")});
    std::vector<std::pair<std::string, SettingsStore::StoreProblem>> reports;
    s.setSaveFailureHandler(
        [&](const std::string &path, SettingsStore::StoreProblem problem) { reports.emplace_back(path, problem); });
    s.openBackingStore();
    ASSERT_EQ(reports.size(), 1u) << "said at once, before anything is written";
    EXPECT_EQ(reports[0].first, userPath());
    EXPECT_EQ(reports[0].second, SettingsStore::StoreProblem::CannotRead);
    const std::string text = SettingsStore::storeProblemText(reports[0].second, userPath());
    EXPECT_NE(text.find("cannot be read"), std::string::npos) << text;
    EXPECT_EQ(text.find("written"), std::string::npos) << text;

    // The defaults, and no write replaces the file with them.
    EXPECT_EQ(s.fonts(), 3);
    s.setFonts(2);
    s.storeLinks({{"a", "http://a/"}});
    EXPECT_EQ(reports.size(), 1u);
    struct stat after;
    ASSERT_EQ(::stat(userPath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(readFile(userPath()).substr(0, head.size()), head);
}

} // namespace
