#include "engine/WebProfile.h"

#include "core/Downloads.h"
#include "core/Strings.h"
#include "engine/DownloadList.h"
#include "engine/DesktopNotifications.h"
#include "engine/OwnPages.h"

#include <QApplication>
#include <QtWebEngineCore/qtwebenginecoreversion.h>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <iterator>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#if QTWEBENGINECORE_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif
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
// When, after emptying the cache, the pages still loading start again.
constexpr int kCacheSettleMs[] = {250, 1000, 2500};

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

WebProfile::WebProfile(QObject *parent) : QObject(parent)
{
    m_cacheMoments.setSingleShot(true);
    connect(&m_cacheMoments, &QTimer::timeout, this, [this] {
        Q_EMIT cacheEmptied();
        ++m_cacheTick;
        if (++m_cacheMoment < int(std::size(kCacheSettleMs)))
            m_cacheMoments.start(kCacheSettleMs[m_cacheMoment] - kCacheSettleMs[m_cacheMoment - 1]);
    });
}

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
#if QTWEBENGINECORE_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The answers sites got are the settings store's to keep: the engine
    // keeps them for the session only, as earlier versions did.
    m_profile->setPersistentPermissionsPolicy(
        QWebEngineProfile::PersistentPermissionsPolicy::StoreInMemory);
#endif
    // The pages' notifications go to the desktop.
    DesktopNotifications::install(m_profile);
    // Post routines run last in first out: this one, added after the engine
    // started, runs before the engine's own.
    qAddPostRoutine(&WebProfile::releaseProfile);
    return m_profile;
}

namespace {

corvane::DownloadFailure failureOf(QWebEngineDownloadRequest::DownloadInterruptReason reason)
{
    using R = QWebEngineDownloadRequest;
    using F = corvane::DownloadFailure;
    switch (reason) {
    case R::FileFailed: return F::FileFailed;
    case R::FileAccessDenied: return F::AccessDenied;
    case R::FileNoSpace: return F::NoSpace;
    case R::FileNameTooLong: return F::NameTooLong;
    case R::FileTooLarge: return F::FileTooLarge;
    case R::FileVirusInfected: return F::VirusFound;
    case R::FileTransientError: return F::FileBusy;
    case R::FileBlocked: return F::Blocked;
    case R::FileSecurityCheckFailed: return F::SecurityCheckFailed;
    case R::FileTooShort: return F::FileTooShort;
    case R::FileHashMismatch: return F::FileChanged;
    case R::NetworkFailed: return F::NetworkFailed;
    case R::NetworkTimeout: return F::NetworkTimeout;
    case R::NetworkDisconnected: return F::NetworkDisconnected;
    case R::NetworkServerDown: return F::ServerDown;
    case R::NetworkInvalidRequest: return F::InvalidRequest;
    case R::ServerFailed: return F::ServerFailed;
    case R::ServerBadContent: return F::ServerBadContent;
    case R::ServerUnauthorized: return F::ServerUnauthorized;
    case R::ServerCertProblem: return F::ServerCertificate;
    case R::ServerForbidden: return F::ServerForbidden;
    case R::ServerUnreachable: return F::ServerUnreachable;
    default: return F::Unknown;
    }
}

void reportStatus(WebProfile *profile, const Download *download)
{
    Q_EMIT profile->downloadStatus(QString::fromStdString(corvane::downloadStatusText(
        download->fileName().toStdString(), download->state(), download->failure(), download->receivedBytes(),
        download->totalBytes())));
}

} // namespace

QString WebProfile::savePathFor(const QString &suggestedName)
{
    // The download folder, made when missing; the home folder when it
    // cannot be.
    QString folder = downloadFolder();
    if (!QDir().mkpath(folder))
        folder = QDir::homePath();
    const QDir dir(folder);
    const std::string name = corvane::uniqueFileName(
        corvane::safeFileName(suggestedName.toStdString()),
        [&dir](const std::string &candidate) { return dir.exists(QString::fromStdString(candidate)); });
    return dir.filePath(QString::fromStdString(name));
}

