#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// The per-user channel through which a start with "/dde" hands its open
// request ("[open("...")]") to the instance that is already running.
// The socket lives in a folder only the user can enter, so any peer is the
// same user.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The handler answers true when it accepted the command.
    using Handler = std::function<bool(const QString &command)>;

    explicit SingleInstance(const QString &runtimeDir, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Serves requests. A stale socket left by a crashed instance is replaced;
    // a live one is left alone (another copy keeps serving). False when this
    // instance does not serve.
    bool listen(Handler handler);
    bool listening() const;

    // Hands a command to a running instance. Returns false when none answers
    // within timeoutMs; *accepted tells whether it took the command.
    bool send(const QString &command, bool *accepted = nullptr, int timeoutMs = 3000) const;

    QString socketPath() const { return m_path; }

    // $XDG_RUNTIME_DIR, or a 0700 folder of our own under the temp folder.
    static QString defaultRuntimeDir();

private:
    void onNewConnection();

    QString m_path;
    QLocalServer *m_server = nullptr;
    Handler m_handler;
};
