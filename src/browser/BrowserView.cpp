#include "browser/BrowserView.h"

#include "browser/BrowserDocument.h"
#include "browser/BrowserHost.h"
#include "browser/BrowserWindow.h"
#include "browser/PopupQuestion.h"
#include "browser/FullScreenWindow.h"
#include "browser/ErrorPage.h"
#include "browser/RequestBar.h"
#include "core/AutoRefreshText.h"
#include "core/CommandIds.h"
#include "core/FileFilter.h"
#include "core/NavigationLog.h"
#include "core/PageTexts.h"
#include "core/PageRequests.h"
#include "core/PopupDecision.h"
#include "core/SettingsStore.h"
#include "core/StoredText.h"
#include "core/Strings.h"
#include "core/TextRules.h"
#include "core/TextSize.h"
#include "engine/WebProfile.h"
#include "ui/LoginDialog.h"
#include "ui/MessageBox.h"
#include "ui/ModalQuestions.h"
#include "ui/StoredQString.h"

#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString display(const QString &text)
{
    return QString::fromStdString(corvane::truncateForDisplay(text.toStdString()));
}
} // namespace

BrowserView::BrowserView(BrowserHost &host, BrowserDocument *doc, BrowserControl *control,
                         QWidget *parent)
    : QWidget(parent), m_host(host), m_doc(doc), m_control(control)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_control) {
        if (!m_control->parent())
            m_control->setParent(this);
        m_control->setEvents(this);
        // Offline from the first load on, so that its cut is under way
        // before the page is asked for anything. (A control starts online.)
        if (m_host.isOffline())
            m_control->setOffline(true);
        if (QWidget *page = m_control->widget()) {
            layout->addWidget(page);
            setFocusProxy(page);
            watch(page);
        }
    }
    m_autoRefreshTimer.setSingleShot(false);
    connect(&m_autoRefreshTimer, &QTimer::timeout, this, &BrowserView::onAutoRefreshTick);
    // Downloads report to the status bar of the window in front.
    connect(WebProfile::instance(), &WebProfile::downloadStatus, this, [this](const QString &text) {
        BrowserHost *h = this->host();
        if (h && h->activeView() == this)
            h->setStatusText(display(text));
    });
}

BrowserView::~BrowserView()
{
    // What the page asked and nobody answered is No.
    const QList<PermissionQuestion> open = std::exchange(m_permissionQuestions, {});
    for (const PermissionQuestion &q : open) {
        log(QString::fromStdString(corvane::permissionLogLine(
            q.feature, q.site.toStdString(), false, corvane::PermissionAnswer::Unanswered)));
        if (m_control)
            m_control->answerPermission(q.site, q.feature, false);
    }
    m_destroying = true;
    // The page's widget comes home to go with the view.
    if (m_fullScreen) {
        if (QWidget *page = m_fullScreen->takeContent())
            page->setParent(this);
        delete m_fullScreen;
    }
    if (m_control)
        m_control->setEvents(nullptr);
    // The main window's panes no longer show this view's load.
    m_host.setProgress(0, 0);
    m_host.updateStatusPanes();
    m_host.setStatusText(QString());
}

BrowserDocument *BrowserView::document() const
{
    return m_doc;
}

BrowserWindow *BrowserView::ownWindow() const
{
    return m_ownWindow;
}

void BrowserView::setOwnWindow(BrowserWindow *window)
{
    m_ownWindow = window;
}

BrowserView *BrowserView::opener() const
{
    return m_opener;
}

void BrowserView::setOpener(BrowserView *opener)
{
    m_opener = opener;
}

BrowserWindow *BrowserView::browserWindow() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *window = qobject_cast<BrowserWindow *>(w))
            return window;
    }
    return nullptr;
}

BrowserHost *BrowserView::host() const
{
    return m_destroying ? nullptr : &m_host;
}

void BrowserView::log(const QString &line) const
{
    m_host.log().write(line.toStdString());
}

// --- operations -------------------------------------------------------------------

void BrowserView::startFirstNavigation()
{
    m_autoRefreshMinutes = 2;
    m_autoRefreshSeconds = 0;

    const QString pending = m_host.pendingDocumentAddress();
    if (!pending.isEmpty()) {
        navigate(pending);
        m_host.setPendingDocumentAddress(QString());
        m_host.clearFirstNew();
        return;
    }
    goHome();
}

void BrowserView::navigate(const QString &address)
{
    m_savedScrollLeft = 0;
    m_savedScrollTop = 0;
    if (m_control)
        m_control->navigate(address);
}

void BrowserView::saveScrollPosition()
{
    if (!m_control)
        return;
    const QPoint pos = m_control->scrollPosition();
    m_savedScrollLeft = pos.x();
    m_savedScrollTop = pos.y();
}

void BrowserView::restoreScrollPosition()
{
    if (m_control)
        m_control->setScrollPosition(QPoint(m_savedScrollLeft, m_savedScrollTop));
}

void BrowserView::setSavedScrollPosition(int left, int top)
{
    m_savedScrollLeft = left;
    m_savedScrollTop = top;
}

void BrowserView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    noteSeen();
}

void BrowserView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    noteSeen();
}

void BrowserView::noteSeen()
{
    if (m_seenAtSize || !isVisible() || width() <= 0 || height() <= 0)
        return;
    m_seenAtSize = true;
    if (hasSavedScrollPosition())
        restoreScrollPosition();
}

QString BrowserView::pageAddress(const QString &url, bool topLevel) const
{
    if (topLevel || !m_control)
        return url;
    return m_control->pageUrl();
}

bool BrowserView::isActivePane() const
{
    const BrowserWindow *window = browserWindow();
    const BrowserView *active = window ? window->activeView() : nullptr;
    return !active || active == this;
}

