#include "mainframe/MainWindow.h"

#include "browser/BrowserWindow.h"
#include "browser/BrowserView.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/CommandTable.h"
#include "core/Downloads.h"
#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/StatusPanes.h"
#include "core/TabStyle.h"
#include "core/WindowStack.h"
#include "core/Workspace.h"
#include "engine/DownloadList.h"
#include "engine/WebProfile.h"
#include "mainframe/AddressBar.h"
#include "mainframe/DownloadsWindow.h"
#include "mainframe/Icons.h"
#include "mainframe/PasswordDialog.h"
#include "mainframe/TrayIcon.h"
#include "ui/MenuStyle.h"
#include "mainframe/StatusPane.h"
#include "mainframe/WindowTabBar.h"
#include "ui/MessageBox.h"
#include "ui/StoredQString.h"
#include "ui/WindowPlatform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QPointer>
#include <QResizeEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QQuickWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <functional>

namespace {

Rect toRect(const QRect &r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// The room the main window gives its browser windows: the MDI area, and the
// window tabs around it while they are shown.
class ClientRoom : public QWidget
{
public:
    ClientRoom(std::function<void()> layout, QWidget *parent)
        : QWidget(parent), m_layout(std::move(layout))
    {
    }

protected:
    void resizeEvent(QResizeEvent *) override { m_layout(); }

private:
    std::function<void()> m_layout;
};
} // namespace

MainWindow::MainWindow(SettingsStore &settings, NavigationLog &log)
    : m_settings(settings), m_log(log)
{
    SettingsStore &s = m_settings;
    setWindowTitle(QStringLiteral("Corvane"));
    setWindowIcon(corvane::icons::appIcon());
    // The browser windows show the program's icon too.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(windowIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The web pages are composed through the scene graph. A hidden widget of
    // that kind makes the main window's native window fit for it from the
    // start: otherwise the first page opened after the window was shown (a
    // restored workspace) makes the native window again, and the status
    // panes' surfaces would go with the old one.
    (new QQuickWidget(this))->hide();

    // 1. The bars; creation toggles the toolbar and status bar once each.
    m_toolBarVisible = s.hideToolBar() != 0;
    m_statusBarVisible = s.hideStatusBar() != 0;
    m_addressBarVisible = s.showAddressBar() != 0;
    // 2. The protected indicator.
    m_protected = (s.hasPassword() && s.minimizeToTray()) ? QStringLiteral("P")
                                                                        : QString();
    // 3.
    m_showTimer = s.showTimer() != 0;
    m_fontSize = s.fonts();
    m_offline = s.offline() != 0;
    // 4. Offer to go online.
    if (!s.cdSupport() && s.msgOffline() && m_offline) {
        if (corvaneMessageBox(nullptr, QMessageBox::Question, QStringLiteral("Offline mode alert"),
                              QStringLiteral("You are currently working offline.  Would you like "
                                             "to go online?"),
                              QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes)
            m_offline = false;
    }
    // 5.
    m_closingAll = false;
    m_popupScanning = s.spawning() != 0;
    // 6. Take over the script-debugger switch, remembering what it was.
    m_overrideScriptDebugging = s.overrideScriptDebugging() != 0;
    if (m_overrideScriptDebugging && s.previousDebuggerValue().empty()) {
        std::string previous = s.scriptDebuggerSwitch().value_or("yes");
        if (previous.size() > 259)
            previous.resize(259);
        s.setPreviousDebuggerValue(previous);
    }
    // 7.
    m_addressTyping = false;
    m_loadingWorkspace = false;
    m_autoSaveAtCreation = s.autoSave() != 0;
    m_statusText = QString::fromLatin1(corvane::kIdlePrompt);

    // --- creation ---------------------------------------------------------------
    if (s.savePosition())
        restorePlacement();
    else
        resize(952 - 88, 697 - 88);
    m_client = new ClientRoom([this] { layoutClient(); }, this);
    m_mdi = new QMdiArea(m_client);
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    setCentralWidget(m_client);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::onSubWindowActivated);

    // The commands, the menus of both bars and the accelerators.
    createActions();
    buildMenus();
    showMenus(false);

    // 3.-6. The toolbar and the address band, side by side in one row.
    createToolBars();
    loadToolbarImages(corvane::useFavoritesToolbar(s.ie() != 0, s.linksAlwaysOn() != 0)
                          ? 156
                          : 128);
    // 7.-8. The status bar with its five panes.
    createStatusBar();
    updateStatusPanes();
    // 10. The stored visibility of both bars.
    toggleToolBar();
    toggleStatusBar();
    // 11. Timer 2 keeps the elapsed time and the panes up to date.
    m_runTime.start();
    m_clockTimer = startTimer(1000);
    // 12.
    setWindowFlag(Qt::WindowStaysOnTopHint, s.alwaysOnTop() != 0);
    m_tray = new TrayIcon(this);
    connect(m_tray, &TrayIcon::clicked, this, &MainWindow::trayIconClicked);
    // 13. The address history.
    if (s.saveAddressHistory()) {
        QStringList history;
        for (const std::string &item : s.loadAddressHistory())
            history << corvane::fromStoredText(item);
        m_address->appendItems(history);
    }
    // 14. The window tabs.
    if (s.hideTabs()) {
        m_tabsVisible = false;
    } else {
        createTabs();
        m_tabsVisible = true;
    }
    // 15. Menu icons.
    applyMenuIcons();
    updateCommandUI();

    // A download that starts shows in the Downloads window, unless the user
    // turned that off.
    WebProfile::instance()->setAskWhereToSave(s.askWhereToSave() != 0);
    connect(DownloadList::instance(), &DownloadList::added, this, [this](Download *download) {
        logDownload(download);
        if (!m_destroying && m_settings.showDownloadsOnStart())
            showDownloads(false);
    });
    connect(DownloadList::instance(), &DownloadList::downloadFinished, this, &MainWindow::logDownload);
}

MainWindow::~MainWindow()
{
    saveOnDestroy();
    m_destroying = true;
    if (m_clockTimer)
        killTimer(m_clockTimer);
    // The tabs let go of the area; the browser windows go next, while the
    // window they report to is whole.
    delete m_tabBar;
    m_tabBar = nullptr;
    QMdiArea *mdi = m_mdi;
    m_mdi = nullptr;
    disconnect(mdi, nullptr, this, nullptr);
    for (QMdiSubWindow *w : mdi->subWindowList())
        disconnect(w, nullptr, this, nullptr);
    delete mdi;
}

void MainWindow::restorePlacement()
{
    SettingsStore::MainPlacement creation;
    creation.rect = Rect{88, 88, 952, 697};
    creation.showCmd = 1;
    std::optional<Rect> workArea;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        workArea = toRect(screen->availableGeometry());
    const SettingsStore::MainPlacement placement =
        m_settings.restoreMainPlacement(creation, workArea);
    m_startShowCmd = placement.showCmd;
    m_givenPlace = placement.stored;
    setGeometry(placement.rect.left, placement.rect.top, placement.rect.width(),
                placement.rect.height());
}

void MainWindow::showWithStartState()
{
    insertIEMenu();
    if (m_startShowCmd == 3)
        showMaximized();
    else if (m_startShowCmd == 2 || m_startShowCmd == 6 || m_startShowCmd == 7) {
        m_minimizingItself = true;
        showMinimized();
        m_minimizingItself = false;
    } else
        show();
    showPendingNotice();
}

void MainWindow::bringToFront()
{
    // Back to the size it had, maximized or not.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// --- the tray and always on top ------------------------------------------------------

void MainWindow::hideToTray()
{
    hide();
    m_tray->add();
    m_inTray = true;
}

void MainWindow::trayIconClicked()
{
    if (m_promptOpen || !m_inTray)
        return;
    if (!m_settings.hasPassword()) {
        showFromTray();
        return;
    }
    m_authenticated = false;
    m_promptOpen = true;
    // The window may go while the dialog is up (the program ending); the
    // dialog goes with it.
    QPointer<PasswordDialog> dialog = new PasswordDialog(m_settings, this);
    dialog->exec();
    if (!dialog)
        return;
    m_authenticated = dialog->authenticated();
    delete dialog;
    m_promptOpen = false;
    if (m_authenticated)
        showFromTray();
}

void MainWindow::showFromTray()
{
    bringToFront();
    removeFromTray();
}

void MainWindow::removeFromTray()
{
    m_tray->remove();
    m_inTray = false;
}

bool MainWindow::trayAvailable() const
{
    return TrayIcon::available();
}

bool MainWindow::alwaysOnTop() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void MainWindow::setAlwaysOnTop(bool on)
{
    if (alwaysOnTop() == on)
        return;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    QWindow *native = windowHandle();
    if (!native) {
        setWindowFlags(flags);
        return;
    }
    // Told to the native window as it is: QWidget::setWindowFlags would
    // make it again, and the status panes' surfaces and the size the
    // window manager gave the window would go with the old one. Where the
    // desktop cannot keep a window above the others (Wayland) the flag is
    // only kept, for the window's next native window.
    overrideWindowFlags(flags);
    native->setFlags(flags);
}

void MainWindow::createTabs()
{
    // While a workspace loads, its own painting hold covers this.
    const bool hold = !m_loadingWorkspace && updatesEnabled();
    if (hold)
        setUpdatesEnabled(false);
    delete m_tabBar;
    const SettingsStore &s = m_settings;
    m_tabBar = new WindowTabBar(m_mdi,
                                corvane::tabStyle(s.tabsBottomPlacement() != 0, s.tabsButtons() != 0,
                                                  s.tabsStacked() != 0),
                                m_client);
    m_tabBar->lower();
    layoutClient();
    m_tabBar->updateTabs(true);
    if (hold)
        setUpdatesEnabled(true);
}

void MainWindow::destroyTabs()
{
    delete m_tabBar;
    m_tabBar = nullptr;
    layoutClient();
}

void MainWindow::layoutClient()
{
    if (!m_client || !m_mdi)
        return;
    if (m_tabBar) {
        m_tabBar->setGeometry(m_client->rect());
        m_tabBar->layoutClient();
    } else {
        m_mdi->setGeometry(m_client->rect());
    }
}

// --- browser windows -------------------------------------------------------------

BrowserWindow *MainWindow::activeBrowserWindow() const
{
    // The current window stays current while another application or a
    // message box has the focus.
    return m_mdi ? qobject_cast<BrowserWindow *>(m_mdi->currentSubWindow()) : nullptr;
}

BrowserView *MainWindow::activeView() const
{
    BrowserWindow *window = activeBrowserWindow();
    return window ? window->activeView() : nullptr;
}

void MainWindow::addBrowserWindow(BrowserWindow *window)
{
    adoptBrowserWindow(window);
    showBrowserWindow(window);
}

void MainWindow::adoptBrowserWindow(BrowserWindow *window)
{
    m_mdi->addSubWindow(window);
    // The window's menu carries the program's name down its side.
    MenuStyle::setSideTitle(window->systemMenu(), QStringLiteral("Corvane"));
    connect(window, &BrowserWindow::activeViewChanged, this,
            [this, window](BrowserView *view) { onActiveViewChanged(window, view); });
    connect(window, &BrowserWindow::splitMenuRequested, this, &MainWindow::showSplitMenu);
    connect(window, &BrowserWindow::placementChanged, this, &MainWindow::windowsChanged);
    connect(window, &BrowserWindow::closeRefused, this,
            [this, window] { onBrowserWindowCloseRefused(window); });
    connect(window, &QMdiSubWindow::windowStateChanged, this, &MainWindow::scheduleCoverUpdate);
    connect(window->splitter(), &PaneSplitter::layoutChanged, this, &MainWindow::windowsChanged);
    connect(window, &QObject::destroyed, this, [this] {
        if (m_destroying)
            return;
        Q_EMIT windowsChanged();
        scheduleCoverUpdate();
        // Once the window is gone: the next window of a Close All, the menu
        // bar for what is left, and the commands' states.
        QTimer::singleShot(0, this, [this] {
            if (m_destroying || !m_mdi)
                return;
            if (m_closingAll)
                closeNextWindow();
            updateCommandUI();
        });
    });
}

void MainWindow::showBrowserWindow(BrowserWindow *window)
{
    if (m_settings.childMaximized())
        window->showMaximized();
    else
        window->show();
    m_mdi->setActiveSubWindow(window);
    updateCommandUI();
    Q_EMIT windowsChanged();
}

void MainWindow::onSubWindowActivated(QMdiSubWindow *window)
{
    if (m_destroying || !m_mdi)
        return;
    // Losing the application's focus reports no window; the current one
    // stays current.
    if (!window)
        window = m_mdi->currentSubWindow();
    // The window in front shows its pages at once; what it covers now
    // follows once the change is done.
    if (auto *browser = qobject_cast<BrowserWindow *>(window); browser && !m_loadingWorkspace) {
        browser->setPanesCovered(false);
        // The keys go to the page shown, not to the window's frame.
        browser->focusActivePane();
    }
    scheduleCoverUpdate();
    if (window && window != m_lastActivated) {
        m_lastActivated = window;
        if (auto *browser = qobject_cast<BrowserWindow *>(window)) {
            if (BrowserView *view = browser->activeView())
                view->activationRefresh();
        }
        Q_EMIT windowsChanged();
    }
    if (!window)
        m_lastActivated = nullptr;
    updateCommandUI();
}

void MainWindow::updateCoveredWindows(QMdiSubWindow *top)
{
    m_coverUpdatePending = false;
    if (m_destroying || !m_mdi)
        return;
    QList<QMdiSubWindow *> stack = m_mdi->subWindowList(QMdiArea::StackingOrder);
    std::reverse(stack.begin(), stack.end());
    if (top && stack.removeOne(top))
        stack.prepend(top);
    std::vector<StackedWindow> topDown;
    topDown.reserve(std::size_t(stack.size()));
    for (const QMdiSubWindow *w : stack)
        topDown.push_back({!w->isHidden(), w->isMinimized(), w->isMaximized()});
    const std::vector<bool> covered = coveredWindows(topDown);
    for (qsizetype i = 0; i < stack.size(); ++i) {
        if (auto *browser = qobject_cast<BrowserWindow *>(stack[i]))
            browser->setPanesCovered(covered[std::size_t(i)]);
    }
}

void MainWindow::scheduleCoverUpdate()
{
    if (m_coverUpdatePending || m_destroying)
        return;
    m_coverUpdatePending = true;
    QMetaObject::invokeMethod(this, [this] { updateCoveredWindows(); }, Qt::QueuedConnection);
}

void MainWindow::onActiveViewChanged(BrowserWindow *window, BrowserView *view)
{
    if (m_destroying || !m_mdi)
        return;
    // Another pane of the window in front: the address box, the title and
    // the commands follow it.
    if (view && window == activeBrowserWindow())
        view->activationRefresh();
    updateCommandUI();
    // The active pane is part of what a workspace keeps.
    Q_EMIT windowsChanged();
}

void MainWindow::closeNextWindow()
{
    if (!m_mdi)
        return;
    QMdiSubWindow *next = m_mdi->currentSubWindow();
    if (!next || !next->isVisible()) {
        // The closed window was the active one: the most recently active
        // of those left takes its place, as a window manager would do.
        next = nullptr;
        const QList<QMdiSubWindow *> left = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = left.crbegin(); it != left.crend(); ++it) {
            if ((*it)->isVisible()) {
                next = *it;
                break;
            }
        }
        if (next)
            m_mdi->setActiveSubWindow(next);
    }
    if (!next) {
        m_closingAll = false;
        return;
    }
    // Posted, as a close message would be: the window closes once the
    // current command is done.
    QMetaObject::invokeMethod(next, "close", Qt::QueuedConnection);
}

// --- address box -----------------------------------------------------------------

void MainWindow::setAddressText(const QString &text)
{
    if (m_addressTyping)
        return;
    m_address->setEditText(text);
}

QString MainWindow::addressText() const
{
    return m_address->editText();
}

void MainWindow::saveAddressHistory()
{
    std::vector<std::string> items;
    const QStringList list = m_address->items();
    items.reserve(size_t(list.size()));
    for (const QString &item : list)
        items.push_back(corvane::toStoredText(item));
    m_settings.storeAddressHistory(items);
}

// --- status bar ------------------------------------------------------------------

void MainWindow::setProgress(int progress, int progressMax)
{
    m_progress = progress;
    m_progressMax = progressMax;
}

void MainWindow::setStatusText(const QString &text)
{
    m_statusText = text;
    if (m_panes[0])
        m_panes[0]->setText(QString::fromStdString(corvane::statusPaneText(text.toStdString())));
}

void MainWindow::setOffline(bool on)
{
    m_offline = on;
    if (!m_mdi)
        return;
    for (BrowserView *view : m_mdi->findChildren<BrowserView *>()) {
        if (view->control())
            view->control()->setOffline(on);
    }
}

void MainWindow::showNotice(const QString &text)
{
    // Shown before the window is, pane 0 would come back with the window
    // and show through the notice: it waits for the window.
    m_notice = text;
    if (isVisible())
        showPendingNotice();
}

void MainWindow::showPendingNotice()
{
    constexpr int kNoticeMs = 30000;
    if (!m_notice.isEmpty())
        statusBar()->showMessage(m_notice, kNoticeMs);
    m_notice.clear();
}

void MainWindow::setShowTimer(bool on)
{
    m_showTimer = on;
    if (on && !m_clockTimer)
        m_clockTimer = startTimer(1000);
    else if (!on && m_clockTimer) {
        killTimer(m_clockTimer);
        m_clockTimer = 0;
    }
    updateStatusPanes();
}

void MainWindow::createStatusBar()
{
    QStatusBar *bar = statusBar();
    for (int i = 0; i < 5; ++i) {
        m_panes[i] = new StatusPane(bar);
        // Pane 0 is the message pane: a menu prompt covers it while shown.
        if (i == 0) {
            m_panes[i]->setMinimumWidth(0);
            bar->addWidget(m_panes[i], 1);
        } else {
            m_panes[i]->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(m_panes[i]);
        }
    }
    m_panes[0]->setText(QString::fromStdString(corvane::statusPaneText(m_statusText.toStdString())));
}

QStringList MainWindow::statusPaneTexts() const
{
    QStringList texts;
    for (StatusPane *pane : m_panes)
        texts << (pane ? pane->text() : QString());
    return texts;
}

void MainWindow::updateStatusPanes()
{
    if (!m_panes[0])
        return;
    corvane::StatusPaneInput in;
    in.statusText = m_statusText.toStdString();
    in.progress = m_progress;
    in.progressMax = m_progressMax;
    in.elapsedText = m_elapsed.toStdString();
    in.showTimer = m_showTimer;
    in.security = m_security;
    in.passwordProtected = m_protected == QLatin1String("P");
    // The fixed panes as wide as their texts need in the font in use.
    const StatusPane *pane = m_panes[1];
    in.room.progress = pane->roomFor(QStringLiteral("100% done"));
    in.room.timer = std::max(pane->roomFor(QStringLiteral("00:00:00")), pane->roomFor(m_elapsed));
    // Room for "S" and for the certificate error's sign alike.
    in.room.secure = std::max(
        pane->roomFor(QString::fromUtf8(corvane::securePaneText(corvane::PageSecurity::Secure))),
        pane->roomFor(QString::fromUtf8(corvane::securePaneText(corvane::PageSecurity::CertificateError))));
    in.room.protectedPane = pane->roomFor(QStringLiteral("P"));
    if (isMaximized()) {
        const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        in.windowWidth = screen ? screen->geometry().width() : width();
    } else {
        in.windowWidth = isMinimized() ? normalGeometry().width() : width();
    }
    const corvane::StatusPaneLayout layout = corvane::layoutStatusPanes(in);
    for (int i = 0; i < 5; ++i) {
        const corvane::StatusPane &pane = layout.panes[size_t(i)];
        if (i == 4) {
            // The idle layout has four panes; the fifth only shows while a
            // page loads.
            m_panes[i]->setVisible(layout.loading);
        }
        if (!pane.assigned)
            continue;
        m_panes[i]->setText(QString::fromStdString(pane.text));
        m_paneWidths[i] = pane.width;
        // The secure pane says in words what its sign means.
        const bool securePane = i == (layout.loading ? 3 : 2);
        const QString tip = securePane && m_security != corvane::PageSecurity::NotEncrypted
                                ? QString::fromLatin1(corvane::pageSecurityText(m_security))
                                : QString();
        if (m_panes[i]->toolTip() != tip)
            m_panes[i]->setToolTip(tip);
        // Pane 0 takes the room the others leave; a fixed width there
        // would hold the window at the screen's width.
        if (i > 0)
            m_panes[i]->setFixedWidth(pane.width);
    }
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_clockTimer) {
        // Only the running time changes by itself; the panes repaint what
        // changed, and the commands' states follow the events that change
        // them (activation, commands, menus, windows opening and closing).
        m_elapsed = QString::fromStdString(m_runTime.elapsedText());
        updateStatusPanes();
        return;
    }
    QMainWindow::timerEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    updateStatusPanes();
    Q_EMIT windowsChanged();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    Q_EMIT windowsChanged();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Another desktop font: the panes follow it, once it has reached them.
    if (event->type() == QEvent::FontChange)
        QMetaObject::invokeMethod(this, [this] { updateStatusPanes(); }, Qt::QueuedConnection);
    if (event->type() != QEvent::WindowStateChange)
        return;
    updateStatusPanes();
    // The user minimised the window: to the tray when asked for and the
    // desktop has one; otherwise it stays an ordinary minimised window.
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    const bool minimized = isMinimized() && !change->oldState().testFlag(Qt::WindowMinimized);
    if (minimized && !m_minimizingItself && !m_inTray && isVisible() && m_settings.minimizeToTray()
        && TrayIcon::available()) {
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && isVisible() && !m_inTray && !m_destroying)
                hideToTray();
        });
    }
}

