#include "core/OptionsPages.h"

#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace corvane;
using Effects = GeneralPageEffects;

namespace {

class OptionsPagesTest : public ::testing::Test
{
protected:
    void SetUp() override { open(); }

    void open(const std::string &ini = {})
    {
        m_log.reset();
        m_store.reset();
        if (!ini.empty())
            writeFile(m_dir.file("Corvane.ini"), ini);
        m_store = std::make_unique<SettingsStore>(SettingsStore::Locations{
            m_dir.file("Corvane.ini"), m_dir.file("user.store"), m_dir.path()});
        m_store->openBackingStore();
        m_store->setLogFile(logPath());
        m_log = std::make_unique<NavigationLog>(*m_store);
    }
    std::string logPath() const { return m_dir.file("nav.log"); }
    SettingsStore &s() { return *m_store; }

    // OK on the General page after `change` edited what the page read.
    Effects ok(const std::function<void(GeneralPageValues &)> &change = {})
    {
        const GeneralPageValues initial = readGeneralPage(s());
        GeneralPageValues values = initial;
        if (change)
            change(values);
        return applyGeneralPage(s(), *m_log, initial, values);
    }

    TempFolder m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<NavigationLog> m_log;
};

} // namespace

// --- General ------------------------------------------------------------------------

TEST_F(OptionsPagesTest, GeneralOkWithoutChangesRewritesAndAsksTheDefaultBrowserQuestion)
{
    const GeneralPageValues fresh = readGeneralPage(s());
    EXPECT_TRUE(fresh.item(GeneralItem::DefaultBrowserQuestion)) << "BiPassDefault 0 on a fresh store";
    EXPECT_TRUE(fresh.item(GeneralItem::ShowTimer));
    EXPECT_TRUE(fresh.tabsBottom);
    EXPECT_FALSE(fresh.tabsStacked);

    const Effects effects = ok();
    EXPECT_TRUE(effects.askDefaultBrowser);
    EXPECT_EQ(effects.ieMenu, Effects::IeMenu::Unchanged);
    EXPECT_FALSE(effects.tabStyleChanged);
    EXPECT_FALSE(effects.buildFavorites);
    EXPECT_FALSE(effects.menuStyleMessage);
    EXPECT_FALSE(effects.clearAddressList);
    EXPECT_TRUE(effects.showTimer);
    EXPECT_FALSE(fileExists(logPath())) << "nothing logged";
    EXPECT_EQ(readGeneralPage(s()), fresh);
    EXPECT_EQ(s().biPassDefault(), 0);

    // Unticked, the question is not asked and stays away.
    EXPECT_FALSE(ok([](GeneralPageValues &v) { v.setItem(GeneralItem::DefaultBrowserQuestion, false); })
                     .askDefaultBrowser);
    EXPECT_EQ(s().biPassDefault(), 1);
}

TEST_F(OptionsPagesTest, LoggingSwitchesAreLoggedWhileLoggingIsOn)
{
    ok([](GeneralPageValues &v) { v.setItem(GeneralItem::Logging, true); });
    EXPECT_EQ(s().logging(), 1);
    ok();
    ok([](GeneralPageValues &v) { v.setItem(GeneralItem::Logging, false); });
    EXPECT_EQ(s().logging(), 0);
    ok([](GeneralPageValues &v) { v.setItem(GeneralItem::SmartNavigate, false); });
    const std::string text = readFile(logPath());
    const std::size_t enabled = text.find("Logging enabled\r\n");
    ASSERT_NE(enabled, std::string::npos) << text;
    EXPECT_EQ(text.find("Logging enabled", enabled + 1), std::string::npos) << "unchanged logs nothing";
    const std::string last = "Logging disabled\r\n";
    ASSERT_GE(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last) << "the last line before logging stops";
}

TEST_F(OptionsPagesTest, GeneralEnableRules)
{
    const auto enabled = [](GeneralItem item, bool haveView, bool spawning, bool cd) {
        return generalItemEnabled(item, {haveView, spawning, cd});
    };
    EXPECT_FALSE(enabled(GeneralItem::IeMenu, false, true, false));
    EXPECT_TRUE(enabled(GeneralItem::IeMenu, true, false, false));
    EXPECT_FALSE(enabled(GeneralItem::NoDialogs, true, false, false));
    EXPECT_TRUE(enabled(GeneralItem::NoDialogs, false, true, false));
    for (GeneralItem item : {GeneralItem::Logo, GeneralItem::AddressHistory, GeneralItem::Logging,
                             GeneralItem::SavePosition, GeneralItem::DefaultBrowserQuestion}) {
        EXPECT_FALSE(enabled(item, true, true, true)) << kGeneralItemTexts[std::size_t(item)];
        EXPECT_TRUE(enabled(item, true, true, false)) << kGeneralItemTexts[std::size_t(item)];
    }
    for (GeneralItem item : {GeneralItem::AutoSave, GeneralItem::MsMenus, GeneralItem::DimToolBar,
                             GeneralItem::ShowTimer, GeneralItem::AlwaysOnTop, GeneralItem::SmartNavigate})
        EXPECT_TRUE(enabled(item, false, false, true)) << kGeneralItemTexts[std::size_t(item)];
}

