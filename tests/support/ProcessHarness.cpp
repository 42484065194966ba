#include "support/ProcessHarness.h"

#include "core/SettingsStore.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <csignal>
#include <sys/resource.h>

ProcessHarness::ProcessHarness()
{
    if (!m_root.isValid())
        return;
    QDir().mkpath(installDir());
    QDir().mkpath(home() + QStringLiteral("/.config"));
    QDir().mkpath(home() + QStringLiteral("/.local/share"));
    QDir().mkpath(home() + QStringLiteral("/.cache"));
    QDir().mkpath(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                            | QFileDevice::ExeOwner);
    QFile::copy(QStringLiteral(CORVANE_BINARY), executable());
    QFile::setPermissions(executable(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                            | QFileDevice::ExeOwner);
}

ProcessHarness::~ProcessHarness()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QProcessEnvironment ProcessHarness::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto &[name, value] : m_extraEnvironment)
        env.insert(name, value);
    return env;
}

void ProcessHarness::setEnvironmentVariable(const QString &name, const QString &value)
{
    m_extraEnvironment.append({name, value});
}

QByteArray ProcessHarness::errors()
{
    if (!m_captureErrors)
        return m_errors;
    // What the pipe holds now.
    if (m_process.state() == QProcess::Running) {
        m_process.setReadChannel(QProcess::StandardError);
        while (m_process.waitForReadyRead(100))
            m_errors += m_process.readAllStandardError();
    }
    m_errors += m_process.readAllStandardError();
    return m_errors;
}

void ProcessHarness::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGKILL);
    m_process.waitForFinished(10000);
    errors();
}

void ProcessHarness::writeFile(const QString &path, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray ProcessHarness::readFile(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool ProcessHarness::start(const QStringList &arguments)
{
    m_process.setProcessEnvironment(environment());
    m_process.setWorkingDirectory(root());
    errors();
    m_process.setProcessChannelMode(m_captureErrors ? QProcess::SeparateChannels
                                                    : QProcess::ForwardedErrorChannel);
    const int limit = m_descriptorLimit;
    m_process.setChildProcessModifier([limit] {
        if (limit > 0) {
            const rlimit descriptors{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_NOFILE, &descriptors);
        }
    });
    m_process.start(executable(), arguments);
    return m_process.waitForStarted(10000);
}

bool ProcessHarness::waitUntilRunning(int timeoutMs)
{
    // The open channel answers only from the running event loop, so an
    // answer to a request it refuses means start-up has finished.
    const QString socketPath = runtimeDir() + QStringLiteral("/corvane-open");
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(200)) {
            socket.write("probe\n");
            socket.waitForBytesWritten(1000);
            if (socket.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1))))
                return true;
        }
        QThread::msleep(100);
    }
    return false;
}

int ProcessHarness::terminate(int timeoutMs)
{
    return endWith(SIGTERM, timeoutMs);
}

int ProcessHarness::endWith(int signal, int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    ::kill(pid_t(m_process.processId()), signal);
    if (!m_process.waitForFinished(timeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(5000);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

int ProcessHarness::run(const QStringList &arguments, QByteArray *output, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(root());
    process.start(executable(), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool serveUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (done())
            return true;
        QThread::msleep(10);
    }
    return false;
}

std::unique_ptr<SettingsStore> storeOf(const ProcessHarness &h)
{
    auto s = std::make_unique<SettingsStore>(SettingsStore::Locations{
        h.iniFile().toStdString(), h.userStoreFile().toStdString(), h.home().toStdString()});
    s->openBackingStore();
    return s;
}
