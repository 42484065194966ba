#include "support/FakeBrowserControl.h"

#include <QUrl>

FakeBrowserControl::FakeBrowserControl(QObject *parent)
    : BrowserControl(parent), m_widget(new QWidget)
{
    m_widget->setFocusPolicy(Qt::StrongFocus);
}

FakeBrowserControl::~FakeBrowserControl()
{
    // A widget nobody took in is ours to delete.
    if (m_widget && !m_widget->parent())
        delete m_widget;
}

QStringList FakeBrowserControl::operations(const QString &prefix) const
{
    QStringList out;
    for (const QString &op : m_operations)
        if (op.startsWith(prefix))
            out << op;
    return out;
}

void FakeBrowserControl::setLocation(const QString &name, const QString &url)
{
    m_name = name;
    m_url = url;
}

bool FakeBrowserControl::fireNavigationStarting(const QString &url, bool topLevel)
{
    bool cancel = false;
    if (m_events)
        m_events->onNavigationStarting(url, topLevel, cancel);
    return cancel;
}

BrowserControl *FakeBrowserControl::fireNewWindow(bool *cancelled)
{
    BrowserControl *created = nullptr;
    bool cancel = false;
    if (m_events)
        m_events->onNewWindowRequested(&created, cancel);
    if (cancelled)
        *cancelled = cancel;
    return cancel ? nullptr : created;
}

BrowserControl *FakeBrowserControl::fireViewSourceWindow()
{
    BrowserControl *created = nullptr;
    if (m_events)
        m_events->onViewSourceWindowRequested(&created);
    return created;
}

void FakeBrowserControl::fireStatusText(const QString &text)
{
    if (m_events)
        m_events->onStatusTextChanged(text);
}

void FakeBrowserControl::fireTitle(const QString &title)
{
    if (m_events)
        m_events->onTitleChanged(title);
}

void FakeBrowserControl::fireProgress(int progress, int progressMax)
{
    if (m_events)
        m_events->onProgressChanged(progress, progressMax);
}

void FakeBrowserControl::fireDocumentComplete(const QString &url, bool topLevel)
{
    if (m_events)
        m_events->onDocumentComplete(url, topLevel);
}

void FakeBrowserControl::fireLinkHovered(const QString &url)
{
    if (m_events)
        m_events->onLinkHovered(url);
}

void FakeBrowserControl::fireScriptError(const QString &message, int line, const QString &source)
{
    if (m_events)
        m_events->onScriptError(message, line, source);
}

void FakeBrowserControl::fireWindowCloseRequested()
{
    if (m_events)
        m_events->onWindowCloseRequested();
}

void FakeBrowserControl::fireLoadStopped()
{
    if (m_events)
        m_events->onLoadStopped();
}

bool FakeBrowserControl::fireNavigation(const QString &url, const QString &title)
{
    if (fireNavigationStarting(url, true))
        return false;
    m_url = url;
    m_name = title.isEmpty() ? url : title;
    fireStatusText(QStringLiteral("Opening page %1...").arg(url));
    fireProgress(0, 100);
    if (!title.isEmpty())
        fireTitle(title);
    fireProgress(100, 100);
    fireDocumentComplete(url, true);
    fireStatusText(QStringLiteral("Done"));
    fireProgress(0, 0);
    return true;
}

void FakeBrowserControl::navigate(const QString &url)
{
    record(QStringLiteral("navigate ") + url);
    if (m_followNavigate)
        setLocation(url, url);
}

void FakeBrowserControl::setOffline(bool offline)
{
    m_offline = offline;
    record(QStringLiteral("setOffline %1").arg(offline ? 1 : 0));
}

void FakeBrowserControl::setSilent(bool silent)
{
    m_silent = silent;
    record(QStringLiteral("setSilent %1").arg(silent ? 1 : 0));
}

void FakeBrowserControl::reload(ReloadLevel level)
{
    record(level == ReloadLevel::Complete ? QStringLiteral("reload Complete")
                                          : QStringLiteral("reload Normal"));
}

