#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>
#include <unordered_map>

class QLocalSocket;
class QSocketNotifier;

// The per-user channel through which a start with "/dde" hands its open
// request ("[open("...")]") to the instance that is already running.
// The socket lives in a folder only the user can enter, so any peer is the
// same user.
//
// The listener never closes while the program runs: connections are
// bounded (corvane::kChannelMaxConnections, the longest idle one making room
// for a new one), idle ones time out, and running out of file descriptors
// only delays the next accept. Every complete command a connection sends is
// carried out, one at a time and in order, and answered "ok" or "refused";
// a command that arrives while another is being carried out (behind a
// message box, say) waits for it.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The handler answers true when it accepted the command.
    using Handler = std::function<bool(const QString &command)>;

    // runtimeDir: the folder of the socket; an empty one means no channel.
    explicit SingleInstance(const QString &runtimeDir, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Serves requests. A stale socket left by a crashed instance is replaced;
    // a live one is left alone (another copy keeps serving). False when this
    // instance does not serve.
    bool listen(Handler handler);
    bool listening() const { return m_listenFd >= 0; }

    // Hands a command to a running instance. Returns false when none answers
    // within timeoutMs; *accepted tells whether it took the command.
    bool send(const QString &command, bool *accepted = nullptr, int timeoutMs = 3000) const;

    QString socketPath() const { return m_path; }
    // Tests: fewer connections, a shorter idle time than the program's.
    void setLimits(int maxConnections, int idleMs, int evictAfterMs);
    // The connections open now.
    int connectionCount() const { return int(m_connections.size()); }

    // Where the channel lives: $XDG_RUNTIME_DIR when it is the user's alone,
    // else a 0700 folder of our own under the temp folder, made safely. An
    // empty path means no channel; offText then says why.
    struct RuntimeFolder
    {
        QString path;
        QString offText;
    };
    static RuntimeFolder defaultRuntimeFolder();

private:
    struct Connection
    {
        std::string buffer;  // what came after the last complete command
        qint64 lastActive = 0;
        int pending = 0;     // commands waiting for their answer
    };

    bool bindAndListen();
    void acceptConnections();
    void adopt(int fd);
    // Closes the connection idle longest, if it has waited evictAfter at
    // least (any idle one when force): true when one went.
    bool evictIdlest(bool force);
    void onReadyRead(QLocalSocket *socket);
    void forget(QLocalSocket *socket);
    void closeIdleConnections();
    void dispatch();
    void answer(const QPointer<QLocalSocket> &socket, bool accepted);

    QString m_path;
    Handler m_handler;
    int m_maxConnections;
    int m_idleMs;
    int m_evictAfterMs;
    int m_listenFd = -1;
    int m_spareFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_retry;
    QTimer m_idle;
    std::unordered_map<QLocalSocket *, Connection> m_connections;
    std::deque<std::pair<QPointer<QLocalSocket>, QString>> m_queue;
    bool m_dispatching = false;
};
