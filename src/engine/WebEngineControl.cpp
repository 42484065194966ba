#include "engine/WebEngineControl.h"

#include "core/LocalPages.h"
#include "core/PopupDecision.h"
#include "core/Strings.h"
#include "core/TextRules.h"
#include "core/TextSize.h"
#include "engine/FindDialog.h"
#include "engine/NetworkCutoff.h"
#include "engine/ScriptDialog.h"
#include "engine/WebProfile.h"

#include <QCoreApplication>
#include <QAuthenticator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineFindTextResult>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineLoadingInfo>
#include <QHash>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <QtWebEngineCore/qtwebenginecoreversion.h>
#if QTWEBENGINECORE_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

#include <functional>
#include <memory>

namespace {

bool isNetworkScheme(const QString &scheme)
{
    static const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("ws"), QStringLiteral("wss"),
                                     QStringLiteral("ftp")};
    return schemes.contains(scheme.toLower());
}

bool isCacheableScheme(const QString &scheme)
{
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0
        || scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

// Reports each frame's completion (its load event) to the control through a
// console message that begins with the control's marker. It runs in a world
// of its own, out of reach of the page's scripts.
QString frameCompletionScript(const QString &marker)
{
    return QStringLiteral(
               "(function () {"
               "  if (window === window.top) return;"
               // A frame's own document (srcdoc, about:blank) starts no
               // navigation, so it ends none either.
               "  if (location.protocol === 'about:') return;"
               // A frame whose load failed shows the engine's error page,
               // whose data names the address that failed.
               "  function address() {"
               "    if (location.protocol !== 'chrome-error:') return location.href;"
               "    var data = Array.prototype.map.call(document.scripts,"
               "                                        function (s) { return s.textContent; }).join(' ');"
               "    var found = /\"failedUrl\":(\"(?:[^\"\\\\]|\\\\.)*\")/.exec(data);"
               "    try { if (found) return JSON.parse(found[1]); } catch (e) {}"
               "    return location.href;"
               "  }"
               "  function done() { console.log(%1 + address()); }"
               "  if (document.readyState === 'complete') done();"
               "  else window.addEventListener('load', done, { once: true });"
               "})();")
        .arg(QLatin1Char('\'') + marker + QLatin1Char('\''));
}

// Reports a click on a script link (href "javascript:...") to the control
// before the script runs, through a prompt with the control's marker, which
// the control answers at once: its navigation start may refuse the script
// (the script-close test), and the click then does nothing. It runs in every
// frame, in a world of its own.
QString scriptLinkScript(const QString &marker)
{
    return QStringLiteral(
               "(function () {"
               "  window.addEventListener('click', function (event) {"
               "    if (event.defaultPrevented || event.button !== 0) return;"
               "    var path = event.composedPath ? event.composedPath() : [event.target];"
               "    for (var i = 0; i < path.length; ++i) {"
               "      var node = path[i];"
               "      if (!node.tagName || !/^(a|area)$/i.test(node.tagName) || !node.hasAttribute('href'))"
               "        continue;"
               "      var href = node.getAttribute('href').trim();"
               "      if (!/^javascript:/i.test(href)) return;"
               "      if (window.prompt(%1 + (window === window.top ? '1' : '0') + href) === 'refused')"
               "        event.preventDefault();"
               "      return;"
               "    }"
               "  });"
               "})();")
        .arg(QLatin1Char('\'') + marker + QLatin1Char('\''));
}

QString protocolText(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http"))
        return QStringLiteral("HyperText Transfer Protocol");
    if (scheme == QLatin1String("https"))
        return QStringLiteral("HyperText Transfer Protocol with Privacy");
    if (scheme == QLatin1String("file"))
        return QStringLiteral("File Protocol");
    if (scheme == QLatin1String("ftp"))
        return QStringLiteral("File Transfer Protocol");
    if (scheme == QLatin1String("qrc") || scheme == QLatin1String(corvane::kOwnPageScheme))
        return QStringLiteral("Corvane resource");
    if (scheme.isEmpty())
        return QStringLiteral("Unknown Protocol");
    return scheme.toUpper() + QStringLiteral(" Protocol");
}

corvane::RequestKind requestKind(QWebEngineUrlRequestInfo::ResourceType type)
{
    using Info = QWebEngineUrlRequestInfo;
    using corvane::RequestKind;
    switch (type) {
    case Info::ResourceTypeMainFrame: return RequestKind::TopPage;
    case Info::ResourceTypeSubFrame: return RequestKind::Frame;
    case Info::ResourceTypeStylesheet: return RequestKind::Stylesheet;
    case Info::ResourceTypeScript: return RequestKind::Script;
    case Info::ResourceTypeImage:
    case Info::ResourceTypeFavicon: return RequestKind::Image;
    case Info::ResourceTypeFontResource: return RequestKind::Font;
    case Info::ResourceTypeMedia: return RequestKind::Media;
    case Info::ResourceTypeObject:
    case Info::ResourceTypePluginResource: return RequestKind::Object;
    case Info::ResourceTypeXhr: return RequestKind::Fetch;
    case Info::ResourceTypePing:
    case Info::ResourceTypeCspReport: return RequestKind::Ping;
    case Info::ResourceTypeWebSocket: return RequestKind::WebSocket;
    case Info::ResourceTypeWorker:
    case Info::ResourceTypeSharedWorker:
    case Info::ResourceTypeServiceWorker: return RequestKind::Worker;
    case Info::ResourceTypePrefetch: return RequestKind::Prefetch;
    default: return RequestKind::Other;
    }
}

// A server as the user knows it: its host, and its port when the address
// names one.
QString hostText(const QUrl &url)
{
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

} // namespace

// The requests of one page, on their way out (the engine calls it on the
// GUI thread):
// - a frame's redirect whose kind was left open at its navigation request is
//   decided here: the engine marks a script's redirect as one, while the
//   target of a server's redirect keeps the navigation type of the request
//   that was redirected;
// - what a local (file:) page may load is core's rule (localPageMayLoad): a
//   request belongs to a local page when its top page (the first party) is
//   a file, or a file page started it (a blank window it opened inherits
//   its origin);
// - offline, nothing goes to the network.
class RequestInterceptor : public QWebEngineUrlRequestInterceptor
{
public:
    RequestInterceptor(WebEngineControl *control, QObject *parent)
        : QWebEngineUrlRequestInterceptor(parent), m_control(control)
    {
    }
    bool offline = false;
    // Offline with the engine's own cut below its cache in place: web pages
    // go to the engine, which answers from the cache or fails them. Sockets
    // and ftp are never cached and stay blocked here.
    bool throughCache = false;
    // The referrer the next top-level request for this address carries.
    QUrl referredUrl;
    QByteArray referrer;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!referrer.isEmpty() && info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
            && info.requestUrl() == referredUrl) {
            info.setHttpHeader(QByteArrayLiteral("Referer"), referrer);
            referrer.clear();
        }
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame && m_control
            && m_control->decideFrameRedirect(info.requestUrl(),
                                              info.navigationType()
                                                  == QWebEngineUrlRequestInfo::NavigationTypeRedirect)) {
            info.block(true);
            return;
        }
        const QUrl firstParty = info.firstPartyUrl();
        const bool localPage = firstParty.isLocalFile() || info.initiator().scheme() == QLatin1String("file");
        if (localPage) {
            const QUrl url = info.requestUrl();
            corvane::LocalPageRequest request;
            request.kind = requestKind(info.resourceType());
            request.scheme = url.scheme().toLower().toStdString();
            if (url.isLocalFile())
                request.path = QFile::encodeName(url.toLocalFile()).toStdString();
            if (firstParty.isLocalFile())
                request.pagePath = QFile::encodeName(firstParty.toLocalFile()).toStdString();
            request.byPage = !info.initiator().isEmpty();
            request.tiedToOtherWindow = m_control && m_control->m_tiedToOtherWindow;
            if (!corvane::localPageMayLoad(request)) {
                info.block(true);
                return;
            }
        }
        if (offline && isNetworkScheme(info.requestUrl().scheme())
            && !(throughCache && isCacheableScheme(info.requestUrl().scheme())))
            info.block(true);
    }