bool BrowserView::speaksForMainWindow() const
{
    if (!isActivePane())
        return false;
    // A window loading behind the active one leaves the address box and the
    // secure indicator to the window the user looks at.
    const BrowserHost *h = host();
    const BrowserView *active = h ? h->activeView() : nullptr;
    return !active || active->browserWindow() == browserWindow();
}

void BrowserView::showSecureIndicator(const QString &address)
{
    if (!isActivePane())
        return;
    if (BrowserHost *h = host())
        h->setSecurity(pageSecurity(address));
}

void BrowserView::refreshProgress()
{
    if (BrowserHost *h = host())
        h->updateStatusPanes();
}

void BrowserView::activationRefresh()
{
    // The other panes of a split window do not speak for it.
    if (!m_control || m_destroying || !isActivePane())
        return;
    onTitleChanged(m_control->pageTitle());
    if (m_doc)
        m_doc->setIcon(m_control->pageIcon());
    const QString address = m_control->pageUrl();
    if (BrowserHost *h = host()) {
        h->clearAddressTyping();
        h->setAddressText(address);
    }
    showSecureIndicator(address);
    refreshProgress();
}

// --- AutoRefresh --------------------------------------------------------------------

void BrowserView::setAutoRefresh(int minutes, int seconds, bool on)
{
    m_autoRefreshMinutes = minutes;
    m_autoRefreshSeconds = seconds;
    m_autoRefreshOn = on;
    if (BrowserHost *h = host())
        h->pageStateChanged();
}

int BrowserView::autoRefreshInterval() const
{
    return corvane::autoRefreshIntervalMs(m_autoRefreshMinutes, m_autoRefreshSeconds);
}

void BrowserView::startAutoRefreshTimer()
{
    m_autoRefreshTimer.start(autoRefreshInterval());
}

void BrowserView::killAutoRefreshTimer()
{
    m_autoRefreshTimer.stop();
}

void BrowserView::toggleAutoRefresh()
{
    const bool messages = m_host.settings().msgAutoRefresh() != 0;
    if (m_autoRefreshOn) {
        killAutoRefreshTimer();
        m_autoRefreshOn = false;
        if (messages)
            corvaneMessageBox(this, QMessageBox::Information,
                              QString::fromLatin1(corvane::kAutoRefreshDisabledTitle),
                              QString::fromLatin1(corvane::kAutoRefreshDisabledText));
        return;
    }
    if (messages) {
        // The view may go while the message is up (its page's script, the
        // end of the program).
        const QPointer<BrowserView> self(this);
        corvaneMessageBox(this, QMessageBox::Information,
                          QString::fromLatin1(corvane::kAutoRefreshEnabledTitle),
                          QString::fromStdString(corvane::autoRefreshEnabledText(
                              m_autoRefreshMinutes, m_autoRefreshSeconds)));
        if (!self)
            return;
    }
    // The timer starts once the message is closed.
    startAutoRefreshTimer();
    m_autoRefreshOn = true;
}

void BrowserView::onAutoRefreshTick()
{
    log(QString::fromLatin1(corvane::kAutoRefreshTickLogLine));
    if (m_control)
        m_control->reload();
}

// --- navigation events --------------------------------------------------------------

void BrowserView::onNavigationStarting(const QString &url, bool topLevel, bool &cancel)
{
    BrowserHost *h = host();
    // A new page takes the place of ours, and of the last page's questions.
    if (topLevel) {
        hideErrorPage();
        for (const QPointer<RequestBar> &bar : std::exchange(m_loginBars, {}))
            removeRequestBar(bar);
    }
    // 1-2.
    m_stopwatch.start();
    // A script address runs in the page shown: the page's own address stays
    // the one its popups are opened from.
    if (!corvane::isScriptAddress(url.toStdString()))
        m_currentNavigationAddress = url;
    log(QStringLiteral("* Navigation started to URL: [") + url + QStringLiteral("] *"));
    // 3. AutoRefresh waits for the end of this load.
    if (m_autoRefreshOn)
        killAutoRefreshTimer();
    // 4.
    m_navigating = true;
    // Windows this page opens from now on are a burst of their own.
    if (topLevel) {
        m_popupQuestion = nullptr;
        m_burst.clear();
        m_windowsRefused = false;
    }
    // 5.
    if (m_control && h)
        m_control->setOffline(h->isOffline());
    // 6. A document handed in from outside: show the window at once.
    if (h && !m_host.pendingDocumentAddress().isEmpty()) {
        window()->repaint();
        h->insertIEMenu();
    }
    // 7.
    runScriptCloseTest(url, cancel);
    // 8. While the override is on, the script debugger stays off.
    if (h && h->overrideScriptDebugging())
        m_host.settings().setScriptDebuggerSwitch("yes");
    // 9. Silent mode.
    if (m_control) {
        if (m_loudOnce) {
            m_control->setSilent(false);
            m_loudOnce = false;
        } else if (m_host.settings().spawning()) {
            m_control->setSilent(m_host.settings().noDialogs() != 0);
        } else {
            m_control->setSilent(false);
        }
    }
    // 10.
    if (m_popupCheckPending)
        runPopupDecision(url, cancel);
    // 11.
    if (speaksForMainWindow())
        showSecureIndicator(pageAddress(url, topLevel));
    refreshProgress();
    if (h && topLevel && !cancel)
        h->pageStateChanged();
}

void BrowserView::runScriptCloseTest(const QString &url, bool &cancel)
{
    if (!corvane::isScriptCloseAddress(url.toStdString()))
        return;
    cancel = true;
    closeWindowLater();
}

