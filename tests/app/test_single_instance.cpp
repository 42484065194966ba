// The open-request channel in process: its folder, every command of a
// write, bounded connections, commands one at a time.
#include "app/SingleInstance.h"
#include "core/OpenChannel.h"
#include "support/TempHome.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

// What a client reads until the server closes or the time is up.
QByteArray readAnswers(QLocalSocket &socket, int lines)
{
    QByteArray answer;
    while (answer.count('\n') < lines && socket.state() == QLocalSocket::ConnectedState)
        if (!QTest::qWaitFor([&] { return socket.bytesAvailable() > 0 || socket.state() != QLocalSocket::ConnectedState; }, 5000))
            break;
        else
            answer += socket.readAll();
    return answer + socket.readAll();
}

} // namespace

TEST(SingleInstance, TheFallbackFolderIsTheUsersAloneOrThereIsNoChannel)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ::chmod(QFile::encodeName(temp.path()).constData(), 01777);
    const ScopedEnv tmp("TMPDIR", QFile::encodeName(temp.path()));
    const QString own = temp.path() + QStringLiteral("/corvane-%1").arg(getuid());

    // An XDG_RUNTIME_DIR open to others is not used; the fallback is made
    // 0700.
    QTemporaryDir openRuntime;
    ::chmod(QFile::encodeName(openRuntime.path()).constData(), 0777);
    {
        const ScopedEnv xdg("XDG_RUNTIME_DIR", QFile::encodeName(openRuntime.path()));
        const SingleInstance::RuntimeFolder folder = SingleInstance::defaultRuntimeFolder();
        EXPECT_EQ(folder.path, own);
        struct stat st{};
        ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    const ScopedEnv noXdg("XDG_RUNTIME_DIR", QByteArray());
    // Ours but loosened (0755): closed again and used.
    ::chmod(QFile::encodeName(own).constData(), 0755);
    EXPECT_EQ(SingleInstance::defaultRuntimeFolder().path, own);

    // Open to others, a symbolic link, a file: no channel, and why.
    ::chmod(QFile::encodeName(own).constData(), 0777);
    SingleInstance::RuntimeFolder folder = SingleInstance::defaultRuntimeFolder();
    EXPECT_TRUE(folder.path.isEmpty());
    EXPECT_EQ(folder.offText.toStdString(), corvane::channelOffText(own.toStdString(), corvane::FolderVerdict::OpenToOthers));
    ASSERT_TRUE(QDir(own).removeRecursively());
    QTemporaryDir elsewhere;
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(own).constData()), 0);
    folder = SingleInstance::defaultRuntimeFolder();
    EXPECT_TRUE(folder.path.isEmpty());
    EXPECT_TRUE(folder.offText.contains(QStringLiteral("is a symbolic link"))) << folder.offText.toStdString();
    ::unlink(QFile::encodeName(own).constData());

    // No folder means no channel at all: nothing listens, least of all
    // under a name relative to the working folder.
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(temp.path()));
    SingleInstance none{QString()};
    EXPECT_FALSE(none.listen([](const QString &) { return true; }));
    EXPECT_FALSE(none.send(QStringLiteral("[open(\"x\")]")));
    EXPECT_FALSE(QFileInfo::exists(temp.filePath(QLatin1String(corvane::kChannelSocketName))));
    SingleInstance relative{QStringLiteral("run")};
    EXPECT_FALSE(relative.listen([](const QString &) { return true; }));
    QDir::setCurrent(cwd);
}

TEST(SingleInstance, EveryCommandOfAWriteIsCarriedOutInOrderAndAnswered)
{
    TempHome home;
    SingleInstance server(home.runtimeDir());
    QStringList seen;
    ASSERT_TRUE(server.listen([&](const QString &command) {
        seen << command;
        return command.contains(QLatin1String("yes"));
    }));
    QLocalSocket client;
    client.connectToServer(server.socketPath());
    ASSERT_TRUE(client.waitForConnected(1000));
    client.write("[open(\"yes-1\")]\n[open(\"no-2\")]\n[open(\"yes-3\")]\n");
    client.flush();
    EXPECT_EQ(readAnswers(client, 3), QByteArray("ok\nrefused\nok\n"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("[open(\"yes-1\")]"), QStringLiteral("[open(\"no-2\")]"),
                                 QStringLiteral("[open(\"yes-3\")]")}));
    // Answered in full, the connection is closed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.state() == QLocalSocket::UnconnectedState; }, 2000));
}

TEST(SingleInstance, ACommandWaitsWhileAnotherIsCarriedOut)
{
    TempHome home;
    SingleInstance server(home.runtimeDir());
    int running = 0;
    int mostAtOnce = 0;
    QStringList seen;
    std::unique_ptr<QLocalSocket> second;
    ASSERT_TRUE(server.listen([&](const QString &command) {
        ++running;
        mostAtOnce = std::max(mostAtOnce, running);
        seen << command;
        if (command == QLatin1String("first")) {
            // A message box of the first: the second comes in meanwhile.
            second = std::make_unique<QLocalSocket>();
            second->connectToServer(server.socketPath());
            second->waitForConnected(1000);
            second->write("second\n");
            second->flush();
            QTest::qWait(200);
        }
        --running;
        return true;
    }));
    QLocalSocket first;
    first.connectToServer(server.socketPath());
    ASSERT_TRUE(first.waitForConnected(1000));
    first.write("first\n");
    EXPECT_EQ(readAnswers(first, 1), QByteArray("ok\n"));
    ASSERT_TRUE(second);
    EXPECT_EQ(readAnswers(*second, 1), QByteArray("ok\n"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(mostAtOnce, 1);
}

TEST(SingleInstance, IdleAndSurplusConnectionsGoAndTheListenerStays)
{
    TempHome home;
    SingleInstance server(home.runtimeDir());
    server.setLimits(4, 300, 50);
    ASSERT_TRUE(server.listen([](const QString &) { return true; }));
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 40; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(server.socketPath());
        idle.back()->waitForConnected(1000);
        QTest::qWait(5);
    }
    QTest::qWait(20);
    EXPECT_LE(server.connectionCount(), 4);
    // A request still gets through, in the place of the longest idle one,
    // and the idle ones time out.
    QLocalSocket late;
    late.connectToServer(server.socketPath());
    ASSERT_TRUE(late.waitForConnected(1000));
    late.write("[open(\"late\")]\n");
    EXPECT_EQ(readAnswers(late, 1), QByteArray("ok\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 0; }, 3000));
    EXPECT_TRUE(server.listening());
    // A line longer than any command ends its connection, nothing else.
    QLocalSocket flood;
    flood.connectToServer(server.socketPath());
    ASSERT_TRUE(flood.waitForConnected(1000));
    flood.write(QByteArray(int(corvane::kChannelMaxCommandBytes) + 10, 'x'));
    flood.flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return flood.state() == QLocalSocket::UnconnectedState; }, 3000));
    EXPECT_TRUE(server.listening());
}