private:
    QPointer<WebEngineControl> m_control;
};

class WebEnginePage : public QWebEnginePage
{
public:
    WebEnginePage(WebEngineControl *control, QObject *parent)
        : QWebEnginePage(WebProfile::instance()->profile(), parent), m_control(control)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        return m_control ? m_control->acceptNavigation(url, type, isMainFrame) : true;
    }
    QWebEnginePage *createWindow(WebWindowType type) override
    {
        return m_control ? m_control->createWindow(type) : nullptr;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int line, const QString &source) override
    {
        if (!m_control || m_control->consoleMessage(level, message, line, source))
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
    }
    void javaScriptAlert(const QUrl &origin, const QString &message) override
    {
        runDialog(ScriptDialog::Kind::Alert, origin, message, QString(), nullptr);
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &message) override
    {
        // The engine asks its beforeunload question as a confirm of this
        // text of its own.
        if (message == leavePageText())
            return !m_control || m_control->askLeavePage();
        return runDialog(ScriptDialog::Kind::Confirm, origin, message, QString(), nullptr);
    }
    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                          QString *result) override
    {
        if (m_control && m_control->scriptLinkClicked(message, result))
            return true;
        return runDialog(ScriptDialog::Kind::Prompt, origin, message, defaultValue, result);
    }

public:
    // A box of the page is up (its event loop runs inside the engine's call).
    bool dialogUp() const { return m_dialogsUp > 0; }
    // The window went while a box was up: the page goes once the box's
    // call has returned to the engine, never inside it.
    void orphan() { m_orphaned = true; }

private:
    bool silent() const { return m_control && m_control->silent(); }
    static QString leavePageText()
    {
        return QCoreApplication::translate(
            "QWebEnginePage",
            "Are you sure you want to leave this page? Changes that you made may not be saved.");
    }

    // Silent, or the page's boxes stopped: an alert returns at once, a
    // confirm and a prompt answer as cancelled.
    bool runDialog(ScriptDialog::Kind kind, const QUrl &origin, const QString &message,
                   const QString &defaultText, QString *result)
    {
        if (!m_control || silent() || !m_control->m_pageDialogs.mayShow())
            return false;
        const bool offerStop = m_control->m_pageDialogs.offersStop();
        ++m_dialogsUp;
        const ScriptDialog::Answer answer = ScriptDialog::ask(this, m_control->view(), kind, origin.host(),
                                                              message, defaultText, offerStop);
        --m_dialogsUp;
        if (m_orphaned) {
            if (m_dialogsUp == 0)
                deleteLater();
            return false;
        }
        if (m_control)
            m_control->m_pageDialogs.answered(answer.stopDialogs);
        if (answer.accepted && result)
            *result = answer.text;
        return answer.accepted;
    }

    QPointer<WebEngineControl> m_control;
    int m_dialogsUp = 0;
    bool m_orphaned = false;
};

