// Workspaces and crash recovery with the built program and the real engine:
// what comes back after an exit that saved "default", and after a kill.
#include "core/Recovery.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "support/LoopbackServer.h"
#include "support/ProcessHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <string>
#include <vector>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using corvane::Workspace;
using corvane::WorkspacePane;
using corvane::WorkspaceWindow;

namespace {

// Serves the loopback pages while it waits for the file to hold every needle.
bool waitForFileContainingAll(const QString &path, const QList<QByteArray> &needles, int timeoutMs = 60000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            if (std::all_of(needles.begin(), needles.end(), [&](const QByteArray &n) { return text.contains(n); }))
                return true;
        }
        QThread::msleep(20);
    }
    return false;
}

// Hands an address to the running program, as the desktop would.
void openInRunning(ProcessHarness &h, const QString &url)
{
    QByteArray out;
    ASSERT_EQ(h.run({QStringLiteral("nologo"), QStringLiteral("/dde"), url}, &out), 0);
}

QStringList windowUrls(const Workspace &ws)
{
    QStringList urls;
    for (const auto &[n, text] : ws.windowMap())
        urls << QString::fromStdString(WorkspaceWindow::parse(text).url);
    urls.sort();
    return urls;
}

// A home whose store holds AutoSave and these windows as the "default"
// workspace, in a main window at 0, 0, 780 x 580.
void seedDefaultWorkspace(ProcessHarness &h, const std::vector<std::string> &windows)
{
    Workspace seed;
    seed.setPlace(Rect{0, 0, 780, 580});
    seed.setWindows(windows);
    seed.empty = false;
    corvane::WorkspaceMap map;
    corvane::putExitWorkspace(map, true, seed);
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\nMsgExit=0\r\n"
                             "[Workspaces]\r\nAutoSave=1\r\n");
    storeOf(h)->storeWorkspaces(map);
}

// A page far taller than its window that reports each scroll position it
// reaches, so a test sees the engine scroll it.
QByteArray tallPage(const char *name)
{
    return QByteArray("<html><body style=\"margin:0;height:6000px\"><p>") + name
           + "</p><script>addEventListener('scroll', function () {"
             "new Image().src = '/scrolled?p=" + name + "&y=' + Math.round(scrollY); });"
             "</script></body></html>";
}

} // namespace

