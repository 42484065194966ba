// The built program in a Wayland session (a headless compositor): it starts
// on the session's own platform, splits, opens a second window through an
// open request and ends cleanly, and the place stored for the next X11
// session is not replaced by the 0, 0 the compositor reports.
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "support/LoopbackServer.h"
#include "support/ProcessHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using corvane::Workspace;
using corvane::WorkspacePane;
using corvane::WorkspaceWindow;

namespace {

// A headless compositor on a socket in the harness's runtime folder (0700),
// so the program finds it by name as a desktop session's would.
class HeadlessCompositor
{
public:
    explicit HeadlessCompositor(const ProcessHarness &h)
        : m_socket(QStringLiteral("corvane-test-%1").arg(QCoreApplication::applicationPid()))
    {
        const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
        if (weston.isEmpty()) {
            m_whyNot = "weston is not installed";
            return;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), h.runtimeDir());
        env.insert(QStringLiteral("HOME"), h.home());
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("DISPLAY"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(weston, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--no-config"),
                                 QStringLiteral("--socket=") + m_socket});
        const QString socketPath = h.runtimeDir() + QLatin1Char('/') + m_socket;
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning && !QFile::exists(socketPath))
            QThread::msleep(50);
        if (!QFile::exists(socketPath) || m_process.state() == QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
            m_whyNot = "weston did not start: " + m_process.readAll().right(400).toStdString();
        }
    }
    ~HeadlessCompositor()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // Empty once the compositor runs.
    const std::string &whyNot() const { return m_whyNot; }
    QString socket() const { return m_socket; }

private:
    QString m_socket;
    QProcess m_process;
    std::string m_whyNot;
};

} // namespace

TEST(WaylandSession, SplitWindowsAndAnOpenRequestEndCleanlyAndKeepTheStoredPlaces)
{
    ProcessHarness h;
    ASSERT_TRUE(h.valid());
    HeadlessCompositor compositor(h);
    if (!compositor.whyNot().empty())
        GTEST_SKIP() << "no Wayland session to test in: " << compositor.whyNot();

    LoopbackServer server;
    for (const char *page : {"/left", "/right", "/second"})
        server.setRoute(QString::fromLatin1(page), QByteArray("<html><body>") + page + "</body></html>");
    ASSERT_TRUE(server.isListening());
    auto url = [&](const char *path) { return server.url(QString::fromLatin1(path)).toStdString(); };

    // The main window's place from an X11 session, and a "default"
    // workspace at the same place holding one window split in two.
    const Rect place{40, 30, 840, 630};
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\nMsgExit=0\r\nChildMaximized=0\r\n"
                             "[Placement]\r\nBottom=630\r\nLeft=40\r\nRight=840\r\nTop=30\r\nShowCmd=1\r\n"
                             "[Workspaces]\r\nAutoSave=1\r\n");
    WorkspaceWindow split;
    split.setPlace(Rect{10, 10, 510, 410});
    split.showCmd = 1;
    split.colSplit = 250;
    split.panes = {WorkspacePane{url("/left"), 0, 2, 0, 0, 0}, WorkspacePane{url("/right"), 0, 2, 0, 0, 0}};
    Workspace seed;
    seed.setPlace(place);
    seed.setWindows({split.entryText()});
    seed.empty = false;
    corvane::WorkspaceMap workspaces;
    corvane::putExitWorkspace(workspaces, true, seed);
    storeOf(h)->storeWorkspaces(workspaces);

    h.setEnvironmentVariable(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    h.setEnvironmentVariable(QStringLiteral("WAYLAND_DISPLAY"), compositor.socket());
    h.setEnvironmentVariable(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
    h.setCaptureErrors(true);
    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(h.waitUntilRunning()) << h.errors().right(2000).constData();
    ASSERT_TRUE(serveUntil([&] {
        return server.hitCount(QStringLiteral("/left")) >= 1 && server.hitCount(QStringLiteral("/right")) >= 1;
    })) << server.requests().join(QLatin1Char(' ')).toStdString();
    // A second window, handed over as the desktop would.
    ASSERT_EQ(h.run({QStringLiteral("nologo"), QStringLiteral("/dde"), server.url(QStringLiteral("/second"))}), 0);
    ASSERT_TRUE(serveUntil([&] { return server.hitCount(QStringLiteral("/second")) >= 1; }));
    // (Forced to Wayland, the program cannot have started anywhere else.)
    // Nothing said about what Wayland does not allow (a window placing or
    // activating itself).
    const QByteArray errors = h.errors();
    EXPECT_FALSE(errors.contains("qt.qpa.wayland")) << errors.constData();
    EXPECT_EQ(h.terminate(), 0);

    // The main window's place: the corner kept, the state stored.
    const std::unique_ptr<SettingsStore> store = storeOf(h);
    const SettingsStore::MainPlacement placement = store->restoreMainPlacement({Rect{}, 1, Rect{}}, Rect{0, 0, 4096, 4096});
    EXPECT_EQ(placement.stored.left, place.left);
    EXPECT_EQ(placement.stored.top, place.top);
    EXPECT_EQ(placement.showCmd, 1);

    // "default": both windows, the split one as it came, at the kept place.
    const SettingsStore::WorkspaceMap stored = store->loadWorkspaces();
    ASSERT_EQ(stored.count("default"), 1u);
    const Workspace saved = Workspace::parse(stored.at("default"));
    EXPECT_EQ(saved.place().left, place.left);
    EXPECT_EQ(saved.place().top, place.top);
    const std::map<int, std::string> windows = saved.windowMap();
    ASSERT_EQ(windows.size(), 2u) << saved.windows;
    std::vector<std::string> urls;
    for (const auto &[n, text] : windows) {
        const WorkspaceWindow window = WorkspaceWindow::parse(text);
        if (!window.panes.empty()) {
            EXPECT_EQ(window, split) << "a place inside the main window is ours: " << text;
        }
        urls.push_back(corvane::firstPaneUrl(window));
    }
    std::sort(urls.begin(), urls.end());
    EXPECT_EQ(urls, (std::vector<std::string>{url("/left"), url("/second")}));
}