WebEngineControl::WebEngineControl(QObject *parent)
    : BrowserControl(parent),
      m_frameMarker(QStringLiteral("\x01corvane-frame-complete:%1:")
                        .arg(QUuid::createUuid().toString(QUuid::WithoutBraces))),
      m_scriptLinkMarker(QStringLiteral("corvane-script-link:%1:")
                             .arg(QUuid::createUuid().toString(QUuid::WithoutBraces))),
      m_drawnMarker(QStringLiteral("\x01corvane-drawn:%1:")
                        .arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
{
    m_view = new QWebEngineView;
    // The control owns the page (not the view): a page whose box is up when
    // the window goes must outlive the view.
    m_page = new WebEnginePage(this, this);
    m_interceptor = new RequestInterceptor(this, m_page);
    m_page->setUrlRequestInterceptor(m_interceptor);
    m_closeRequestTimer.setSingleShot(true);
    connect(&m_closeRequestTimer, &QTimer::timeout, this, [this] {
        if (m_closeRequest == CloseRequest::Running && !m_leaveAsked)
            answerCloseRequest(true);
    });
    // A local page loads nothing from the web (the engine's own rule), and
    // may load local files at all, so that its own pictures show: which ones
    // the interceptor decides. (Access to remote addresses would give its
    // scripts every site's answers, whatever the site allows.)
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);

    QWebEngineScript frames;
    frames.setName(QStringLiteral("corvane-frame-complete"));
    frames.setInjectionPoint(QWebEngineScript::DocumentReady);
    frames.setWorldId(QWebEngineScript::ApplicationWorld);
    frames.setRunsOnSubFrames(true);
    frames.setSourceCode(frameCompletionScript(m_frameMarker));
    m_page->scripts().insert(frames);
    QWebEngineScript scriptLinks;
    scriptLinks.setName(QStringLiteral("corvane-script-links"));
    scriptLinks.setInjectionPoint(QWebEngineScript::DocumentCreation);
    scriptLinks.setWorldId(QWebEngineScript::ApplicationWorld);
    scriptLinks.setRunsOnSubFrames(true);
    scriptLinks.setSourceCode(scriptLinkScript(m_scriptLinkMarker));
    m_page->scripts().insert(scriptLinks);
    m_view->setPage(m_page);

    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebEngineControl::onLoadingChanged);
    connect(m_page, &QWebEnginePage::loadProgress, this, &WebEngineControl::onLoadProgress);
    connect(m_page, &QWebEnginePage::urlChanged, this, &WebEngineControl::onUrlChanged);
    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString &title) {
        if (m_events)
            m_events->onTitleChanged(title);
    });
    connect(m_page, &QWebEnginePage::iconChanged, this, [this](const QIcon &icon) {
        if (m_events)
            m_events->onIconChanged(icon);
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, [this](const QString &url) {
        if (m_events)
            m_events->onLinkHovered(url);
    });
    connect(m_page, &QWebEnginePage::scrollPositionChanged, this, [this] {
        if (m_events)
            m_events->onScrollPositionChanged();
    });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &WebEngineControl::onWindowCloseRequested);
    // Full screen: the page asks, the view decides.
    m_page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(m_page, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                if (m_events && m_events->onFullScreenRequested(request.toggleOn()))
                    request.accept();
                else
                    request.reject();
            });
    // window.print() of the page.
    connect(m_view, &QWebEngineView::printRequested, this, &WebEngineControl::print);
    connect(m_view, &QWebEngineView::printFinished, this, [this] { m_printing = false; });
    connect(WebProfile::instance(), &WebProfile::cacheEmptied, this, &WebEngineControl::restartLoad);

    // The page's requests.
    connect(m_page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator) {
                answerLogin(url, authenticator, QString(), false);
            });
    connect(m_page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost) {
                answerLogin(url, authenticator, proxyHost, true);
            });
    connect(m_page, &QWebEnginePage::certificateError, this, &WebEngineControl::onCertificateError);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRenderProcessTerminated(status);
            });
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this, [this](const QString &, bool ok) {
        m_printing = false;
        const std::function<void(bool)> done = std::move(m_pdfDone);
        m_pdfDone = nullptr;
        if (done)
            done(ok);
    });
    connectPermissionRequests();
}

WebEngineControl::~WebEngineControl()
{
    delete std::exchange(m_cutoff, nullptr);
    // Nothing the page asked is left open: what nobody answered is No.
    const QList<PermissionRequest> open = std::exchange(m_permissionRequests, {});
    for (const PermissionRequest &request : open)
        request.answer(false);
    // The engine is inside the page's call while one of its boxes is up:
    // the page goes once that call has returned.
    if (m_page && m_page->dialogUp()) {
        m_page->setParent(nullptr);
        m_page->orphan();
    } else {
        delete m_page;
    }
    // A widget nobody took in is ours to delete.
    if (m_view && !m_view->parent())
        delete m_view;
    delete m_find;
}

QWidget *WebEngineControl::widget()
{
    return m_view;
}

QWebEngineView *WebEngineControl::view() const
{
    return m_view;
}

QWebEnginePage *WebEngineControl::page() const
{
    return m_page;
}

FindDialog *WebEngineControl::findDialog() const
{
    return m_find;
}

void WebEngineControl::navigate(const QString &url)
{
    if (!m_page)
        return;
    const QString text = url.trimmed();
    if (corvane::isScriptAddress(text.toStdString())) {
        if (runScriptAddress(text, true) && m_page)
            m_page->load(QUrl(text));
        if (m_events)
            m_events->onLoadStopped();
        return;
    }
    const QUrl target = text.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromUserInput(text);
    whenCutOff([this, target] { m_page->load(target); });
}

void WebEngineControl::whenCutOff(std::function<void()> go)
{
    // Offline, a load waits for the engine's cut to hold, so that what the
    // cache has for it shows (a window restored offline, say).
    if (m_offline && m_cutoff && m_cutoff->state() == NetworkCutoff::State::Starting) {
        const QPointer<WebEngineControl> self(this);
        m_cutoff->whenSettled([self, go] {
            if (self && self->m_page)
                go();
        });
        return;
    }
    go();
}

void WebEngineControl::startCutoff()
{
    delete std::exchange(m_cutoff, nullptr);
    if (m_interceptor)
        m_interceptor->throughCache = false;
    if (!m_page)
        return;
    m_cutoff = new NetworkCutoff(m_page, this);
    connect(m_cutoff, &NetworkCutoff::settled, this, [this](bool holds) {
        if (m_interceptor)
            m_interceptor->throughCache = holds && m_offline;
    });
}

bool WebEngineControl::runScriptAddress(const QString &address, bool topLevel)
{
    // The engine runs a script address in the page shown without a
    // navigation request of its own: its start is raised here.
    bool cancel = false;
    if (m_events)
        m_events->onNavigationStarting(address, topLevel, cancel);
    return !cancel;
}

bool WebEngineControl::scriptLinkClicked(const QString &message, QString *result)
{
    if (!message.startsWith(m_scriptLinkMarker))
        return false;
    const QString rest = message.mid(m_scriptLinkMarker.size());
    // A link's script runs in its page once the click is over; the page
    // stays.
    const bool go = runScriptAddress(rest.mid(1), rest.startsWith(QLatin1Char('1')));
    if (m_events)
        m_events->onLoadStopped();
    *result = go ? QStringLiteral("go") : QStringLiteral("refused");
    return true;
}

void WebEngineControl::goBack()
{
    if (m_page)
        whenCutOff([this] { m_page->triggerAction(QWebEnginePage::Back); });
}

