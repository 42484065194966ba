#include "support/LoopbackServer.h"

#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {
const char *reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 401: return "Unauthorized";
    case 304: return "Not Modified";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// Hands each connection to the server's function: a TLS socket is made
// from the descriptor.
class DescriptorServer : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;
    std::function<bool(qintptr)> take;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (!take || !take(descriptor))
            QTcpServer::incomingConnection(descriptor);
    }
};

QString pathOf(const QString &target)
{
    const qsizetype q = target.indexOf(QLatin1Char('?'));
    return q < 0 ? target : target.left(q);
}
} // namespace

LoopbackServer::LoopbackServer(QObject *parent) : QObject(parent)
{
    auto *server = new DescriptorServer(this);
    server->take = [this](qintptr descriptor) {
        if (!m_tls)
            return false;
        onEncryptedConnection(descriptor);
        return true;
    };
    m_server = server;
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
    m_server->listen(QHostAddress::LocalHost, 0);
}

bool LoopbackServer::enableTls(const QString &certificatePath, const QString &keyPath)
{
    QFile certificate(certificatePath);
    QFile key(keyPath);
    if (!QSslSocket::supportsSsl() || !certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return false;
    m_certificate = certificate.readAll();
    m_key = key.readAll();
    m_tls = !QSslCertificate(m_certificate).isNull() && !QSslKey(m_key, QSsl::Rsa).isNull();
    return m_tls;
}

void LoopbackServer::onEncryptedConnection(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setLocalCertificate(QSslCertificate(m_certificate));
    socket->setPrivateKey(QSslKey(m_key, QSsl::Rsa));
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // What the client sends is read once it is decrypted.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QSslSocket::sslErrors, socket, [socket] { socket->ignoreSslErrors(); });
    // A client that refuses the certificate hangs up during the handshake.
    connect(socket, &QAbstractSocket::errorOccurred, socket, [socket] { socket->deleteLater(); });
    socket->startServerEncryption();
}

QByteArray LoopbackServer::Request::header(const QByteArray &name) const
{
    for (const auto &[n, value] : headers)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

bool LoopbackServer::Request::hasHeader(const QByteArray &name) const
{
    for (const auto &[n, value] : headers)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void LoopbackServer::setHandler(const QString &path, Handler handler)
{
    m_handlers.insert(path, std::move(handler));
}

LoopbackServer::~LoopbackServer() = default;

bool LoopbackServer::isListening() const
{
    return m_server->isListening();
}

quint16 LoopbackServer::port() const
{
    return m_server->serverPort();
}

QString LoopbackServer::url(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port())
        .arg(path);
}

void LoopbackServer::setRoute(const QString &path, const QByteArray &body,
                              const QByteArray &contentType)
{
    Response r;
    r.body = body;
    r.contentType = contentType;
    m_routes.insert(path, r);
}

void LoopbackServer::setResponse(const QString &path, const Response &response)
{
    m_routes.insert(path, response);
}

void LoopbackServer::setRedirect(const QString &path, const QString &location)
{
    Response r;
    r.status = 302;
    r.headers.append({"Location", location.toUtf8()});
    m_routes.insert(path, r);
}

int LoopbackServer::hitCount(const QString &path) const
{
    int n = 0;
    for (const QString &target : m_requests)
        if (pathOf(target) == path)
            ++n;
    return n;
}

QByteArray LoopbackServer::requestHeader(const QString &target, const QByteArray &name) const
{
    const qsizetype at = m_requests.lastIndexOf(target);
    if (at < 0)
        return {};
    for (const QByteArray &line : m_headers.at(at).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void LoopbackServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    }
}

void LoopbackServer::onReadyRead(QTcpSocket *socket)
{
    // Requests carry no body here (GET, HEAD): the header block is enough.
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("buffer", buffer);
        return;
    }
    socket->setProperty("buffer", QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
    const QString target =
        requestLine.size() >= 2 ? QString::fromUtf8(requestLine.at(1)) : QStringLiteral("/");
    Request request;
    request.target = target;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    m_requests.append(target);
    m_headers.append(buffer.left(end));
    m_requestLog.append(request);
    Q_EMIT requested(target);

    const auto it = m_routes.constFind(pathOf(QUrl::fromPercentEncoding(target.toUtf8())));
    const int delay = it == m_routes.constEnd() ? 0 : it->delayMs;
    if (delay <= 0) {
        answer(socket, target, request);
    } else {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(delay, this, [this, guard, target, request] {
            if (guard)
                answer(guard, target, request);
        });
    }
}

void LoopbackServer::answer(QTcpSocket *socket, const QString &target, const Request &request)
{
    Response r;
    const QString path = pathOf(QUrl::fromPercentEncoding(target.toUtf8()));
    const auto it = m_routes.constFind(path);
    const auto handler = m_handlers.constFind(path);
    if (handler != m_handlers.constEnd()) {
        r = (*handler)(request);
    } else if (it == m_routes.constEnd()) {
        r.status = 404;
        r.body = "<html><head><title>Not found</title></head><body>Not found</body></html>";
    } else {
        r = *it;
    }
    QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + reasonPhrase(r.status)
                     + "\r\nContent-Type: " + r.contentType
                     + "\r\nContent-Length: " + QByteArray::number(r.body.size())
                     + "\r\nConnection: close\r\n";
    bool cacheControl = false;
    for (const auto &[name, value] : r.headers) {
        out += name + ": " + value + "\r\n";
        cacheControl = cacheControl || name.compare("Cache-Control", Qt::CaseInsensitive) == 0;
    }
    if (!cacheControl)
        out += "Cache-Control: no-store\r\n";
    out += "\r\n";
    if (r.chunkBytes > 0) {
        socket->write(out);
        sendSlowly(socket, r.body, 0, r);
        return;
    }
    socket->write(out + r.body);
    socket->disconnectFromHost();
}

void LoopbackServer::sendSlowly(QTcpSocket *socket, const QByteArray &body, qint64 from, const Response &response)
{
    const qint64 end = qMin(body.size(), from + response.chunkBytes);
    socket->write(body.constData() + from, end - from);
    if (end >= body.size()) {
        socket->disconnectFromHost();
        return;
    }
    // The client may go meanwhile (a cancelled download).
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(response.chunkIntervalMs, this, [this, guard, body, end, response] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            sendSlowly(guard, body, end, response);
    });
}