TEST_F(OptionsPagesTest, CdModeWritesNoneOfItsReadOnlySettingsAndShowsNoMenuMessage)
{
    open("[Settings]\r\nEnableIniFile=1\r\nCDSupport=1\r\n");
    s().setMsMenus(1);
    const Effects effects = ok([](GeneralPageValues &v) {
        v.setItem(GeneralItem::Logging, true);
        v.setItem(GeneralItem::SavePosition, true);
        v.setItem(GeneralItem::Logo, false);
        v.setItem(GeneralItem::AddressHistory, true);
        v.setItem(GeneralItem::DefaultBrowserQuestion, true);
        v.setItem(GeneralItem::MsMenus, false);
    });
    EXPECT_FALSE(effects.menuStyleMessage);
    EXPECT_EQ(s().msMenus(), 0) << "MSMenus is written in CD mode too";
    const std::string ini = readFile(m_dir.file("Corvane.ini"));
    for (const char *name : {"Logging=", "SavePosition=", "Logo=", "SaveAddressHistory=", "BiPassDefault="})
        EXPECT_EQ(ini.find(name), std::string::npos) << name << " in\n" << ini;
    EXPECT_NE(ini.find("SmartNavigate="), std::string::npos);
}

TEST_F(OptionsPagesTest, HistoryAutoSaveIeTabsAndMenuStyle)
{
    s().storeAddressHistory({"http://a.example/", "http://b.example/"});
    Workspace startup = Workspace::parse("");
    startup.name = "work";
    startup.startup = 1;
    s().storeWorkspaces({{"work", startup.text()}});
    s().setIe(0);
    s().setMsMenus(1);

    const Effects effects = ok([](GeneralPageValues &v) {
        v.setItem(GeneralItem::AddressHistory, false);
        v.setItem(GeneralItem::AutoSave, true);
        v.setItem(GeneralItem::IeMenu, true);
        v.tabsStacked = true;
        v.setItem(GeneralItem::MsMenus, false);
        v.setItem(GeneralItem::ShowTimer, false);
        v.setItem(GeneralItem::AlwaysOnTop, true);
    });
    EXPECT_TRUE(effects.clearAddressList);
    EXPECT_TRUE(s().loadAddressHistory().empty()) << "switching the history off forgets it";
    EXPECT_EQ(Workspace::parse(s().loadWorkspaces().at("work")).startup, 0);
    EXPECT_EQ(s().autoSave(), 1);
    EXPECT_EQ(effects.ieMenu, Effects::IeMenu::Enabled);
    EXPECT_TRUE(effects.buildFavorites);
    EXPECT_TRUE(effects.tabStyleChanged);
    EXPECT_EQ(s().tabsStacked(), 1);
    EXPECT_FALSE(effects.showTimer);
    EXPECT_EQ(s().showTimer(), 0);
    EXPECT_TRUE(effects.alwaysOnTop);
    EXPECT_EQ(effects.menuStyleMessage,
              (UserMessage{"MS menus will be inactive the next time Corvane starts.", "MS menus disabled",
                           UserMessage::Icon::Information}));

    const Effects back = ok([](GeneralPageValues &v) {
        v.setItem(GeneralItem::IeMenu, false);
        v.setItem(GeneralItem::MsMenus, true);
    });
    EXPECT_EQ(back.ieMenu, Effects::IeMenu::Disabled);
    EXPECT_FALSE(back.buildFavorites);
    EXPECT_FALSE(back.tabStyleChanged);
    EXPECT_EQ(back.menuStyleMessage->title, "MS menus enabled");
    EXPECT_EQ(back.menuStyleMessage->text, "MS menus will be active the next time Corvane starts.");

    s().setMsgMsMenu(0);
    EXPECT_FALSE(ok([](GeneralPageValues &v) { v.setItem(GeneralItem::MsMenus, false); }).menuStyleMessage);
}