TEST(WorkspaceProcess, ThreeWindowsOneSplitInFourComeBackAfterAnExitThatSavedDefault)
{
    LoopbackServer server;
    for (const char *page : {"/tick", "/left", "/under", "/two"})
        server.setRoute(QString::fromLatin1(page), QByteArray("<html><body>") + page + "</body></html>");
    server.setRoute(QStringLiteral("/pane"), tallPage("pane"));
    server.setRoute(QStringLiteral("/three"), tallPage("three"));
    server.setRoute(QStringLiteral("/scrolled"), QByteArray());
    ASSERT_TRUE(server.isListening());
    auto url = [&](const char *path) { return server.url(QString::fromLatin1(path)).toStdString(); };

    // The state the first run starts from: a window split in four (the pane
    // top right active, AutoRefresh every 2 s on it, the pane bottom right
    // scrolled down, the splitter locked), a plain window, and a window
    // scrolled down.
    WorkspaceWindow split;
    split.setPlace(Rect{0, 0, 500, 380});
    split.showCmd = 1;
    split.rowSplit = 152;
    split.colSplit = 252;
    split.activeRow = 0;
    split.activeCol = 1;
    split.splitterLocked = 1;
    // From the active pane back: top right, top left, bottom right, bottom left.
    split.panes = {WorkspacePane{url("/tick"), 1, 0, 2, 0, 0}, WorkspacePane{url("/left"), 0, 2, 0, 0, 0},
                   WorkspacePane{url("/pane"), 0, 2, 0, 0, 700}, WorkspacePane{url("/under"), 0, 2, 0, 0, 0}};
    WorkspaceWindow two;
    two.url = url("/two");
    two.setPlace(Rect{40, 30, 440, 330});
    two.showCmd = 1;
    WorkspaceWindow three = two;
    three.url = url("/three");
    three.setPlace(Rect{80, 60, 480, 360});
    three.scrollTop = 500;
    ProcessHarness h;
    seedDefaultWorkspace(h, {split.entryText(), two.entryText(), three.entryText()});

    // Each run: everything loaded, the two pages scrolled by the engine and
    // AutoRefresh reloading; then the exit stores "default".
    auto runOnce = [&](const char *what) {
        SCOPED_TRACE(what);
        server.clearRequests();
        ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
        ASSERT_TRUE(h.waitUntilRunning());
        const bool settled = serveUntil([&] {
            const QStringList r = server.requests();
            return r.contains(QStringLiteral("/scrolled?p=pane&y=700"))
                   && r.contains(QStringLiteral("/scrolled?p=three&y=500")) && server.hitCount(QStringLiteral("/tick")) >= 2
                   && server.hitCount(QStringLiteral("/left")) >= 1 && server.hitCount(QStringLiteral("/under")) >= 1
                   && server.hitCount(QStringLiteral("/two")) >= 1;
        });
        EXPECT_TRUE(settled) << server.requests().join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(server.hitCount(QStringLiteral("/left")), 1) << "only the AutoRefresh pane reloads";
        EXPECT_EQ(h.terminate(), 0);

        const SettingsStore::WorkspaceMap stored = storeOf(h)->loadWorkspaces();
        ASSERT_EQ(stored.count("default"), 1u);
        const Workspace saved = Workspace::parse(stored.at("default"));
        const std::map<int, std::string> windows = saved.windowMap();
        ASSERT_EQ(windows.size(), 3u) << saved.windows;
        EXPECT_EQ(WorkspaceWindow::parse(windows.at(1)), split) << windows.at(1);
        EXPECT_EQ(WorkspaceWindow::parse(windows.at(2)), two) << windows.at(2);
        EXPECT_EQ(WorkspaceWindow::parse(windows.at(3)), three) << windows.at(3);
    };
    runOnce("first run, from the stored state");
    runOnce("second run, from what the first one saved");
}

TEST(WorkspaceProcess, AfterAKillTheRecoveryQuestionBringsTheThreeWindowsBack)
{
    LoopbackServer server;
    for (const char *page : {"/one", "/two", "/three"})
        server.setRoute(QString::fromLatin1(page), QByteArray("<html><body>") + page + "</body></html>");
    ASSERT_TRUE(server.isListening());
    QStringList urls;
    for (const char *page : {"/one", "/two", "/three"})
        urls << server.url(QString::fromLatin1(page));

    ProcessHarness h;
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\n"
                             "[Workspaces]\r\nAutoSave=1\r\n");
    const QString recovery =
        QString::fromStdString(corvane::recoveryFilePath((h.home() + QStringLiteral("/.local/share")).toStdString()));
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), urls.at(0)}));
    ASSERT_TRUE(h.waitUntilRunning());
    openInRunning(h, urls.at(1));
    openInRunning(h, urls.at(2));
    ASSERT_TRUE(waitForFileContainingAll(recovery, {urls.at(0).toUtf8(), urls.at(1).toUtf8(), urls.at(2).toUtf8()}));
    h.kill();
    ASSERT_TRUE(QFile::exists(recovery));

    // The next start asks; Yes brings the three windows back.
    h.setCaptureErrors(true);
    h.setEnvironmentVariable(QStringLiteral("CORVANE_TEST_ANSWER"), QStringLiteral("yes"));
    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(h.waitUntilRunning());
    EXPECT_TRUE(h.errors().contains("message box: Restore windows: Corvane did not close normally"))
       ;
    // The windows now open make the record again, and exit stores them.
    EXPECT_TRUE(waitForFileContainingAll(recovery, {urls.at(0).toUtf8(), urls.at(1).toUtf8(), urls.at(2).toUtf8()}));
    EXPECT_EQ(h.terminate(), 0);
    EXPECT_FALSE(QFile::exists(recovery)) << "a clean end leaves no record";
    const SettingsStore::WorkspaceMap stored = storeOf(h)->loadWorkspaces();
    ASSERT_EQ(stored.count("default"), 1u);
    QStringList expected = urls;
    expected.sort();
    EXPECT_EQ(windowUrls(Workspace::parse(stored.at("default"))), expected);
    EXPECT_EQ(h.errors().count("message box:"), 1);
}

