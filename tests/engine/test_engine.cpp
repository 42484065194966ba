// The real web engine behind the browser view, on pages of a loopback server.
#include "app/Application.h"
#include "browser/BrowserWindow.h"
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/ErrorPage.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "engine/FindDialog.h"
#include "engine/WebEngineControl.h"
#include "engine/WebProfile.h"
#include "mainframe/MainWindow.h"
#include "engine/EngineTest.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QWebEnginePage>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST_F(EngineTest, EveryFrameAndTheTopPageLogOneStartAndOneCompletion)
{
    m_server.setRoute(QStringLiteral("/frames"),
                      "<html><head><title>Frames</title></head><body>"
                      "<iframe src='/f1'></iframe><iframe src='/f2'></iframe>"
                      "<iframe src='/f3'></iframe><iframe srcdoc='<b>own</b>'></iframe>"
                      "</body></html>");
    for (const char *f : {"/f1", "/f2", "/f3"})
        m_server.setRoute(QLatin1String(f), QByteArray("<html><body>") + f + "</body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/frames"))));

    const QStringList lines = logLines();
    for (const char *path : {"/frames", "/f1", "/f2", "/f3"}) {
        const QString url = m_server.url(QLatin1String(path));
        const QString start = QStringLiteral("* Navigation started to URL: [%1] *").arg(url);
        const QString end = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        EXPECT_EQ(lines.count(start), 1) << path;
        EXPECT_EQ(lines.count(end), 1) << path;
        EXPECT_LT(lines.indexOf(start), lines.indexOf(end)) << path;
    }
    // A frame with a document of its own starts no navigation and ends none.
    EXPECT_FALSE(lines.contains(QStringLiteral("* Navigation complete to URL: [about:srcdoc] *")));
    // The address box shows the page, not its last frame.
    EXPECT_EQ(m_app->mainWindow()->addressText(), m_server.url(QStringLiteral("/frames")));
}

TEST_F(EngineTest, LongTitleIsLoggedWholeAndCutInTheCaption)
{
    const QString title = QString(300, QLatin1Char('x'));
    m_server.setRoute(QStringLiteral("/long"),
                      "<html><head><title>" + title.toLatin1() + "</title></head><body>long</body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/long"))));
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(title); }, 5000));
    EXPECT_EQ(m_view->browserWindow()->windowTitle(), QString(125, QLatin1Char('x')) + QStringLiteral("..."));
}

TEST_F(EngineTest, OfflineShowsTheErrorPageWithoutTouchingTheNetwork)
{
    m_server.setRoute(QStringLiteral("/page"), "<html><body>page</body></html>");
    m_app->mainWindow()->setOffline(true);
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/page"))));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/page")), 0);
    EXPECT_TRUE(control()->offline());
    // A page of ours says so in the program's words (the engine's names the
    // block in another product's), with the address and a Reload.
    ASSERT_TRUE(waitUntil([&] { return m_view->errorPage() != nullptr; }));
    EXPECT_EQ(m_view->errorPage()->kind(), ErrorPage::Kind::Offline);
    EXPECT_EQ(m_view->errorPage()->title(), QStringLiteral("You are currently working offline"));
    EXPECT_EQ(m_view->errorPage()->url(), m_server.url(QStringLiteral("/page")));
    EXPECT_TRUE(m_view->errorPage()->reloadButton()->isVisibleTo(m_view->errorPage()));
    EXPECT_TRUE(logLines().contains(QStringLiteral("* Not fetched while offline: [%1] *").arg(m_server.url(QStringLiteral("/page")))));

    // Online again, Reload fetches the page and ours goes.
    m_app->mainWindow()->setOffline(false);
    m_server.clearRequests();
    m_view->errorPage()->reloadButton()->click();
    ASSERT_TRUE(waitUntil([&] { return m_server.hitCount(QStringLiteral("/page")) == 1; }));
    EXPECT_TRUE(waitUntil([&] { return m_view->errorPage() == nullptr; }));
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/page"))));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/page")), 2);
}

