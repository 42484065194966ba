// The open-request channel of the running program under hostile conditions:
// a fallback folder another user made first, thousands of idle connections
// under a small descriptor limit, a flood of requests while locked in the
// tray, and SIGTERM after it.
#include "core/OpenChannel.h"
#include "support/ProcessHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Waits until what the program wrote to stderr holds the needle.
bool waitForErrors(ProcessHarness &h, const QByteArray &needle, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (h.errors().contains(needle))
            return true;
        if (h.process().state() == QProcess::NotRunning)
            return h.errors().contains(needle);
        QThread::msleep(20);
    }
    return false;
}

// Every socket under the folder.
QStringList socketsUnder(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st{};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode))
            found << path;
    }
    return found;
}

// A connection that sends nothing, held open by the test.
int idleConnection(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const timeval wait{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

const QByteArray kUserStoreLockedInTray =
    "; Corvane per-user store\r\n\r\n"
    "[Software\\Tolvek\\Corvane\\Settings]\r\n"
    "\"Password\"=\"secret\"\r\n"
    "\"MinimizeToTray\"=dword:00000001\r\n"
    "\"BiPassDefault\"=dword:00000001\r\n"
    "\r\n"
    "[Software\\Microsoft\\Internet Explorer\\Main]\r\n"
    "\"Disable Script Debugger\"=\"no\"\r\n";

} // namespace

TEST(OpenChannelProcess, AFallbackFolderMadeByAnotherUserLeavesNoChannelAndASecondStartSaysSo)
{
    ProcessHarness h;
    ASSERT_TRUE(h.valid());
    // A temp folder like /tmp, where another user made "corvane-<uid>" first,
    // open to all (as root the test can give it to another owner).
    const QString temp = h.root() + QStringLiteral("/tmp");
    ASSERT_TRUE(QDir().mkpath(temp));
    ASSERT_EQ(::chmod(QFile::encodeName(temp).constData(), 01777), 0);
    const QString hostile =
        QString::fromStdString(corvane::fallbackChannelFolder(temp.toStdString(), getuid()));
    ASSERT_TRUE(QDir().mkpath(hostile));
    ASSERT_EQ(::chmod(QFile::encodeName(hostile).constData(), 0777), 0);
    corvane::FolderVerdict verdict = corvane::FolderVerdict::OpenToOthers;
    if (geteuid() == 0 && ::chown(QFile::encodeName(hostile).constData(), 65534, 65534) == 0)
        verdict = corvane::FolderVerdict::OtherOwner;
    const QByteArray said = QByteArray::fromStdString(corvane::channelOffText(hostile.toStdString(), verdict));

    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\n");
    h.setEnvironmentVariable(QStringLiteral("XDG_RUNTIME_DIR"), QString());
    h.setEnvironmentVariable(QStringLiteral("TMPDIR"), temp);
    h.setCaptureErrors(true);
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    ASSERT_TRUE(waitForErrors(h, "corvane: " + said)) << h.errors().constData();

    // A second start hands nothing to anyone: it says why and opens the
    // address itself.
    QProcess second;
    second.setProcessEnvironment(h.process().processEnvironment());
    second.setWorkingDirectory(h.root());
    second.start(h.executable(), {QStringLiteral("nologo"), QStringLiteral("/dde"), QStringLiteral("about:blank")});
    ASSERT_TRUE(second.waitForStarted(10000));
    QByteArray secondErrors;
    QDeadlineTimer deadline(30000);
    while (!secondErrors.contains("corvane: " + said) && second.state() == QProcess::Running
           && !deadline.hasExpired()) {
        second.waitForReadyRead(100);
        secondErrors += second.readAllStandardError();
    }
    EXPECT_TRUE(secondErrors.contains("corvane: " + said)) << secondErrors.constData();
    EXPECT_EQ(second.state(), QProcess::Running) << "the second start opens its own window";

    // Nobody listens anywhere: not in the hostile folder, not beside it,
    // not in the working folder.
    EXPECT_EQ(socketsUnder(h.root()), QStringList());
    ::kill(pid_t(second.processId()), SIGTERM);
    EXPECT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(h.terminate(), 0);
}

TEST(OpenChannelProcess, TwoThousandIdleConnectionsUnderADescriptorLimitLeaveTheProgramAndItsChannel)
{
    rlimit own{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &own), 0);
    if (own.rlim_max != RLIM_INFINITY && own.rlim_max < 2200)
        GTEST_SKIP() << "the test itself needs 2,200 descriptors";
    own.rlim_cur = own.rlim_max == RLIM_INFINITY ? 4096 : std::min<rlim_t>(own.rlim_max, 4096);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &own), 0);

    ProcessHarness h;
    const QString log = h.home() + QStringLiteral("/nav.log");
    h.writeFile(h.iniFile(), "[Settings]\r\nEnableIniFile=1\r\nBiPassDefault=1\r\nLogging=1\r\nLogFile="
                                 + log.toUtf8() + "\r\n");
    h.setDescriptorLimit(1024);
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    ASSERT_TRUE(h.waitUntilRunning());

    const QString channel = h.runtimeDir() + QStringLiteral("/corvane-open");
    std::vector<int> idle;
    for (int i = 0; i < 2000; ++i) {
        const int fd = idleConnection(channel);
        ASSERT_GE(fd, 0) << "connection " << i << ": " << std::strerror(errno);
        idle.push_back(fd);
    }
    // Still there, still answering, and a second start hands its address
    // over instead of starting a second program on the same store.
    ASSERT_EQ(h.process().state(), QProcess::Running);
    EXPECT_TRUE(h.waitUntilRunning(20000));
    QByteArray out;
    EXPECT_EQ(h.run({QStringLiteral("nologo"), QStringLiteral("/dde"), QStringLiteral("about:blank#handed")}, &out), 0);
    QDeadlineTimer deadline(20000);
    while (!h.readFile(log).contains("* Navigation started to URL: [about:blank#handed] *") && !deadline.hasExpired())
        QThread::msleep(50);
    EXPECT_TRUE(h.readFile(log).contains("* Navigation started to URL: [about:blank#handed] *"));
    for (int fd : idle)
        ::close(fd);
    EXPECT_EQ(h.terminate(), 0);
}