void WebEngineControl::goForward()
{
    if (m_page)
        whenCutOff([this] { m_page->triggerAction(QWebEnginePage::Forward); });
}

bool WebEngineControl::showsNetworkPage() const
{
    return m_page && isNetworkScheme(m_page->url().scheme());
}

void WebEngineControl::reload(ReloadLevel level)
{
    if (!m_page || (m_offline && showsNetworkPage()))
        return;
    m_page->triggerAction(level == ReloadLevel::Complete ? QWebEnginePage::ReloadAndBypassCache
                                                         : QWebEnginePage::Reload);
}

void WebEngineControl::stop()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::Stop);
}

void WebEngineControl::startRefusedNavigation()
{
    if (!m_page || !m_refusedUrl.isValid())
        return;
    const QUrl url = std::exchange(m_refusedUrl, QUrl());
    const QByteArray referrer = QByteArray::fromStdString(corvane::openerReferrer(
        m_openerUrl.toString().toStdString(), url.toString().toStdString()));
    if (referrer.isEmpty()) {
        whenCutOff([this, url] { m_page->load(url); });
        return;
    }
    // A window opened without its opener (noopener, noreferrer) sends no
    // referrer: its page is asked first. Should the page not answer, the
    // navigation goes out all the same, without one.
    const QPointer<WebEngineControl> self(this);
    auto go = std::make_shared<std::function<void(bool)>>([self, url, referrer](bool withReferrer) {
        if (!self || !self->m_page)
            return;
        if (withReferrer && self->m_interceptor) {
            self->m_interceptor->referredUrl = url;
            self->m_interceptor->referrer = referrer;
        }
        self->whenCutOff([self, url] { self->m_page->load(url); });
    });
    auto once = [go](bool withReferrer) {
        if (auto f = std::exchange(*go, nullptr))
            f(withReferrer);
    };
    m_page->runJavaScript(QStringLiteral("window.opener !== null"), QWebEngineScript::ApplicationWorld,
                          [once](const QVariant &hasOpener) { once(hasOpener.toBool()); });
    QTimer::singleShot(1000, this, [once] { once(false); });
}

void WebEngineControl::setOffline(bool offline)
{
    if (offline == m_offline)
        return;
    m_offline = offline;
    if (m_interceptor) {
        m_interceptor->offline = offline;
        m_interceptor->throughCache = false;
    }
    if (offline) {
        startCutoff();
        return;
    }
    // Online again: the loads that waited for the cut go out now.
    std::vector<std::function<void()>> waiting;
    if (m_cutoff)
        waiting = m_cutoff->takeWaiting();
    delete std::exchange(m_cutoff, nullptr);
    for (const auto &go : waiting)
        go();
}

QString WebEngineControl::pageTitle() const
{
    return m_page ? m_page->title() : QString();
}

QString WebEngineControl::pageUrl() const
{
    return m_page ? m_page->url().toString() : QString();
}

QIcon WebEngineControl::pageIcon() const
{
    return m_page ? m_page->icon() : QIcon();
}

qreal WebEngineControl::zoomFactor() const
{
    return m_page ? m_page->zoomFactor() : 1.0;
}

QPoint WebEngineControl::scrollPosition() const
{
    if (!m_page)
        return {};
    // The engine gives zoomed pixels; the page body counts CSS pixels.
    const QPointF zoomed = m_page->scrollPosition();
    const qreal zoom = m_page->zoomFactor() > 0 ? m_page->zoomFactor() : 1.0;
    return QPoint(qRound(zoomed.x() / zoom), qRound(zoomed.y() / zoom));
}

void WebEngineControl::setScrollPosition(const QPoint &pos)
{
    if (m_page)
        m_page->runJavaScript(QStringLiteral("window.scrollTo(%1, %2);").arg(pos.x()).arg(pos.y()),
                              QWebEngineScript::ApplicationWorld);
}

void WebEngineControl::runPageCommand(PageCommand command, int argument)
{
    if (!m_page)
        return;
    switch (command) {
    case PageCommand::Zoom:
        m_page->setZoomFactor(corvane::zoomFactorForArgument(argument));
        break;
    case PageCommand::Copy:
    case PageCommand::Cut:
    case PageCommand::Paste:
    case PageCommand::Undo:
    case PageCommand::Redo:
    case PageCommand::SelectAll:
    case PageCommand::SaveAs: {
        // Save As arrives as a download of the page (WebProfile asks where to).
        static const QHash<PageCommand, QWebEnginePage::WebAction> actions = {
            {PageCommand::Copy, QWebEnginePage::Copy},
            {PageCommand::Cut, QWebEnginePage::Cut},
            {PageCommand::Paste, QWebEnginePage::Paste},
            {PageCommand::Undo, QWebEnginePage::Undo},
            {PageCommand::Redo, QWebEnginePage::Redo},
            {PageCommand::SelectAll, QWebEnginePage::SelectAll},
            {PageCommand::SaveAs, QWebEnginePage::SavePage},
        };
        m_page->triggerAction(actions.value(command));
        break;
    }
    case PageCommand::Print:
        print();
        break;
    case PageCommand::PrintPreview:
        printPreview();
        break;
    case PageCommand::Properties:
        showProperties();
        break;
    }
}