void BrowserView::runPopupDecision(const QString &url, bool &cancel)
{
    m_popupCheckPending = false;
    // Settings and lists are read afresh for every popup.
    const SettingsStore &store = m_host.settings();
    corvane::PopupSettings settings;
    settings.spawning = store.spawning() != 0;
    settings.useFilter = store.spawningFilter() != 0;
    settings.useSallyport = store.spawningSallyport() != 0;
    settings.confirmNewWindow = store.msgConfirmNewWindow() != 0;
    std::vector<std::string> filter;
    std::vector<std::string> sallyport;
    if (settings.spawning) {
        filter = corvane::decodeStoredTexts(store.loadFilter());
        sallyport = corvane::decodeStoredTexts(store.loadSallyport());
    }
    const corvane::PopupDecision decision = corvane::decidePopup(
        settings, filter, sallyport, m_openerAddress.toStdString(), url.toStdString());
    // A script-close address has already sent the window away.
    if (m_closeRequested)
        return;
    switch (decision.verdict) {
    case corvane::PopupDecision::Verdict::Refuse:
        // The window was never shown: it goes without the user seeing it.
        cancel = true;
        closeWindowLater();
        break;
    case corvane::PopupDecision::Verdict::Ask:
        // Nothing of the popup may load or run before the user's Yes: its
        // navigation is refused now and started again then.
        cancel = true;
        holdForAnswer(QString::fromStdString(decision.address));
        break;
    case corvane::PopupDecision::Verdict::Allow:
        showOwnWindowLater();
        break;
    }
}

void BrowserView::showOwnWindowLater()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            BrowserHost *h = host();
            if (h && !m_closeRequested && m_ownWindow)
                h->showPopupWindow(m_ownWindow);
        },
        Qt::QueuedConnection);
}

void BrowserView::holdForAnswer(const QString &lowerAddress)
{
    m_popupHeld = true;
    // The windows a page opens together share one question.
    BrowserView *opener = m_opener;
    PopupQuestion *question = opener ? opener->m_popupQuestion.data() : nullptr;
    if (!question || !question->open()) {
        question = new PopupQuestion(window());
        if (opener) {
            opener->m_popupQuestion = question;
            // After a No the page asks for no more windows until the user
            // does something in it: a page that goes on opening windows is
            // not asked again and again.
            const QPointer<PopupQuestion> asked(question);
            connect(question, &PopupQuestion::answered, opener, [opener, asked](bool allowed) {
                if (!allowed && opener->m_popupQuestion == asked)
                    opener->m_windowsRefused = true;
            });
        }
    }
    question->add(this, lowerAddress);
}

void BrowserView::answerPopup(bool allowed)
{
    if (!m_popupHeld)
        return;
    m_popupHeld = false;
    BrowserHost *h = host();
    if (!allowed || !h || m_closeRequested || !m_ownWindow) {
        closeWindowLater();
        return;
    }
    h->showPopupWindow(m_ownWindow);
    if (m_control)
        m_control->startRefusedNavigation();
}

void BrowserView::closeWindowLater()
{
    m_closeRequested = true;
    // The engine waits inside its call for the answer of a question that
    // is up: the window goes once it is answered.
    if (m_questionsInEngineCall > 0) {
        m_closeAfterQuestion = true;
        return;
    }
    QPointer<BrowserWindow> own = m_ownWindow ? m_ownWindow.data() : browserWindow();
    if (own)
        QMetaObject::invokeMethod(
            own, [own] { if (own) own->closeWithoutAsking(); }, Qt::QueuedConnection);
}

void BrowserView::onStatusTextChanged(const QString &text)
{
    if (m_navigating)
        log(text);
    m_statusText = text;
    if (BrowserHost *h = host())
        h->setStatusText(display(text));
}

void BrowserView::onScrollPositionChanged()
{
    if (BrowserHost *h = host())
        h->pageStateChanged();
}

void BrowserView::onLinkHovered(const QString &url)
{
    // The link's address is a status text like any other.
    if (m_navigating && !url.isEmpty())
        log(url);
    if (BrowserHost *h = host())
        h->setStatusText(display(url.isEmpty() ? m_statusText : url));
}

void BrowserView::onTitleChanged(const QString &title)
{
    if (m_navigating)
        log(title);
    // While a page of ours stands in the page's place, the window names it.
    const QString shown = errorPage() ? errorPage()->title() : title;
    if (m_doc && isActivePane())
        m_doc->setTitle(display(shown));
    update();
}

void BrowserView::onIconChanged(const QIcon &icon)
{
    if (m_doc && isActivePane())
        m_doc->setIcon(icon);
}

void BrowserView::onProgressChanged(int progress, int progressMax)
{
    if (BrowserHost *h = host()) {
        h->setProgress(progress, progressMax);
        h->updateStatusPanes();
    }
    if (hasSavedScrollPosition())
        restoreScrollPosition();
}

void BrowserView::onDocumentComplete(const QString &url, bool topLevel)
{
    // 1-2.
    const QString elapsed = QString::fromStdString(m_stopwatch.elapsedText());
    m_navigating = false;
    log(QStringLiteral("* Navigation complete to URL: [%1] *").arg(url));
    log(QStringLiteral("~ Navigation timed result for URL: [%1] -- %2 ~").arg(url, elapsed));
    log(QStringLiteral(" "));
    // 3.
    const QString address = pageAddress(url, topLevel);
    BrowserHost *h = host();
    const bool speaks = speaksForMainWindow();
    if (h && speaks)
        h->setAddressText(address);
    // 4.
    if (m_autoRefreshOn)
        startAutoRefreshTimer();
    // 5. A frame's completion is not the image's.
    if (m_imageSeries.active && topLevel)
        runImageSeriesStep();
    // 6-8.
    if (speaks)
        showSecureIndicator(address);
    if (hasSavedScrollPosition())
        restoreScrollPosition();
    refreshProgress();
    if (BrowserHost *h = host(); h && topLevel)
        h->pageStateChanged();
    // A page that came in while its window is covered is drawn once.
    if (BrowserWindow *window = browserWindow(); window && topLevel)
        window->settleIfCovered();
}

