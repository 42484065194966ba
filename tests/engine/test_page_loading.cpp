// How loads begin and end with the real engine: offline mode across windows,
// redirects, failed frames, the status bar after a load, hovered links, and
// the program's own pages. (Local pages: test_local_pages.cpp.)
#include "core/CommandIds.h"
#include "engine/EngineTest.h"
#include "mainframe/AddressBar.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QWebEngineView>

namespace cmd = corvane::cmd;

namespace {

const QString kStarted = QStringLiteral("* Navigation started to URL: [%1] *");
const QString kComplete = QStringLiteral("* Navigation complete to URL: [%1] *");

class PageLoadingTest : public EngineTest
{
protected:
    MainWindow *mainWindow() const { return m_app->mainWindow(); }

    // A second browser window, its start page loaded.
    BrowserView *openSecondView()
    {
        BrowserView *view = m_app->openBrowserWindow();
        if (!view || !waitUntil([view] {
                return view->document()->title() == QStringLiteral("Welcome to Corvane")
                       && !view->navigating();
            }))
            return nullptr;
        return view;
    }

    bool loadIn(BrowserView *view, const QString &url)
    {
        const QString done = kComplete.arg(url);
        const qsizetype before = logLines().count(done);
        view->navigate(url);
        return waitUntil([&] { return logLines().count(done) > before; });
    }

    // Waits for the page's reply to a script (everything the page did before
    // it has reached the engine).
    QVariant evaluate(BrowserView *view, const QString &script)
    {
        return ::evaluate(qobject_cast<WebEngineControl *>(view->control())->page(), script);
    }

    QString paneZero() const { return mainWindow()->statusPaneTexts().value(0); }
};

} // namespace

// --- offline ----------------------------------------------------------------------

TEST_F(PageLoadingTest, OfflineAppliesToEveryOpenWindowAtOnce)
{
    m_server.setRoute(QStringLiteral("/page"), "<html><head><title>Page</title></head><body>page</body></html>");
    m_server.setRoute(QStringLiteral("/other"), "<html><head><title>Other</title></head><body>other</body></html>");
    const QString page = m_server.url(QStringLiteral("/page"));
    BrowserView *first = m_view;
    ASSERT_TRUE(load(page));
    BrowserView *second = openSecondView();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(loadIn(second, page));

    // Offline on: a refresh answered No leaves each page as it is (not the
    // error page) and asks nothing of the server, in either window.
    mainWindow()->runCommand(cmd::Offline);
    ASSERT_TRUE(mainWindow()->isOffline());
    EXPECT_TRUE(first->control()->offline());
    EXPECT_TRUE(second->control()->offline());
    m_server.clearRequests();
    const qsizetype startsBefore = logLines().count(kStarted.arg(page));
    first->reload();
    second->reload();
    EXPECT_FALSE(waitUntil([&] { return logLines().count(kStarted.arg(page)) > startsBefore; }, 1500));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/page")), 0);
    EXPECT_EQ(first->document()->title(), QStringLiteral("Page"));
    EXPECT_EQ(second->document()->title(), QStringLiteral("Page"));

    // A page loaded while offline is the engine's error page...
    const QString other = m_server.url(QStringLiteral("/other"));
    ASSERT_TRUE(loadIn(second, other));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/other")), 0);

    // ... and once online again, F5 in any window reaches the server.
    mainWindow()->runCommand(cmd::Offline);
    ASSERT_FALSE(mainWindow()->isOffline());
    EXPECT_FALSE(first->control()->offline());
    EXPECT_FALSE(second->control()->offline());
    second->reload();
    EXPECT_TRUE(waitUntil([&] { return second->document()->title() == QStringLiteral("Other"); }));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/other")), 1);
    first->reload();
    EXPECT_TRUE(waitUntil([&] { return m_server.hitCount(QStringLiteral("/page")) == 1; }));
}

TEST_F(PageLoadingTest, AWindowOpenedOfflineShowsItsFirstPageFromTheCache)
{
    const QString keptUrl = serveWithCacheControl(
        QStringLiteral("/kept"), "<html><head><title>Kept</title></head><body>kept</body></html>", "max-age=3600");
    m_server.setRoute(QStringLiteral("/other"), "<html><body>other</body></html>");
    ASSERT_TRUE(loadUntilCached(keptUrl, m_server.url(QStringLiteral("/other"))));

    // A window whose very first load is the page, as a restored one's is.
    waitForQuietServer();
    mainWindow()->setOffline(true);
    m_server.clearRequests();
    const qsizetype before = logLines().count(kComplete.arg(keptUrl));
    m_app->newWindowAt(keptUrl);
    BrowserView *view = m_app->activeView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view, m_view);
    ASSERT_TRUE(waitUntil([&] { return logLines().count(kComplete.arg(keptUrl)) > before; }));
    EXPECT_EQ(view->errorPage(), nullptr);
    EXPECT_EQ(evaluate(view, QStringLiteral("document.body.innerText")).toString(), QStringLiteral("kept"));
    EXPECT_TRUE(m_server.requests().isEmpty());
}