QPrinter &MainWindow::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

// --- closing ---------------------------------------------------------------------

// --- downloads -----------------------------------------------------------------

void MainWindow::showDownloads(bool activate)
{
    if (!m_downloads)
        m_downloads = new DownloadsWindow(m_settings, *DownloadList::instance(), this);
    // Opened by a download, it does not take the focus from the page.
    m_downloads->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    if (m_downloads->isVisible() && !activate)
        return;
    m_downloads->show();
    m_downloads->raise();
    if (activate)
        m_downloads->activateWindow();
}

DownloadsWindow *MainWindow::downloadsWindow() const
{
    return m_downloads;
}

void MainWindow::logDownload(const Download *download)
{
    if (m_destroying || !download)
        return;
    m_log.write(corvane::downloadLogLine(download->url().toString().toStdString(),
                                         QDir::toNativeSeparators(download->path()).toStdString(),
                                         download->state(), download->failure()));
}

void MainWindow::closeWithoutQuestions()
{
    // While the exit question is up this close does nothing (a window closes
    // once at a time); the close that asked goes on as confirmed.
    m_skipQuestions = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    SettingsStore &s = m_settings;
    if (!m_skipQuestions && !m_exitApproved) {
        // The pages are being asked: this exit waits for their answers.
        if (m_askingPagesForExit) {
            event->ignore();
            return;
        }
        // 1. Confirm.
        if (s.msgExit()) {
            const QMessageBox::StandardButton answer =
                corvaneMessageBox(this, QMessageBox::Question, QStringLiteral("Exit program"),
                                  QStringLiteral("Are you sure you want to exit?"),
                                  QMessageBox::Yes | QMessageBox::No);
            // A SIGTERM or the end of the session while the question is up
            // closes without it.
            if (answer != QMessageBox::Yes && !m_skipQuestions) {
                event->ignore();
                return;
            }
        }
        // Downloads still running end with the program: the user says so
        // first. They are cancelled only once nothing holds the exit back.
        if (!m_skipQuestions && DownloadList::instance()->runningCount() > 0) {
            const QMessageBox::StandardButton answer = corvaneMessageBox(
                this, QMessageBox::Question, QString::fromLatin1(corvane::kDownloadsRunningTitle),
                QString::fromLatin1(corvane::kDownloadsRunningQuestion), QMessageBox::Yes | QMessageBox::No);
            if (!m_skipQuestions)
                m_log.write(corvane::downloadsExitLogLine(DownloadList::instance()->runningCount(),
                                                          answer == QMessageBox::Yes));
            if (answer != QMessageBox::Yes && !m_skipQuestions) {
                event->ignore();
                return;
            }
        }
        // Every page may hold the exit back (its beforeunload): nothing is
        // saved or closed before all have let it go.
        if (!m_skipQuestions) {
            switch (askPagesForExit()) {
            case BrowserWindow::PagesAnswer::MayClose:
                break;
            case BrowserWindow::PagesAnswer::Stay:
            case BrowserWindow::PagesAnswer::Pending:
                event->ignore();
                return;
            }
        }
    }
    m_askingPagesForExit = false;
    m_exitWindowsToAsk.clear();
    DownloadList::instance()->cancelRunning();
    // Everything the exit stores, down to the bars stored as the window
    // goes, is written together.
    if (!m_exitSaves)
        m_exitSaves = std::make_unique<SettingsStore::DeferredCommit>(s);
    // 2. The address history.
    if (s.saveAddressHistory())
        saveAddressHistory();
    // 3. The window's placement.
    if (s.savePosition()) {
        const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
        s.saveMainPlacement(isMaximized(), toRect(normal), platformReportsWindowPositions());
    }
    // 4.
    removeFromTray();
    // 5. Give the script-debugger switch back its own value.
    if (m_overrideScriptDebugging) {
        s.setScriptDebuggerSwitch(s.previousDebuggerValue());
        s.setPreviousDebuggerValue(std::string());
    }
    // 6.
    s.setOverrideScriptDebugging(m_overrideScriptDebugging ? 1 : 0);
    // 7. The "default" workspace follows AutoSave: the windows as they are
    // now, or nothing.
    if (!m_keepStoredWorkspaces) {
        SettingsStore::WorkspaceMap workspaces = s.loadWorkspaces();
        const bool autoSave = s.autoSave() != 0;
        corvane::putExitWorkspace(workspaces, autoSave,
                                  autoSave ? captureWorkspace(std::string(corvane::kDefaultWorkspaceName), 0)
                                           : corvane::Workspace());
        s.storeWorkspaces(workspaces);
    }
    // 8. Close the browser windows (their pages have been asked), then the
    // main window.
    m_closingAll = false;
    for (QMdiSubWindow *window : m_mdi->subWindowList()) {
        if (auto *browser = qobject_cast<BrowserWindow *>(window))
            browser->closeWithoutAsking();
        else
            window->close();
    }
    if (m_downloads)
        m_downloads->close();
    m_closed = true;
    // 9. The bars and modes, and everything above is written now: what
    // follows the close (the window going off the screen, the engine's end)
    // may still fail, and the saves are not to go with it.
    storeBarsAndModes();
    if (m_exitSaves)
        m_exitSaves->commit();
    // The panes' own surfaces go before the window leaves the screen.
    for (StatusPane *pane : m_panes)
        if (pane)
            pane->releaseSurface();
    event->accept();
    Q_EMIT closed();
}

