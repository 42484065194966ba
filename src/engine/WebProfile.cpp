#include "engine/WebProfile.h"

#include "core/Strings.h"
#include "engine/OwnPages.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {
const char *const kProfileFolder = "/Tolvek/Corvane/WebProfile";
// Left in the storage folder by Clear cookies and site data.
const char *const kClearSiteDataMarker = "clear-site-data";
// The folders of the sites' data below the storage folder.
const char *const kSiteDataFolders[] = {"Local Storage", "Session Storage", "IndexedDB",
                                        "Service Worker", "File System", "databases",
                                        "shared_proto_db", "WebStorage"};
// How long after emptying the cache the pages still loading start again.
constexpr int kCacheSettleMs = 250;

QString percentText(qint64 received, qint64 total)
{
    if (total > 0)
        return QStringLiteral("%1%").arg(received * 100 / total);
    return QStringLiteral("%1 KB").arg(received / 1024);
}
} // namespace

namespace {
QPointer<WebProfile> g_instance;
}

WebProfile *WebProfile::instance()
{
    if (!g_instance)
        g_instance = new WebProfile(QCoreApplication::instance());
    return g_instance;
}

void WebProfile::releaseProfile()
{
    // Runs while the application object is destroyed, before the engine
    // shuts down: a profile must not outlive the engine.
    if (g_instance) {
        delete g_instance->m_profile;
        g_instance->m_profile = nullptr;
    }
}

WebProfile::WebProfile(QObject *parent) : QObject(parent) {}

QString WebProfile::storagePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QLatin1String(kProfileFolder);
}

QString WebProfile::cachePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QLatin1String(kProfileFolder);
}

QString WebProfile::downloadFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() : downloads;
}

QWebEngineProfile *WebProfile::profile()
{
    if (m_profile)
        return m_profile;
    QDir().mkpath(storagePath());
    QDir().mkpath(cachePath());
    removeSiteDataIfAsked();
    m_profile = new QWebEngineProfile(QStringLiteral("Corvane"), this);
    m_profile->setPersistentStoragePath(storagePath());
    m_profile->setCachePath(cachePath());
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    applyPageSwitches();
    connect(m_profile, &QWebEngineProfile::downloadRequested, this,
            &WebProfile::onDownloadRequested);
    m_profile->installUrlSchemeHandler(corvane::kOwnPageScheme, new OwnPages(this));
    // Post routines run last in first out: this one, added after the engine
    // started, runs before the engine's own.
    qAddPostRoutine(&WebProfile::releaseProfile);
    return m_profile;
}

void WebProfile::onDownloadRequested(QWebEngineDownloadRequest *download)
{
    const QString name = download->downloadFileName();
    const QString suggested = QDir(downloadFolder()).filePath(name);
    // The request has to be answered before this returns; a modal dialog
    // keeps it waiting meanwhile.
    const QString path = m_chooser ? m_chooser(suggested)
                                   : QFileDialog::getSaveFileName(QApplication::activeWindow(),
                                                                  QStringLiteral("Save As"),
                                                                  suggested);
    if (path.isEmpty()) {
        download->cancel();
        Q_EMIT downloadStatus(QStringLiteral("Download cancelled: %1").arg(name));
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    watch(download);
    download->accept();
    Q_EMIT downloadStatus(QStringLiteral("Downloading %1...").arg(target.fileName()));
}

void WebProfile::watch(QWebEngineDownloadRequest *download)
{
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, download] {
        if (download->state() != QWebEngineDownloadRequest::DownloadInProgress)
            return;
        Q_EMIT downloadStatus(QStringLiteral("Downloading %1... %2")
                                  .arg(download->downloadFileName(),
                                       percentText(download->receivedBytes(),
                                                   download->totalBytes())));
    });
    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
            [this, download](QWebEngineDownloadRequest::DownloadState state) {
                const QString file =
                    QDir(download->downloadDirectory()).filePath(download->downloadFileName());
                switch (state) {
                case QWebEngineDownloadRequest::DownloadCompleted:
                    Q_EMIT downloadStatus(QStringLiteral("Download complete: %1").arg(file));
                    break;
                case QWebEngineDownloadRequest::DownloadInterrupted:
                    Q_EMIT downloadStatus(QStringLiteral("Download failed: %1 (%2)")
                                              .arg(file, download->interruptReasonString()));
                    break;
                case QWebEngineDownloadRequest::DownloadCancelled:
                    Q_EMIT downloadStatus(QStringLiteral("Download cancelled: %1").arg(file));
                    break;
                default:
                    break;
                }
            });
}

// --- Internet Options ---------------------------------------------------------------

void WebProfile::setJavaScriptEnabled(bool on)
{
    m_javaScript = on;
    applyPageSwitches();
}

void WebProfile::setImagesEnabled(bool on)
{
    m_images = on;
    applyPageSwitches();
}

void WebProfile::applyPageSwitches()
{
    if (!m_profile)
        return;
    QWebEngineSettings *settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, m_javaScript);
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, m_images);
}

void WebProfile::clearCache()
{
    // The engine empties the cache on its network thread a few milliseconds
    // after this call, and a request under way at that moment never gets its
    // answer: the page goes on loading for ever. A new load after it is
    // served as usual, so a quarter of a second later (ample on a busy
    // machine) the pages still loading start again.
    profile()->clearHttpCache();
    QTimer::singleShot(kCacheSettleMs, this, &WebProfile::cacheEmptied);
}

void WebProfile::clearCookiesAndSiteData()
{
    profile()->cookieStore()->deleteAllCookies();
    profile()->clearAllVisitedLinks();
    QFile marker(QDir(storagePath()).filePath(QLatin1String(kClearSiteDataMarker)));
    if (marker.open(QIODevice::WriteOnly))
        marker.close();
}

bool WebProfile::siteDataClearingPending()
{
    return QFileInfo::exists(QDir(storagePath()).filePath(QLatin1String(kClearSiteDataMarker)));
}

void WebProfile::removeSiteDataIfAsked()
{
    QDir storage(storagePath());
    if (!storage.exists(QLatin1String(kClearSiteDataMarker)))
        return;
    for (const char *folder : kSiteDataFolders) {
        QDir data(storage.filePath(QLatin1String(folder)));
        if (data.exists())
            data.removeRecursively();
    }
    storage.remove(QLatin1String(kClearSiteDataMarker));
}
