#pragma once

#include "core/PageDialogs.h"
#include "engine/BrowserControl.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <functional>
#include <memory>
#include <optional>

class FindDialog;
class RequestInterceptor;
class QAuthenticator;
class QPrinter;
class QWebEngineCertificateError;
class QWebEngineLoadingInfo;
class QWebEngineView;
class NetworkCutoff;
class WebEnginePage;

// BrowserControl over Qt WebEngine: one QWebEngineView with a page of the
// user's persistent profile (WebProfile).
//
// How the engine's signals become the control's events:
// - every navigation start, of the top page and of each frame, arrives in
//   acceptNavigationRequest: onNavigationStarting, whose cancel refuses it. Server
//   redirects continue the navigation already started and raise nothing; a
//   script's redirect (location.replace, a refresh) is a navigation of its
//   own.
// - the top page's load start gives the status "Opening page <address>...",
//   its progress 0..100 gives onProgressChanged(p, 100); its end (also with the
//   engine's error page) gives onDocumentComplete(address, top), the status
//   "Done" and onProgressChanged(0, 0). A load that ends without a document
//   (stopped, no content, a download) gives the status "Done",
//   onProgressChanged(0, 0) and onLoadStopped.
// - each frame reports its own completion (its load event) through a script
//   that runs in every frame: onDocumentComplete(address, not top); a frame
//   whose load failed reports the address that failed.
// - a local (file:) page shows its own pictures and style sheets, from its
//   folder; its scripts read no other file and send nothing anywhere
//   (corvane::localPageMayLoad).
// - offline, nothing of the page reaches the network: the engine's own cut
//   below its cache (NetworkCutoff) lets what the cache holds show (a page
//   kept fresh by its address, any page kept by Back and Forward); ws, wss
//   and ftp are blocked, and so is everything until the cut holds (the
//   page's own loads wait for it). A load that fails offline raises
//   onOfflineLoadRefused. A refresh of a web page while offline leaves the
//   page shown as it is, since nothing newer can be had.
// - a script address ("javascript:...") typed or clicked as a link raises
//   a navigation start of its own (the engine asks for none), which may
//   refuse it, and then onLoadStopped: the page stays.
// - silent turns the pages' alert, confirm and prompt boxes off (confirm and
//   prompt answer as cancelled). The boxes (ScriptDialog) hold only the page:
//   menus, Close and Exit work while one is up; after a few from one page
//   the user may stop that page's boxes (corvane::PageDialogs).
// - a refused top-level navigation can be started again
//   (startRefusedNavigation): a popup held for the user's answer loads only
//   then, sending the referrer its opener would have sent, unless it was
//   opened without its opener (noopener, noreferrer). It goes out as a GET.
// - the page's beforeunload question (leaving by a navigation, or
//   requestClose()) becomes onLeavePageAsked; silent leaves without asking.
//   requestClose() runs the engine's close request: the page's
//   windowCloseRequested then answers Close, the question answered No
//   answers Stay. A page's own window.close() is onWindowCloseRequested.
// - a page's full-screen request (an element's requestFullscreen(), a
//   video's button) is onFullScreenRequested; it is accepted when that
//   says so.
// - a login the engine asks for goes to onLoginRequested and is answered
//   before the engine's call returns; no answer, or one without a user name,
//   cancels, and the server's own page shows.
// - a certificate error is refused unless the user let its host through
//   (goOnDespiteCertificate); the top page's load that fails on it raises
//   onCertificateError before its completion.
// - a site's permission request goes to onPermissionRequested and waits
//   for answerPermission; what is open when the control goes is answered No.
// - the end of the page's process (crashed, killed) ends the load under way
//   and raises onPageStopped.
class WebEngineControl : public BrowserControl
{
    Q_OBJECT
public:
    // parent owns the control; the widget goes wherever the view puts it.
    explicit WebEngineControl(QObject *parent = nullptr);
    ~WebEngineControl() override;

    QWidget *widget() override;
    QWebEngineView *view() const;
    QWebEnginePage *page() const;

    void navigate(const QString &url) override;
    void goBack() override;
    void goForward() override;
    void reload(ReloadLevel level = ReloadLevel::Normal) override;
    void stop() override;
    void startRefusedNavigation() override;

    void setOffline(bool offline) override;
    bool offline() const override { return m_offline; }
    void setSilent(bool silent) override { m_silent = silent; }
    bool silent() const override { return m_silent; }

    QString pageTitle() const override;
    QString pageUrl() const override;
    QIcon pageIcon() const override;
    qreal zoomFactor() const override;

    QPoint scrollPosition() const override;
    void setScrollPosition(const QPoint &pos) override;

    void runPageCommand(PageCommand command, int argument = 0) override;
    void find() override;
    void viewSource() override;
    void loadFromResource(const QString &resourcePath) override;

    // The Find dialog, once find() has opened it.
    FindDialog *findDialog() const;

    // --- leaving a page, full screen ----------------------------------------
    CloseAnswer requestClose() override;
    void exitFullScreen() override;
    bool closeRequestPending() const { return m_closeRequest != CloseRequest::None; }
    // --- answers to the page's requests ------------------------------------------------
    void answerPermission(const QString &site, corvane::SiteFeature feature, bool allowed) override;
    void goOnDespiteCertificate(const QString &url) override;
    bool hasCertificateError(const QString &address) const override;
    void printToPdf(const QString &path, std::function<void(bool)> done) override;
    void whenDrawn(std::function<void()> drawn) override;
    // The permission requests still open (site and feature), oldest first.
    QList<QPair<QString, corvane::SiteFeature>> openPermissionRequests() const;

private:
    // Calls drawn once the view has drawn again (or kPutUpMs have passed).
    void putUp(std::function<void()> drawn);
    static constexpr int kPutUpMs = 250;

