#include "support/FakeBrowserControl.h"

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

bool FakeBrowserControl::fireBeforeNavigate(const QString &url, bool topLevel)
{
    bool cancel = false;
    if (m_events)
        m_events->OnBeforeNavigate2(url, topLevel, cancel);
    return cancel;
}

BrowserControl *FakeBrowserControl::fireNewWindow(bool *cancelled)
{
    BrowserControl *created = nullptr;
    bool cancel = false;
    if (m_events)
        m_events->OnNewWindow2(&created, cancel);
    if (cancelled)
        *cancelled = cancel;
    return cancel ? nullptr : created;
}

BrowserControl *FakeBrowserControl::fireViewSourceWindow()
{
    BrowserControl *created = nullptr;
    if (m_events)
        m_events->OnViewSourceWindow(&created);
    return created;
}

void FakeBrowserControl::fireStatusText(const QString &text)
{
    if (m_events)
        m_events->OnStatusTextChange(text);
}

void FakeBrowserControl::fireTitle(const QString &title)
{
    if (m_events)
        m_events->OnTitleChange(title);
}

void FakeBrowserControl::fireProgress(int progress, int progressMax)
{
    if (m_events)
        m_events->OnProgressChange(progress, progressMax);
}

void FakeBrowserControl::fireDocumentComplete(const QString &url, bool topLevel)
{
    if (m_events)
        m_events->OnDocumentComplete(url, topLevel);
}

void FakeBrowserControl::fireLinkHovered(const QString &url)
{
    if (m_events)
        m_events->OnLinkHovered(url);
}

void FakeBrowserControl::fireScriptError(const QString &message, int line, const QString &source)
{
    if (m_events)
        m_events->OnScriptError(message, line, source);
}

void FakeBrowserControl::fireWindowCloseRequested()
{
    if (m_events)
        m_events->OnWindowCloseRequested();
}

bool FakeBrowserControl::fireNavigation(const QString &url, const QString &title)
{
    if (fireBeforeNavigate(url, true))
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

void FakeBrowserControl::Navigate2(const QString &url)
{
    record(QStringLiteral("Navigate2 ") + url);
    if (m_followNavigate)
        setLocation(url, url);
}

void FakeBrowserControl::putOffline(bool offline)
{
    m_offline = offline;
    record(QStringLiteral("putOffline %1").arg(offline ? 1 : 0));
}

void FakeBrowserControl::putSilent(bool silent)
{
    m_silent = silent;
    record(QStringLiteral("putSilent %1").arg(silent ? 1 : 0));
}

void FakeBrowserControl::putRegisterAsBrowser(bool on)
{
    record(QStringLiteral("putRegisterAsBrowser %1").arg(on ? 1 : 0));
}

void FakeBrowserControl::setScrollPosition(const QPoint &pos)
{
    m_scroll = pos;
    record(QStringLiteral("setScrollPosition %1,%2").arg(pos.x()).arg(pos.y()));
}

void FakeBrowserControl::execWB(PageCommand command, int argument)
{
    if (command == PageCommand::Zoom)
        record(QStringLiteral("execWB Zoom %1").arg(argument));
    else
        record(QStringLiteral("execWB ") + commandName(command));
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