void BrowserView::onLoadStopped()
{
    // The page stays as it was: its address goes back into the box, and
    // AutoRefresh, paused at the start, goes on.
    m_navigating = false;
    BrowserHost *h = host();
    const QString shown = m_control ? m_control->pageUrl() : QString();
    if (h && speaksForMainWindow()) {
        h->setAddressText(shown);
        showSecureIndicator(shown);
    }
    if (m_autoRefreshOn && !autoRefreshTimerActive())
        startAutoRefreshTimer();
    refreshProgress();
}

void BrowserView::startImageSeries(const QString &dialogText)
{
    const QString shown = m_control ? m_control->pageUrl() : QString();
    if (corvane::startImageSeries(m_imageSeries, dialogText.toStdString(), shown.toStdString())
        == corvane::ImageSeriesStart::NotJpeg) {
        corvaneMessageBox(this, QMessageBox::Information,
                          QString::fromLatin1(corvane::kImageSeriesNotJpegTitle),
                          QString::fromLatin1(corvane::kImageSeriesNotJpegText));
        return;
    }
    runImageSeriesStep();
}

void BrowserView::runImageSeriesStep()
{
    const std::string next = corvane::nextImageAddress(m_imageSeries);
    if (!next.empty())
        navigate(QString::fromStdString(next));
}

void BrowserView::onScriptError(const QString &message, int line, const QString &source)
{
    Q_UNUSED(source);
    // With the script debugger switched off ("yes"), script errors pass
    // unnoticed.
    const std::optional<std::string> debuggerOff = m_host.settings().scriptDebuggerSwitch();
    if (debuggerOff && corvane::fromStoredText(*debuggerOff).compare(QLatin1String("yes"),
                                                                    Qt::CaseInsensitive)
                           == 0)
        return;
    if (BrowserHost *h = host())
        h->setStatusText(display(QStringLiteral("Script error: %1 (line %2)").arg(message).arg(line)));
}

// --- new windows ---------------------------------------------------------------------

void BrowserView::onNewWindowRequested(BrowserControl **newControl, bool &cancel)
{
    // A view that never started a navigation opens no windows, nor does a
    // popup before it may stay.
    if (!corvane::mayOpenPopup(m_currentNavigationAddress.toStdString()) || m_popupCheckPending
        || m_popupHeld) {
        cancel = true;
        return;
    }
    // A burst of asked windows holds only so many, and none after its No.
    if (burstRefuses()) {
        cancel = true;
        return;
    }
    // The window stays hidden until the decision at its first navigation
    // start.
    BrowserView *view = m_host.openPopupWindow();
    if (!view || !view->control()) {
        if (view)
            view->closeWindowLater();
        cancel = true;
        return;
    }
    view->setPopupCheckPending(true);
    view->setOpenerAddress(m_currentNavigationAddress);
    view->setOpener(this);
    view->setOwnWindow(view->browserWindow());
    // Each window the user is to be asked about waits hidden, with a page
    // of the engine, until the answer: those are the ones counted.
    if (m_host.settings().msgConfirmNewWindow())
        m_burst.append(view);
    *newControl = view->control();
}

bool BrowserView::burstRefuses()
{
    if (m_windowsRefused)
        return true;
    m_burst.removeIf([](const QPointer<BrowserView> &popup) { return popup.isNull(); });
    const bool waiting = std::any_of(m_burst.begin(), m_burst.end(), [](const QPointer<BrowserView> &popup) {
        return popup->popupCheckPending() || popup->popupHeld();
    });
    // The burst is over once its question is and none of its windows waits.
    if (!waiting && !(m_popupQuestion && m_popupQuestion->open()))
        m_burst.clear();
    return m_burst.size() >= corvane::kPopupBurstMaxWindows;
}

void BrowserView::onViewSourceWindowRequested(BrowserControl **newControl)
{
    // The user asked for it: a window of its own, no popup decision.
    BrowserView *view = m_host.openBrowserWindow();
    *newControl = view ? view->control() : nullptr;
}

void BrowserView::onWindowCloseRequested()
{
    // A page's window.close(): the window goes once the event is over.
    closeWindowLater();
}

// --- closing -----------------------------------------------------------------------------

BrowserControl::CloseAnswer BrowserView::requestClose()
{
    return m_control ? m_control->requestClose() : BrowserControl::CloseAnswer::Close;
}

void BrowserView::onCloseAnswered(bool mayClose)
{
    Q_EMIT closeAnswered(mayClose);
}

bool BrowserView::onLeavePageAsked(const QString &address)
{
    // The program ending closes without questions.
    if (m_destroying || modalQuestionsEnded())
        return true;
    // The page that asks comes into view first, as the window's active pane.
    if (BrowserWindow *window = browserWindow())
        window->bringForward(this);
    const QPointer<BrowserView> self(this);
    const QMessageBox::StandardButton answer = corvaneMessageBox(
        window(), QMessageBox::Question, QString::fromLatin1(corvane::kLeavePageTitle),
        QString::fromStdString(corvane::leavePageQuestion(address.toStdString())),
        QMessageBox::Yes | QMessageBox::No);
    if (!self || modalQuestionsEnded())
        return true;
    const bool leave = answer == QMessageBox::Yes;
    log(QString::fromStdString(corvane::leavePageLogLine(address.toStdString(), leave)));
    return leave;
}

// --- full screen --------------------------------------------------------------------------

bool BrowserView::isFullScreen() const
{
    return m_fullScreen != nullptr;
}

FullScreenWindow *BrowserView::fullScreenWindow() const
{
    return m_fullScreen;
}

