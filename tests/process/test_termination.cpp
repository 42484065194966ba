// Ending the program from outside while it waits for an answer: a SIGTERM or
// a SIGINT while a start-up question is up closes it like a confirmed exit.
#include "support/ProcessHarness.h"

#include <QFile>

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

INSTANTIATE_TEST_SUITE_P(Signals, EndedDuringAQuestion, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto &info) { return info.param == SIGTERM ? "Sigterm" : "Sigint"; });

} // namespace