void WebEngineControl::find()
{
    if (!m_view)
        return;
    if (!m_find) {
        m_find = new FindDialog(m_view->window());
        connect(m_find, &FindDialog::findNext, this,
                [this](const QString &text, bool matchCase, bool searchUp) {
                    if (!m_page)
                        return;
                    QWebEnginePage::FindFlags flags;
                    if (matchCase)
                        flags |= QWebEnginePage::FindCaseSensitively;
                    if (searchUp)
                        flags |= QWebEnginePage::FindBackward;
                    QPointer<FindDialog> dialog = m_find;
                    m_page->findText(text, flags,
                                     [dialog, text](const QWebEngineFindTextResult &result) {
                                         if (dialog)
                                             dialog->showResult(text, result.numberOfMatches());
                                     });
                });
        // Closing the dialog takes the highlight off the page.
        connect(m_find, &QDialog::finished, this, [this] {
            if (m_page)
                m_page->findText(QString());
        });
    }
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void WebEngineControl::viewSource()
{
    if (!m_page)
        return;
    // The engine opens the source through a new-window request of its own.
    m_viewSourcePending = true;
    m_page->triggerAction(QWebEnginePage::ViewSource);
}

void WebEngineControl::loadFromResource(const QString &resourcePath)
{
    QString path = resourcePath;
    if (path.startsWith(QLatin1String("qrc:")))
        path = path.mid(4);
    else if (path.startsWith(QLatin1Char(':')))
        path = path.mid(1);
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    navigate(QStringLiteral("qrc:") + path);
}

// --- leaving a page, full screen ---------------------------------------------------

BrowserControl::CloseAnswer WebEngineControl::requestClose()
{
    if (!m_page)
        return CloseAnswer::Close;
    // A page inside one of its own boxes runs nothing until the box is
    // answered, so it would never answer: the box goes with the window.
    if (m_page->dialogUp())
        return CloseAnswer::Close;
    if (m_closeRequest == CloseRequest::None) {
        m_closeRequest = CloseRequest::Running;
        m_leaveAsked = false;
        // The engine runs the page's beforeunload; its answer may come
        // before this returns (a page without a renderer). A page that
        // answers nothing in time (its script busy for good, its process
        // gone) may close, unless it is asking the user.
        m_closeRequestTimer.start(kCloseAnswerTimeoutMs);
        m_page->triggerAction(QWebEnginePage::RequestClose);
    }
    if (m_closeRequest == CloseRequest::Answered) {
        m_closeRequest = CloseRequest::None;
        return m_closeAnswer ? CloseAnswer::Close : CloseAnswer::Stay;
    }
    return CloseAnswer::Pending;
}

void WebEngineControl::exitFullScreen()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::ExitFullScreen);
}

bool WebEngineControl::askLeavePage()
{
    // Silent: the page's dialogs stay away, and the page does not hold the
    // user back.
    const bool asking = !m_silent && m_events;
    if (asking)
        m_leaveAsked = true;
    bool leave = !asking || m_events->onLeavePageAsked(pageUrl());
    if (!leave && m_closeRequest == CloseRequest::Running)
        answerCloseRequest(false);
    return leave;
}

void WebEngineControl::onWindowCloseRequested()
{
    // The answer to our close request, or the page's own window.close().
    if (m_closeRequest == CloseRequest::Running) {
        answerCloseRequest(true);
        return;
    }
    if (m_events)
        m_events->onWindowCloseRequested();
}

void WebEngineControl::answerCloseRequest(bool mayClose)
{
    m_closeRequestTimer.stop();
    m_closeAnswer = mayClose;
    m_closeRequest = CloseRequest::Answered;
    // Given once the engine's event is over: the window may close on it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_closeRequest != CloseRequest::Answered)
                return; // requestClose() took it at once
            m_closeRequest = CloseRequest::None;
            if (m_events)
                m_events->onCloseAnswered(m_closeAnswer);
        },
        Qt::QueuedConnection);
}

// --- engine signals -----------------------------------------------------------

bool WebEngineControl::acceptNavigation(const QUrl &url, QWebEnginePage::NavigationType type,
                                        bool isMainFrame)
{
    // The engine calls a server's redirect and a script's (location.replace,
    // a refresh) both a redirect. A server's goes on with the navigation
    // that started; a script's is a navigation of its own. The top page's
    // script can only run once its document is in: while the navigation
    // that started has not yet shown its page, the redirect is the server's.
    // A frame's is decided when its request goes out (decideFrameRedirect).
    if (type == QWebEnginePage::NavigationTypeRedirect) {
        bindAdoptedPage();
        if (!isMainFrame) {
            m_frameRedirects.append(url.adjusted(QUrl::RemoveFragment));
            return true;
        }
        if (m_topNavigationPending)
            return true;
    }
    bindAdoptedPage();
    bool cancel = false;
    if (m_events)
        m_events->onNavigationStarting(url.toString(), isMainFrame, cancel);
    if (isMainFrame) {
        m_viewSourcePending = false;
        m_frameRedirects.clear();
        m_refusedCertificate.reset();
        m_topNavigationPending = !cancel;
        m_refusedUrl = cancel ? url : QUrl();
        // A script's redirect while the page loads replaces that load: no
        // load start of its own follows.
        if (type != QWebEnginePage::NavigationTypeRedirect || !m_loading) {
            m_expectStart = true;
            m_startRefused = cancel;
        }
    }
    return !cancel;
}

bool WebEngineControl::decideFrameRedirect(const QUrl &url, bool byScript)
{
    const qsizetype at = m_frameRedirects.indexOf(url.adjusted(QUrl::RemoveFragment));
    if (at < 0)
        return false;
    m_frameRedirects.removeAt(at);
    if (!byScript || !m_events)
        return false;
    bool cancel = false;
    m_events->onNavigationStarting(url.toString(), false, cancel);
    return cancel;
}

void WebEngineControl::restartLoad()
{
    // Only a load begun before the last moment after the emptying: one
    // begun since is answered as usual. The load started again counts as
    // begun now, so the next moment starts it again if it hangs too.
    const int tick = WebProfile::instance()->cacheTick();
    if (!m_page || !m_loading || !m_loadUrl.isValid() || m_loadTick >= tick)
        return;
    m_loadTick = tick;
    m_restartedUrl = m_loadUrl;
    m_page->load(m_loadUrl);
}