// Offline, the engine's cache still answers: a page the server let us keep
// shows by Back and by its address, one it did not (or never sent) shows
// ours, and the server sees nothing at all.
TEST_F(EngineTest, OfflineShowsWhatTheCacheHoldsByBackAndByAddress)
{
    const QString keptUrl = serveWithCacheControl(
        QStringLiteral("/kept"), "<html><head><title>Kept</title></head><body>kept</body></html>", "max-age=3600");
    const QString unkeptUrl = serveWithCacheControl(
        QStringLiteral("/unkept"), "<html><head><title>Unkept</title></head><body>unkept</body></html>", "no-store");
    m_server.setRoute(QStringLiteral("/never"), "<html><body>never</body></html>");
    const QString neverUrl = m_server.url(QStringLiteral("/never"));
    ASSERT_TRUE(loadUntilCached(keptUrl, unkeptUrl));
    ASSERT_TRUE(load(unkeptUrl));
    const auto bodyText = [&] {
        return evaluate(control()->page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();
    };

    waitForQuietServer();
    m_app->mainWindow()->setOffline(true);
    m_server.clearRequests();
    const QString keptDone = QStringLiteral("* Navigation complete to URL: [%1] *").arg(keptUrl);
    const qsizetype keptDoneBefore = logLines().count(keptDone);
    m_view->goBack();
    ASSERT_TRUE(waitUntil([&] { return logLines().count(keptDone) > keptDoneBefore; }));
    EXPECT_EQ(m_view->errorPage(), nullptr);
    EXPECT_EQ(bodyText(), QStringLiteral("kept"));

    ASSERT_TRUE(load(unkeptUrl));
    ASSERT_TRUE(waitUntil([&] { return m_view->errorPage() != nullptr; }));
    EXPECT_EQ(m_view->errorPage()->kind(), ErrorPage::Kind::Offline);
    EXPECT_EQ(m_view->errorPage()->url(), unkeptUrl);

    ASSERT_TRUE(load(keptUrl));
    EXPECT_TRUE(waitUntil([&] { return m_view->errorPage() == nullptr; }));
    EXPECT_EQ(bodyText(), QStringLiteral("kept"));

    ASSERT_TRUE(load(neverUrl));
    ASSERT_TRUE(waitUntil([&] { return m_view->errorPage() != nullptr; }));
    EXPECT_EQ(m_view->errorPage()->url(), neverUrl);
    EXPECT_TRUE(logLines().contains(QStringLiteral("* Not fetched while offline: [%1] *").arg(neverUrl)));
    EXPECT_TRUE(m_server.requests().isEmpty()) << m_server.requests().join(QLatin1Char(' ')).toStdString();

    // Online again, the page that was never kept is fetched.
    m_app->mainWindow()->setOffline(false);
    ASSERT_TRUE(load(unkeptUrl));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/unkept")), 1);
    EXPECT_EQ(bodyText(), QStringLiteral("unkept"));
}

TEST_F(EngineTest, SilentPagesGetNoDialogs)
{
    m_app->settings().setSpawning(1);
    m_app->settings().setNoDialogs(1);
    m_server.setRoute(QStringLiteral("/ask"),
                      "<html><head><title>asking</title></head><body><script>"
                      "alert('hello');"
                      "document.title = 'confirm:' + confirm('sure?') + ' prompt:' + prompt('name?');"
                      "</script></body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/ask"))));
    EXPECT_EQ(control()->pageTitle(), QStringLiteral("confirm:false prompt:null"));
}

TEST_F(EngineTest, ViewSourceOpensABrowserWindowOfItsOwn)
{
    m_server.setRoute(QStringLiteral("/src"), "<html><body>source me</body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/src"))));
    const int windows = m_app->mainWindow()->mdiArea()->subWindowList().size();
    m_view->viewSource();
    ASSERT_TRUE(waitUntil(
        [&] { return m_app->mainWindow()->mdiArea()->subWindowList().size() == windows + 1; }, 5000));
    auto *frame = qobject_cast<BrowserWindow *>(m_app->mainWindow()->mdiArea()->subWindowList().last());
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(waitUntil(
        [&] {
            return frame->view()->control()->pageUrl()
                   == QStringLiteral("view-source:") + m_server.url(QStringLiteral("/src"));
        },
        5000));
    EXPECT_FALSE(frame->view()->popupCheckPending());
}

TEST_F(EngineTest, FindReportsTextThatIsNotOnThePage)
{
    m_server.setRoute(QStringLiteral("/text"), "<html><body>apple banana</body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/text"))));
    m_view->findInPage();
    FindDialog *dialog = control()->findDialog();
    ASSERT_NE(dialog, nullptr);
    auto *text = dialog->findChild<QLineEdit *>();
    auto *findNext = dialog->findChild<QPushButton *>();
    ASSERT_TRUE(text && findNext);
    text->setText(QStringLiteral("cherry"));
    findNext->click();
    ASSERT_TRUE(waitUntil([&] { return !dialog->resultText().isEmpty(); }));
    EXPECT_EQ(dialog->resultText(), QStringLiteral("Cannot find \"cherry\"."));
    // Matching is case-blind unless asked.
    QSignalSpy answered(control()->page(), &QWebEnginePage::findTextFinished);
    text->setText(QStringLiteral("BANANA"));
    findNext->click();
    ASSERT_TRUE(waitUntil([&] { return !answered.isEmpty(); }));
    EXPECT_TRUE(dialog->resultText().isEmpty());
}

