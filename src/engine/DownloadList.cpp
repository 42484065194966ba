#include "engine/DownloadList.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

// --- Download -----------------------------------------------------------------------

Download::Download(const QUrl &url, const QString &path, QObject *parent)
    : QObject(parent), m_url(url), m_path(path)
{
    m_clock.start();
    m_speed.add(0, 0);
}

Download::~Download() = default;

QString Download::fileName() const
{
    return QFileInfo(m_path).fileName();
}

double Download::bytesPerSecond() const
{
    return isRunning() ? m_speed.bytesPerSecond() : 0;
}

void Download::cancel()
{
    if (!isRunning())
        return;
    if (m_cancel)
        m_cancel();
    // The engine confirms later; the list says so at once.
    finish(corvane::DownloadState::Cancelled);
}

void Download::setProgress(qint64 received, qint64 total)
{
    if (!isRunning() || (received == m_received && total == m_total))
        return;
    m_received = received;
    m_total = total < 0 ? -1 : total;
    m_speed.add(m_clock.elapsed(), received);
    Q_EMIT changed();
}

void Download::finish(corvane::DownloadState state, corvane::DownloadFailure failure)
{
    if (!isRunning() || state == corvane::DownloadState::Running)
        return;
    m_state = state;
    m_failure = failure;
    if (state == corvane::DownloadState::Completed && m_total >= 0)
        m_received = m_total;
    Q_EMIT changed();
    Q_EMIT finished();
}

// --- DownloadList -------------------------------------------------------------------

namespace {
QPointer<DownloadList> g_list;
}

DownloadList *DownloadList::instance()
{
    if (!g_list)
        g_list = new DownloadList(QCoreApplication::instance());
    return g_list;
}

DownloadList::DownloadList(QObject *parent) : QObject(parent) {}

int DownloadList::runningCount() const
{
    int n = 0;
    for (const Download *d : m_downloads)
        n += d->isRunning() ? 1 : 0;
    return n;
}

void DownloadList::add(Download *download)
{
    download->setParent(this);
    m_downloads.append(download);
    connect(download, &Download::changed, this, &DownloadList::changed);
    connect(download, &Download::finished, this, [this, download] { Q_EMIT downloadFinished(download); });
    Q_EMIT added(download);
    Q_EMIT changed();
}

void DownloadList::cancelRunning()
{
    for (Download *d : std::as_const(m_downloads))
        d->cancel();
}

void DownloadList::removeFinished()
{
    QList<Download *> ended;
    for (Download *d : std::as_const(m_downloads))
        if (!d->isRunning())
            ended << d;
    if (ended.isEmpty())
        return;
    for (Download *d : ended) {
        m_downloads.removeOne(d);
        d->deleteLater();
    }
    Q_EMIT changed();
}

void DownloadList::remove(Download *download)
{
    if (!m_downloads.removeOne(download))
        return;
    if (download->isRunning())
        download->cancel();
    download->deleteLater();
    Q_EMIT changed();
}