void WebEngineControl::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    const QString address = info.url().toString();
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus: {
        bool refused = false;
        if (m_expectStart) {
            refused = m_startRefused;
        } else if (m_events) {
            // A load the engine starts without a navigation request
            // (about:blank, a document written by script) is a navigation all
            // the same.
            m_events->onNavigationStarting(address, true, refused);
            if (refused && m_page)
                m_page->triggerAction(QWebEnginePage::Stop);
        }
        m_expectStart = false;
        m_startRefused = false;
        m_ignoreLoad = refused;
        if (refused)
            return;
        m_loading = true;
        m_loadUrl = info.url();
        // The engine may or may not announce a load it started again.
        if (std::exchange(m_restartedUrl, QUrl()) != m_loadUrl)
            m_loadTick = WebProfile::instance()->cacheTick();
        m_certificateFailedUrl.clear();
        if (m_events) {
            m_events->onStatusTextChanged(QStringLiteral("Opening page %1...").arg(address));
            m_events->onProgressChanged(0, 100);
        }
        break;
    }
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        m_topNavigationPending = false;
        if (m_ignoreLoad) {
            m_ignoreLoad = false;
            return;
        }
        m_loading = false;
        // Stopped, no content, a download: the load is over all the same.
        if (m_events)
            m_events->onStatusTextChanged(QStringLiteral("Done"));
        if (m_events)
            m_events->onProgressChanged(0, 0);
        if (m_events)
            m_events->onLoadStopped();
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
        // A failed load ends in the engine's error page, with the usual end.
        m_topNavigationPending = false;
        m_ignoreLoad = false;
        m_loading = false;
        m_restartedUrl.clear();
        m_shownUrl = info.url();
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus
            && info.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain)
            reportCertificateFailure(info);
        else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && m_offline
                 && isNetworkScheme(info.url().scheme()) && m_events)
            m_events->onOfflineLoadRefused(info.url().toString());
        if (m_events)
            m_events->onDocumentComplete(address, true);
        if (m_events)
            m_events->onStatusTextChanged(QStringLiteral("Done"));
        if (m_events)
            m_events->onProgressChanged(0, 0);
        break;
    }
}

void WebEngineControl::onUrlChanged(const QUrl &url)
{
    // The page's boxes count by site.
    m_pageDialogs.siteShown(url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment
                                         | QUrl::RemoveUserInfo)
                                .toString()
                                .toStdString());
    // The top page's document is in: what redirects now is its script.
    m_topNavigationPending = false;
    // An in-page navigation (an anchor, the history API) loads nothing: it
    // starts and completes at once, so the address box and the log follow it.
    if (m_loading || m_expectStart || !m_events || url.isEmpty() || url == m_shownUrl
        || m_shownUrl.isEmpty())
        return;
    m_shownUrl = url;
    bool cancel = false;
    m_events->onNavigationStarting(url.toString(), true, cancel);
    if (m_events)
        m_events->onDocumentComplete(url.toString(), true);
}

void WebEngineControl::onLoadProgress(int progress)
{
    if (m_loading && m_events)
        m_events->onProgressChanged(progress, 100);
}

bool WebEngineControl::consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level,
                                      const QString &message, int line, const QString &source)
{
    if (message.startsWith(m_frameMarker)) {
        if (m_events)
            m_events->onDocumentComplete(message.mid(m_frameMarker.size()), false);
        return false;
    }
    if (message.startsWith(m_drawnMarker)) {
        bool ok = false;
        const int wait = message.mid(m_drawnMarker.size()).toInt(&ok);
        if (ok && wait == m_drawWait && m_drawn)
            putUp(std::exchange(m_drawn, nullptr));
        return false;
    }
    if (level == QWebEnginePage::ErrorMessageLevel && m_events)
        m_events->onScriptError(message, line, source);
    return true;
}

QWebEnginePage *WebEngineControl::createWindow(QWebEnginePage::WebWindowType)
{
    if (!m_events)
        return nullptr;
    BrowserControl *created = nullptr;
    bool cancel = false;
    if (m_viewSourcePending) {
        m_viewSourcePending = false;
        m_events->onViewSourceWindowRequested(&created);
    } else {
        m_events->onNewWindowRequested(&created, cancel);
    }
    if (cancel)
        return nullptr;
    auto *control = qobject_cast<WebEngineControl *>(created);
    if (!control)
        return nullptr;
    control->m_openerUrl = m_page ? m_page->url() : QUrl();
    control->m_adopted = true;
    // A local page and a window it opens are the same origin: neither shows
    // another local file at the other's bidding.
    if (m_page && (m_page->url().isLocalFile() || m_tiedToOtherWindow)) {
        m_tiedToOtherWindow = true;
        control->m_tiedToOtherWindow = true;
    }
    return control->page();
}

void WebEngineControl::bindAdoptedPage()
{
    // The engine gives a page it adopts for a new window a web contents of
    // its own, and the interceptor set on the page stays with the old one:
    // set again, it sees the popup's requests (offline, local pages, frame
    // redirects) from its first navigation on.
    if (!m_adopted || !m_page)
        return;
    m_adopted = false;
    m_page->setUrlRequestInterceptor(nullptr);
    m_page->setUrlRequestInterceptor(m_interceptor);
    // So does the cut: the old contents had it.
    if (m_offline)
        startCutoff();
}

// --- dialogs ------------------------------------------------------------------

void WebEngineControl::print()
{
    if (!m_view || m_printing)
        return;
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The window may close while a dialog of its page is up: the dialog goes
    // with the page, and nothing of the control is touched afterwards.
    const QPointer<WebEngineControl> self(this);
    const QPointer<QPrintDialog> dialog = new QPrintDialog(m_printer.get(), m_view);
    const int result = dialog->exec();
    if (!self)
        return;
    const bool accepted = dialog && result == QDialog::Accepted;
    delete dialog;
    if (!accepted || !m_view)
        return;
    // To a PDF file: the engine writes the page as it prints it, text and
    // all (a printer gets pictures of the pages).
    if (m_printer->outputFormat() == QPrinter::PdfFormat && !m_printer->outputFileName().isEmpty()) {
        const QString file = m_printer->outputFileName();
        printToPdf(file, [self, file](bool ok) {
            if (self && self->m_events)
                self->m_events->onStatusTextChanged(ok ? QStringLiteral("Printed to %1").arg(file)
                                                       : QStringLiteral("Could not print to %1").arg(file));
        });
        return;
    }
    // Printing runs on; the printer stays until printFinished.
    m_printing = true;
    m_view->print(m_printer.get());
}

void WebEngineControl::printPreview()
{
    if (!m_view || m_printing)
        return;
    QPrinter printer(QPrinter::HighResolution);
    const QPointer<QPrintPreviewDialog> preview = new QPrintPreviewDialog(&printer, m_view);
    connect(preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        const QPointer<WebEngineControl> self(this);
        const QPointer<QWebEngineView> view = m_view;
        if (!view)
            return;
        // The preview wants its pages at once; the engine prints in the
        // background and tells when it is done.
        QEventLoop wait;
        connect(view, &QWebEngineView::printFinished, &wait, &QEventLoop::quit);
        connect(view, &QObject::destroyed, &wait, &QEventLoop::quit);
        m_printing = true;
        view->print(target);
        wait.exec();
        if (self)
            m_printing = false;
    });
    preview->exec();
    delete preview;
}

