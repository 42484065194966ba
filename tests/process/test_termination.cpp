// Ending the program from outside while it waits for an answer: a SIGTERM or
// a SIGINT while a start-up question is up closes it like a confirmed exit.
#include "core/Recovery.h"
#include "support/ProcessHarness.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class EndedDuringAQuestion : public ::testing::TestWithParam<int>
{
};

// A fresh start without a document asks "Default browser alert" at its
// first window (BiPassDefault is 0). The open channel answers only from an
// event loop, here the question's own.
TEST_P(EndedDuringAQuestion, TheDefaultBrowserQuestionClosesAsAConfirmedExit)
{
    ProcessHarness h;
    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(h.waitUntilRunning());
    EXPECT_EQ(h.endWith(GetParam()), 0) << "the program had to be killed";

    // The exit's saves are there; the unanswered question stored nothing.
    const QByteArray store = h.readFile(h.userStoreFile());
    EXPECT_TRUE(store.contains("\"Version\"=\"3.00\"")) << store.constData();
    EXPECT_TRUE(store.contains("\"ShowCmd\"=")) << store.constData();
    EXPECT_FALSE(store.contains("BiPassDefault")) << store.constData();
    EXPECT_FALSE(QFile::exists(h.home() + QStringLiteral("/.config/mimeapps.list")));
}

// The windows a killed run left are offered in "Restore windows"; a SIGTERM
// while that question is up is no answer: the record stays for the next
// start, unchanged, and so does the "default" workspace No would open (the
// windows open meanwhile are not the user's). The question stays up longer
// than a change waits to be written.
TEST_P(EndedDuringAQuestion, TheRecoveryQuestionKeepsTheWindowsAndTheDefaultWorkspace)
{
    ProcessHarness h;
    const QByteArray defaultLine = "Workspace1=default\xb7" "0\xb7" "697\xb7" "88\xb7" "952\xb7" "88\xb7" "1\xb7" "1\xb7" "1\xb7" "1\xb7" "0"
                                   "\xb7|\xb7" "http://a.example/\xb7" "515\xb7" "94\xb7" "770\xb7" "132\xb7" "1\xb7" "0\xb7" "2\xb7" "0\xb7" "0\xb7" "40"
                                   "|\xb7|" "http://b.example/\xb7" "515\xb7" "94\xb7" "770\xb7" "132\xb7" "3\xb7" "0\xb7" "2\xb7" "0\xb7" "0\xb7" "0\r\n";
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\n"
                             "[Workspaces]\r\nAutoSave=1\r\n" + defaultLine + "Workspace2=\r\n");
    const QString recovery =
        QString::fromStdString(corvane::recoveryFilePath((h.home() + QStringLiteral("/.local/share")).toStdString()));
    const QByteArray record = "recovery\xb7" "0\xb7" "768\xb7" "0\xb7" "1024\xb7" "0\xb7" "1\xb7" "1\xb7" "1\xb7" "1\xb7" "0"
                              "\xb7|\xb7" "about:blank\xb7" "515\xb7" "94\xb7" "770\xb7" "132\xb7" "3\xb7" "0\xb7" "2\xb7" "0\xb7" "0\xb7" "0";
    h.writeFile(recovery, record);

    ASSERT_TRUE(h.start({QStringLiteral("nologo")}));
    ASSERT_TRUE(h.waitUntilRunning());
    QThread::msleep(2000);
    EXPECT_EQ(h.endWith(GetParam()), 0) << "the program had to be killed";
    EXPECT_EQ(h.readFile(recovery), record);
    const QByteArray ini = h.readFile(h.iniFile());
    EXPECT_TRUE(ini.contains(defaultLine)) << ini.constData();
    EXPECT_TRUE(ini.contains("[Workspaces]\r\nAutoSave=1\r\n" + defaultLine + "Workspace2=\r\n")) << ini.constData();
}

INSTANTIATE_TEST_SUITE_P(Signals, EndedDuringAQuestion, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto &info) { return info.param == SIGTERM ? "Sigterm" : "Sigint"; });

} // namespace
