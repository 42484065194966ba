#include "browser/CTestView.h"

#include "app/CTestApp.h"
#include "browser/CChildFrame.h"
#include "browser/CTestDoc.h"
#include "core/CommandIds.h"
#include "core/FileFilter.h"
#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "core/TextRules.h"
#include "core/TextSize.h"
#include "engine/WebProfile.h"
#include "mainframe/CMainFrame.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QString display(const QString &text)
{
    return QString::fromStdString(corvane::truncateForDisplay(text.toStdString()));
}
} // namespace

CTestView::CTestView(CTestApp &app, CTestDoc *doc, BrowserControl *control, QWidget *parent)
    : QWidget(parent), m_app(app), m_doc(doc), m_control(control), m_mainFrame(app.mainFrame())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_control) {
        if (!m_control->parent())
            m_control->setParent(this);
        m_control->setEvents(this);
        if (QWidget *page = m_control->widget()) {
            layout->addWidget(page);
            setFocusProxy(page);
            watch(page);
        }
    }
    m_autoRefreshTimer.setSingleShot(false);
    connect(&m_autoRefreshTimer, &QTimer::timeout, this, &CTestView::onAutoRefreshTick);
    // Downloads report to the status bar of the window in front.
    connect(WebProfile::instance(), &WebProfile::downloadStatus, this, [this](const QString &text) {
        CMainFrame *f = frame();
        if (f && f->activeView() == this)
            f->setStatusText(display(text));
    });
}

CTestView::~CTestView()
{
    m_destroying = true;
    if (m_control)
        m_control->setEvents(nullptr);
    // The frame's panes no longer show this view's load.
    if (CMainFrame *f = m_mainFrame.data()) {
        f->setProgress(0, 0);
        f->UpdateStatusPanes();
        f->setStatusText(QString());
    }
}

CTestDoc *CTestView::document() const
{
    return m_doc;
}

CChildFrame *CTestView::ownFrame() const
{
    return m_ownFrame;
}

void CTestView::setOwnFrame(CChildFrame *frame)
{
    m_ownFrame = frame;
}

CChildFrame *CTestView::childFrame() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *frame = qobject_cast<CChildFrame *>(w))
            return frame;
    }
    return nullptr;
}

CMainFrame *CTestView::frame() const
{
    return m_destroying ? nullptr : m_mainFrame.data();
}

void CTestView::log(const QString &line) const
{
    m_app.log().Write(line.toStdString());
}

// --- operations -------------------------------------------------------------------

void CTestView::OnInitialUpdate()
{
    m_mainFrame = m_app.mainFrame();
    m_autoRefreshMinutes = 2;
    m_autoRefreshSeconds = 0;

    const QString pending = m_app.pendingDocumentAddress();
    if (!pending.isEmpty()) {
        Navigate(pending);
        m_app.setPendingDocumentAddress(QString());
        m_app.clearFirstNew();
        return;
    }
    onHome();
}

void CTestView::Navigate(const QString &address)
{
    m_savedScrollLeft = 0;
    m_savedScrollTop = 0;
    if (m_control)
        m_control->navigate(address);
}

void CTestView::SaveScrollPosition()
{
    if (!m_control)
        return;
    const QPoint pos = m_control->scrollPosition();
    m_savedScrollLeft = pos.x();
    m_savedScrollTop = pos.y();
}

void CTestView::RestoreScrollPosition()
{
    if (m_control)
        m_control->setScrollPosition(QPoint(m_savedScrollLeft, m_savedScrollTop));
}

void CTestView::setSavedScrollPosition(int left, int top)
{
    m_savedScrollLeft = left;
    m_savedScrollTop = top;
}

QString CTestView::pageAddress(const QString &url, bool topLevel) const
{
    if (topLevel || !m_control)
        return url;
    return m_control->pageUrl();
}

void CTestView::showSecureIndicator(const QString &address)
{
    if (CMainFrame *f = frame())
        f->setSecureText(corvane::isSecureAddress(address.toStdString()) ? QStringLiteral("S")
                                                                          : QString());
}

void CTestView::refreshProgress()
{
    if (CMainFrame *f = frame())
        f->UpdateStatusPanes();
}

void CTestView::activationRefresh()
{
    if (!m_control || m_destroying)
        return;
    onTitleChanged(m_control->pageTitle());
    const QString address = m_control->pageUrl();
    if (CMainFrame *f = frame()) {
        f->clearAddressTyping();
        f->SetAddressText(address);
    }
    showSecureIndicator(address);
    refreshProgress();
}

// --- AutoRefresh --------------------------------------------------------------------