void WebEngineControl::showProperties()
{
    if (!m_page)
        return;
    const QUrl url = m_page->url();
    const QPointer<QDialog> dialog = new QDialog(m_view);
    dialog->setWindowTitle(QStringLiteral("Properties"));
    auto *form = new QFormLayout;
    auto addRow = [&](const QString &label, const QString &value) {
        auto *field = new QLabel(value, dialog);
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        field->setWordWrap(true);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("Title:"), m_page->title());
    addRow(QStringLiteral("Address:"), url.toString());
    addRow(QStringLiteral("Protocol:"), protocolText(url));
    addRow(QStringLiteral("Security:"),
           QString::fromLatin1(corvane::pageSecurityText(corvane::pageSecurity(
               url.toString().toStdString(), hasCertificateError(url.toString())))));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog->resize(420, dialog->sizeHint().height());
    // Goes with the page if the window closes meanwhile.
    dialog->exec();
    delete dialog;
}

// --- the page's requests ----------------------------------------------------------------

void WebEngineControl::answerLogin(const QUrl &url, QAuthenticator *authenticator,
                                   const QString &proxyHost, bool proxy)
{
    BrowserEvents::LoginRequest request;
    request.url = url.toString();
    request.host = proxy ? proxyHost : hostText(url);
    request.realm = authenticator->realm();
    request.proxy = proxy;
    request.encrypted = !proxy && url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    // The handler may ask with a modal dialog; the control may go meanwhile,
    // the authenticator (the engine's) stays until this returns.
    if (m_events)
        m_events->onLoginRequested(request);
    if (request.given && corvane::isUsableLogin(request.user.toStdString())) {
        authenticator->setUser(request.user);
        authenticator->setPassword(request.password);
    } else {
        // An untouched authenticator cancels: the engine shows the server's
        // own page and sends nothing.
        *authenticator = QAuthenticator();
    }
}

void WebEngineControl::onCertificateError(const QWebEngineCertificateError &error)
{
    QWebEngineCertificateError answer = error;
    const QUrl url = error.url();
    if (error.isOverridable() && WebProfile::instance()->certificateErrorsAccepted(url.host())) {
        answer.acceptCertificate();
        return;
    }
    BrowserEvents::CertificateError refused;
    refused.url = url.toString();
    refused.host = url.host();
    refused.code = int(error.type());
    refused.description = error.description();
    refused.overridable = error.isOverridable();
    m_refusedCertificate = refused;
    answer.rejectCertificate();
}

void WebEngineControl::reportCertificateFailure(const QWebEngineLoadingInfo &info)
{
    m_certificateFailedUrl = info.url();
    BrowserEvents::CertificateError error;
    if (m_refusedCertificate) {
        error = *m_refusedCertificate;
    } else {
        error.url = info.url().toString();
        error.host = info.url().host();
        error.code = info.errorCode() > 0 ? -info.errorCode() : info.errorCode();
        error.description = info.errorString();
    }
    // The failing address is the one the page shows (a server's redirect
    // to it included).
    error.url = info.url().toString();
    error.host = info.url().host();
    m_refusedCertificate.reset();
    if (m_events)
        m_events->onCertificateError(error);
}

void WebEngineControl::goOnDespiteCertificate(const QString &url)
{
    const QUrl address(url);
    WebProfile::instance()->acceptCertificateErrors(address.host());
    if (m_page)
        m_page->load(address);
}

bool WebEngineControl::hasCertificateError(const QString &address) const
{
    const QUrl url(address);
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
        return false;
    return (!m_certificateFailedUrl.isEmpty() && url == m_certificateFailedUrl)
           || WebProfile::instance()->certificateErrorsAccepted(url.host());
}

void WebEngineControl::onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // A load under way ends with the process: nothing more comes of it.
    const bool wasLoading = m_loading || m_expectStart;
    m_loading = false;
    m_expectStart = false;
    m_startRefused = false;
    m_ignoreLoad = false;
    m_topNavigationPending = false;
    m_frameRedirects.clear();
    if (!m_events)
        return;
    if (wasLoading) {
        m_events->onStatusTextChanged(QStringLiteral("Done"));
        if (m_events)
            m_events->onProgressChanged(0, 0);
    }
    corvane::PageStop how = corvane::PageStop::Abnormal;
    if (status == QWebEnginePage::CrashedTerminationStatus)
        how = corvane::PageStop::Crashed;
    else if (status == QWebEnginePage::KilledTerminationStatus)
        how = corvane::PageStop::Killed;
    if (m_events)
        m_events->onPageStopped(how);
}

void WebEngineControl::printToPdf(const QString &path, std::function<void(bool)> done)
{
    if (!m_page || m_printing) {
        if (done)
            done(false);
        return;
    }
    m_printing = true;
    m_pdfDone = std::move(done);
    // The page size, orientation and margins the user chose for printing.
    const QPageLayout layout = m_printer ? m_printer->pageLayout()
                                         : QPrinter(QPrinter::HighResolution).pageLayout();
    m_page->printToPdf(path, layout);
}

void WebEngineControl::whenDrawn(std::function<void()> drawn)
{
    if (!m_page || !drawn)
        return;
    // A page's animation frames run only while it is shown, each as the
    // engine makes a picture of it: once a second one has begun, the first
    // picture at its present size is on its way to the view.
    m_drawn = std::move(drawn);
    const QString said = m_drawnMarker + QString::number(++m_drawWait);
    m_page->runJavaScript(
        QStringLiteral("requestAnimationFrame(function () { requestAnimationFrame(function () { "
                       "console.log('%1'); }); });")
            .arg(said),
        QWebEngineScript::ApplicationWorld);
}

