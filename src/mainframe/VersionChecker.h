#pragma once

#include "core/VersionCheck.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
#include <QNetworkReply>

// Check for New Version over HTTP: a GET of the one-line version file
// ("Accept: text/*"), compared with our own version when it ends with an HTTP
// status. Errors on the way (no connection, unknown host, the time-out) end
// quietly. One check runs at a time.
class VersionChecker : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 10000;
    // More than a version file ever holds: the rest is not read.
    static constexpr qint64 kMaxBodyBytes = 64 * 1024;

    explicit VersionChecker(QObject *parent = nullptr);
    ~VersionChecker() override;

    // False when a check is already running (that one goes on).
    bool start(const QUrl &versionFile, int timeoutMs = kTimeoutMs);
    bool running() const { return m_reply != nullptr; }

Q_SIGNALS:
    // The server answered: what to tell the user.
    void finished(corvane::VersionCheckOutcome outcome);
    // No answer (an error on the way or the time-out): nothing to tell.
    void endedQuietly();

private:
    void onReadyRead();
    void onFinished();

    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    bool m_tooLong = false;
};