TEST(WorkspaceProcess, APageBehindAMaximizedWindowKeepsItsScrollPositionThroughAnExit)
{
    // The page behind is never drawn while covered; its scroll position
    // still reaches the engine and the workspace saved at exit.
    LoopbackServer server;
    server.setRoute(QStringLiteral("/front"), QByteArray("<html><body>front</body></html>"));
    server.setRoute(QStringLiteral("/behind"), tallPage("behind"));
    server.setRoute(QStringLiteral("/scrolled"), QByteArray());
    ASSERT_TRUE(server.isListening());

    WorkspaceWindow front;
    front.url = server.url(QStringLiteral("/front")).toStdString();
    front.setPlace(Rect{10, 10, 410, 310});
    front.showCmd = 3;
    WorkspaceWindow behind = front;
    behind.url = server.url(QStringLiteral("/behind")).toStdString();
    behind.scrollTop = 500;
    ProcessHarness h;
    seedDefaultWorkspace(h, {front.entryText(), behind.entryText()});
    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(h.waitUntilRunning());
    ASSERT_TRUE(serveUntil([&] { return server.hitCount(QStringLiteral("/behind")) >= 1 && server.hitCount(QStringLiteral("/front")) >= 1; }));
    // Time for the load to end and the scroll to be applied.
    serveUntil([] { return false; }, 3000);
    EXPECT_EQ(h.terminate(), 0);

    const Workspace saved = Workspace::parse(storeOf(h)->loadWorkspaces().at("default"));
    const std::map<int, std::string> windows = saved.windowMap();
    ASSERT_EQ(windows.size(), 2u) << saved.windows;
    EXPECT_EQ(WorkspaceWindow::parse(windows.at(1)), front) << windows.at(1);
    EXPECT_EQ(WorkspaceWindow::parse(windows.at(2)), behind) << windows.at(2);
}

namespace {

QString recoveryPathOf(const ProcessHarness &h)
{
    return QString::fromStdString(
        corvane::recoveryFilePath((h.home() + QStringLiteral("/.local/share")).toStdString()));
}

// Reads the program's stderr until it holds the text.
bool waitForErrorText(ProcessHarness &h, const QByteArray &text, int timeoutMs = 60000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (h.errors().contains(text))
            return true;
        if (h.process().state() == QProcess::NotRunning)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return false;
}

} // namespace