void CTestView::setAutoRefresh(int minutes, int seconds, bool on)
{
    m_autoRefreshMinutes = minutes;
    m_autoRefreshSeconds = seconds;
    m_autoRefreshOn = on;
}

int CTestView::autoRefreshInterval() const
{
    return m_autoRefreshMinutes * 60000 + m_autoRefreshSeconds * 1000;
}

void CTestView::startAutoRefreshTimer()
{
    // 0:00 can only come from outside (a hand-edited workspace); a timer of
    // 0 ms would reload without pause, so it counts as one second.
    m_autoRefreshTimer.start(qMax(autoRefreshInterval(), 1000));
}

void CTestView::killAutoRefreshTimer()
{
    m_autoRefreshTimer.stop();
}

void CTestView::onAutoRefreshTick()
{
    log(QStringLiteral("AutoRefreshing..."));
    if (m_control)
        m_control->reload();
}

// --- navigation events --------------------------------------------------------------

void CTestView::onNavigationStarting(const QString &url, bool topLevel, bool &cancel)
{
    CMainFrame *f = frame();
    // 1-2.
    m_stopwatch.Start();
    m_currentNavigationAddress = url;
    log(QStringLiteral("* Navigation started to URL: [") + url + QStringLiteral("] *"));
    // 3. AutoRefresh waits for the end of this load.
    if (m_autoRefreshOn)
        killAutoRefreshTimer();
    // 4.
    m_navigating = true;
    // 5.
    if (m_control && f)
        m_control->setOffline(f->isOffline());
    // 6. A document handed in from outside: show the window at once.
    if (f && !m_app.pendingDocumentAddress().isEmpty()) {
        f->repaint();
        f->InsertIEMenu();
    }
    // 7.
    runScriptCloseTest(url.toLower(), cancel);
    // 8. While the override is on, the script debugger stays off.
    if (f && f->overrideScriptDebugging())
        m_app.settings().SetScriptDebuggerSwitch("yes");
    // 9. Silent mode.
    if (m_control) {
        if (m_loudOnce) {
            m_control->setSilent(false);
            m_loudOnce = false;
        } else if (m_app.settings().GetSpawning()) {
            m_control->setSilent(m_app.settings().GetNoDialogs() != 0);
        } else {
            m_control->setSilent(false);
        }
    }
    // 10.
    if (m_popupCheckPending)
        runPopupDecision(url, cancel);
    // 11.
    showSecureIndicator(pageAddress(url, topLevel));
    refreshProgress();
}

void CTestView::runScriptCloseTest(const QString &lowerAddress, bool &cancel)
{
    // The test itself ("close()", ".close" without "www.") arrives with the
    // popup filter.
    Q_UNUSED(lowerAddress);
    Q_UNUSED(cancel);
}

void CTestView::runPopupDecision(const QString &url, bool &cancel)
{
    // Taken once, at the first navigation start of the window. The filter
    // words, the sallyport and the confirmation arrive with the popup
    // filter; until then every popup stays.
    Q_UNUSED(url);
    Q_UNUSED(cancel);
    m_popupCheckPending = false;
}

void CTestView::onStatusTextChanged(const QString &text)
{
    if (m_navigating)
        log(text);
    m_statusText = text;
    if (CMainFrame *f = frame())
        f->setStatusText(display(text));
}

void CTestView::onLinkHovered(const QString &url)
{
    if (CMainFrame *f = frame())
        f->setStatusText(display(url.isEmpty() ? m_statusText : url));
}

void CTestView::onTitleChanged(const QString &title)
{
    if (m_navigating)
        log(title);
    if (m_doc)
        m_doc->SetTitle(display(title));
    update();
}

void CTestView::onProgressChanged(int progress, int progressMax)
{
    if (CMainFrame *f = frame()) {
        f->setProgress(progress, progressMax);
        f->UpdateStatusPanes();
    }
    if (hasSavedScrollPosition())
        RestoreScrollPosition();
}

void CTestView::onDocumentComplete(const QString &url, bool topLevel)
{
    // 1-2.
    const QString elapsed = QString::fromStdString(m_stopwatch.ElapsedText());
    m_navigating = false;
    log(QStringLiteral("* Navigation complete to URL: [%1] *").arg(url));
    log(QStringLiteral("~ Navigation timed result for URL: [%1] -- %2 ~").arg(url, elapsed));
    log(QStringLiteral(" "));
    // 3.
    const QString address = pageAddress(url, topLevel);
    if (CMainFrame *f = frame())
        f->SetAddressText(address);
    // 4.
    if (m_autoRefreshOn)
        startAutoRefreshTimer();
    // 5.
    if (m_imageSeries)
        runImageSeriesStep();
    // 6-8.
    showSecureIndicator(address);
    if (hasSavedScrollPosition())
        RestoreScrollPosition();
    refreshProgress();
}

