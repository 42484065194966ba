// What a page asks through the engine, as the browser view answers it: a
// modal question in the window the user looks at, a bar in one behind it,
// our own page for a certificate error or a stopped page; the answers logged
// and a site's answers remembered.
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/ErrorPage.h"
#include "browser/RequestBar.h"
#include "core/SettingsStore.h"
#include "engine/WebProfile.h"
#include "support/Eventually.h"
#include "support/FakeBrowserControl.h"
#include "support/FakeBrowserHost.h"
#include "support/MessageBoxRecorder.h"
#include "ui/LoginDialog.h"

#include <QMdiArea>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using corvane::SiteFeature;

class ViewRequestsTest : public ::testing::Test, protected MessageBoxRecorder
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.home.isValid());
        answer = QMessageBox::Yes;
        host.settings().setLogging(1);
        host.settings().setLogFile(host.home.logPath().toStdString());
        host.openBrowserWindow();
        control()->clearOperations();
        setLoginDialogHook([this](QWidget *, const QString &title, const QString &text,
                                  const QString &user) -> std::optional<LoginAnswer> {
            logins.append({title, text, user});
            return loginAnswer;
        });
    }
    void TearDown() override { setLoginDialogHook({}); }

    FakeBrowserControl *control(int i = 0) { return host.controls.at(i); }
    BrowserView *view(int i = 0) { return dynamic_cast<BrowserView *>(control(i)->events()); }
    QStringList logLines() const { return host.home.logLines(); }
    // A second window in front: the first one's page is not looked at.
    void openWindowInFront()
    {
        host.openBrowserWindow();
        ASSERT_EQ(host.activeView(), view(1));
    }

    struct AskedLogin
    {
        QString title, text, user;
    };
    QList<AskedLogin> logins;
    std::optional<LoginAnswer> loginAnswer;
    FakeBrowserHost host;
};

TEST_F(ViewRequestsTest, PermissionIsAskedInTheWindowInFrontAndRemembered)
{
    control()->firePermissionRequested(QStringLiteral("https://maps.example"), SiteFeature::Geolocation);
    EXPECT_TRUE(boxes.isEmpty()) << "asked once the engine's call is over";
    EXPECT_EVENTUALLY_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Site permission alert"));
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("maps.example wants to know your location.")));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Question);
    EXPECT_TRUE(control()->did(QStringLiteral("answerPermission https://maps.example geolocation 1")));
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Permission geolocation allowed by user for site: [https://maps.example] *")));
    EXPECT_EQ(host.settings().loadSitePermissions().answer("https://maps.example", SiteFeature::Geolocation), true);

    // The same site again, even from another window, asks nothing.
    control()->clearOperations();
    control()->firePermissionRequested(QStringLiteral("https://maps.example"), SiteFeature::Geolocation);
    EXPECT_TRUE(control()->did(QStringLiteral("answerPermission https://maps.example geolocation 1")));
    QTest::qWait(20);
    EXPECT_EQ(boxes.size(), 1);

    // No is remembered too; another feature of the site is its own question.
    answer = QMessageBox::No;
    control()->firePermissionRequested(QStringLiteral("https://maps.example"), SiteFeature::Camera);
    EXPECT_EVENTUALLY(control()->did(QStringLiteral("answerPermission https://maps.example camera 0")));
    EXPECT_EQ(host.settings().loadSitePermissions().answer("https://maps.example", SiteFeature::Camera), false);
}

