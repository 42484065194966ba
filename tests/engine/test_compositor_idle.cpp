// Maximized windows opened one after another, with the real engine: once
// nothing happens, the engine's display compositor sleeps.
#include "browser/BrowserWindow.h"
#include "engine/EngineTest.h"

#include <QDir>
#include <QFile>

namespace {

// How often the engine's display compositor thread (in this process) went
// to sleep and woke up again so far; -1 when there is none.
long long compositorWakeUps()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("VizCompositor"))
            continue;
        QFile status(tasks.filePath(task + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                return line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return -1;
}

class CompositorIdleTest : public EngineTest
{
protected:
    MainWindow *mainWindow() const { return m_app->mainWindow(); }

    // A window opened as the desktop opens one (an open request); with
    // wait, once its page has loaded.
    bool openRequested(const QString &name, bool wait)
    {
        const QString path = QLatin1Char('/') + name;
        LoopbackServer::Response page;
        // A page shown at once whose picture comes later: it is still
        // loading when the next window covers it.
        page.body = QStringLiteral("<html><head><title>%1</title></head><body><p>%1 "
                                   "<a href='/other'>a link</a></p><img src='/%1.svg'></body></html>")
                        .arg(name)
                        .toUtf8();
        m_server.setResponse(path, page);
        LoopbackServer::Response picture;
        picture.body = "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100'>"
                       "<rect width='200' height='100' fill='teal'/></svg>";
        picture.contentType = "image/svg+xml";
        picture.delayMs = wait ? 0 : 400;
        m_server.setResponse(path + QStringLiteral(".svg"), picture);
        const QString url = m_server.url(path);
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        return m_app->handleOpenRequest(QStringLiteral("[open(\"%1\")]").arg(url))
               && (!wait || waitUntil([&] { return logLines().contains(done); }));
    }
};

} // namespace

TEST_F(CompositorIdleTest, MaximizedWindowsOpenedOneAfterAnotherLeaveTheCompositorAtRest)
{
    // Each window opened maximized covers the one in front, which the area
    // first restores to its normal size; the windows behind are shown a
    // moment while it comes in, and a page may come in while its window is
    // covered. Hidden before the engine drew them so, from the second such
    // window on the compositor woke up 60 times a second for good.
    m_app->settings().setChildMaximized(1);
    // One after another as each page has loaded, then as a desktop hands
    // links over, each coming in while the last still loads.
    for (int i = 1; i < 10; ++i)
        ASSERT_TRUE(openRequested(QStringLiteral("page%1").arg(i), true)) << i;
    for (int i = 10; i < 20; ++i) {
        ASSERT_TRUE(openRequested(QStringLiteral("page%1").arg(i), false)) << i;
        waitUntil([] { return false; }, 80);
    }
    ASSERT_TRUE(waitUntil([&] {
        return logLines().filter(QStringLiteral("* Navigation complete to URL: [")).size() >= 20;
    }));
    BrowserWindow *front = mainWindow()->activeBrowserWindow();
    ASSERT_NE(front, nullptr);
    EXPECT_TRUE(front->isMaximized());
    EXPECT_FALSE(front->panesCovered());
    // The covered windows settle, and what the last page set going is over.
    waitUntil([] { return false; }, BrowserWindow::kSettleDelayMs + BrowserWindow::kSettleShowMaxMs + 500);
    const long long before = compositorWakeUps();
    ASSERT_GE(before, 0) << "no compositor thread in this process";
    waitUntil([] { return false; }, 2000);
    // At rest it sleeps through; busy it wakes about 120 times in 2 s.
    EXPECT_LT(compositorWakeUps() - before, 30);
}
