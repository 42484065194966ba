#include "app/SingleInstance.h"

#include "core/OpenChannel.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// How soon accepting starts again after it failed for want of descriptors.
constexpr int kRetryMs = 200;
constexpr int kBacklog = 64;
// Connections taken per turn of the event loop.
constexpr int kAcceptBatch = 64;

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

corvane::FolderFacts folderFacts(const QString &folder)
{
    corvane::FolderFacts facts;
    const QByteArray path = QFile::encodeName(folder);
    struct stat st{};
    if (::lstat(path.constData(), &st) != 0)
        return facts;
    facts.exists = true;
    facts.isSymbolicLink = S_ISLNK(st.st_mode);
    facts.isFolder = S_ISDIR(st.st_mode);
    facts.owner = st.st_uid;
    facts.mode = st.st_mode & 07777;
    struct stat parent{};
    const QByteArray parentPath = QFile::encodeName(QFileInfo(folder).path());
    if (::stat(parentPath.constData(), &parent) == 0)
        facts.parentMode = parent.st_mode & 07777;
    return facts;
}

} // namespace

SingleInstance::SingleInstance(const QString &runtimeDir, QObject *parent)
    : QObject(parent),
      m_maxConnections(corvane::kChannelMaxConnections),
      m_idleMs(corvane::kChannelIdleMs),
      m_evictAfterMs(corvane::kChannelEvictAfterMs)
{
    // Never a name relative to the working folder.
    if (!runtimeDir.isEmpty() && QDir::isAbsolutePath(runtimeDir))
        m_path = QDir(runtimeDir).filePath(QLatin1String(corvane::kChannelSocketName));
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
        acceptConnections();
    });
    // Runs only while there are connections.
    m_idle.setInterval(1000);
    connect(&m_idle, &QTimer::timeout, this, &SingleInstance::closeIdleConnections);
}

SingleInstance::~SingleInstance()
{
    m_handler = nullptr;
    for (auto &[socket, connection] : m_connections) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        delete socket;
    }
    m_connections.clear();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        QFile::remove(m_path);
    }
    if (m_spareFd >= 0)
        ::close(m_spareFd);
}

void SingleInstance::setLimits(int maxConnections, int idleMs, int evictAfterMs)
{
    m_maxConnections = maxConnections;
    m_idleMs = idleMs;
    m_evictAfterMs = evictAfterMs;
    m_idle.setInterval(qBound(10, idleMs / 4, 1000));
}

SingleInstance::RuntimeFolder SingleInstance::defaultRuntimeFolder()
{
    const unsigned uid = getuid();
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)
        && corvane::judgeChannelFolder(folderFacts(xdg), uid) == corvane::FolderVerdict::Private)
        return {xdg, QString()};

    QString temp = QDir::tempPath();
    if (!QDir::isAbsolutePath(temp))
        temp = QStringLiteral("/tmp");
    const QString own = QString::fromStdString(corvane::fallbackChannelFolder(temp.toStdString(), uid));
    const QByteArray path = QFile::encodeName(own);
    // Made here, or found: either way only what lstat then shows counts.
    ::mkdir(path.constData(), 0700);
    corvane::FolderVerdict verdict = corvane::judgeChannelFolder(folderFacts(own), uid);
    if (verdict == corvane::FolderVerdict::Tighten) {
        ::chmod(path.constData(), 0700);
        verdict = corvane::judgeChannelFolder(folderFacts(own), uid);
    }
    if (verdict == corvane::FolderVerdict::Private)
        return {own, QString()};
    return {QString(), QString::fromStdString(corvane::channelOffText(own.toStdString(), verdict))};
}

bool SingleInstance::listen(Handler handler)
{
    m_handler = std::move(handler);
    if (m_path.isEmpty() || listening())
        return listening();
    if (!bindAndListen())
        return false;
    m_notifier = new QSocketNotifier(m_listenFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    // Kept in hand for the moment the process runs out of descriptors.
    m_spareFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    return true;
}

bool SingleInstance::bindAndListen()
{
    const QByteArray path = QFile::encodeName(m_path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    auto bound = [&] {
        return ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    };
    if (!bound()) {
        if (errno != EADDRINUSE) {
            ::close(fd);
            return false;
        }
        // Someone answers there: leave that instance its channel.
        QLocalSocket probe;
        probe.connectToServer(m_path);
        if (probe.waitForConnected(500)) {
            probe.abort();
            ::close(fd);
            return false;
        }
        // A socket left by an instance that crashed.
        ::unlink(path.constData());
        if (!bound()) {
            ::close(fd);
            return false;
        }
    }
    if (::listen(fd, kBacklog) != 0) {
        ::close(fd);
        ::unlink(path.constData());
        return false;
    }
    m_listenFd = fd;
    return true;
}

void SingleInstance::acceptConnections()
{
    if (m_listenFd < 0)
        return;
    for (int i = 0; i < kAcceptBatch; ++i) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            adopt(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        if (errno == EMFILE || errno == ENFILE) {
            // Our own idlest connection makes room first; else the spare
            // descriptor lets the waiting one in to be closed, so that the
            // backlog keeps moving.
            if (evictIdlest(true))
                continue;
            if (m_spareFd >= 0) {
                ::close(m_spareFd);
                const int dropped = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
                if (dropped >= 0)
                    ::close(dropped);
                m_spareFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
            }
        }
        // Out of descriptors, or an error of the moment: accept again
        // shortly. The listener itself stays.
        m_notifier->setEnabled(false);
        m_retry.start(kRetryMs);
        return;
    }
}

void SingleInstance::adopt(int fd)
{
    if (int(m_connections.size()) >= m_maxConnections && !evictIdlest(false)) {
        ::close(fd); // every connection is busy or new: its sender tries again
        return;
    }
    auto *socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        ::close(fd);
        delete socket;
        return;
    }
    m_connections[socket].lastActive = now();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { forget(socket); });
    if (!m_idle.isActive())
        m_idle.start();
    // Bytes may have come with the connection.
    if (socket->bytesAvailable() > 0)
        onReadyRead(socket);
}

