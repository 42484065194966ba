#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The user's one persistent web profile ("Corvane"): cookies, site storage
// and the cache survive the program. Site data lives in
// $XDG_DATA_HOME/Tolvek/Corvane/WebProfile, the cache in
// $XDG_CACHE_HOME/Tolvek/Corvane/WebProfile. The profile is created on first
// use and lives until the application object goes.
//
// Downloads of every page end here: the user chooses where to save, and the
// progress, the end or the failure of each download is reported through
// downloadStatus() for the status bar.
class WebProfile : public QObject
{
    Q_OBJECT
public:
    static WebProfile *instance();

    QWebEngineProfile *profile();
    bool hasProfile() const { return m_profile != nullptr; }

    static QString storagePath();
    static QString cachePath();
    // The folder a download is first offered in.
    static QString downloadFolder();

    // --- Internet Options -------------------------------------------------------
    // Scripts and images on the pages: every page of the profile follows a
    // change at once. Kept until the profile exists when set before.
    void setJavaScriptEnabled(bool on);
    bool javaScriptEnabled() const { return m_javaScript; }
    void setImagesEnabled(bool on);
    bool imagesEnabled() const { return m_images; }
    // Empties the disk cache. The pages still loading a moment later start
    // their load again (cacheEmptied).
    void clearCache();
    // Deletes every cookie now. The sites' other data (local storage,
    // databases, service workers) is held open by the engine while it runs:
    // it goes the next time the profile starts, before any page opens.
    void clearCookiesAndSiteData();
    // Whether site data is due to go at the next start.
    static bool siteDataClearingPending();

    // Chooses the file a download is saved to; an empty result cancels the
    // download. The default asks with a save-file dialog. Replaceable for
    // tests.
    using SavePathChooser = std::function<QString(const QString &suggestedPath)>;
    void setSavePathChooser(SavePathChooser chooser) { m_chooser = std::move(chooser); }

Q_SIGNALS:
    void downloadStatus(const QString &text);
    // A moment after the cache was emptied: a load that was under way then
    // never ends, so every page still loading starts its load again.
    void cacheEmptied();

private:
    explicit WebProfile(QObject *parent);
    static void releaseProfile();
    void onDownloadRequested(QWebEngineDownloadRequest *download);
    void watch(QWebEngineDownloadRequest *download);

    void applyPageSwitches();
    static void removeSiteDataIfAsked();

    QWebEngineProfile *m_profile = nullptr;
    SavePathChooser m_chooser;
    bool m_javaScript = true;
    bool m_images = true;
};
