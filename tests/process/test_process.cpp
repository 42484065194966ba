// The built program, started with temporary home folders and ended with
// SIGTERM: what it leaves behind.
#include "support/LoopbackServer.h"
#include "support/ProcessHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Waits, serving the loopback server meanwhile, until the file holds needle.
bool waitForFileContaining(const QString &path, const QByteArray &needle, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(needle))
            return true;
        QThread::msleep(20);
    }
    return false;
}

QByteArray iniWithLogging(const QString &logFile)
{
    return "[Settings]\r\nEnableIniFile=1\r\nLogging=1\r\nMsgExit=1\r\nLogFile=" + logFile.toUtf8()
           + "\r\n";
}

} // namespace

TEST(Process, VersionAndHelp)
{
    ProcessHarness h;
    ASSERT_TRUE(h.valid());
    QByteArray out;
    EXPECT_EQ(h.run({QStringLiteral("--version")}, &out), 0);
    EXPECT_TRUE(out.startsWith("Corvane 3.00\n")) << out.constData();
    EXPECT_TRUE(out.contains("Chromium")) << out.constData();
    EXPECT_EQ(h.run({QStringLiteral("--help")}, &out), 0);
    EXPECT_TRUE(out.contains("/dde")) << out.constData();
}

TEST(Process, FreshStartCreatesIniAndStoresSettingsInUserStore)
{
    ProcessHarness h;
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    ASSERT_TRUE(h.waitUntilRunning());
    EXPECT_EQ(h.terminate(), 0);

    // Exactly the two switches, ready to be edited.
    EXPECT_EQ(h.readFile(h.iniFile()), QByteArray("[Settings]\r\nEnableIniFile=0\r\nCDSupport=0\r\n"));
    const QByteArray store = h.readFile(h.userStoreFile());
    EXPECT_TRUE(store.contains("Software\\Tolvek\\Corvane\\Settings")) << store.constData();
    EXPECT_TRUE(store.contains("\"Version\"=\"3.00\"")) << store.constData();
    EXPECT_TRUE(store.contains("\"HideToolBar\"=dword:00000000")) << store.constData();
}

TEST(Process, IniModeWritesNothingToTheUserStore)
{
    ProcessHarness h;
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\n");
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    ASSERT_TRUE(h.waitUntilRunning());
    EXPECT_EQ(h.terminate(), 0);

    EXPECT_FALSE(QFile::exists(h.userStoreFile()));
    const QByteArray ini = h.readFile(h.iniFile());
    EXPECT_TRUE(ini.startsWith("[Settings]\r\nEnableIniFile=1\r\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("Version=3.00\r\n")) << ini.constData();
}

TEST(Process, LogRecordsStartNavigationAndTotalTime)
{
    LoopbackServer server;
    server.setRoute(QStringLiteral("/page"),
                    QByteArrayLiteral("<html><head><title>Loopback page</title></head>"
                                      "<body>Hello</body></html>"));
    ASSERT_TRUE(server.isListening());
    const QString url = server.url(QStringLiteral("/page"));

    ProcessHarness h;
    const QString log = h.home() + QStringLiteral("/nav.log");
    h.writeFile(h.iniFile(), iniWithLogging(log));
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), url}));
    ASSERT_TRUE(waitForFileContaining(log, "* Navigation complete to URL: [" + url.toUtf8() + "] *"));
    EXPECT_EQ(h.terminate(), 0);

    const QByteArray text = h.readFile(log);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_GE(lines.size(), 4);
    // Every line ends CR LF: splitting at LF leaves a CR on each and an empty tail.
    EXPECT_TRUE(lines.last().isEmpty());
    for (int i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << "line " << i << ": " << lines[i].constData();
    auto body = [](const QByteArray &line) { return line.mid(22).chopped(1); };
    EXPECT_EQ(body(lines[0]), QByteArray(135, '='));
    EXPECT_EQ(body(lines[1]), QByteArray("Logging started..."));
    EXPECT_TRUE(text.contains("* Navigation started to URL: [" + url.toUtf8() + "] *\r\n"));
    EXPECT_TRUE(text.contains("~ Navigation timed result for URL: [" + url.toUtf8() + "] -- 00:00:"));
    EXPECT_TRUE(text.contains("Loopback page\r\n"));
    EXPECT_TRUE(lines[lines.size() - 2].contains("*** Total elapsed time: 00:00:"))
        << lines[lines.size() - 2].constData();
}

TEST(Process, UrlShortcutArgumentOpensItsAddress)
{
    LoopbackServer server;
    server.setRoute(QStringLiteral("/from-shortcut"), QByteArrayLiteral("<html>ok</html>"));
    ASSERT_TRUE(server.isListening());
    const QString url = server.url(QStringLiteral("/from-shortcut"));

    ProcessHarness h;
    const QString log = h.home() + QStringLiteral("/nav.log");
    h.writeFile(h.iniFile(), iniWithLogging(log));
    // Upper-case extension, LF line ends: the address keeps its last character.
    const QString shortcut = h.home() + QStringLiteral("/Site.URL");
    h.writeFile(shortcut, "[InternetShortcut]\nURL=" + url.toUtf8() + "\nIconIndex=0\n");
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), shortcut}));
    EXPECT_TRUE(waitForFileContaining(log, "* Navigation started to URL: [" + url.toUtf8() + "] *"));
    EXPECT_EQ(h.terminate(), 0);
}

TEST(Process, DdeStartHandsTheRequestToTheRunningInstance)
{
    LoopbackServer server;
    server.setRoute(QStringLiteral("/first"), QByteArrayLiteral("<html>first</html>"));
    server.setRoute(QStringLiteral("/handed-over"), QByteArrayLiteral("<html>second</html>"));
    ASSERT_TRUE(server.isListening());

    ProcessHarness h;
    const QString log = h.home() + QStringLiteral("/nav.log");
    h.writeFile(h.iniFile(), iniWithLogging(log));
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), server.url(QStringLiteral("/first"))}));
    ASSERT_TRUE(h.waitUntilRunning());

    // The second start returns at once; the first instance opens the address.
    QProcess second;
    second.setProcessEnvironment(h.process().processEnvironment());
    second.start(h.executable(), {QStringLiteral("--nologo"), QStringLiteral("/dde"),
                                  server.url(QStringLiteral("/handed-over"))});
    ASSERT_TRUE(second.waitForStarted(10000));
    QDeadlineTimer deadline(30000);
    while (second.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        second.waitForFinished(20);
    }
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(waitForFileContaining(
        log, "* Navigation started to URL: [" + server.url(QStringLiteral("/handed-over")).toUtf8()
                 + "] *"));
    EXPECT_EQ(h.terminate(), 0);
}