bool SingleInstance::evictIdlest(bool force)
{
    QLocalSocket *idlest = nullptr;
    qint64 since = 0;
    for (const auto &[socket, connection] : m_connections) {
        if (connection.pending == 0 && (!idlest || connection.lastActive < since)) {
            idlest = socket;
            since = connection.lastActive;
        }
    }
    if (!idlest || (!force && now() - since < m_evictAfterMs))
        return false;
    forget(idlest);
    return true;
}

void SingleInstance::forget(QLocalSocket *socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    m_connections.erase(it);
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
    if (m_connections.empty())
        m_idle.stop();
}

void SingleInstance::closeIdleConnections()
{
    const qint64 limit = now() - m_idleMs;
    std::vector<QLocalSocket *> idle;
    for (const auto &[socket, connection] : m_connections)
        if (connection.pending == 0 && connection.lastActive <= limit)
            idle.push_back(socket);
    for (QLocalSocket *socket : idle)
        forget(socket);
}

void SingleInstance::onReadyRead(QLocalSocket *socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection &connection = it->second;
    const QByteArray bytes = socket->readAll();
    connection.buffer.append(bytes.constData(), size_t(bytes.size()));
    connection.lastActive = now();
    const std::vector<std::string> commands = corvane::takeChannelCommands(connection.buffer);
    if (connection.buffer.size() > corvane::kChannelMaxCommandBytes) {
        forget(socket);
        return;
    }
    if (commands.empty())
        return;
    for (const std::string &command : commands)
        m_queue.emplace_back(QPointer<QLocalSocket>(socket), QString::fromStdString(command));
    connection.pending += int(commands.size());
    // Carried out from the event loop, never inside another command's
    // message box.
    QMetaObject::invokeMethod(this, &SingleInstance::dispatch, Qt::QueuedConnection);
}

void SingleInstance::dispatch()
{
    if (m_dispatching)
        return;
    m_dispatching = true;
    const QPointer<SingleInstance> self(this);
    while (self && !m_queue.empty()) {
        const auto [socket, command] = m_queue.front();
        m_queue.pop_front();
        // The handler may show a message box before the answer goes out.
        const bool accepted = m_handler ? m_handler(command) : false;
        if (self)
            answer(socket, accepted);
    }
    if (self)
        m_dispatching = false;
}

void SingleInstance::answer(const QPointer<QLocalSocket> &socket, bool accepted)
{
    if (!socket)
        return;
    const auto it = m_connections.find(socket.data());
    if (it == m_connections.end())
        return;
    Connection &connection = it->second;
    socket->write(accepted ? "ok\n" : "refused\n");
    socket->flush();
    connection.lastActive = now();
    if (--connection.pending == 0 && connection.buffer.empty())
        socket->disconnectFromServer(); // once the answers are out
}

bool SingleInstance::send(const QString &command, bool *accepted, int timeoutMs) const
{
    if (accepted)
        *accepted = false;
    if (m_path.isEmpty())
        return false;
    QByteArray line = command.toUtf8();
    line.replace('\n', ' ');
    line.append('\n');
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_path);
        if (!socket.waitForConnected(int(qMax<qint64>(deadline.remainingTime(), 1))))
            return false;
        socket.write(line);
        socket.waitForBytesWritten(int(qMax<qint64>(deadline.remainingTime(), 1)));
        QByteArray answer;
        // The running instance may show a message box before it answers.
        while (!answer.contains('\n')) {
            if (!socket.waitForReadyRead(-1))
                break;
            answer.append(socket.readAll());
        }
        if (!answer.isEmpty()) {
            if (accepted)
                *accepted = answer.startsWith("ok");
            return true;
        }
        // Closed unanswered: a running instance too busy to take one more
        // connection just now. Again, until the time is up.
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}
