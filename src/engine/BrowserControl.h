#pragma once

#include "core/PageRequests.h"
#include "core/SitePermissions.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

class QWidget;
class BrowserControl;

// The events a web engine raises for the page it shows, delivered on the GUI
// thread in this order for a navigation: onNavigationStarting (top page and
// every frame), onStatusTextChanged / onTitleChanged / onProgressChanged while
// loading, onDocumentComplete (top page and every frame).
class BrowserEvents
{
public:
    virtual ~BrowserEvents() = default;

    // A navigation of the top page (topLevel) or of a frame is about to
    // start. Setting cancel stops it.
    virtual void onNavigationStarting(const QString &url, bool topLevel, bool &cancel) = 0;
    // A page asks for a new window. The handler either sets *newControl to
    // the control that is to receive the popup's navigation, or sets cancel.
    virtual void onNewWindowRequested(BrowserControl **newControl, bool &cancel) = 0;
    virtual void onStatusTextChanged(const QString &text) = 0;
    virtual void onTitleChanged(const QString &title) = 0;
    // Equal values or a maximum of 0 mean idle.
    virtual void onProgressChanged(int progress, int progressMax) = 0;
    virtual void onDocumentComplete(const QString &url, bool topLevel) = 0;

    // The view-source window the user asked for (viewSource()) is about to
    // open. Unlike a page's own popup it is not subject to the popup filter;
    // by default it is handled like any new window.
    virtual void onViewSourceWindowRequested(BrowserControl **newControl)
    {
        bool cancel = false;
        onNewWindowRequested(newControl, cancel);
        if (cancel)
            *newControl = nullptr;
    }
    // The page's scroll position changed (the user scrolled, or the page).
    virtual void onScrollPositionChanged() {}
    // The pointer rests on a link (url) or has left it (empty url).
    virtual void onLinkHovered(const QString & /*url*/) {}
    // A script of the page failed.
    virtual void onScriptError(const QString & /*message*/, int /*line*/,
                               const QString & /*source*/)
    {
    }
    // A script of the page asks to close its window (window.close()).
    virtual void onWindowCloseRequested() {}
    // The page's icon changed (a null icon: the page has none).
    virtual void onIconChanged(const QIcon & /*icon*/) {}
    // The top page's load ended without a document (the address turned out
    // to be a download, or the page or engine stopped it): the page shown
    // stays.
    virtual void onLoadStopped() {}

    // --- leaving a page, full screen ----------------------------------------
    // The page's beforeunload asks whether the user wants to leave it (a
    // navigation away or a close); true leaves. The engine's own question
    // never shows.
    virtual bool onLeavePageAsked(const QString & /*address*/) { return true; }
    // The answer to a requestClose() that was pending: the page may close,
    // or it keeps itself open.
    virtual void onCloseAnswered(bool /*mayClose*/) {}
    // The page asks to show one of its elements alone on the whole screen
    // (on), or to leave that (off): document.exitFullscreen(), a video's
    // button, or the control's exitFullScreen(). False refuses.
    virtual bool onFullScreenRequested(bool /*on*/) { return false; }
    // --- the page's requests: logins, certificates, permissions, a stopped page ---
    // A site (or a proxy) asks for a user name and password. Answered before
    // the handler returns: it fills in user and password and sets given, or
    // leaves given unset, which cancels (the server's own page shows). The
    // control never sends a login without a user name.
    struct LoginRequest
    {
        QString url;   // the address that asked
        QString host;  // the server's (or the proxy's) host, with a port that is not the scheme's
        QString realm; // what the server calls the area
        bool proxy = false;
        bool encrypted = false; // the login goes over an encrypted connection
        QString user;
        QString password;
        bool given = false;
    };
    virtual void onLoginRequested(LoginRequest & /*request*/) {}
    // The top page's load failed on the server's certificate; the page shows
    // the engine's error page until the handler shows something of its own.
    // BrowserControl::goOnDespiteCertificate lets the host through.
    struct CertificateError
    {
        QString url;
        QString host;
        int code = 0;        // the engine's network error number (-200 .. -299, -150)
        QString description; // the engine's words
        bool overridable = true;
    };
    virtual void onCertificateError(const CertificateError & /*error*/) {}
    // A site asks to use a feature. The answer goes back through
    // BrowserControl::answerPermission, now or later; the control answers No
    // to what is still open when it goes.
    virtual void onPermissionRequested(const QString & /*site*/, corvane::SiteFeature /*feature*/) {}
    // The page withdrew its request (it navigated away, say).
    virtual void onPermissionRequestCancelled(const QString & /*site*/,
                                              corvane::SiteFeature /*feature*/)
    {
    }
    // The process that showed the page ended: nothing of it shows any more.
    virtual void onPageStopped(corvane::PageStop /*how*/) {}
    // Offline mode kept the top page's load from the network; the engine's
    // own error page shows until the handler shows something of its own.
    virtual void onOfflineLoadRefused(const QString & /*url*/) {}
};