// --- Paths --------------------------------------------------------------------------

TEST_F(OptionsPagesTest, LogFileInAChosenFolder)
{
    EXPECT_EQ(logFileInFolder("/"), "/Corvane.log");
    EXPECT_EQ(logFileInFolder("/home/u"), "/home/u/Corvane.log");
    EXPECT_EQ(logFileInFolder("/home/u/"), "/home/u/Corvane.log");
    EXPECT_EQ(logFileInFolder("/media/My Stick"), "/media/My Stick/Corvane.log");
}

TEST_F(OptionsPagesTest, LogFileCheckReplacesWhatCannotBeWrittenAndLeavesNothingBehind)
{
    const std::string fallback = s().defaultLogFile();
    EXPECT_EQ(fallback, m_dir.path() + "/Corvane.log");

    // A new file in an existing folder is fine, and the check leaves none.
    const std::string fresh = m_dir.file("new.log");
    LogFileCheck check = checkLogFile(fresh, fallback, false);
    EXPECT_EQ(check.logFile, fresh);
    EXPECT_FALSE(check.message);
    EXPECT_FALSE(fileExists(fresh));

    // An existing log keeps its content, an empty one stays too.
    writeFile(m_dir.file("old.log"), "earlier lines\r\n");
    writeFile(m_dir.file("empty.log"), "");
    EXPECT_FALSE(checkLogFile(m_dir.file("old.log"), fallback, false).message);
    EXPECT_EQ(readFile(m_dir.file("old.log")), "earlier lines\r\n");
    EXPECT_FALSE(checkLogFile(m_dir.file("empty.log"), fallback, false).message);
    EXPECT_TRUE(fileExists(m_dir.file("empty.log")));

    // A folder that does not exist, a folder, a relative or a Windows path.
    for (const std::string &bad : {m_dir.file("missing/nav.log"), m_dir.path(), std::string("nav.log"),
                                   std::string("C:\\Corvane.log"), std::string()}) {
        check = checkLogFile(bad, fallback, false);
        EXPECT_EQ(check.logFile, fallback) << bad;
        EXPECT_EQ(check.message, (UserMessage{"The log filename has been changed to " + fallback
                                                  + " because it was invalid.",
                                              "Invalid filename", UserMessage::Icon::Information}))
            << bad;
    }
    EXPECT_FALSE(checkLogFile("nav.log", fallback, true).message) << "not checked in CD mode";
}

TEST_F(OptionsPagesTest, StoredWindowsLogPathsLiveUnderTheHomeFolder)
{
    s().setLogFile("C:\\Corvane.log");
    EXPECT_EQ(s().logFile(), s().defaultLogFile());
    s().setLogFile("d:\\Logs\\nav.log");
    EXPECT_EQ(s().logFile(), m_dir.path() + "/Logs/nav.log");
    s().setLogFile("/var/tmp/x:\\y.log");
    EXPECT_EQ(s().logFile(), "/var/tmp/x:\\y.log");
}

TEST_F(OptionsPagesTest, PathsOkWritesTheFourValues)
{
    applyPathsPage(s(), {"about:blank", "http://search.example/?q=", "http://mail.example/", m_dir.file("p.log")});
    EXPECT_EQ(readPathsPage(s()),
              (PathsPageValues{"about:blank", "http://search.example/?q=", "http://mail.example/", m_dir.file("p.log")}));
}

// --- Current View ---------------------------------------------------------------------

TEST_F(OptionsPagesTest, IntervalFieldsTakeIntegersInRange)
{
    EXPECT_EQ(readIntegerField("0", 0, 60).value, 0);
    EXPECT_EQ(readIntegerField("60", 0, 60).value, 60);
    EXPECT_EQ(readIntegerField(" 7 ", 0, 59).value, 7);
    EXPECT_EQ(readIntegerField("+5", 0, 59).value, 5);
    const UserMessage range{"Please enter an integer between 0 and 60.", "Corvane", UserMessage::Icon::Exclamation};
    EXPECT_EQ(readIntegerField("61", 0, 60).message, range);
    EXPECT_EQ(readIntegerField("-1", 0, 60).message, range);
    EXPECT_EQ(readIntegerField("60", 0, 59).message->text, "Please enter an integer between 0 and 59.");
    const UserMessage notInteger{"Please enter an integer.", "Corvane", UserMessage::Icon::Exclamation};
    for (const char *text : {"", " ", "abc", "1.5", "12abc", "1 2", "-", "99999999999", "0x10"}) {
        EXPECT_EQ(readIntegerField(text, 0, 60).message, notInteger) << text;
        EXPECT_FALSE(readIntegerField(text, 0, 60).value) << text;
    }
}

