// The dialogs over the real engine: the About box with its page of our own,
// Internet Options acting on the web profile, and a page's Properties.
#include "core/CommandIds.h"
#include "engine/EngineTest.h"
#include "engine/WebProfile.h"
#include "mainframe/InternetOptionsDialog.h"
#include "support/ModalDialog.h"
#include "ui/AboutBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

QString pageText(QWebEnginePage *page, const QString &id)
{
    return evaluate(page, QStringLiteral("(function(){var e=document.getElementById('%1');"
                                         "return e ? e.textContent : '';})()")
                              .arg(id))
        .toString();
}

} // namespace

TEST_F(EngineTest, AboutBoxNamesTheEngineAndItsOkButtonClosesIt)
{
    const int windows = m_app->mainWindow()->mdiArea()->subWindowList().size();
    QString engine;
    bool contextMenu = false;
    bool closedByOk = false;
    onNextModal<AboutBox>([&](AboutBox &box) {
        QWebEnginePage *page = box.view()->page();
        ASSERT_TRUE(waitUntil([&] { return !(engine = pageText(page, QStringLiteral("engine"))).isEmpty(); }));
        EXPECT_EQ(pageText(page, QStringLiteral("engine-age")), AboutBox::engineAgeText());
        // A right click shows no menu.
        QTest::mouseClick(box.view()->focusProxy(), Qt::RightButton, {}, QPoint(20, 20));
        QTest::qWait(300);
        contextMenu = QApplication::activePopupWidget() != nullptr;
        // The OK button, clicked as a user does.
        const QVariantList centre = evaluate(page, QStringLiteral(
            "(function(){var r=document.getElementById('ok').getBoundingClientRect();"
            "return [r.left + r.width / 2, r.top + r.height / 2];})()")).toList();
        ASSERT_EQ(centre.size(), 2);
        QTest::mouseClick(box.view()->focusProxy(), Qt::LeftButton, {},
                          QPoint(centre[0].toInt(), centre[1].toInt()));
        closedByOk = waitUntil([&] { return !box.isVisible(); });
    });
    m_app->showAbout(); // returns once the box has closed
    EXPECT_TRUE(engine.startsWith(QStringLiteral("Web engine: Qt WebEngine ")));
    EXPECT_TRUE(engine.contains(QStringLiteral("security patches ")));
    EXPECT_FALSE(contextMenu);
    EXPECT_TRUE(closedByOk);
    EXPECT_EQ(m_app->mainWindow()->mdiArea()->subWindowList().size(), windows) << "OK opens nothing";
}

TEST_F(EngineTest, AboutBoxLinksOpenInTheActiveWindowOrANewOne)
{
    m_server.setRoute(QStringLiteral("/maker"), "<html><head><title>Maker</title></head><body>maker</body></html>");
    const QString maker = m_server.url(QStringLiteral("/maker"));
    onNextModal<AboutBox>([&](AboutBox &box) { EXPECT_FALSE(box.acceptNavigation(maker)); });
    m_app->showAbout();
    EXPECT_TRUE(waitUntil([&] { return control()->pageUrl() == maker; }));

    // No window open: the link opens one.
    m_app->mainWindow()->runCommand(corvane::cmd::Close);
    ASSERT_TRUE(waitUntil([&] { return m_app->mainWindow()->mdiArea()->subWindowList().isEmpty(); }));
    onNextModal<AboutBox>([&](AboutBox &box) { box.acceptNavigation(QStringLiteral("app:") + maker); });
    m_app->showAbout();
    ASSERT_EQ(m_app->mainWindow()->mdiArea()->subWindowList().size(), 1);
    BrowserView *opened = m_app->mainWindow()->activeView();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(waitUntil([&] { return opened->control()->pageUrl() == maker; }));
}

TEST_F(EngineTest, InternetOptionsSwitchScriptsAndImagesInEveryWindowAtOnce)
{
    m_server.setRoute(QStringLiteral("/script"),
                      "<html><head><title>static</title></head><body><img src='/pic.gif'>"
                      "<script>document.title = 'scripted';</script></body></html>");
    m_server.setRoute(QStringLiteral("/pic.gif"), QByteArray::fromBase64("R0lGODlhAQABAAAAACw="), "image/gif");
    const QString url = m_server.url(QStringLiteral("/script"));
    ASSERT_TRUE(load(url));
    EXPECT_EQ(control()->pageTitle(), QStringLiteral("scripted"));

    auto setSwitches = [&](bool scripts, bool images) {
        onNextModal<InternetOptionsDialog>([=](InternetOptionsDialog &dialog) {
            dialog.javaScriptBox()->setChecked(scripts);
            dialog.imagesBox()->setChecked(images);
            dialog.accept();
        });
        m_app->mainWindow()->runCommand(corvane::cmd::InternetOptions);
    };
    // The window already open follows.
    setSwitches(false, false);
    EXPECT_EQ(m_app->settings().enableJavaScript(), 0);
    EXPECT_EQ(m_app->settings().loadImages(), 0);
    m_server.clearRequests();
    ASSERT_TRUE(load(url + QStringLiteral("?again")));
    EXPECT_EQ(control()->pageTitle(), QStringLiteral("static"));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/pic.gif")), 0);

    setSwitches(true, true);
    EXPECT_EQ(m_app->settings().enableJavaScript(), 1);
    ASSERT_TRUE(load(url + QStringLiteral("?once more")));
    EXPECT_EQ(control()->pageTitle(), QStringLiteral("scripted"));
}

