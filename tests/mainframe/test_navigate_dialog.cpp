// The Navigate dialog (F4) as the main window runs it.
#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "mainframe/NavigateDialog.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"
#include "mainframe/AddressBar.h"
#include "support/ModalDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class NavigateDialogTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([this](SettingsStore &s) {
            s.setLogging(1);
            s.setLogFile(logPath().toStdString());
            s.setBiPassDefault(1);
            s.setSpawning(1);
            s.setSpawningFilter(1);
            s.setSpawningSallyport(0);
            s.setSmartNavigate(1);
        });
        ASSERT_TRUE(start());
        view = mainWindow()->activeView();
        ASSERT_NE(view, nullptr);
        control()->setLocation(QStringLiteral("Shown"), QStringLiteral("http://shown.example/page"));
        control()->clearOperations();
    }

    FakeBrowserControl *control() const { return static_cast<FakeBrowserControl *>(view->control()); }

    // Opens the dialog with F4's command and lets the action act on it.
    void navigateDialog(std::function<void(NavigateDialog &)> action)
    {
        bool ran = false;
        onNextModal<NavigateDialog>(std::move(action), &ran);
        mainWindow()->runCommand(cmd::Navigate);
        ASSERT_TRUE(ran);
    }

    // Types the text into the address and presses the button.
    void enter(const QString &text, QPushButton *(NavigateDialog::*button)() const = nullptr)
    {
        navigateDialog([&](NavigateDialog &d) {
            d.siteAddress()->setText(text);
            if (button)
                (d.*button)()->click();
            else
                d.accept();
        });
    }

    QStringList navigations() const { return control()->operations(QStringLiteral("navigate")); }

    BrowserView *view = nullptr;
};

} // namespace

TEST_F(NavigateDialogTest, OpensOnThePageShownWithTheStoredSwitches)
{
    navigateDialog([](NavigateDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Navigate"));
        EXPECT_EQ(d.siteAddress()->text(), QStringLiteral("http://shown.example/page"));
        EXPECT_TRUE(d.useFilter()->isChecked());
        EXPECT_FALSE(d.useSallyport()->isChecked());
        for (QWidget *w : {static_cast<QWidget *>(d.useFilter()), static_cast<QWidget *>(d.useSallyport()),
                           static_cast<QWidget *>(d.addToFilterButton()),
                           static_cast<QWidget *>(d.addToSallyportButton())})
            EXPECT_TRUE(w->isEnabled());
        d.reject();
    });
    // Cancel stores nothing and leaves the pending address alone.
    EXPECT_TRUE(navigations().isEmpty());
    EXPECT_EQ(store()->spawningFilter(), 1);
}

TEST_F(NavigateDialogTest, OkCompletesTheAddressNavigatesLogsAndStoresTheSwitches)
{
    navigateDialog([](NavigateDialog &d) {
        d.siteAddress()->setText(QStringLiteral("example"));
        d.useFilter()->setChecked(false);
        d.useSallyport()->setChecked(true);
        d.accept();
    });
    EXPECT_EQ(navigations(), QStringList{QStringLiteral("navigate http://www.example.com")});
    EXPECT_EQ(view->pendingAddress(), QStringLiteral("http://www.example.com"));
    EXPECT_TRUE(logText().contains(QStringLiteral("User navigating to URL: [http://www.example.com]")));
    EXPECT_EQ(store()->spawningFilter(), 0);
    EXPECT_EQ(store()->spawningSallyport(), 1);

}

TEST_F(NavigateDialogTest, AnEmptyOrBlankTextGoesNowhereAndLogsNothing)
{
    // With SmartNavigate on, an empty text once went to "http://www..com"
    // (which the engine made "http://http//www..com").
    for (const int smart : {1, 0}) {
        app().settings().setSmartNavigate(smart);
        for (const QString &text : {QString(), QStringLiteral("   "), QStringLiteral("-")}) {
            control()->clearOperations();
            navigateDialog([&](NavigateDialog &d) {
                d.siteAddress()->setText(text);
                d.useSallyport()->setChecked(true);
                d.accept();
            });
            if (smart || text != QStringLiteral("-")) {
                EXPECT_TRUE(navigations().isEmpty()) << smart << " \"" << text.toStdString() << '"';
                EXPECT_TRUE(view->pendingAddress().isEmpty());
            }
            // OK still stores the switches.
            EXPECT_EQ(store()->spawningSallyport(), 1);
            app().settings().setSpawningSallyport(0);
        }
    }
    EXPECT_FALSE(logText().contains(QStringLiteral("User navigating to URL: []")));
    EXPECT_FALSE(logText().contains(QStringLiteral("www..com")));
}

