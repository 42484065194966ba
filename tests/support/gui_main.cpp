// The main of the Qt test binaries: one QApplication for all tests, offscreen
// unless a platform is given. A test binary with a main of its own keeps it.
#include "engine/OwnPages.h"

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform warns on every raise() and size hint; hundreds of
// those lines bury what a failing test printed.
void quietPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support ")))
        return;
    if (g_defaultHandler)
        g_defaultHandler(type, context, text);
}

// Names the failed tests once more as the very last lines, so the end of a long
// log says which ones they were.
void printFailedTestsLast()
{
    const auto *unit = ::testing::UnitTest::GetInstance();
    for (int i = 0; i < unit->total_test_suite_count(); ++i) {
        const auto *suite = unit->GetTestSuite(i);
        for (int j = 0; j < suite->total_test_count(); ++j) {
            const auto *test = suite->GetTestInfo(j);
            if (test->result() && test->result()->Failed())
                std::fprintf(stdout, "FAILED: %s.%s\n", suite->name(), test->name());
        }
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    g_defaultHandler = qInstallMessageHandler(quietPlatformWarnings);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerOwnPageScheme();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    printFailedTestsLast();
    return result;
}