bool BrowserView::onFullScreenRequested(bool on)
{
    if (m_destroying)
        return false;
    if (on) {
        m_pageFullScreen = true;
        enterFullScreen(true);
        return true;
    }
    m_pageFullScreen = false;
    // The user's own full screen stays.
    if (m_fullScreen && !m_userFullScreen)
        restoreFromFullScreen();
    else if (m_fullScreen)
        m_fullScreen->setEscapeLeaves(false);
    return true;
}

void BrowserView::toggleFullScreen()
{
    if (m_fullScreen) {
        leaveFullScreen();
        return;
    }
    m_userFullScreen = true;
    enterFullScreen(false);
}

void BrowserView::leaveFullScreen()
{
    const bool pageAsked = m_pageFullScreen;
    m_userFullScreen = false;
    m_pageFullScreen = false;
    restoreFromFullScreen();
    // The page leaves its own full screen too (it answers with a request
    // to leave, which finds the view as it is).
    if (pageAsked && m_control)
        m_control->exitFullScreen();
}

void BrowserView::enterFullScreen(bool pageAsked)
{
    const QString address = m_control ? m_control->pageUrl() : QString();
    const QString notice =
        QString::fromStdString(corvane::fullScreenNotice(address.toStdString(), pageAsked));
    if (m_fullScreen) {
        m_fullScreen->setEscapeLeaves(m_pageFullScreen);
        m_fullScreen->showNotice(notice);
        return;
    }
    QWidget *page = m_control ? m_control->widget() : nullptr;
    if (!page)
        return;
    // Let go of the focus first: a focused widget that leaves hands it to
    // the next pane, which would become the window's active pane.
    if (QWidget *focus = QApplication::focusWidget(); focus && (focus == page || page->isAncestorOf(focus)))
        focus->clearFocus();
    layout()->removeWidget(page);
    log(QString::fromStdString(corvane::fullScreenLogLine(address.toStdString(), pageAsked, true)));
    m_fullScreen = new FullScreenWindow(page, window());
    m_fullScreen->setEscapeLeaves(m_pageFullScreen);
    connect(m_fullScreen, &FullScreenWindow::leaveRequested, this, &BrowserView::leaveFullScreen);
    m_fullScreen->showFullScreen();
    m_fullScreen->activateWindow();
    m_fullScreen->showNotice(notice);
    page->setFocus(Qt::OtherFocusReason);
}

void BrowserView::restoreFromFullScreen()
{
    if (!m_fullScreen)
        return;
    FullScreenWindow *fullScreen = m_fullScreen;
    m_fullScreen = nullptr;
    if (QWidget *page = fullScreen->takeContent()) {
        layout()->addWidget(page);
        page->show();
    }
    fullScreen->hide();
    if (!m_destroying)
        log(QString::fromStdString(corvane::fullScreenLogLine(
            (m_control ? m_control->pageUrl() : QString()).toStdString(), false, false)));
    // It may be the sender of the key that ended it.
    fullScreen->deleteLater();
    window()->activateWindow();
    if (m_control && m_control->widget())
        m_control->widget()->setFocus(Qt::OtherFocusReason);
}

// --- input ------------------------------------------------------------------------------

void BrowserView::watch(QWidget *widget)
{
    // The engine draws into child widgets it creates as it goes; a click
    // lands on them.
    widget->installEventFilter(this);
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool BrowserView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            watch(child);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Drop:
        // The user's own doing: the page's next windows are asked about
        // again.
        m_windowsRefused = false;
        break;
    case QEvent::MouseButtonRelease:
        // A click into the page ends the restoring of a saved position.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            setSavedScrollPosition(0, 0);
        break;
    case QEvent::FocusIn:
        if (!m_destroying) {
            // The splitter makes this the active pane first, so the window
            // shows this pane's page.
            Q_EMIT focusEntered();
            activationRefresh();
        }
        break;
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
    void (BrowserView::*handler)();
};
constexpr ViewCommand kViewCommands[] = {
    {corvane::cmd::Home, &BrowserView::goHome},         {corvane::cmd::Refresh, &BrowserView::reload},
    {corvane::cmd::Stop, &BrowserView::stop},         {corvane::cmd::Back, &BrowserView::goBack},
    {corvane::cmd::Forward, &BrowserView::goForward},   {corvane::cmd::Open, &BrowserView::openFile},
    {corvane::cmd::Copy, &BrowserView::copy},         {corvane::cmd::Cut, &BrowserView::cut},
    {corvane::cmd::Paste, &BrowserView::paste},       {corvane::cmd::Undo, &BrowserView::undo},
    {corvane::cmd::Redo, &BrowserView::redo},         {corvane::cmd::SelectAll, &BrowserView::selectAll},
    {corvane::cmd::SaveAs, &BrowserView::saveAs},     {corvane::cmd::Preview, &BrowserView::printPreview},
    {corvane::cmd::Print, &BrowserView::print},       {corvane::cmd::Find, &BrowserView::findInPage},
    {corvane::cmd::ViewSource, &BrowserView::viewSource},
    {corvane::cmd::AutoRefresh, &BrowserView::toggleAutoRefresh},
    {corvane::cmd::Properties, &BrowserView::showProperties},
    {corvane::cmd::TextLarger, &BrowserView::makeTextLarger},
    {corvane::cmd::TextSmaller, &BrowserView::makeTextSmaller},
    {corvane::cmd::FullScreen, &BrowserView::toggleFullScreen},
};

bool isFontsCommand(int id)
{
    return id >= corvane::cmd::FontsHuge && id <= corvane::cmd::FontsTiny;
}
} // namespace

bool BrowserView::handlesCommand(int id)
{
    if (isFontsCommand(id))
        return true;
    for (const ViewCommand &c : kViewCommands)
        if (c.id == id)
            return true;
    return false;
}

