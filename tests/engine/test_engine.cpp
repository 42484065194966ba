// The real web engine behind the browser view, on pages of a loopback server.
#include "app/Application.h"
#include "browser/BrowserWindow.h"
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "core/SettingsStore.h"
#include "engine/FindDialog.h"
#include "engine/WebEngineControl.h"
#include "engine/WebProfile.h"
#include "mainframe/MainWindow.h"
#include "support/LoopbackServer.h"
#include "support/TempHome.h"
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

// Waits for the condition while the event loop runs. (QTest::qWaitFor sleeps
// between its rounds, and the engine's own work on this thread crawls then.)
template<typename Predicate>
bool waitUntil(Predicate condition, int timeoutMs = 10000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || elapsed.hasExpired(timeoutMs))
            loop.quit();
    });
    while (!condition()) {
        if (elapsed.hasExpired(timeoutMs))
            return false;
        poll.start(5);
        loop.exec();
    }
    return true;
}

// One home for the whole run: the web profile is made once per process and
// keeps its folders.
TempHome &engineHome()
{
    static TempHome home;
    return home;
}

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engineHome().isValid());
        ASSERT_TRUE(m_server.isListening());
        setMessageBoxHook([](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                             QMessageBox::StandardButtons) { return QMessageBox::No; });
        QDir(engineHome().home()).remove(QStringLiteral("nav.log"));
        Application::Options options;
        options.iniFile = engineHome().filePath(QStringLiteral("bin/Corvane.ini"));
        options.userStoreFile = engineHome().configHome() + QStringLiteral("/Tolvek/Corvane.reg");
        options.homeDir = engineHome().home();
        options.runtimeDir = engineHome().runtimeDir();
        options.listen = false;
        m_app = std::make_unique<Application>(options);
        ASSERT_TRUE(m_app->start({QStringLiteral("nologo")}));
        m_app->settings().setLogging(1);
        m_app->settings().setLogFile(logPath().toStdString());
        m_view = m_app->mainWindow()->activeView();
        ASSERT_NE(m_view, nullptr);
        // The first window shows our own start page.
        ASSERT_TRUE(waitUntil([this] {
            return m_view->document()->title() == QStringLiteral("Welcome to Corvane")
                   && !m_view->navigating();
        }));
    }

    void TearDown() override
    {
        m_app->shutDown();
        m_app.reset();
        setMessageBoxHook({});
    }

    QString logPath() const { return engineHome().logPath(); }
    QStringList logLines() const { return engineHome().logLines(); }

    // Navigates the view and waits for the page's completion in the log.
    bool load(const QString &url)
    {
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        const qsizetype before = logLines().count(done);
        m_view->navigate(url);
        return waitUntil([&] { return logLines().count(done) > before; });
    }

    WebEngineControl *control() const { return qobject_cast<WebEngineControl *>(m_view->control()); }

    LoopbackServer m_server;
    std::unique_ptr<Application> m_app;
    BrowserView *m_view = nullptr;
};

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

    m_app->mainWindow()->setOffline(false);
    m_server.clearRequests();
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/page"))));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/page")), 1);
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

TEST_F(EngineTest, PopupsOpenInABrowserWindowOfTheirOwn)
{
    m_server.setRoute(QStringLiteral("/opener"),
                      "<html><body><script>window.open('/popped');</script></body></html>");
    m_server.setRoute(QStringLiteral("/popped"),
                      "<html><head><title>Popped</title></head><body>popup</body></html>");
    const int windows = m_app->mainWindow()->mdiArea()->subWindowList().size();
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/opener"))));
    ASSERT_TRUE(waitUntil(
        [&] { return m_app->mainWindow()->mdiArea()->subWindowList().size() == windows + 1; }));
    auto *popup = qobject_cast<BrowserWindow *>(m_app->mainWindow()->mdiArea()->subWindowList().last());
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(waitUntil([&] { return popup->view()->document()->title() == QStringLiteral("Popped"); }));
    EXPECT_EQ(popup->view()->control()->pageUrl(), m_server.url(QStringLiteral("/popped")));
    EXPECT_EQ(popup->view()->openerAddress(), m_server.url(QStringLiteral("/opener")));
    EXPECT_FALSE(popup->view()->popupCheckPending());
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

TEST_F(EngineTest, DownloadsAreSavedOrCancelledAndAlwaysReported)
{
    LoopbackServer::Response file;
    file.body = "downloaded bytes";
    file.contentType = "application/octet-stream";
    file.headers.append(qMakePair(QByteArray("Content-Disposition"), QByteArray("attachment; filename=data.bin")));
    m_server.setResponse(QStringLiteral("/data.bin"), file);
    QSignalSpy status(WebProfile::instance(), &WebProfile::downloadStatus);

    const QString target = engineHome().filePath(QStringLiteral("saved.bin"));
    QString suggested;
    WebProfile::instance()->setSavePathChooser([&](const QString &s) {
        suggested = s;
        return target;
    });
    control()->navigate(m_server.url(QStringLiteral("/data.bin")));
    ASSERT_TRUE(waitUntil(
        [&] {
            return !status.isEmpty()
                   && status.last().at(0).toString() == QStringLiteral("Download complete: ") + target;
        },
        10000));
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/data.bin")));
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("downloaded bytes"));
    // The page stays; its navigation is over.
    EXPECT_TRUE(waitUntil([&] { return !m_view->navigating(); }, 3000));
    EXPECT_EQ(m_app->mainWindow()->addressText(), control()->pageUrl());

    WebProfile::instance()->setSavePathChooser([](const QString &) { return QString(); });
    control()->navigate(m_server.url(QStringLiteral("/data.bin")));
    ASSERT_TRUE(waitUntil(
        [&] { return status.last().at(0).toString() == QStringLiteral("Download cancelled: data.bin"); },
        10000));
    WebProfile::instance()->setSavePathChooser({});
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
