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

    // A window opened as the desktop opens one (an open request), its page
    // loaded.
    bool openRequested(const QString &name)
    {
        const QString path = QLatin1Char('/') + name;
        m_server.setRoute(path, QStringLiteral("<html><head><title>%1</title></head><body><p>%1 "
                                               "<a href='/other'>a link</a></p></body></html>")
                                    .arg(name)
                                    .toUtf8());
        const QString url = m_server.url(path);
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        return m_app->handleOpenRequest(QStringLiteral("[open(\"%1\")]").arg(url))
               && waitUntil([&] { return logLines().contains(done); });
    }
};

} // namespace

TEST_F(CompositorIdleTest, MaximizedWindowsOpenedOneAfterAnotherLeaveTheCompositorAtRest)
{
    // Each window opened maximized covers the one in front, which the area
    // first restores to its normal size; the windows behind are shown a
    // moment while it comes in. Hidden again before the engine drew them,
    // from the second such window on the compositor woke up 60 times a
    // second for good.
    m_app->settings().setChildMaximized(1);
    for (int i = 1; i < 10; ++i)
        ASSERT_TRUE(openRequested(QStringLiteral("page%1").arg(i))) << i;
    BrowserWindow *front = mainWindow()->activeBrowserWindow();
    ASSERT_NE(front, nullptr);
    EXPECT_TRUE(front->isMaximized());
    EXPECT_FALSE(front->panesCovered());
    // The covered windows settle, and what the last page set going is over.
    waitUntil([] { return false; }, BrowserWindow::kCoverAfterChangeMs + 500);
    const long long before = compositorWakeUps();
    ASSERT_GE(before, 0) << "no compositor thread in this process";
    waitUntil([] { return false; }, 2000);
    // At rest it sleeps through; busy it wakes about 120 times in 2 s.
    EXPECT_LT(compositorWakeUps() - before, 30);
}