void CTestView::onLoadStopped()
{
    // The page stays as it was: its address goes back into the box, and
    // AutoRefresh, paused at the start, goes on.
    m_navigating = false;
    if (CMainFrame *f = frame())
        f->SetAddressText(m_control ? m_control->pageUrl() : QString());
    if (m_autoRefreshOn && !autoRefreshTimerActive())
        startAutoRefreshTimer();
    refreshProgress();
}

void CTestView::runImageSeriesStep()
{
    // The image-series download takes its next step here; it arrives with
    // the series itself.
}

void CTestView::onScriptError(const QString &message, int line, const QString &source)
{
    Q_UNUSED(source);
    // With the script debugger switched off ("yes"), script errors pass
    // unnoticed.
    const std::optional<std::string> debuggerOff = m_app.settings().GetScriptDebuggerSwitch();
    if (debuggerOff && QString::fromStdString(*debuggerOff).compare(QLatin1String("yes"),
                                                                    Qt::CaseInsensitive)
                           == 0)
        return;
    if (CMainFrame *f = frame())
        f->setStatusText(display(QStringLiteral("Script error: %1 (line %2)").arg(message).arg(line)));
}

// --- new windows ---------------------------------------------------------------------

CTestView *CTestView::openWindowFor()
{
    return m_app.openNewWindow();
}

void CTestView::onNewWindowRequested(BrowserControl **newControl, bool &cancel)
{
    // A view that never started a navigation opens no windows.
    if (m_currentNavigationAddress.isEmpty()) {
        cancel = true;
        return;
    }
    CTestView *view = openWindowFor();
    if (!view || !view->control()) {
        cancel = true;
        return;
    }
    view->setPopupCheckPending(true);
    view->setOpenerAddress(m_currentNavigationAddress);
    view->setOwnFrame(view->childFrame());
    *newControl = view->control();
}

void CTestView::onViewSourceWindowRequested(BrowserControl **newControl)
{
    // The user asked for it: a window of its own, no popup decision.
    CTestView *view = openWindowFor();
    *newControl = view ? view->control() : nullptr;
}

void CTestView::onWindowCloseRequested()
{
    // A page's window.close(): the window goes once the event is over.
    if (QPointer<CChildFrame> own = childFrame())
        QMetaObject::invokeMethod(
            own, [own] { if (own) own->close(); }, Qt::QueuedConnection);
}

// --- input ------------------------------------------------------------------------------