TEST_F(ViewRequestsTest, PermissionOfAWindowBehindWaitsInABar)
{
    openWindowInFront();
    control(0)->firePermissionRequested(QStringLiteral("http://127.0.0.1:8080"), SiteFeature::Notifications);
    control(0)->firePermissionRequested(QStringLiteral("http://127.0.0.1:8080"), SiteFeature::Notifications);
    EXPECT_EVENTUALLY_EQ(view(0)->requestBars().size(), 1);
    EXPECT_TRUE(boxes.isEmpty()) << "no dialog stops the window in front";
    EXPECT_TRUE(control(0)->operations(QStringLiteral("answerPermission")).isEmpty());
    RequestBar *bar = view(0)->requestBars().at(0);
    EXPECT_EQ(bar->text(), QStringLiteral("127.0.0.1:8080 wants to show notifications on your desktop."));

    bar->rejectButton()->click();
    EXPECT_EQ(control(0)->operations(QStringLiteral("answerPermission")),
              QStringList{QStringLiteral("answerPermission http://127.0.0.1:8080 notifications 0")});
    EXPECT_TRUE(view(0)->requestBars().isEmpty());
    EXPECT_EQ(host.settings().loadSitePermissions().answer("http://127.0.0.1:8080", SiteFeature::Notifications),
              false);
}