void MainWindow::storeBarsAndModes()
{
    SettingsStore &s = m_settings;
    s.setHideToolBar(!m_toolBarVisible);
    s.setHideStatusBar(!m_statusBarVisible);
    s.setVersion(kCorvaneVersion);
    s.setOffline(m_offline);
    s.setHideTabs(!m_tabsVisible);
    s.setShowAddressBar(m_addressBarVisible);
}

BrowserWindow::PagesAnswer MainWindow::askPagesForExit()
{
    m_exitWindowsToAsk.clear();
    for (BrowserWindow *window : browserWindowsInVisitingOrder())
        m_exitWindowsToAsk << window;
    // Hidden ones too (a popup waiting for its answer): every page counts.
    for (QMdiSubWindow *window : m_mdi->subWindowList())
        if (auto *browser = qobject_cast<BrowserWindow *>(window); browser && !m_exitWindowsToAsk.contains(browser))
            m_exitWindowsToAsk << browser;
    m_askingPagesForExit = true;
    const BrowserWindow::PagesAnswer answer = askRemainingWindowsForExit();
    if (answer != BrowserWindow::PagesAnswer::Pending) {
        m_askingPagesForExit = false;
        m_exitWindowsToAsk.clear();
    }
    return answer;
}

BrowserWindow::PagesAnswer MainWindow::askRemainingWindowsForExit()
{
    while (!m_exitWindowsToAsk.isEmpty()) {
        const QPointer<BrowserWindow> window = m_exitWindowsToAsk.takeFirst();
        if (!window)
            continue;
        // A window already asking for its own close: the user answers that
        // question first, and this exit gives way.
        if (window->askingPages()) {
            m_exitWindowsToAsk.clear();
            return BrowserWindow::PagesAnswer::Stay;
        }
        const QPointer<MainWindow> self(this);
        m_exitWindowAsking = window;
        const BrowserWindow::PagesAnswer answer = window->askPagesToClose([self](bool mayClose) {
            if (self)
                self->onExitPagesAnswered(mayClose);
        });
        switch (answer) {
        case BrowserWindow::PagesAnswer::MayClose:
            continue;
        case BrowserWindow::PagesAnswer::Stay:
            m_exitWindowsToAsk.clear();
            onBrowserWindowCloseRefused(window);
            return answer;
        case BrowserWindow::PagesAnswer::Pending:
            return answer;
        }
    }
    return BrowserWindow::PagesAnswer::MayClose;
}

