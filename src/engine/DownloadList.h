#pragma once

#include "core/Downloads.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

// One download of this session, as the Downloads window shows it: the file
// it goes to, how far it is, how fast, and how it ended. Whoever carries
// it out (the web profile for the engine's downloads, a test) reports to it
// and gives it the means to cancel.
class Download : public QObject
{
    Q_OBJECT
public:
    explicit Download(const QUrl &url, const QString &path, QObject *parent = nullptr);
    ~Download() override;

    QUrl url() const { return m_url; }
    // Where the file is saved, and its name.
    QString path() const { return m_path; }
    QString fileName() const;
    qint64 receivedBytes() const { return m_received; }
    // -1 while unknown.
    qint64 totalBytes() const { return m_total; }
    corvane::DownloadState state() const { return m_state; }
    corvane::DownloadFailure failure() const { return m_failure; }
    bool isRunning() const { return m_state == corvane::DownloadState::Running; }
    // Bytes a second over the last few seconds; 0 once it has ended.
    double bytesPerSecond() const;

    // Stops it and lets the file go; nothing when it has ended.
    void cancel();

    // --- for whoever carries it out ------------------------------------------------------
    void setCanceller(std::function<void()> canceller) { m_cancel = std::move(canceller); }
    void setProgress(qint64 received, qint64 total);
    // The end: completed, cancelled or failed (with why). Only the first
    // end counts.
    void finish(corvane::DownloadState state,
                corvane::DownloadFailure failure = corvane::DownloadFailure::Unknown);

Q_SIGNALS:
    // Progress or the state changed.
    void changed();
    void finished();

private:
    QUrl m_url;
    QString m_path;
    qint64 m_received = 0;
    qint64 m_total = -1;
    corvane::DownloadState m_state = corvane::DownloadState::Running;
    corvane::DownloadFailure m_failure = corvane::DownloadFailure::Unknown;
    corvane::SpeedMeter m_speed;
    QElapsedTimer m_clock;
    std::function<void()> m_cancel;
};

// The downloads of this session, oldest first. It outlives every window:
// the Downloads window shows it, the exit asks about what runs in it.
class DownloadList : public QObject
{
    Q_OBJECT
public:
    static DownloadList *instance();

    QList<Download *> downloads() const { return m_downloads; }
    int runningCount() const;
    // Takes the download in (and owns it).
    void add(Download *download);
    void cancelRunning();
    // Takes the downloads that have ended off the list (their files stay).
    void removeFinished();
    void remove(Download *download);

Q_SIGNALS:
    // A download started.
    void added(Download *download);
    // A download was added or removed, progressed or ended.
    void changed();
    // Each time a download ends.
    void downloadFinished(Download *download);

private:
    explicit DownloadList(QObject *parent);
    QList<Download *> m_downloads;
};