void WebProfile::onDownloadRequested(QWebEngineDownloadRequest *request)
{
    QString path = savePathFor(request->downloadFileName());
    // Save As of a page asks where, and so does every download when the
    // user wants it so; otherwise the file goes into the download folder
    // under a name of its own.
    if (m_askWhereToSave || request->isSavePageDownload()) {
        // The request has to be answered before this returns; a modal
        // dialog keeps it waiting meanwhile.
        path = m_chooser ? m_chooser(path)
                         : QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Save As"),
                                                        path);
        if (path.isEmpty()) {
            const QString offered = QFileInfo(savePathFor(request->downloadFileName())).fileName();
            request->cancel();
            Q_EMIT downloadStatus(QString::fromStdString(corvane::downloadStatusText(
                offered.toStdString(), corvane::DownloadState::Cancelled, corvane::DownloadFailure::Unknown, 0, -1)));
            return;
        }
    }
    const QFileInfo target(path);
    auto *download = new Download(request->url(), target.absoluteFilePath());
    // A folder that cannot be made: the engine would only say "cancelled".
    if (!QDir().mkpath(target.absolutePath())) {
        request->cancel();
        download->finish(corvane::DownloadState::Failed, corvane::DownloadFailure::NoFolder);
        DownloadList::instance()->add(download);
        reportStatus(this, download);
        return;
    }
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    watch(request, download);
    request->accept();
    DownloadList::instance()->add(download);
    reportStatus(this, download);
}

void WebProfile::watch(QWebEngineDownloadRequest *request, Download *download)
{
    const QPointer<QWebEngineDownloadRequest> engine(request);
    download->setCanceller([engine] {
        if (engine)
            engine->cancel();
    });
    const QPointer<Download> shown(download);
    const auto progress = [this, engine, shown] {
        if (!engine || !shown || engine->state() != QWebEngineDownloadRequest::DownloadInProgress)
            return;
        shown->setProgress(engine->receivedBytes(), engine->totalBytes());
        reportStatus(this, shown);
    };
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, download, progress);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, download, progress);
    connect(request, &QWebEngineDownloadRequest::stateChanged, download,
            [this, engine, shown](QWebEngineDownloadRequest::DownloadState state) {
                if (!engine || !shown || !shown->isRunning())
                    return;
                switch (state) {
                case QWebEngineDownloadRequest::DownloadCompleted:
                    shown->setProgress(engine->receivedBytes(), engine->totalBytes());
                    shown->finish(corvane::DownloadState::Completed);
                    break;
                case QWebEngineDownloadRequest::DownloadInterrupted:
                    shown->finish(corvane::DownloadState::Failed, failureOf(engine->interruptReason()));
                    break;
                case QWebEngineDownloadRequest::DownloadCancelled:
                    shown->finish(corvane::DownloadState::Cancelled);
                    break;
                default:
                    return;
                }
                reportStatus(this, shown);
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
    // A PDF shows in the page with the engine's own viewer; an engine built
    // without it downloads the file instead.
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    // A site may ask to share the screen (the engine refuses it unasked
    // otherwise); the user's answer decides.
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, true);
}

void WebProfile::clearCache()
{
    // The engine empties the cache on its network thread some time after
    // this call (a few milliseconds, or more than a quarter of a second on a
    // busy machine), and a request under way at that moment never gets its
    // answer: the page goes on loading for ever. A new load after it is
    // served as usual. So a quarter of a second later the loads begun
    // before now start again if they still run, at one second those begun
    // (or started again) before the quarter, and at two and a half seconds
    // those begun before the second. (A page merely slow to answer starts
    // again too: a little time lost, once.)
    ++m_cacheTick;
    profile()->clearHttpCache();
    m_cacheMoment = 0;
    m_cacheMoments.start(kCacheSettleMs[0]);
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

// --- what the pages asked, for this session -------------------------------------------

void WebProfile::acceptCertificateErrors(const QString &host)
{
    m_certificateHosts.insert(host.toLower());
}

bool WebProfile::certificateErrorsAccepted(const QString &host) const
{
    return !host.isEmpty() && m_certificateHosts.contains(host.toLower());
}

void WebProfile::forgetSitePermissions(const corvane::SitePermissionList &permissions)
{
    if (!m_profile || permissions.empty())
        return;
    // The engine keeps these answers for the profile, whichever of its
    // pages is told; the camera's, the microphone's and the others' it asks
    // for each request anyway.
#if QTWEBENGINECORE_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    for (const corvane::SitePermission &p : permissions.entries()) {
        const QUrl origin(QString::fromStdString(p.site));
        for (const QWebEnginePermission &kept : m_profile->listPermissionsForOrigin(origin))
            kept.reset();
    }
#else
    QWebEnginePage page(m_profile);
    for (const corvane::SitePermission &p : permissions.entries()) {
        const QUrl origin(QString::fromStdString(p.site));
        switch (p.feature) {
        case corvane::SiteFeature::Geolocation:
            page.setFeaturePermission(origin, QWebEnginePage::Geolocation,
                                      QWebEnginePage::PermissionUnknown);
            break;
        case corvane::SiteFeature::Notifications:
            page.setFeaturePermission(origin, QWebEnginePage::Notifications,
                                      QWebEnginePage::PermissionUnknown);
            break;
        default:
            break;
        }
    }
#endif
}