void MainWindow::onExitPagesAnswered(bool mayClose)
{
    if (!m_askingPagesForExit || m_destroying)
        return;
    const BrowserWindow::PagesAnswer answer =
        mayClose ? askRemainingWindowsForExit() : BrowserWindow::PagesAnswer::Stay;
    if (answer == BrowserWindow::PagesAnswer::Pending)
        return;
    m_askingPagesForExit = false;
    m_exitWindowsToAsk.clear();
    if (answer != BrowserWindow::PagesAnswer::MayClose) {
        // A page kept itself open: the exit stops there.
        if (!mayClose)
            onBrowserWindowCloseRefused(m_exitWindowAsking);
        return;
    }
    // Every page let go: the exit goes on as confirmed.
    m_exitApproved = true;
    close();
    m_exitApproved = false;
}

void MainWindow::onBrowserWindowCloseRefused(BrowserWindow *window)
{
    // Close All stops at the window whose page stays, and it comes to the
    // front.
    m_closingAll = false;
    if (window && !m_destroying && m_mdi && window->isVisible())
        m_mdi->setActiveSubWindow(window);
    updateCommandUI();
}

void MainWindow::saveOnDestroy()
{
    if (!m_closed)
        return;
    // The close stored and wrote everything (closeEvent); nothing changes
    // the bars or modes after it.
    m_exitSaves.reset();
    m_log.write("*** Total elapsed time: " + m_runTime.elapsedText() + " ***");
}