// --- navigation starts --------------------------------------------------------------

TEST_F(PageLoadingTest, ScriptRedirectStartsANavigationOfItsOwnAndServerRedirectDoesNot)
{
    m_server.setRoute(QStringLiteral("/first"),
                      "<html><head><script>location.replace('/next');</script></head><body>first</body></html>");
    m_server.setRoute(QStringLiteral("/next"), "<html><head><title>Next</title></head><body>next</body></html>");
    m_server.setRedirect(QStringLiteral("/moved"), QStringLiteral("/next"));
    const QString first = m_server.url(QStringLiteral("/first"));
    const QString next = m_server.url(QStringLiteral("/next"));
    const QString moved = m_server.url(QStringLiteral("/moved"));

    m_view->navigate(first);
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(kComplete.arg(next)); }));
    QStringList lines = logLines();
    EXPECT_EQ(lines.count(kStarted.arg(first)), 1);
    ASSERT_EQ(lines.count(kStarted.arg(next)), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_LT(lines.indexOf(kStarted.arg(first)), lines.indexOf(kStarted.arg(next)));
    EXPECT_LT(lines.indexOf(kStarted.arg(next)), lines.indexOf(kComplete.arg(next)));
    EXPECT_EQ(m_view->currentNavigationAddress(), next);
    EXPECT_FALSE(m_view->navigating());

    // A server's redirect is part of the navigation that asked for it.
    m_view->navigate(moved);
    ASSERT_TRUE(waitUntil([&] { return logLines().count(kComplete.arg(next)) == 2; }));
    lines = logLines();
    EXPECT_EQ(lines.count(kStarted.arg(moved)), 1);
    EXPECT_EQ(lines.count(kStarted.arg(next)), 1);
}

TEST_F(PageLoadingTest, FramesStartTheirScriptRedirectsButNotTheirServerRedirects)
{
    m_server.setRoute(QStringLiteral("/frames"),
                      "<html><head><title>Frames</title></head><body>"
                      "<iframe src='/fscript'></iframe><iframe src='/fmoved'></iframe></body></html>");
    m_server.setRoute(QStringLiteral("/fscript"),
                      "<html><head><script>location.replace('/fnext');</script></head><body>s</body></html>");
    m_server.setRoute(QStringLiteral("/fnext"), "<html><body>next</body></html>");
    m_server.setRedirect(QStringLiteral("/fmoved"), QStringLiteral("/ftarget"));
    m_server.setRoute(QStringLiteral("/ftarget"), "<html><body>target</body></html>");
    const QString fnext = m_server.url(QStringLiteral("/fnext"));
    const QString ftarget = m_server.url(QStringLiteral("/ftarget"));

    m_view->navigate(m_server.url(QStringLiteral("/frames")));
    ASSERT_TRUE(waitUntil([&] {
        const QStringList lines = logLines();
        return lines.contains(kComplete.arg(fnext)) && lines.contains(kComplete.arg(ftarget))
               && lines.contains(kComplete.arg(m_server.url(QStringLiteral("/frames"))));
    }));
    const QStringList lines = logLines();
    EXPECT_EQ(lines.count(kStarted.arg(m_server.url(QStringLiteral("/fscript")))), 1);
    EXPECT_EQ(lines.count(kStarted.arg(fnext)), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_LT(lines.indexOf(kStarted.arg(fnext)), lines.indexOf(kComplete.arg(fnext)));
    EXPECT_EQ(lines.count(kStarted.arg(m_server.url(QStringLiteral("/fmoved")))), 1);
    EXPECT_EQ(lines.count(kStarted.arg(ftarget)), 0);
}

TEST_F(PageLoadingTest, FailedFrameCompletesWithItsOwnAddress)
{
    // A port nobody listens on: the frame's load fails.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QString dead = QStringLiteral("http://127.0.0.1:%1/dead").arg(closed.serverPort());
    closed.close();
    m_server.setRoute(QStringLiteral("/withdead"),
                      "<html><head><title>Dead frame</title></head><body><iframe src='" + dead.toUtf8()
                          + "'></iframe></body></html>");

    ASSERT_TRUE(load(m_server.url(QStringLiteral("/withdead"))));
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(kComplete.arg(dead)); }))
        << logLines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(logLines().count(kStarted.arg(dead)), 1);
    EXPECT_FALSE(engineHome().logText().contains(QStringLiteral("chrome-error")));
}

// --- the status bar -----------------------------------------------------------------

