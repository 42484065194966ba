#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kMaxCommandBytes = 64 * 1024;
}

SingleInstance::SingleInstance(const QString &runtimeDir, QObject *parent)
    : QObject(parent), m_path(QDir(runtimeDir).filePath(QStringLiteral("corvane-open")))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultRuntimeDir()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QFileInfo(xdg).isDir())
        return xdg;
    const QString own = QDir::temp().filePath(QStringLiteral("corvane-%1").arg(getuid()));
    const QByteArray path = QFile::encodeName(own);
    mkdir(path.constData(), 0700);
    struct stat st{};
    // Only a folder that is ours and closed to others will do.
    if (lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid()) {
        if ((st.st_mode & 077) != 0)
            chmod(path.constData(), 0700);
        return own;
    }
    return QString();
}

bool SingleInstance::listen(Handler handler)
{
    m_handler = std::move(handler);
    if (m_path.isEmpty())
        return false;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::NoOptions);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    }
    if (m_server->listen(m_path))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Someone answers there: leave that instance its channel.
    QLocalSocket probe;
    probe.connectToServer(m_path);
    if (probe.waitForConnected(500)) {
        probe.disconnectFromServer();
        return false;
    }
    QLocalServer::removeServer(m_path);
    return m_server->listen(m_path);
}

bool SingleInstance::listening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard, buffer] {
            if (!guard)
                return;
            buffer->append(guard->readAll());
            if (buffer->size() > kMaxCommandBytes) {
                guard->abort();
                return;
            }
            const qsizetype end = buffer->indexOf('\n');
            if (end < 0)
                return;
            const QString command = QString::fromUtf8(buffer->left(end));
            buffer->clear();
            // The handler may show a message box before the answer goes out.
            const bool accepted = m_handler ? m_handler(command) : false;
            if (guard) {
                guard->write(accepted ? "ok\n" : "refused\n");
                guard->flush();
                guard->disconnectFromServer();
            }
        });
    }
}

bool SingleInstance::send(const QString &command, bool *accepted, int timeoutMs) const
{
    if (accepted)
        *accepted = false;
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray line = command.toUtf8();
    line.replace('\n', ' ');
    line.append('\n');
    socket.write(line);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    // The running instance may show a message box before it answers.
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(-1))
            break;
        answer.append(socket.readAll());
    }
    if (accepted)
        *accepted = answer.startsWith("ok");
    return !answer.isEmpty();
}