TEST_F(ViewRequestsTest, ARequestWithdrawnOrLeftOpenWhenTheWindowCloses)
{
    openWindowInFront();
    control(0)->firePermissionRequested(QStringLiteral("http://a"), SiteFeature::Camera);
    control(0)->firePermissionRequested(QStringLiteral("http://a"), SiteFeature::MouseLock);
    EXPECT_EVENTUALLY_EQ(view(0)->requestBars().size(), 2);
    control(0)->firePermissionRequestCancelled(QStringLiteral("http://a"), SiteFeature::Camera);
    EXPECT_EQ(view(0)->requestBars().size(), 1);

    const QPointer<FakeBrowserControl> closing = control(0);
    delete view(0)->browserWindow();
    ASSERT_TRUE(closing.isNull());
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Permission mouse-lock denied (window closed unanswered) for site: [http://a] *")));
    EXPECT_FALSE(logLines().join('\n').contains(QStringLiteral("camera")));
    EXPECT_TRUE(host.settings().loadSitePermissions().empty()) << "an unanswered request is not remembered";
}

TEST_F(ViewRequestsTest, LoginAskedInFrontIsHandedOverOnceAndNeverEmpty)
{
    loginAnswer = LoginAnswer{QStringLiteral("ann"), QStringLiteral("pw")};
    const QString host = QStringLiteral("127.0.0.1:9001");
    BrowserEvents::LoginRequest given =
        control()->fireLoginRequested(QStringLiteral("http://127.0.0.1:9001/a"), host, QStringLiteral("Staff"));
    ASSERT_EQ(logins.size(), 1);
    EXPECT_EQ(logins[0].title, QStringLiteral("Login request alert"));
    EXPECT_TRUE(logins[0].text.contains(QStringLiteral("127.0.0.1:9001")));
    EXPECT_TRUE(logins[0].text.contains(QStringLiteral("\"Staff\"")));
    EXPECT_TRUE(given.given);
    EXPECT_EQ(given.user, QStringLiteral("ann"));
    EXPECT_EQ(given.password, QStringLiteral("pw"));

    // Asked again: the server refused it. The user is asked, the name filled in.
    loginAnswer = LoginAnswer{QString(), QStringLiteral("pw")};
    given = control()->fireLoginRequested(QStringLiteral("http://127.0.0.1:9001/a"), host, QStringLiteral("Staff"));
    ASSERT_EQ(logins.size(), 2);
    EXPECT_TRUE(logins[1].text.startsWith(QStringLiteral("The user name or password was not accepted.")));
    EXPECT_EQ(logins[1].user, QStringLiteral("ann"));
    EXPECT_FALSE(given.given) << "no user name: nothing is sent";

    loginAnswer.reset();
    given = control()->fireLoginRequested(QStringLiteral("http://127.0.0.1:9001/a"), host, QStringLiteral("Staff"));
    EXPECT_FALSE(given.given);
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Login cancelled by user for URL: [http://127.0.0.1:9001/a] realm: [Staff] *")));
}

TEST_F(ViewRequestsTest, LoginOfAWindowBehindWaitsInABarAndTheNextRequestGetsIt)
{
    openWindowInFront();
    const QString url = QStringLiteral("http://127.0.0.1:9002/b");
    const QString host = QStringLiteral("127.0.0.1:9002");
    BrowserEvents::LoginRequest given = control(0)->fireLoginRequested(url, host, QStringLiteral("R"));
    EXPECT_FALSE(given.given) << "cancelled for now: the server's page shows";
    EXPECT_TRUE(logins.isEmpty());
    ASSERT_EQ(view(0)->requestBars().size(), 1);
    EXPECT_EQ(view(0)->requestBars().at(0)->text(),
              QStringLiteral("127.0.0.1:9002 asks for a user name and password (\"R\")."));

    loginAnswer = LoginAnswer{QStringLiteral("bob"), QStringLiteral("secret")};
    view(0)->requestBars().at(0)->acceptButton()->click();
    ASSERT_EQ(logins.size(), 1);
    EXPECT_TRUE(control(0)->did(QStringLiteral("reload Normal"))) << "the page asks again";
    EXPECT_TRUE(view(0)->requestBars().isEmpty());

    given = control(0)->fireLoginRequested(url, host, QStringLiteral("R"));
    EXPECT_TRUE(given.given);
    EXPECT_EQ(given.user, QStringLiteral("bob"));
    EXPECT_EQ(logins.size(), 1) << "not asked again";
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Login given from this session for URL: [%1] realm: [R] *").arg(url)));
}

TEST_F(ViewRequestsTest, CertificateErrorShowsOurPageUntilTheNextNavigation)
{
    const QString url = QStringLiteral("https://self.example:8443/");
    control()->fireNavigationStarting(url);
    control()->fireCertificateError(url);
    control()->setLocation(QStringLiteral("self.example"), url);
    control()->setCertificateError(true);
    control()->fireDocumentComplete(url);
    ErrorPage *page = view()->errorPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->kind(), ErrorPage::Kind::CertificateError);
    EXPECT_TRUE(page->text().contains(QStringLiteral("self.example")));
    EXPECT_EQ(page->goOnButton()->text(), QStringLiteral("Go on to self.example (unsafe)"));
    EXPECT_FALSE(control()->widget()->isVisible());
    EXPECT_EQ(host.security, corvane::PageSecurity::CertificateError);
    EXPECT_FALSE(host.secure);
    EXPECT_EQ(view()->document()->title(), QStringLiteral("This connection is not secure"));
    EXPECT_TRUE(logLines().join('\n').contains(QStringLiteral("* Certificate error for URL: [%1] -- ").arg(url)));

    page->goOnButton()->click();
    EXPECT_TRUE(control()->did(QStringLiteral("goOnDespiteCertificate ") + url));
    EXPECT_TRUE(logLines().contains(QStringLiteral("* Certificate error accepted by user for URL: [%1] *").arg(url)));
    control()->fireNavigationStarting(url);
    EXPECT_EQ(view()->errorPage(), nullptr);
    EXPECT_TRUE(control()->widget()->isVisible());

    // A site that allows no exception offers none.
    control()->fireCertificateError(url, -200, false);
    ASSERT_NE(view()->errorPage(), nullptr);
    EXPECT_FALSE(view()->errorPage()->goOnButton()->isVisibleTo(view()->errorPage()));
}

TEST_F(ViewRequestsTest, StoppedPageShowsOurPageAndReloadLoadsItAgain)
{
    control()->fireNavigation(QStringLiteral("http://a.example/"), QStringLiteral("A"));
    control()->firePageStopped(corvane::PageStop::Crashed);
    ASSERT_NE(view()->errorPage(), nullptr);
    EXPECT_EQ(view()->errorPage()->title(), QStringLiteral("The page stopped working"));
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* The page stopped working for URL: [http://a.example/] -- crashed *")));
    view()->errorPage()->reloadButton()->click();
    EXPECT_TRUE(control()->did(QStringLiteral("reload Complete")));
    control()->fireNavigation(QStringLiteral("http://a.example/"), QStringLiteral("A"));
    EXPECT_EQ(view()->errorPage(), nullptr);
    EXPECT_EQ(view()->document()->title(), QStringLiteral("A"));
}

} // namespace