TEST_F(EngineTest, ScrollPositionIsInPagePixelsAtAnyZoom)
{
    m_server.setRoute(QStringLiteral("/tall"),
                      "<html><body style='height:6000px;width:6000px'>tall</body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/tall"))));
    control()->runPageCommand(BrowserControl::PageCommand::Zoom, 4);
    m_view->setSavedScrollPosition(120, 900);
    m_view->restoreScrollPosition();
    ASSERT_TRUE(waitUntil([&] { return control()->scrollPosition() == QPoint(120, 900); }, 5000));
    m_view->setSavedScrollPosition(0, 0);
    m_view->saveScrollPosition();
    EXPECT_EQ(m_view->savedScrollLeft(), 120);
    EXPECT_EQ(m_view->savedScrollTop(), 900);
}

} // namespace

TEST_F(EngineTest, InPageAnchorIsANavigationThatCompletesAtOnce)
{
    m_server.setRoute(QStringLiteral("/anchors"),
                      "<html><head><title>Anchors</title></head><body>"
                      "<a id='go' href='#part2'>down</a><div style='height:3000px'></div>"
                      "<h2 id='part2'>Part two</h2></body></html>");
    const QString url = m_server.url(QStringLiteral("/anchors"));
    ASSERT_TRUE(load(url));
    control()->page()->runJavaScript(QStringLiteral("document.getElementById('go').click();"));
    const QString target = url + QStringLiteral("#part2");
    ASSERT_TRUE(waitUntil([&] { return m_app->mainWindow()->addressText() == target; }, 5000));
    const QStringList lines = logLines();
    EXPECT_EQ(lines.count(QStringLiteral("* Navigation started to URL: [%1] *").arg(target)), 1);
    EXPECT_EQ(lines.count(QStringLiteral("* Navigation complete to URL: [%1] *").arg(target)), 1);
    EXPECT_FALSE(m_view->navigating());
}

TEST_F(EngineTest, LinkClickedWhileAutoRefreshRunsPausesItUntilTheLoadEnds)
{
    m_server.setRoute(QStringLiteral("/watched"),
                      "<html><head><title>Watched</title></head><body>"
                      "<a id='go' href='/slow'>next</a></body></html>");
    LoopbackServer::Response slow;
    slow.body = "<html><head><title>Slow</title></head><body>Slow</body></html>";
    slow.delayMs = 2500; // well beyond the interval
    m_server.setResponse(QStringLiteral("/slow"), slow);
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/watched"))));

    m_app->settings().setMsgAutoRefresh(0);
    m_view->setAutoRefresh(0, 1, false);
    ASSERT_TRUE(m_view->runCommand(corvane::cmd::AutoRefresh));
    ASSERT_TRUE(m_view->autoRefreshTimerActive());

    const QString slowUrl = m_server.url(QStringLiteral("/slow"));
    const QString started = QStringLiteral("* Navigation started to URL: [%1] *").arg(slowUrl);
    const QString completed = QStringLiteral("* Navigation complete to URL: [%1] *").arg(slowUrl);
    control()->page()->runJavaScript(QStringLiteral("document.getElementById('go').click();"));
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(started); }));
    EXPECT_FALSE(m_view->autoRefreshTimerActive());
    EXPECT_TRUE(m_view->autoRefreshOn());

    ASSERT_TRUE(waitUntil([&] { return logLines().contains(completed); }));
    EXPECT_TRUE(m_view->autoRefreshTimerActive());
    // The next refresh comes a whole interval after the load, and none during it.
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(QStringLiteral("AutoRefreshing...")); }, 10000));
    const QStringList lines = logLines();
    const qsizetype start = lines.indexOf(started);
    const qsizetype refresh = lines.indexOf(QStringLiteral("AutoRefreshing..."), start);
    EXPECT_GT(refresh, lines.indexOf(completed));
    EXPECT_EQ(lines.mid(start, lines.indexOf(completed) - start).count(QStringLiteral("AutoRefreshing...")), 0);
    ASSERT_TRUE(waitUntil([&] { return m_server.hitCount(QStringLiteral("/slow")) >= 2; }, 10000));
    m_view->stop();
}