bool BrowserView::runCommand(int id)
{
    if (isFontsCommand(id)) {
        changeFonts(id);
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

void BrowserView::goHome()
{
    const std::string home = m_host.settings().homeUrl();
    navigate(home.empty() ? QString::fromLatin1(corvane::kDefaultStartPage)
                          : corvane::fromStoredText(home));
}

void BrowserView::reload()
{
    BrowserHost *h = host();
    if (h && m_host.settings().msgOffline() && h->isOffline()) {
        // The window may close while the question is up (its page's script,
        // the end of the program).
        const QPointer<BrowserView> self(this);
        const QMessageBox::StandardButton answer = corvaneMessageBox(
            this, QMessageBox::Question, QStringLiteral("Offline mode alert"),
            QStringLiteral("You are currently working offline.  Would you like to go online?"),
            QMessageBox::Yes | QMessageBox::No);
        if (!self || !(h = host()))
            return;
        if (answer == QMessageBox::Yes) {
            h->setOffline(false);
            if (m_control)
                m_control->setOffline(false);
        }
    }
    if (m_control)
        m_control->reload(BrowserControl::ReloadLevel::Complete);
}

void BrowserView::stop()
{
    m_navigating = false;
    if (!m_control)
        return;
    m_control->stop();
    log(QStringLiteral("* Navigation stopped by user for URL: [%1] *").arg(m_control->pageUrl()));
    if (m_autoRefreshOn) {
        killAutoRefreshTimer();
        m_autoRefreshOn = false;
        m_host.pageStateChanged();
    }
    corvane::stopImageSeries(m_imageSeries);
}

void BrowserView::goBack()
{
    if (m_control)
        m_control->goBack();
}

void BrowserView::goForward()
{
    if (m_control)
        m_control->goForward();
}

void BrowserView::openFile()
{
    const QString filter =
        QString::fromStdString(corvane::dialogFileFilter(corvane::kOpenFileFilter));
    // The dialog belongs to the main window: this window may close while it
    // is up.
    const QPointer<BrowserView> self(this);
    const QString path =
        QFileDialog::getOpenFileName(window(), QStringLiteral("Open"), QString(), filter);
    if (self && !path.isEmpty())
        navigate(path);
}

void BrowserView::changeFonts(int id)
{
    const int fonts = corvane::fontsForCommand(id);
    if (fonts == 0)
        return;
    if (BrowserHost *h = host())
        h->setFontSize(fonts);
    m_host.settings().setFonts(fonts);
    m_fonts = fonts;
    // Only this view changes; the stored value checks the Fonts menu item.
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::Zoom, corvane::zoomArgumentForFonts(fonts));
}

void BrowserView::makeTextLarger()
{
    changeFonts(corvane::commandForFonts(corvane::fontsAfterStep(m_fonts, true)));
}

void BrowserView::makeTextSmaller()
{
    changeFonts(corvane::commandForFonts(corvane::fontsAfterStep(m_fonts, false)));
}

bool BrowserView::editFieldCommand(const char *slot)
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

void BrowserView::editOrPage(const char *slot, BrowserControl::PageCommand command)
{
    if (!editFieldCommand(slot) && m_control)
        m_control->runPageCommand(command);
}

void BrowserView::copy()
{
    editOrPage("copy", BrowserControl::PageCommand::Copy);
}

void BrowserView::cut()
{
    editOrPage("cut", BrowserControl::PageCommand::Cut);
}

void BrowserView::paste()
{
    editOrPage("paste", BrowserControl::PageCommand::Paste);
}

void BrowserView::undo()
{
    editOrPage("undo", BrowserControl::PageCommand::Undo);
}

void BrowserView::redo()
{
    editOrPage("redo", BrowserControl::PageCommand::Redo);
}

void BrowserView::selectAll()
{
    editOrPage("selectAll", BrowserControl::PageCommand::SelectAll);
}

void BrowserView::saveAs()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::SaveAs);
}

void BrowserView::printPreview()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::PrintPreview);
}

void BrowserView::print()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::Print);
}

void BrowserView::findInPage()
{
    if (m_control)
        m_control->find();
}

void BrowserView::viewSource()
{
    if (m_control)
        m_control->viewSource();
}

void BrowserView::showProperties()
{
    if (m_control)
        m_control->runPageCommand(BrowserControl::PageCommand::Properties);
}

// --- the page's requests ---------------------------------------------------------------

bool BrowserView::userLooksAtWindow() const
{
    const BrowserWindow *own = browserWindow();
    const QWidget *top = window();
    if (!own || !own->isVisible() || !top || !top->isVisible() || top->isMinimized())
        return false;
    const BrowserHost *h = host();
    const BrowserView *active = h ? h->activeView() : nullptr;
    return active && active->browserWindow() == own;
}

corvane::PageSecurity BrowserView::pageSecurity(const QString &address) const
{
    const bool certificateError =
        (m_control && m_control->hasCertificateError(address))
        || (errorPage() && errorPage()->kind() == ErrorPage::Kind::CertificateError);
    return corvane::pageSecurity(address.toStdString(), certificateError);
}

ErrorPage *BrowserView::errorPage() const
{
    return m_errorPage && !m_errorPage->isHidden() ? m_errorPage.data() : nullptr;
}

QList<RequestBar *> BrowserView::requestBars() const
{
    QList<RequestBar *> bars;
    // Those answered are hidden until they go.
    for (RequestBar *bar : findChildren<RequestBar *>(QString(), Qt::FindDirectChildrenOnly))
        if (!bar->isHidden())
            bars.append(bar);
    return bars;
}