    friend class WebEnginePage;
    friend class RequestInterceptor;

    bool acceptNavigation(const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame);
    // A frame's request for a redirect's target goes out: a script's
    // redirect gets its navigation start. True when that start refuses it.
    bool decideFrameRedirect(const QUrl &url, bool byScript);
    // The beforeunload question; true leaves the page.
    bool askLeavePage();
    void onWindowCloseRequested();
    void answerCloseRequest(bool mayClose);
    QWebEnginePage *createWindow(QWebEnginePage::WebWindowType type);
    // A page the engine adopted for a new window gets its interceptor again.
    void bindAdoptedPage();
    // A script address typed or clicked: raises its navigation start; false
    // when that refuses it.
    bool runScriptAddress(const QString &address, bool topLevel);
    // The page's prompt: a click on a script link when it carries the
    // marker; result tells the link whether it may run.
    bool scriptLinkClicked(const QString &message, QString *result);
    // False when the message was the frame-completion report.
    bool consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level,
                        const QString &message, int line, const QString &source);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onLoadProgress(int progress);
    void onUrlChanged(const QUrl &url);
    // The cache was emptied while this page loaded: that load never ends.
    void restartLoad();
    bool showsNetworkPage() const;
    // Offline: the engine's cut below its cache (NetworkCutoff) for this
    // page, made anew for each offline spell and for an adopted page.
    void startCutoff();
    // Runs go now, or once the cut holds while it is being made.
    void whenCutOff(std::function<void()> go);
    void print();
    void printPreview();
    void showProperties();

    // --- the page's requests -------------------------------------------------------------
    void answerLogin(const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost,
                     bool proxy);
    void onCertificateError(const QWebEngineCertificateError &error);
    // The top page's load failed on its certificate.
    void reportCertificateFailure(const QWebEngineLoadingInfo &info);
    void onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status);
    void connectPermissionRequests();
    struct PermissionRequest
    {
        QString site;
        corvane::SiteFeature feature;
        int engineFeature = 0; // what the engine called it, to match its withdrawal
        QUrl origin;
        std::function<void(bool)> answer;
    };
    void addPermissionRequest(PermissionRequest request);
    void withdrawPermissionRequest(const QUrl &origin, int engineFeature);

    QPointer<QWebEngineView> m_view;
    QPointer<WebEnginePage> m_page;
    QPointer<RequestInterceptor> m_interceptor;
    NetworkCutoff *m_cutoff = nullptr;
    QPointer<FindDialog> m_find;
    std::unique_ptr<QPrinter> m_printer;
    QString m_frameMarker;
    QString m_scriptLinkMarker;
    // whenDrawn: the page says, in its console, that its frames have reached
    // the last wait (an earlier one, never answered, is given up).
    QString m_drawnMarker;
    int m_drawWait = 0;
    std::function<void()> m_drawn;
    bool m_offline = false;
    bool m_silent = false;
    // The top-level navigation the last acceptNavigationRequest let through
    // (or refused) is yet to show up as a load start.
    bool m_expectStart = false;
    bool m_startRefused = false;
    // The load start and stop of a refused navigation are the engine's own
    // bookkeeping, not a navigation of ours.
    bool m_ignoreLoad = false;
    bool m_loading = false;
    // The address of the top-level load under way.
    QUrl m_loadUrl;
    // The profile's cacheTick as the load began, or was started again
    // (restartLoad; m_restartedUrl until the load ends).
    int m_loadTick = 0;
    QUrl m_restartedUrl;
    // A top-level navigation started and its page is not in yet: a redirect
    // now is the server's.
    bool m_topNavigationPending = false;
    // Frame redirects let through, their kind to be decided when their
    // request goes out.
    QList<QUrl> m_frameRedirects;
    // The top page's address as last reported complete.
    QUrl m_shownUrl;
    // The latest top-level navigation, when its start was refused.
    QUrl m_refusedUrl;
    // The page that opened this one (a popup): its referrer's source.
    QUrl m_openerUrl;
    // The engine adopted the page for a window a page opened, and the
    // interceptor is yet to be set on it again.
    bool m_adopted = false;
    bool m_viewSourcePending = false;
    // This window was opened by a local page, or its local page opened one.
    bool m_tiedToOtherWindow = false;
    corvane::PageDialogs m_pageDialogs;
    bool m_printing = false;
    // A close request on its way: not asked yet, or its answer due.
    enum class CloseRequest { None, Running, Answered };
    CloseRequest m_closeRequest = CloseRequest::None;
    bool m_closeAnswer = false;
    // The user was asked during the close request (the answer then waits
    // for them, not for the clock).
    bool m_leaveAsked = false;
    QTimer m_closeRequestTimer;
    static constexpr int kCloseAnswerTimeoutMs = 3000;

    // --- the page's requests -------------------------------------------------------------
    QList<PermissionRequest> m_permissionRequests;
    // The certificate error last refused, which the failing load names.
    std::optional<BrowserEvents::CertificateError> m_refusedCertificate;
    // The address whose load failed on its certificate, while it shows.
    QUrl m_certificateFailedUrl;
    std::function<void(bool)> m_pdfDone;
};