void WebEngineControl::putUp(std::function<void()> drawn)
{
    // The view draws the engine's picture with the scene graph of its own
    // widget; the next drawing there after the page's word puts it up. Where
    // none comes (nothing changed to draw), a moment does.
    auto *surface = m_view ? m_view->findChild<QQuickWidget *>() : nullptr;
    if (!surface || !surface->quickWindow()) {
        drawn();
        return;
    }
    auto once = std::make_shared<std::function<void()>>(std::move(drawn));
    auto fire = [once] {
        if (*once)
            std::exchange(*once, nullptr)();
    };
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(surface->quickWindow(), &QQuickWindow::afterRendering, this,
                          [fire, connection] {
                              QObject::disconnect(*connection);
                              fire();
                          },
                          Qt::QueuedConnection);
    QTimer::singleShot(kPutUpMs, this, [fire, connection] {
        QObject::disconnect(*connection);
        fire();
    });
}

// --- permissions --------------------------------------------------------------------------

QList<QPair<QString, corvane::SiteFeature>> WebEngineControl::openPermissionRequests() const
{
    QList<QPair<QString, corvane::SiteFeature>> open;
    for (const PermissionRequest &request : m_permissionRequests)
        open.append({request.site, request.feature});
    return open;
}

void WebEngineControl::addPermissionRequest(PermissionRequest request)
{
    const QString site = request.site;
    const corvane::SiteFeature feature = request.feature;
    m_permissionRequests.append(std::move(request));
    if (m_events)
        m_events->onPermissionRequested(site, feature);
}

void WebEngineControl::answerPermission(const QString &site, corvane::SiteFeature feature, bool allowed)
{
    QList<PermissionRequest> answered;
    for (auto it = m_permissionRequests.begin(); it != m_permissionRequests.end();) {
        if (it->site == site && it->feature == feature) {
            answered.append(std::move(*it));
            it = m_permissionRequests.erase(it);
        } else {
            ++it;
        }
    }
    for (const PermissionRequest &request : answered)
        request.answer(allowed);
}

void WebEngineControl::withdrawPermissionRequest(const QUrl &origin, int engineFeature)
{
    for (auto it = m_permissionRequests.begin(); it != m_permissionRequests.end(); ++it) {
        if (it->origin == origin && it->engineFeature == engineFeature) {
            const QString site = it->site;
            const corvane::SiteFeature feature = it->feature;
            m_permissionRequests.erase(it);
            if (m_events)
                m_events->onPermissionRequestCancelled(site, feature);
            return;
        }
    }
}

#if QTWEBENGINECORE_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void WebEngineControl::connectPermissionRequests()
{
    connect(m_page, &QWebEnginePage::permissionRequested, this, [this](QWebEnginePermission permission) {
        std::optional<corvane::SiteFeature> feature;
        switch (permission.permissionType()) {
        case QWebEnginePermission::PermissionType::Geolocation: feature = corvane::SiteFeature::Geolocation; break;
        case QWebEnginePermission::PermissionType::Notifications: feature = corvane::SiteFeature::Notifications; break;
        case QWebEnginePermission::PermissionType::MediaVideoCapture: feature = corvane::SiteFeature::Camera; break;
        case QWebEnginePermission::PermissionType::MediaAudioCapture: feature = corvane::SiteFeature::Microphone; break;
        case QWebEnginePermission::PermissionType::MediaAudioVideoCapture: feature = corvane::SiteFeature::CameraAndMicrophone; break;
        case QWebEnginePermission::PermissionType::DesktopVideoCapture:
        case QWebEnginePermission::PermissionType::DesktopAudioVideoCapture: feature = corvane::SiteFeature::ScreenSharing; break;
        case QWebEnginePermission::PermissionType::MouseLock: feature = corvane::SiteFeature::MouseLock; break;
        case QWebEnginePermission::PermissionType::ClipboardReadWrite: feature = corvane::SiteFeature::ClipboardRead; break;
        default: break;
        }
        // What we do not ask about, the site does not get.
        if (!feature) {
            permission.deny();
            return;
        }
        PermissionRequest request;
        request.site = QString::fromStdString(corvane::sitePermissionKey(permission.origin().toString().toStdString()));
        request.feature = *feature;
        request.engineFeature = int(permission.permissionType());
        request.origin = permission.origin();
        request.answer = [permission](bool allowed) {
            if (!permission.isValid())
                return;
            if (allowed)
                permission.grant();
            else
                permission.deny();
        };
        addPermissionRequest(std::move(request));
    });
}

#else

void WebEngineControl::connectPermissionRequests()
{
    connect(m_page, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, QWebEnginePage::Feature engineFeature) {
                corvane::SiteFeature feature = corvane::SiteFeature::Geolocation;
                switch (engineFeature) {
                case QWebEnginePage::Geolocation: feature = corvane::SiteFeature::Geolocation; break;
                case QWebEnginePage::Notifications: feature = corvane::SiteFeature::Notifications; break;
                case QWebEnginePage::MediaVideoCapture: feature = corvane::SiteFeature::Camera; break;
                case QWebEnginePage::MediaAudioCapture: feature = corvane::SiteFeature::Microphone; break;
                case QWebEnginePage::MediaAudioVideoCapture: feature = corvane::SiteFeature::CameraAndMicrophone; break;
                case QWebEnginePage::DesktopVideoCapture:
                case QWebEnginePage::DesktopAudioVideoCapture: feature = corvane::SiteFeature::ScreenSharing; break;
                case QWebEnginePage::MouseLock: feature = corvane::SiteFeature::MouseLock; break;
                }
                PermissionRequest request;
                request.site = QString::fromStdString(corvane::sitePermissionKey(origin.toString().toStdString()));
                request.feature = feature;
                request.engineFeature = int(engineFeature);
                request.origin = origin;
                const QPointer<QWebEnginePage> page = m_page.data();
                request.answer = [page, origin, engineFeature](bool allowed) {
                    if (page)
                        page->setFeaturePermission(origin, engineFeature,
                                                   allowed ? QWebEnginePage::PermissionGrantedByUser
                                                           : QWebEnginePage::PermissionDeniedByUser);
                };
                addPermissionRequest(std::move(request));
            });
    connect(m_page, &QWebEnginePage::featurePermissionRequestCanceled, this,
            [this](const QUrl &origin, QWebEnginePage::Feature engineFeature) {
                withdrawPermissionRequest(origin, int(engineFeature));
            });
}

#endif
