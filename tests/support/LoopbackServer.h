#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests: the test sets a response per
// path; every request gets its answer and the connection is closed. Unknown
// paths answer 404. Requests are recorded in arrival order.
class LoopbackServer : public QObject
{
    Q_OBJECT
public:
    struct Response
    {
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        int status = 200;
        // Extra header lines, e.g. {"Location", "/next"} or
        // {"Content-Disposition", "attachment; filename=a.txt"}.
        QList<QPair<QByteArray, QByteArray>> headers;
        // The answer is sent after this many milliseconds.
        int delayMs = 0;
        // Slowly: the body goes out chunkBytes at a time, one chunk every
        // chunkIntervalMs (0: all at once).
        int chunkBytes = 0;
        int chunkIntervalMs = 0;
    };

    explicit LoopbackServer(QObject *parent = nullptr);
    ~LoopbackServer() override;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>" + path.
    QString url(const QString &path) const;

    // path is matched without its query part.
    void setRoute(const QString &path, const QByteArray &body,
                  const QByteArray &contentType = "text/html; charset=utf-8");
    void setResponse(const QString &path, const Response &response);
    // A 302 answer pointing to location.
    void setRedirect(const QString &path, const QString &location);

    // --- answers that depend on the request; TLS ------------------------------------
    // A request as it came: its target and its header lines (names as sent).
    struct Request
    {
        QString target;
        QList<QPair<QByteArray, QByteArray>> headers;
        // The value of the first header of that name (case ignored); empty
        // when there is none.
        QByteArray header(const QByteArray &name) const;
        bool hasHeader(const QByteArray &name) const;
    };
    // The answer for path is made for each request (a login check, say).
    using Handler = std::function<Response(const Request &request)>;
    void setHandler(const QString &path, Handler handler);
    // Every request, headers and all, in arrival order.
    const QList<Request> &requestLog() const { return m_requestLog; }
    // Serves https with this certificate and key (PEM files) from now on;
    // false when the files or the TLS backend fail.
    bool enableTls(const QString &certificatePath, const QString &keyPath);

    // Request targets (path and query) in arrival order.
    QStringList requests() const { return m_requests; }
    int hitCount(const QString &path) const;
    // The value of a header of the request for target (the last one made),
    // empty when it had none.
    QByteArray requestHeader(const QString &target, const QByteArray &name) const;
    void clearRequests()
    {
        m_requests.clear();
        m_headers.clear();
        m_requestLog.clear();
    }

Q_SIGNALS:
    void requested(const QString &target);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QString &target, const Request &request);
    void sendSlowly(QTcpSocket *socket, const QByteArray &body, qint64 from, const Response &response);

    void onEncryptedConnection(qintptr descriptor);

    QTcpServer *m_server = nullptr;
    QHash<QString, Response> m_routes;
    QStringList m_requests;
    // Each request's header block, beside m_requests.
    QList<QByteArray> m_headers;
    QHash<QString, Handler> m_handlers;
    QList<Request> m_requestLog;
    QByteArray m_certificate;
    QByteArray m_key;
    bool m_tls = false;
};