TEST(WorkspaceProcess, AKillRightAfterYesToRestoreWindowsFindsTheSameWindowsAtTheNextStart)
{
    LoopbackServer server;
    for (const char *page : {"/one", "/two", "/three"})
        server.setRoute(QString::fromLatin1(page), QByteArray("<html><body>") + page + "</body></html>");
    ASSERT_TRUE(server.isListening());
    std::vector<std::string> entries;
    QStringList urls;
    for (const char *page : {"/one", "/two", "/three"}) {
        WorkspaceWindow w;
        w.url = server.url(QString::fromLatin1(page)).toStdString();
        w.showCmd = 1;
        entries.push_back(w.entryText());
        urls << QString::fromStdString(w.url);
    }
    urls.sort();
    Workspace left;
    left.name = corvane::kRecoveryWorkspaceName;
    left.setWindows(entries);
    left.empty = false;

    ProcessHarness h;
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\n[Workspaces]\r\nAutoSave=1\r\n");
    const QString recovery = recoveryPathOf(h);
    h.writeFile(recovery, QByteArray::fromStdString(left.text()));
    h.setCaptureErrors(true);
    h.setEnvironmentVariable(QStringLiteral("CORVANE_TEST_ANSWER"), QStringLiteral("yes"));

    // Yes, and 0.3 s later the program dies (the restored page crashing it
    // again, say): the windows are still on disk.
    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(waitForErrorText(h, "message box: Restore windows:"));
    QThread::msleep(300);
    h.kill();
    const std::optional<Workspace> kept = corvane::parseRecoverySnapshot(h.readFile(recovery).toStdString());
    ASSERT_TRUE(kept) << "the record was removed before the restored windows wrote theirs";
    EXPECT_EQ(windowUrls(*kept), urls);

    // The next start asks again and brings the same three back; they write
    // their own record, and a clean end removes it.
    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(waitForErrorText(h, "message box: Restore windows:"));
    ASSERT_TRUE(h.waitUntilRunning());
    ASSERT_TRUE(serveUntil([&] {
        const std::optional<Workspace> now = corvane::parseRecoverySnapshot(h.readFile(recovery).toStdString());
        return now && now->text() != left.text() && windowUrls(*now) == urls;
    }));
    EXPECT_EQ(h.terminate(), 0);
    EXPECT_FALSE(QFile::exists(recovery));
    EXPECT_EQ(windowUrls(Workspace::parse(storeOf(h)->loadWorkspaces().at("default"))), urls);
}

TEST(WorkspaceProcess, ASplitWindowBehindAMaximizedOneKeepsItsPanesThroughThreeRestarts)
{
    LoopbackServer server;
    server.setRoute(QStringLiteral("/front"), QByteArray("<html><body>front</body></html>"));
    for (const char *page : {"/p00", "/p01", "/p10", "/p11"})
        server.setRoute(QString::fromLatin1(page), tallPage(page + 1));
    server.setRoute(QStringLiteral("/scrolled"), QByteArray());
    ASSERT_TRUE(server.isListening());
    auto url = [&](const char *path) { return server.url(QString::fromLatin1(path)).toStdString(); };

    WorkspaceWindow front;
    front.url = url("/front");
    front.setPlace(Rect{10, 10, 410, 310});
    front.showCmd = 3;
    WorkspaceWindow split;
    split.setPlace(Rect{20, 20, 620, 460});
    split.showCmd = 1;
    split.rowSplit = 182;
    split.colSplit = 262;
    split.activeRow = 1;
    split.activeCol = 1;
    // From the active pane back: (1,1), (1,0), (0,1), (0,0).
    split.panes = {WorkspacePane{url("/p11"), 0, 2, 0, 0, 1146}, WorkspacePane{url("/p10"), 0, 2, 0, 0, 0},
                   WorkspacePane{url("/p01"), 0, 2, 0, 0, 576}, WorkspacePane{url("/p00"), 0, 2, 0, 0, 0}};
    ProcessHarness h;
    seedDefaultWorkspace(h, {front.entryText(), split.entryText()});

    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        server.clearRequests();
        ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
        ASSERT_TRUE(h.waitUntilRunning());
        ASSERT_TRUE(serveUntil([&] {
            return server.hitCount(QStringLiteral("/front")) >= 1 && server.hitCount(QStringLiteral("/p00")) >= 1
                   && server.hitCount(QStringLiteral("/p01")) >= 1 && server.hitCount(QStringLiteral("/p10")) >= 1
                   && server.hitCount(QStringLiteral("/p11")) >= 1;
        }));
        // Time for the pages behind to load and be scrolled.
        serveUntil([] { return false; }, 2000);
        EXPECT_EQ(h.terminate(), 0);

        const Workspace saved = Workspace::parse(storeOf(h)->loadWorkspaces().at("default"));
        const std::map<int, std::string> windows = saved.windowMap();
        ASSERT_EQ(windows.size(), 2u) << saved.windows;
        EXPECT_EQ(WorkspaceWindow::parse(windows.at(1)), front) << windows.at(1);
        EXPECT_EQ(WorkspaceWindow::parse(windows.at(2)), split) << windows.at(2);
    }
}
