#include "support/LoopbackServer.h"

#include <QHostAddress>
#include <QPointer>
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
    case 304: return "Not Modified";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QString pathOf(const QString &target)
{
    const qsizetype q = target.indexOf(QLatin1Char('?'));
    return q < 0 ? target : target.left(q);
}
} // namespace

LoopbackServer::LoopbackServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
    m_server->listen(QHostAddress::LocalHost, 0);
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
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
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
    m_requests.append(target);
    m_headers.append(buffer.left(end));
    Q_EMIT requested(target);

    const auto it = m_routes.constFind(pathOf(QUrl::fromPercentEncoding(target.toUtf8())));
    const int delay = it == m_routes.constEnd() ? 0 : it->delayMs;
    if (delay <= 0) {
        answer(socket, target);
    } else {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(delay, this, [this, guard, target] {
            if (guard)
                answer(guard, target);
        });
    }
}

void LoopbackServer::answer(QTcpSocket *socket, const QString &target)
{
    Response r;
    const auto it = m_routes.constFind(pathOf(QUrl::fromPercentEncoding(target.toUtf8())));
    if (it == m_routes.constEnd()) {
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