void BrowserView::showErrorPage()
{
    if (!m_errorPage) {
        m_errorPage = new ErrorPage(this);
        layout()->addWidget(m_errorPage);
        watch(m_errorPage);
        connect(m_errorPage, &ErrorPage::reloadRequested, this, &BrowserView::reload);
        connect(m_errorPage, &ErrorPage::goBackRequested, this, &BrowserView::goBack);
        connect(m_errorPage, &ErrorPage::goOnRequested, this, [this] {
            if (!m_errorPage || !m_control)
                return;
            const QString url = m_errorPage->url();
            log(QString::fromStdString(corvane::certificateAcceptedLogLine(url.toStdString())));
            m_control->goOnDespiteCertificate(url);
        });
    }
    const bool hadFocus = m_control && m_control->widget() && m_control->widget()->hasFocus();
    if (m_control && m_control->widget())
        m_control->widget()->hide();
    m_errorPage->show();
    setFocusProxy(m_errorPage);
    if (hadFocus)
        m_errorPage->setFocus();
}

void BrowserView::hideErrorPage()
{
    if (!m_errorPage || m_errorPage->isHidden())
        return;
    m_errorPage->hide();
    if (m_control && m_control->widget()) {
        m_control->widget()->show();
        setFocusProxy(m_control->widget());
    }
}

RequestBar *BrowserView::addRequestBar(const QString &text, const QString &acceptText,
                                       const QString &rejectText)
{
    auto *bar = new RequestBar(text, acceptText, rejectText, this);
    // Above the page, in the order asked.
    if (auto *box = qobject_cast<QBoxLayout *>(layout())) {
        int at = 0;
        while (at < box->count() && qobject_cast<RequestBar *>(box->itemAt(at)->widget()))
            ++at;
        box->insertWidget(at, bar);
    }
    bar->show();
    return bar;
}

void BrowserView::removeRequestBar(RequestBar *bar)
{
    if (!bar)
        return;
    // It may be the one whose button is being handled.
    bar->hide();
    bar->deleteLater();
}

// --- logins ---------------------------------------------------------------------------------

void BrowserView::onLoginRequested(LoginRequest &request)
{
    corvane::SessionLogins &logins = WebProfile::instance()->sessionLogins();
    const std::string host = request.host.toStdString();
    const std::string realm = request.realm.toStdString();
    const std::string url = request.url.toStdString();
    if (const auto login = logins.takeForRequest(host, realm, request.proxy)) {
        request.user = QString::fromStdString(login->user);
        request.password = QString::fromStdString(login->password);
        request.given = true;
        log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::Session)));
        return;
    }
    const bool refused = logins.handedOver(host, realm, request.proxy);
    if (!userLooksAtWindow()) {
        // Cancelled for now: the server's page shows under the bar, whose
        // Log In loads the page again with what the user types.
        log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::Later)));
        addLoginBar(request, refused);
        return;
    }
    const QPointer<BrowserView> self(this);
    ++m_questionsInEngineCall;
    const std::optional<LoginAnswer> answer = corvaneLoginDialog(
        this, QString::fromLatin1(corvane::kLoginTitle),
        QString::fromStdString(corvane::loginQuestionText(host, realm, request.proxy,
                                                          request.encrypted, refused)),
        QString::fromStdString(logins.lastUser(host, realm, request.proxy)));
    if (!self)
        return;
    --m_questionsInEngineCall;
    if (answer && corvane::isUsableLogin(answer->user.toStdString())) {
        logins.rememberHandedOver(host, realm, request.proxy,
                                  {answer->user.toStdString(), answer->password.toStdString()});
        request.user = answer->user;
        request.password = answer->password;
        request.given = true;
        log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::ByUser)));
    } else {
        log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::Cancelled)));
    }
    if (m_closeAfterQuestion && m_questionsInEngineCall == 0) {
        m_closeAfterQuestion = false;
        closeWindowLater();
    }
}

void BrowserView::addLoginBar(const LoginRequest &request, bool refusedBefore)
{
    const QString text = QString::fromStdString(
        corvane::loginBarText(request.host.toStdString(), request.realm.toStdString(), request.proxy));
    for (const QPointer<RequestBar> &bar : m_loginBars)
        if (bar && bar->text() == text)
            return;
    RequestBar *bar = addRequestBar(text, QString::fromLatin1(corvane::kLoginLaterButtonText),
                                    QStringLiteral("&Cancel"));
    m_loginBars.append(bar);
    const QPointer<RequestBar> guard(bar);
    connect(bar, &RequestBar::answered, this, [this, guard, request, refusedBefore](bool accepted) {
        m_loginBars.removeAll(guard);
        removeRequestBar(guard);
        const std::string host = request.host.toStdString();
        const std::string realm = request.realm.toStdString();
        const std::string url = request.url.toStdString();
        if (!accepted) {
            log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::Cancelled)));
            return;
        }
        corvane::SessionLogins &logins = WebProfile::instance()->sessionLogins();
        const QPointer<BrowserView> self(this);
        const std::optional<LoginAnswer> answer = corvaneLoginDialog(
            this, QString::fromLatin1(corvane::kLoginTitle),
            QString::fromStdString(corvane::loginQuestionText(host, realm, request.proxy,
                                                              request.encrypted, refusedBefore)),
            QString::fromStdString(logins.lastUser(host, realm, request.proxy)));
        if (!self)
            return;
        if (!answer || !corvane::isUsableLogin(answer->user.toStdString())) {
            log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::Cancelled)));
            return;
        }
        logins.rememberForNextRequest(host, realm, request.proxy,
                                      {answer->user.toStdString(), answer->password.toStdString()});
        log(QString::fromStdString(corvane::loginLogLine(url, realm, request.proxy, corvane::LoginAnswer::ByUser)));
        // The page asks again, and the engine gets what was typed.
        if (m_control)
            m_control->reload();
    });
}

// --- certificate errors and a stopped page ---------------------------------------------

