#include "mainframe/VersionChecker.h"

#include "core/SettingsStore.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

VersionChecker::VersionChecker(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this))
{
}

VersionChecker::~VersionChecker()
{
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

bool VersionChecker::start(const QUrl &versionFile, int timeoutMs)
{
    if (m_reply)
        return false;
    m_body.clear();
    m_tooLong = false;
    QNetworkRequest request(versionFile);
    request.setRawHeader("Accept", "text/*");
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QByteArray("Corvane/") + QByteArray(kCorvaneVersion));
    request.setTransferTimeout(timeoutMs);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &VersionChecker::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &VersionChecker::onFinished);
    return true;
}

void VersionChecker::onReadyRead()
{
    if (!m_reply)
        return;
    const QByteArray piece = m_reply->readAll();
    if (m_body.size() + piece.size() > kMaxBodyBytes) {
        // No version file is this long: the answer is known already.
        m_tooLong = true;
        m_reply->abort();
        return;
    }
    m_body += piece;
}

void VersionChecker::onFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    if (!m_tooLong)
        m_body += reply->readAll().left(kMaxBodyBytes - m_body.size());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    // Errors of the connection itself (1..99) and of a proxy (101..199)
    // carry no answer of the server.
    const bool noAnswer = !m_tooLong && error != QNetworkReply::NoError && int(error) < 200;
    if (noAnswer || status <= 0) {
        Q_EMIT endedQuietly();
        return;
    }
    const std::string body = m_tooLong ? std::string(size_t(kMaxBodyBytes) + 1, 'x')
                                       : std::string(m_body.constData(), size_t(m_body.size()));
    Q_EMIT finished(corvane::versionCheckOutcome(status, body, kCorvaneVersion));
}