TEST_F(NavigateDialogTest, EnterInAnEmptyAddressBoxGoesNowhere)
{
    app().settings().setSaveAddressHistory(1);
    for (const QString &text : {QString(), QStringLiteral("  ")}) {
        mainWindow()->addressBar()->setEditText(text);
        mainWindow()->runCommand(cmd::AddressGo);
    }
    EXPECT_TRUE(navigations().isEmpty());
    EXPECT_TRUE(mainWindow()->addressBar()->items().isEmpty());
    EXPECT_FALSE(logText().contains(QStringLiteral("User navigating")));

    // Blanks around a word are not part of the address.
    mainWindow()->addressBar()->setEditText(QStringLiteral(" example "));
    mainWindow()->runCommand(cmd::AddressGo);
    EXPECT_EQ(navigations(), QStringList{QStringLiteral("navigate http://www.example.com")});
    EXPECT_EQ(mainWindow()->addressBar()->items(), QStringList{QStringLiteral("http://www.example.com")});
}

TEST_F(NavigateDialogTest, AutoscanRequestStartsTheImageSeriesInsteadOfNavigating)
{
    enter(QStringLiteral("*AutoScan 2"));
    EXPECT_TRUE(navigations().isEmpty());
    // Unchanged by SmartNavigate, lower-cased for the series.
    EXPECT_EQ(view->pendingAddress(), QStringLiteral("*autoscan 2"));
    EXPECT_TRUE(logText().contains(QStringLiteral("User navigating to URL: [*AutoScan 2]")));
}

TEST_F(NavigateDialogTest, WithScanningOffTheFilterControlsAreGreyButOkStoresTheirValues)
{
    app().settings().setSpawning(0);
    app().settings().setSpawningSallyport(1);
    navigateDialog([](NavigateDialog &d) {
        for (QWidget *w : {static_cast<QWidget *>(d.useFilter()), static_cast<QWidget *>(d.useSallyport()),
                           static_cast<QWidget *>(d.addToFilterButton()),
                           static_cast<QWidget *>(d.addToSallyportButton())})
            EXPECT_FALSE(w->isEnabled());
        EXPECT_TRUE(d.setAsHomeButton()->isEnabled());
        d.siteAddress()->setText(QStringLiteral("http://a.example/"));
        d.accept();
    });
    EXPECT_EQ(navigations(), QStringList{QStringLiteral("navigate http://a.example/")});
    EXPECT_EQ(store()->spawningFilter(), 1);
    EXPECT_EQ(store()->spawningSallyport(), 1);
}

TEST_F(NavigateDialogTest, SetAsHomeStoresTheTextAsTypedAndGoesNowhere)
{
    navigateDialog([](NavigateDialog &d) {
        d.siteAddress()->setText(QStringLiteral("word"));
        d.useFilter()->setChecked(false);
        d.setAsHomeButton()->click();
    });
    EXPECT_EQ(store()->homeUrl(), "word");
    EXPECT_TRUE(navigations().isEmpty());
    EXPECT_TRUE(view->pendingAddress().isEmpty());
    // The switches are not Set as home's business.
    EXPECT_EQ(store()->spawningFilter(), 1);
}

TEST_F(NavigateDialogTest, AddButtonsAppendAsTypedEvenTwiceAndStoreTheSwitches)
{
    app().settings().storeFilter({"first"});
    enter(QStringLiteral("Ads"), &NavigateDialog::addToFilterButton);
    navigateDialog([](NavigateDialog &d) {
        d.siteAddress()->setText(QStringLiteral("Ads"));
        d.useSallyport()->setChecked(true);
        d.addToFilterButton()->click();
    });
    EXPECT_EQ(store()->loadFilter(), (std::vector<std::string>{"first", "Ads", "Ads"}));
    EXPECT_EQ(store()->spawningSallyport(), 1);
    EXPECT_TRUE(navigations().isEmpty());
    EXPECT_TRUE(view->pendingAddress().isEmpty());

    enter(QStringLiteral("Trusted.example"), &NavigateDialog::addToSallyportButton);
    EXPECT_EQ(store()->loadSallyport(), std::vector<std::string>{"Trusted.example"});
    EXPECT_EQ(store()->loadFilter().size(), 3u);
    EXPECT_TRUE(navigations().isEmpty());
}
