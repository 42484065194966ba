#pragma once

#include "core/PageRequests.h"
#include "core/SitePermissions.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>

class Download;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The user's one persistent web profile ("Corvane"): cookies, site storage
// and the cache survive the program. Site data lives in
// $XDG_DATA_HOME/Tolvek/Corvane/WebProfile, the cache in
// $XDG_CACHE_HOME/Tolvek/Corvane/WebProfile. The profile is created on first
// use and lives until the application object goes.
//
// Downloads of every page end here: each goes into the download folder
// (made when missing) under a name no file there has, or where the user
// chooses when asked to (Save As of a page, or AskWhereToSave), and joins
// the session's DownloadList. The progress, the end or the failure of each
// is also reported through downloadStatus() for the status bar.
class WebProfile : public QObject
{
    Q_OBJECT
public:
    static WebProfile *instance();

    QWebEngineProfile *profile();
    bool hasProfile() const { return m_profile != nullptr; }

    static QString storagePath();
    static QString cachePath();
    // The folder downloads go to: the desktop's download folder.
    static QString downloadFolder();
    // Where a download of this suggested name goes: the download folder
    // (made when missing), under a safe name no file there has.
    static QString savePathFor(const QString &suggestedName);
    // Every download asks where to save it (on), or only Save As (off).
    void setAskWhereToSave(bool on) { m_askWhereToSave = on; }
    bool askWhereToSave() const { return m_askWhereToSave; }

    // --- Internet Options -------------------------------------------------------
    // Scripts and images on the pages: every page of the profile follows a
    // change at once. Kept until the profile exists when set before.
    void setJavaScriptEnabled(bool on);
    bool javaScriptEnabled() const { return m_javaScript; }
    void setImagesEnabled(bool on);
    bool imagesEnabled() const { return m_images; }
    // Empties the disk cache. A moment later, and twice more, the pages
    // whose load began before the last such moment start it again while it
    // still runs (cacheEmptied).
    void clearCache();
    // Counts the emptyings and the moments after them: a load notes it as
    // it starts, and at cacheEmptied one that noted less than it is now
    // began before the last moment.
    int cacheTick() const { return m_cacheTick; }
    // Between an emptying and its last moment.
    bool cacheSettling() const { return m_cacheMoments.isActive(); }
    // Deletes every cookie now. The sites' other data (local storage,
    // databases, service workers) is held open by the engine while it runs:
    // it goes the next time the profile starts, before any page opens.
    void clearCookiesAndSiteData();
    // Whether site data is due to go at the next start.
    static bool siteDataClearingPending();

    // --- what the pages asked, for this session ------------------------------------
    // The logins the user gave, in memory only.
    corvane::SessionLogins &sessionLogins() { return m_logins; }
    // Hosts the user went on to in spite of their certificates; kept until
    // the program ends, as the engine keeps its own exceptions.
    void acceptCertificateErrors(const QString &host);
    bool certificateErrorsAccepted(const QString &host) const;
    // After the user cleared the site permissions: the engine forgets the
    // answers it keeps itself (locations and notifications), so those sites
    // ask again.
    void forgetSitePermissions(const corvane::SitePermissionList &permissions);

    // Chooses the file a download is saved to when asking, from the path
    // it would go to; an empty result cancels the download. The default
    // asks with a save-file dialog. Replaceable for tests.
    using SavePathChooser = std::function<QString(const QString &suggestedPath)>;
    void setSavePathChooser(SavePathChooser chooser) { m_chooser = std::move(chooser); }

Q_SIGNALS:
    void downloadStatus(const QString &text);
    // A moment after the cache was emptied: a load that was under way when
    // the engine emptied it never ends, so a page whose load began before
    // the last such moment (cacheTick) starts it again if it still runs.
    void cacheEmptied();

private:
    explicit WebProfile(QObject *parent);
    static void releaseProfile();
    void onDownloadRequested(QWebEngineDownloadRequest *request);
    void watch(QWebEngineDownloadRequest *request, Download *download);

    void applyPageSwitches();
    static void removeSiteDataIfAsked();

    QWebEngineProfile *m_profile = nullptr;
    SavePathChooser m_chooser;
    corvane::SessionLogins m_logins;
    QSet<QString> m_certificateHosts;
    bool m_javaScript = true;
    bool m_images = true;
    int m_cacheTick = 0;
    // The moments after an emptying (cacheEmptied); a new emptying begins
    // them again.
    QTimer m_cacheMoments;
    int m_cacheMoment = 0;
    bool m_askWhereToSave = false;
};