void CTestView::watch(QWidget *widget)
{
    // The engine draws into child widgets it creates as it goes; a click
    // lands on them.
    widget->installEventFilter(this);
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool CTestView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            watch(child);
        break;
    case QEvent::MouseButtonRelease:
        // A click into the page ends the restoring of a saved position.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            setSavedScrollPosition(0, 0);
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (!m_destroying)
            activationRefresh();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- commands ----------------------------------------------------------------------------

namespace {
// The commands the view carries out, with their handlers.
struct ViewCommand
{
    int id;
    void (CTestView::*handler)();
};
constexpr ViewCommand kViewCommands[] = {
    {corvane::cmd::Home, &CTestView::onHome},         {corvane::cmd::Refresh, &CTestView::onRefresh},
    {corvane::cmd::Stop, &CTestView::onStop},         {corvane::cmd::Back, &CTestView::onBack},
    {corvane::cmd::Forward, &CTestView::onForward},   {corvane::cmd::Open, &CTestView::onOpen},
    {corvane::cmd::Copy, &CTestView::onCopy},         {corvane::cmd::Cut, &CTestView::onCut},
    {corvane::cmd::Paste, &CTestView::onPaste},       {corvane::cmd::Undo, &CTestView::onUndo},
    {corvane::cmd::Redo, &CTestView::onRedo},         {corvane::cmd::SelectAll, &CTestView::onSelectAll},
    {corvane::cmd::SaveAs, &CTestView::onSaveAs},     {corvane::cmd::Preview, &CTestView::onPreview},
    {corvane::cmd::Print, &CTestView::onPrint},       {corvane::cmd::Find, &CTestView::onFind},
    {corvane::cmd::ViewSource, &CTestView::onViewSource},
    {corvane::cmd::Properties, &CTestView::onProperties},
};

bool isFontsCommand(int id)
{
    return id >= corvane::cmd::FontsHuge && id <= corvane::cmd::FontsTiny;
}
} // namespace

bool CTestView::handlesCommand(int id)
{
    if (isFontsCommand(id))
        return true;
    for (const ViewCommand &c : kViewCommands)
        if (c.id == id)
            return true;
    return false;
}

bool CTestView::OnCommand(int id)
{
    if (isFontsCommand(id)) {
        onFont(id);
        return true;
    }
    for (const ViewCommand &c : kViewCommands) {
        if (c.id == id) {
            (this->*c.handler)();
            return true;
        }
    }
    return false;
}

void CTestView::onHome()
{
    const std::string home = m_app.settings().GetHomeURL();
    Navigate(home.empty() ? QString::fromLatin1(corvane::kDefaultStartPage)
                          : QString::fromStdString(home));
}

void CTestView::onRefresh()
{
    CMainFrame *f = frame();
    if (f && m_app.settings().GetMsgOffline() && f->isOffline()) {
        // The window may close while the question is up (its page's script,
        // the end of the program).
        const QPointer<CTestView> self(this);
        const QMessageBox::StandardButton answer = corvaneMessageBox(
            this, QMessageBox::Question, QStringLiteral("Offline mode alert"),
            QStringLiteral("You are currently working offline.  Would you like to go online?"),
            QMessageBox::Yes | QMessageBox::No);
        if (!self || !(f = frame()))
            return;
        if (answer == QMessageBox::Yes) {
            f->setOffline(false);
            if (m_control)
                m_control->setOffline(false);
        }
    }
    if (m_control)
        m_control->reload(BrowserControl::ReloadLevel::Complete);
}

void CTestView::onStop()
{
    m_navigating = false;
    if (!m_control)
        return;
    m_control->stop();
    log(QStringLiteral("* Navigation stopped by user for URL: [%1] *").arg(m_control->pageUrl()));
    if (m_autoRefreshOn) {
        killAutoRefreshTimer();
        m_autoRefreshOn = false;
    }
    m_imageSeries = false;
}

void CTestView::onBack()
{
    if (m_control)
        m_control->goBack();
}

void CTestView::onForward()
{
    if (m_control)
        m_control->goForward();
}

void CTestView::onOpen()
{
    const QString filter =
        QString::fromStdString(corvane::dialogFileFilter(corvane::kOpenFileFilter));
    // The dialog belongs to the main window: this window may close while it
    // is up.
    const QPointer<CTestView> self(this);
    const QString path =
        QFileDialog::getOpenFileName(window(), QStringLiteral("Open"), QString(), filter);
    if (self && !path.isEmpty())
        Navigate(path);
}

void CTestView::onFont(int id)
{
    const int fonts = corvane::fontsForCommand(id);
    if (fonts == 0)
        return;
    if (CMainFrame *f = frame())
        f->setFontSize(fonts);
    m_app.settings().SetFonts(fonts);
    // Only this view changes; the stored value checks the Fonts menu item.
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::Zoom, corvane::zoomArgumentForFonts(fonts));
}

bool CTestView::editFieldCommand(const char *slot)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return false;
    QObject *edit = nullptr;
    if (qobject_cast<QLineEdit *>(focus) || qobject_cast<QTextEdit *>(focus)
        || qobject_cast<QPlainTextEdit *>(focus)) {
        edit = focus;
    } else if (auto *combo = qobject_cast<QComboBox *>(focus)) {
        // An editable combo box (the address box) keeps the focus itself.
        edit = combo->lineEdit();
    }
    if (!edit)
        return false;
    QMetaObject::invokeMethod(edit, slot);
    return true;
}

void CTestView::editOrPage(const char *slot, BrowserControl::PageCommand command)
{
    if (!editFieldCommand(slot) && m_control)
        m_control->runPageCommand(command);
}

void CTestView::onCopy()
{
    editOrPage("copy", BrowserControl::PageCommand::Copy);
}

void CTestView::onCut()
{
    editOrPage("cut", BrowserControl::PageCommand::Cut);
}

void CTestView::onPaste()
{
    editOrPage("paste", BrowserControl::PageCommand::Paste);
}

void CTestView::onUndo()
{
    editOrPage("undo", BrowserControl::PageCommand::Undo);
}

void CTestView::onRedo()
{
    editOrPage("redo", BrowserControl::PageCommand::Redo);
}

void CTestView::onSelectAll()
{
    editOrPage("selectAll", BrowserControl::PageCommand::SelectAll);
}

void CTestView::onSaveAs()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::SaveAs);
}

void CTestView::onPreview()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::PrintPreview);
}

void CTestView::onPrint()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::Print);
}

void CTestView::onFind()
{
    if (m_control)
        m_control->find();
}

void CTestView::onViewSource()
{
    if (m_control)
        m_control->viewSource();
}

void CTestView::onProperties()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::Properties);
}