TEST_F(PageLoadingTest, EveryEndedLoadSaysDoneAndTheIdlePromptComesBack)
{
    // No content: the engine keeps the page and ends the load.
    LoopbackServer::Response empty;
    empty.status = 204;
    m_server.setResponse(QStringLiteral("/nothing"), empty);
    m_view->navigate(m_server.url(QStringLiteral("/nothing")));
    ASSERT_TRUE(waitUntil([&] { return m_server.hitCount(QStringLiteral("/nothing")) == 1 && !m_view->navigating(); }));
    EXPECT_TRUE(waitUntil([&] { return paneZero() == QStringLiteral("Done"); }, 5000)) << paneZero().toStdString();

    // Stopped by the user.
    LoopbackServer::Response slow;
    slow.body = "<html><body>late</body></html>";
    slow.delayMs = 20000;
    m_server.setResponse(QStringLiteral("/slow"), slow);
    m_view->navigate(m_server.url(QStringLiteral("/slow")));
    ASSERT_TRUE(waitUntil([&] { return paneZero().startsWith(QStringLiteral("Opening page")); }));
    ASSERT_TRUE(waitUntil([&] { return m_server.hitCount(QStringLiteral("/slow")) == 1; }));
    m_view->stop();
    EXPECT_TRUE(waitUntil([&] { return paneZero() == QStringLiteral("Done"); }, 5000)) << paneZero().toStdString();

    // With no status text standing, the idle prompt shows.
    mainWindow()->setStatusText(QString());
    EXPECT_EQ(paneZero(), QStringLiteral("Ready"));
    mainWindow()->runCommand(cmd::Close);
    ASSERT_TRUE(waitUntil([&] { return mainWindow()->activeView() == nullptr; }));
    EXPECT_EQ(paneZero(), QStringLiteral("Ready"));
}

TEST_F(PageLoadingTest, HoveredLinkIsLoggedWhileTheNavigationRuns)
{
    // The picture keeps the page loading while the user points at the link.
    LoopbackServer::Response picture;
    picture.contentType = "image/png";
    picture.delayMs = 4000;
    m_server.setResponse(QStringLiteral("/late.png"), picture);
    m_server.setRoute(QStringLiteral("/links"),
                      "<html><head><title>Links</title></head><body>"
                      "<a id='go' href='/somewhere-else'>somewhere else</a>"
                      "<img src='/late.png'></body></html>");
    const QString target = m_server.url(QStringLiteral("/somewhere-else"));
    m_view->navigate(m_server.url(QStringLiteral("/links")));
    ASSERT_TRUE(waitUntil([&] { return m_view->document()->title() == QStringLiteral("Links"); }));
    ASSERT_TRUE(m_view->navigating());
    evaluate(m_view, QStringLiteral("document.getElementById('go').focus(); true"));
    ASSERT_TRUE(waitUntil([&] { return paneZero() == target; }, 5000)) << paneZero().toStdString();
    EXPECT_TRUE(m_view->navigating());
    EXPECT_TRUE(logLines().contains(target)) << logLines().join(QLatin1Char('\n')).toStdString();
}

// --- the program's own pages --------------------------------------------------------------

TEST_F(PageLoadingTest, OwnPagesHaveAnAddressOfTheirOwnAndWorkOffline)
{
    // The fixture's first window shows the start page.
    EXPECT_EQ(m_view->control()->pageUrl(), QStringLiteral("corvane:start"));
    EXPECT_EQ(mainWindow()->addressText(), QStringLiteral("corvane:start"));
    EXPECT_TRUE(logLines().contains(kStarted.arg(QStringLiteral("corvane:start"))));
    EXPECT_TRUE(logLines().contains(kComplete.arg(QStringLiteral("corvane:start"))));

    // Help > "Corvane on the Web" shows the help page, offline too.
    mainWindow()->runCommand(cmd::Offline);
    mainWindow()->runCommand(cmd::MakerHomePage);
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(kComplete.arg(QStringLiteral("corvane:help"))); }));
    EXPECT_EQ(mainWindow()->addressText(), QStringLiteral("corvane:help"));
    EXPECT_EQ(m_view->document()->title(), QStringLiteral("Corvane Help"));
    mainWindow()->runCommand(cmd::Offline);

    // Typed into the address box, the address goes into the history as shown.
    mainWindow()->addressBar()->setEditText(QStringLiteral("corvane:start"));
    mainWindow()->runCommand(cmd::AddressGo);
    ASSERT_TRUE(waitUntil([&] { return m_view->document()->title() == QStringLiteral("Welcome to Corvane"); }));
    EXPECT_EQ(mainWindow()->addressBar()->items().value(0), QStringLiteral("corvane:start"));
    EXPECT_EQ(m_view->control()->pageUrl(), QStringLiteral("corvane:start"));
}