// What the program asks of a web engine. The Qt WebEngine implementation is
// WebEngineControl; tests use a fake that records operations and fires events.
class BrowserControl : public QObject
{
    Q_OBJECT
public:
    // Commands run on the page shown (runPageCommand).
    enum class PageCommand {
        Zoom,        // argument 0 (tiny) .. 4 (huge)
        Copy,
        Cut,
        Paste,
        Undo,
        Redo,
        SelectAll,
        SaveAs,
        Print,
        PrintPreview,
        Properties,
    };

    // How far a reload goes.
    enum class ReloadLevel {
        Normal,   // the cache may answer
        Complete, // everything anew from the server, bypassing the cache
    };

    explicit BrowserControl(QObject *parent = nullptr) : QObject(parent) {}
    ~BrowserControl() override = default;

    void setEvents(BrowserEvents *events) { m_events = events; }
    BrowserEvents *events() const { return m_events; }

    // The widget that shows the page.
    virtual QWidget *widget() = 0;

    virtual void navigate(const QString &url) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void reload(ReloadLevel level = ReloadLevel::Normal) = 0;
    virtual void stop() = 0;
    // Starts again the top-level navigation the latest navigation start
    // refused (a popup held for the user's answer): the same address, with
    // the referrer its opener would have sent. Nothing when the latest
    // top-level navigation was not refused.
    virtual void startRefusedNavigation() = 0;

    // Offline: no network requests. Silent: the page's own dialog boxes
    // (alert, confirm, prompt) stay away.
    virtual void setOffline(bool offline) = 0;
    virtual bool offline() const = 0;
    virtual void setSilent(bool silent) = 0;
    virtual bool silent() const = 0;

    // The title and the address of the top page shown.
    virtual QString pageTitle() const = 0;
    virtual QString pageUrl() const = 0;

    // The page's own icon; null where the page has none or the engine
    // does not give one.
    virtual QIcon pageIcon() const { return QIcon(); }

    // The page zoom in effect (1.0 = 100 %).
    virtual qreal zoomFactor() const { return 1.0; }

    // Scroll position of the page body in CSS pixels.
    virtual QPoint scrollPosition() const = 0;
    virtual void setScrollPosition(const QPoint &pos) = 0;

    virtual void runPageCommand(PageCommand command, int argument = 0) = 0;
    virtual void find() = 0;
    virtual void viewSource() = 0;
    // Shows a page held in the program's own resources (qrc path).
    virtual void loadFromResource(const QString &resourcePath) = 0;

    // --- leaving a page, full screen ----------------------------------------
    // What a page answers when asked whether it may close.
    enum class CloseAnswer {
        Close,   // it may close now
        Stay,    // it keeps itself open (the user said so)
        Pending, // the answer follows as onCloseAnswered
    };
    // Asks the page whether it may close: its beforeunload handlers run and
    // may ask the user (onLeavePageAsked). A page without such handlers, or
    // a control without a page, may close at once.
    virtual CloseAnswer requestClose() { return CloseAnswer::Close; }
    // Ends the full screen the page asked for; the page answers with
    // onFullScreenRequested(false).
    virtual void exitFullScreen() {}
    // --- answers to the page's requests ------------------------------------------------
    // Answers every open request of the site for the feature.
    virtual void answerPermission(const QString & /*site*/, corvane::SiteFeature /*feature*/,
                                  bool /*allowed*/)
    {
    }
    // Lets the address's host through in spite of its certificate, for this
    // session, and loads the address again.
    virtual void goOnDespiteCertificate(const QString & /*url*/) {}
    // The address's certificate does not hold: its load failed on it, or
    // the user let its host through. Such a page is never said to be secure.
    virtual bool hasCertificateError(const QString & /*address*/) const { return false; }
    // Writes the page as a PDF file with its text; done tells whether the
    // file was written.
    virtual void printToPdf(const QString & /*path*/, std::function<void(bool)> done)
    {
        if (done)
            done(false);
    }
    // Calls drawn once the page, as it is shown now, has been drawn: the
    // engine made a picture of it at its present size and that picture was
    // put up. Not at all when the control goes first, or when the page
    // draws nothing (no page process), or when a later call came before the
    // answer (that call's drawn is the one answered); a control that draws
    // nothing of its own calls it at once.
    virtual void whenDrawn(std::function<void()> drawn) { drawn(); }

protected:
    BrowserEvents *m_events = nullptr;
};
