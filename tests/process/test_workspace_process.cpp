// Workspaces and crash recovery with the built program and the real engine:
// what comes back after an exit that saved "default", and after a kill.
#include "core/Recovery.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "support/LoopbackServer.h"
#include "support/ProcessHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using corvane::Workspace;
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

std::unique_ptr<SettingsStore> storeOf(const ProcessHarness &h)
{
    auto s = std::make_unique<SettingsStore>(SettingsStore::Locations{
        h.iniFile().toStdString(), h.userStoreFile().toStdString(), h.home().toStdString()});
    s->openBackingStore();
    return s;
}

QStringList windowUrls(const Workspace &ws)
{
    QStringList urls;
    for (const auto &[n, text] : ws.windowMap())
        urls << QString::fromStdString(WorkspaceWindow::parse(text).url);
    urls.sort();
    return urls;
}

} // namespace

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
        << h.errors().constData();
    // The windows now open make the record again, and exit stores them.
    EXPECT_TRUE(waitForFileContainingAll(recovery, {urls.at(0).toUtf8(), urls.at(1).toUtf8(), urls.at(2).toUtf8()}));
    EXPECT_EQ(h.terminate(), 0);
    EXPECT_FALSE(QFile::exists(recovery)) << "a clean end leaves no record";
    const SettingsStore::WorkspaceMap stored = storeOf(h)->loadWorkspaces();
    ASSERT_EQ(stored.count("default"), 1u);
    QStringList expected = urls;
    expected.sort();
    EXPECT_EQ(windowUrls(Workspace::parse(stored.at("default"))), expected);
    EXPECT_EQ(h.errors().count("message box:"), 1) << h.errors().constData();
}