TEST_F(EngineTest, InternetOptionsClearsCookiesWhenTheUserAgrees)
{
    m_server.setRoute(QStringLiteral("/cookie"),
                      "<html><body><script>document.cookie = 'kept=1; max-age=3600';</script></body></html>");
    m_server.setRoute(QStringLiteral("/plain"), "<html><body>plain</body></html>");
    auto cookieOfPlainPage = [&] {
        static int visit = 0;
        EXPECT_TRUE(load(m_server.url(QStringLiteral("/plain")) + QStringLiteral("?") + QString::number(++visit)));
        return evaluate(control()->page(), QStringLiteral("document.cookie")).toString();
    };
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/cookie"))));
    ASSERT_EQ(cookieOfPlainPage(), QStringLiteral("kept=1"));

    QStringList asked;
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon, const QString &, const QString &text,
                          QMessageBox::StandardButtons) {
        asked << text;
        return asked.size() == 1 ? QMessageBox::No : QMessageBox::Yes;
    });
    QStringList results;
    onNextModal<InternetOptionsDialog>([&](InternetOptionsDialog &dialog) {
        dialog.clearCookiesButton()->click(); // declined
        results << dialog.resultText();
        dialog.clearCookiesButton()->click();
        results << dialog.resultText();
        dialog.clearCacheButton()->click();
        results << dialog.resultText();
        dialog.reject();
    });
    m_app->mainWindow()->runCommand(corvane::cmd::InternetOptions);
    EXPECT_EQ(asked.size(), 2);
    ASSERT_EQ(results.size(), 3);
    EXPECT_TRUE(results[0].isEmpty());
    EXPECT_TRUE(results[1].startsWith(QStringLiteral("The cookies are deleted.")));
    EXPECT_EQ(results[2], QStringLiteral("The cache is empty."));
    EXPECT_TRUE(WebProfile::siteDataClearingPending());
    // The engine deletes them in the background.
    QString left = cookieOfPlainPage();
    for (int tries = 0; !left.isEmpty() && tries < 50; ++tries) {
        QTest::qWait(100);
        left = cookieOfPlainPage();
    }
    EXPECT_TRUE(left.isEmpty()) << left.toStdString();
}

// A page the server lets us keep for an hour comes from the cache until the
// cache is emptied; the cookies stay. A page that was loading when the cache
// went, or started right after, still opens (the engine's own emptying
// leaves such a load waiting for ever).
TEST_F(EngineTest, EmptyingTheCacheKeepsTheCookiesAndLetsPagesLoad)
{
    const QString keptUrl = serveWithCacheControl(
        QStringLiteral("/kept"),
        "<html><body><script>document.cookie = 'stays=1; max-age=3600';</script>kept</body></html>", "max-age=3600");
    LoopbackServer::Response slow;
    slow.body = "<html><body>slow</body></html>";
    slow.delayMs = 600;
    m_server.setResponse(QStringLiteral("/slow"), slow);
    m_server.setRoute(QStringLiteral("/other"), "<html><body>other</body></html>");
    ASSERT_TRUE(loadUntilCached(keptUrl, m_server.url(QStringLiteral("/other"))));
    const int fetchedBeforeEmptying = m_server.hitCount(QStringLiteral("/kept"));

    const QString slowUrl = m_server.url(QStringLiteral("/slow"));
    m_view->navigate(slowUrl);
    ASSERT_TRUE(waitUntil([&] { return m_server.hitCount(QStringLiteral("/slow")) > 0; }));
    onNextModal<InternetOptionsDialog>([&](InternetOptionsDialog &dialog) {
        dialog.clearCacheButton()->click();
        EXPECT_EQ(dialog.resultText(), QStringLiteral("The cache is empty."));
        dialog.reject();
    });
    m_app->mainWindow()->runCommand(corvane::cmd::InternetOptions);
    const QString slowDone = QStringLiteral("* Navigation complete to URL: [%1] *").arg(slowUrl);
    EXPECT_TRUE(waitUntil([&] { return logLines().contains(slowDone); })) << "slow hits " << m_server.hitCount(QStringLiteral("/slow"));
    EXPECT_EQ(control()->pageTitle(), QStringLiteral("127.0.0.1:%1/slow").arg(m_server.port()));

    ASSERT_TRUE(load(keptUrl));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/kept")), fetchedBeforeEmptying + 1);
    EXPECT_EQ(evaluate(control()->page(), QStringLiteral("document.cookie")).toString(),
              QStringLiteral("stays=1"));
}

TEST_F(EngineTest, PropertiesNameThePage)
{
    m_server.setRoute(QStringLiteral("/props"), "<html><head><title>Props</title></head><body>p</body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/props"))));
    const QStringList shown = propertiesTexts();
    EXPECT_TRUE(shown.contains(QStringLiteral("Props")));
    EXPECT_TRUE(shown.contains(m_server.url(QStringLiteral("/props"))));
    EXPECT_TRUE(shown.contains(QStringLiteral("HyperText Transfer Protocol")));
}