TEST(OpenChannelProcess, AThousandRequestsLockedInTheTrayShowOneRefusalThenSigtermSavesEverything)
{
    ProcessHarness h;
    h.writeFile(h.userStoreFile(), kUserStoreLockedInTray);
    // The refusal box stays up, unanswered, and is written to stderr.
    h.setEnvironmentVariable(QStringLiteral("CORVANE_TEST_ANSWER"), QStringLiteral("none"));
    h.setEnvironmentVariable(QStringLiteral("CORVANE_TEST_TRAY"), QStringLiteral("1"));
    h.setCaptureErrors(true);
    ASSERT_TRUE(h.start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    ASSERT_TRUE(h.waitUntilRunning());

    const QString channel = h.runtimeDir() + QStringLiteral("/corvane-open");
    const QByteArray request = "[open(\"about:blank#refused\")]\n";
    // In bursts of 50 at once, more than the channel serves together: one
    // turned away tries again, as a second start does.
    int refused = 0;
    int turnedAway = 0;
    int left = 1000;
    while (left > 0 && turnedAway < 100000) {
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        for (int i = 0; i < std::min(left, 50); ++i) {
            auto socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(channel);
            if (socket->waitForConnected(5000)) {
                socket->write(request);
                socket->flush();
            }
            sockets.push_back(std::move(socket));
        }
        for (auto &socket : sockets) {
            QByteArray answer;
            while (!answer.contains('\n') && socket->waitForReadyRead(10000))
                answer += socket->readAll();
            answer += socket->readAll();
            if (answer.isEmpty()) {
                ++turnedAway;
                continue;
            }
            --left;
            refused += answer == "refused\n" ? 1 : 0;
        }
    }
    EXPECT_EQ(refused, 1000);
    ASSERT_TRUE(waitForErrors(h, "message box: Authentication failed"));
    QThread::msleep(300);
    EXPECT_EQ(h.errors().count("message box: Authentication failed"), 1) << h.errors().constData();
    EXPECT_TRUE(h.readFile(h.userStoreFile()).contains("\"Disable Script Debugger\"=\"yes\""));

    // SIGTERM with the refusal up: a confirmed exit's saves, the switch
    // given back its own value, exit status 0.
    EXPECT_EQ(h.terminate(), 0);
    const QByteArray store = h.readFile(h.userStoreFile());
    EXPECT_TRUE(store.contains("\"Version\"=\"3.00\"")) << store.constData();
    EXPECT_TRUE(store.contains("\"ShowCmd\"=")) << store.constData();
    EXPECT_TRUE(store.contains("\"Disable Script Debugger\"=\"no\"")) << store.constData();
    EXPECT_FALSE(store.contains("\"PreviousDebuggerValue\"=\"no\"")) << store.constData();
}