void BrowserView::onCertificateError(const CertificateError &error)
{
    const QString problem = QString::fromStdString(corvane::certificateProblemText(
        error.code, error.host.toStdString(), error.description.toStdString()));
    log(QString::fromStdString(corvane::certificateErrorLogLine(error.url.toStdString(), problem.toStdString())));
    showErrorPage();
    m_errorPage->showCertificateError(error.url, error.host, problem, error.overridable);
    onTitleChanged(m_errorPage->title());
}

void BrowserView::onPageStopped(corvane::PageStop how)
{
    const QString url = m_control ? m_control->pageUrl() : QString();
    log(QString::fromStdString(corvane::pageStoppedLogLine(url.toStdString(), how)));
    m_navigating = false;
    showErrorPage();
    m_errorPage->showPageStopped(url, QString::fromStdString(corvane::pageStoppedText(how)));
    onTitleChanged(m_errorPage->title());
    refreshProgress();
}

void BrowserView::onOfflineLoadRefused(const QString &url)
{
    // The engine's page would name the block in another product's words.
    log(QString::fromStdString(corvane::offlinePageLogLine(url.toStdString())));
    showErrorPage();
    m_errorPage->showOffline(url);
    onTitleChanged(m_errorPage->title());
}

// --- permissions ------------------------------------------------------------------------------

void BrowserView::onPermissionRequested(const QString &site, corvane::SiteFeature feature)
{
    const std::optional<bool> remembered =
        m_host.settings().loadSitePermissions().answer(site.toStdString(), feature);
    if (remembered) {
        log(QString::fromStdString(corvane::permissionLogLine(
            feature, site.toStdString(), *remembered, corvane::PermissionAnswer::Remembered)));
        if (m_control)
            m_control->answerPermission(site, feature, *remembered);
        return;
    }
    // One question for the site and feature, however often the page asks.
    for (const PermissionQuestion &q : m_permissionQuestions)
        if (q.site == site && q.feature == feature)
            return;
    m_permissionQuestions.append({site, feature, nullptr});
    askPermissionsLater();
}

void BrowserView::onPermissionRequestCancelled(const QString &site, corvane::SiteFeature feature)
{
    for (auto it = m_permissionQuestions.begin(); it != m_permissionQuestions.end(); ++it) {
        if (it->site == site && it->feature == feature) {
            removeRequestBar(it->bar);
            m_permissionQuestions.erase(it);
            return;
        }
    }
}

void BrowserView::askPermissionsLater()
{
    // Not inside the engine's call: the question waits for the event to end.
    if (m_permissionsQueued)
        return;
    m_permissionsQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_permissionsQueued = false;
            askPermissions();
        },
        Qt::QueuedConnection);
}

void BrowserView::askPermissions()
{
    if (m_askingPermission || !host())
        return;
    const QPointer<BrowserView> self(this);
    for (;;) {
        auto it = std::find_if(m_permissionQuestions.begin(), m_permissionQuestions.end(),
                               [](const PermissionQuestion &q) { return !q.bar; });
        if (it == m_permissionQuestions.end())
            return;
        const QString site = it->site;
        const corvane::SiteFeature feature = it->feature;
        // Another window may have had the answer meanwhile.
        if (const std::optional<bool> remembered =
                m_host.settings().loadSitePermissions().answer(site.toStdString(), feature)) {
            answerPermission(site, feature, *remembered, corvane::PermissionAnswer::Remembered);
            continue;
        }
        const QString hostName = QUrl(site).port() > 0
                                     ? QStringLiteral("%1:%2").arg(QUrl(site).host()).arg(QUrl(site).port())
                                     : QUrl(site).host();
        const QString name = hostName.isEmpty() ? site : hostName;
        if (!userLooksAtWindow()) {
            RequestBar *bar = addRequestBar(
                QString::fromStdString(corvane::permissionBarText(feature, name.toStdString())),
                QString::fromLatin1(corvane::kAllowButtonText), QString::fromLatin1(corvane::kDenyButtonText));
            it->bar = bar;
            connect(bar, &RequestBar::answered, this, [this, site, feature](bool allowed) {
                answerPermission(site, feature, allowed, corvane::PermissionAnswer::ByUser);
            });
            continue;
        }
        m_askingPermission = true;
        const QMessageBox::StandardButton answer = corvaneMessageBox(
            this, QMessageBox::Question, QString::fromLatin1(corvane::kPermissionQuestionTitle),
            QString::fromStdString(corvane::permissionQuestionText(feature, name.toStdString())),
            QMessageBox::Yes | QMessageBox::No,
            {{QMessageBox::Yes, QString::fromLatin1(corvane::kAllowButtonText)},
             {QMessageBox::No, QString::fromLatin1(corvane::kDenyButtonText)}});
        if (!self)
            return;
        m_askingPermission = false;
        if (answer == QMessageBox::Yes || answer == QMessageBox::No)
            answerPermission(site, feature, answer == QMessageBox::Yes, corvane::PermissionAnswer::ByUser);
        else
            answerPermission(site, feature, false, corvane::PermissionAnswer::Unanswered);
    }
}

void BrowserView::answerPermission(const QString &site, corvane::SiteFeature feature, bool allowed,
                                   corvane::PermissionAnswer how)
{
    if (how == corvane::PermissionAnswer::ByUser) {
        corvane::SitePermissionList kept = m_host.settings().loadSitePermissions();
        kept.remember(site.toStdString(), feature, allowed);
        m_host.settings().storeSitePermissions(kept);
    }
    log(QString::fromStdString(corvane::permissionLogLine(feature, site.toStdString(), allowed, how)));
    for (auto it = m_permissionQuestions.begin(); it != m_permissionQuestions.end(); ++it) {
        if (it->site == site && it->feature == feature) {
            removeRequestBar(it->bar);
            m_permissionQuestions.erase(it);
            break;
        }
    }
    if (m_control)
        m_control->answerPermission(site, feature, allowed);
}