// --- Messages -----------------------------------------------------------------------

TEST_F(OptionsPagesTest, MessagesPageWritesTheNineFlags)
{
    MessagesPageValues values = readMessagesPage(s());
    for (bool v : values)
        EXPECT_TRUE(v);
    values[std::size_t(MessageItem::Exit)] = false;
    values[std::size_t(MessageItem::LinksSave)] = false;
    applyMessagesPage(s(), values);
    EXPECT_EQ(s().msgExit(), 0);
    EXPECT_EQ(s().msgLinksSave(), 0);
    EXPECT_EQ(s().msgCloseAll(), 1);
    EXPECT_EQ(readMessagesPage(s()), values);

    for (int i = 0; i < kMessageItemCount; ++i) {
        const auto item = MessageItem(i);
        const bool readOnly = item == MessageItem::OfflineAtStart || item == MessageItem::MenuIcons;
        EXPECT_EQ(messageItemEnabled(item, true), !readOnly) << kMessageItemTexts[std::size_t(i)];
        EXPECT_TRUE(messageItemEnabled(item, false));
    }
}

// --- Security -----------------------------------------------------------------------

TEST_F(OptionsPagesTest, SecurityOutcomes)
{
    const std::string stored = "Stored pw";
    const auto matches = [&](const std::string &typed) { return typed == stored; };
    const PasswordField placeholder{"", true};
    const auto typed = [](const char *text) { return PasswordField{text, false}; };
    const UserMessage reset{"Your password has been reset because it did not match the confirmation password.",
                            "Authentication disabled", UserMessage::Icon::Exclamation};
    const UserMessage changed{"Password changed successfully.", "Authentication enabled",
                              UserMessage::Icon::Information};

    // Untouched placeholders keep the stored password.
    SecurityPageOutcome o = securityPageOk(true, placeholder, placeholder, true, matches);
    EXPECT_FALSE(o.newPassword);
    EXPECT_FALSE(o.message);
    EXPECT_TRUE(o.protectedIndicator);
    EXPECT_EQ(o.minimizeToTray, 1);
    // "Taskbar": the same comparison, no indicator.
    o = securityPageOk(false, placeholder, placeholder, true, matches);
    EXPECT_FALSE(o.newPassword);
    EXPECT_FALSE(o.protectedIndicator);
    EXPECT_EQ(o.minimizeToTray, 0);

    // The stored password typed again, in both or beside a placeholder.
    EXPECT_FALSE(securityPageOk(true, typed("Stored pw"), typed("Stored pw"), true, matches).message);
    EXPECT_FALSE(securityPageOk(true, typed("Stored pw"), placeholder, true, matches).message);

    // Different texts clear the password, whatever was stored.
    for (const auto &[a, b] : {std::pair{typed("one"), typed("two")}, std::pair{typed("stored pw"), placeholder},
                               std::pair{placeholder, typed("")}}) {
        o = securityPageOk(true, a, b, true, matches);
        EXPECT_EQ(o.newPassword, std::string());
        EXPECT_EQ(o.message, reset);
        EXPECT_FALSE(o.protectedIndicator);
    }
    EXPECT_EQ(securityPageOk(true, typed("a"), typed("b"), false, matches).message, reset);

    // A new password, also a first one, and emptying both fields.
    o = securityPageOk(true, typed("New pw"), typed("New pw"), true, matches);
    EXPECT_EQ(o.newPassword, "New pw");
    EXPECT_EQ(o.message, changed);
    EXPECT_TRUE(o.protectedIndicator);
    o = securityPageOk(true, typed("First"), typed("First"), false, matches);
    EXPECT_EQ(o.newPassword, "First");
    EXPECT_EQ(o.message, changed);
    o = securityPageOk(true, typed(""), typed(""), true, matches);
    EXPECT_EQ(o.newPassword, std::string());
    EXPECT_EQ(o.message, changed);
    EXPECT_FALSE(o.protectedIndicator);

    // No password and two empty fields: nothing to do.
    o = securityPageOk(true, typed(""), typed(""), false, matches);
    EXPECT_FALSE(o.newPassword);
    EXPECT_FALSE(o.message);
    EXPECT_FALSE(o.protectedIndicator);

    EXPECT_TRUE(passwordEditsEnabled(true, false));
    EXPECT_FALSE(passwordEditsEnabled(false, false));
    EXPECT_FALSE(passwordEditsEnabled(true, true));
}