void FakeBrowserControl::setScrollPosition(const QPoint &pos)
{
    m_scroll = pos;
    record(QStringLiteral("setScrollPosition %1,%2").arg(pos.x()).arg(pos.y()));
}

void FakeBrowserControl::runPageCommand(PageCommand command, int argument)
{
    if (command == PageCommand::Zoom)
        record(QStringLiteral("runPageCommand Zoom %1").arg(argument));
    else
        record(QStringLiteral("runPageCommand ") + commandName(command));
}

void FakeBrowserControl::loadFromResource(const QString &path)
{
    record(QStringLiteral("loadFromResource ") + path);
}

QString FakeBrowserControl::commandName(PageCommand command)
{
    switch (command) {
    case PageCommand::Zoom: return QStringLiteral("Zoom");
    case PageCommand::Copy: return QStringLiteral("Copy");
    case PageCommand::Cut: return QStringLiteral("Cut");
    case PageCommand::Paste: return QStringLiteral("Paste");
    case PageCommand::Undo: return QStringLiteral("Undo");
    case PageCommand::Redo: return QStringLiteral("Redo");
    case PageCommand::SelectAll: return QStringLiteral("SelectAll");
    case PageCommand::SaveAs: return QStringLiteral("SaveAs");
    case PageCommand::Print: return QStringLiteral("Print");
    case PageCommand::PrintPreview: return QStringLiteral("PrintPreview");
    case PageCommand::Properties: return QStringLiteral("Properties");
    }
    return QString();
}

void FakeBrowserControl::fireIconChanged(const QIcon &icon)
{
    m_icon = icon;
    if (m_events)
        m_events->onIconChanged(icon);
}

// --- leaving a page, full screen ------------------------------------------------------------

BrowserControl::CloseAnswer FakeBrowserControl::requestClose()
{
    record(QStringLiteral("requestClose"));
    return m_closeAnswer;
}

void FakeBrowserControl::fireCloseAnswered(bool mayClose)
{
    if (m_events)
        m_events->onCloseAnswered(mayClose);
}

bool FakeBrowserControl::fireLeavePageAsked()
{
    return !m_events || m_events->onLeavePageAsked(m_url);
}

bool FakeBrowserControl::fireFullScreenRequested(bool on)
{
    return m_events && m_events->onFullScreenRequested(on);
}

// --- the page's requests ------------------------------------------------------------------

BrowserEvents::LoginRequest FakeBrowserControl::fireLoginRequested(const QString &url,
                                                                  const QString &host,
                                                                  const QString &realm, bool proxy)
{
    BrowserEvents::LoginRequest request;
    request.url = url;
    request.host = host;
    request.realm = realm;
    request.proxy = proxy;
    if (m_events)
        m_events->onLoginRequested(request);
    return request;
}

void FakeBrowserControl::fireCertificateError(const QString &url, int code, bool overridable)
{
    BrowserEvents::CertificateError error;
    error.url = url;
    error.host = QUrl(url).host();
    error.code = code;
    error.description = QStringLiteral("engine words");
    error.overridable = overridable;
    if (m_events)
        m_events->onCertificateError(error);
}

void FakeBrowserControl::firePermissionRequested(const QString &site, corvane::SiteFeature feature)
{
    if (m_events)
        m_events->onPermissionRequested(site, feature);
}

void FakeBrowserControl::firePermissionRequestCancelled(const QString &site, corvane::SiteFeature feature)
{
    if (m_events)
        m_events->onPermissionRequestCancelled(site, feature);
}

void FakeBrowserControl::firePageStopped(corvane::PageStop how)
{
    if (m_events)
        m_events->onPageStopped(how);
}

void FakeBrowserControl::answerPermission(const QString &site, corvane::SiteFeature feature, bool allowed)
{
    record(QStringLiteral("answerPermission %1 %2 %3")
               .arg(site, QString::fromUtf8(corvane::siteFeatureName(feature).data(),
                                            qsizetype(corvane::siteFeatureName(feature).size())))
               .arg(allowed ? 1 : 0));
}

void FakeBrowserControl::goOnDespiteCertificate(const QString &url)
{
    record(QStringLiteral("goOnDespiteCertificate ") + url);
}
