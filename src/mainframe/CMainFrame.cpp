#include "mainframe/CMainFrame.h"

#include "app/CTestApp.h"
#include "browser/CChildFrame.h"
#include "browser/CTestView.h"
#include "core/NavigationLog.h"
#include "core/StatusPanes.h"
#include "core/SettingsStore.h"
#include "core/UserStore.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStatusBar>
#include <QTimerEvent>

namespace {
const char *const kDebuggerKey = "Software\\Microsoft\\Internet Explorer\\Main";
const char *const kDebuggerValue = "Disable Script Debugger";

Rect toRect(const QRect &r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
} // namespace

CMainFrame::CMainFrame(CTestApp &app) : m_app(app)
{
    SettingsStore &s = m_app.settings();
    setWindowTitle(QStringLiteral("Corvane"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    // 1. The bars; creation toggles the toolbar and status bar once each.
    m_toolBarVisible = s.GetHideToolBar() != 0;
    m_statusBarVisible = s.GetHideStatusBar() != 0;
    m_addressBarVisible = s.GetShowAddressBar() != 0;
    // 2. The protected indicator.
    m_protected = (!s.GetPassword().empty() && s.GetMinimizeToTray()) ? QStringLiteral("P")
                                                                        : QString();
    // 3.
    m_showTimer = s.GetShowTimer() != 0;
    m_fontSize = s.GetFonts();
    m_offline = s.GetOffline() != 0;
    // 4. Offer to go online.
    if (!s.GetCDSupport() && s.GetMsgOffline() && m_offline) {
        if (corvaneMessageBox(nullptr, QMessageBox::Question, QStringLiteral("Offline mode alert"),
                              QStringLiteral("You are currently working offline.  Would you like "
                                             "to go online?"),
                              QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes)
            m_offline = false;
    }
    // 5.
    m_closingAll = false;
    m_popupScanning = s.GetSpawning() != 0;
    // 6. Take over the script-debugger switch, remembering what it was.
    m_overrideScriptDebugging = s.GetOverrideScriptDebugging() != 0;
    if (m_overrideScriptDebugging && s.GetPreviousDebuggerValue().empty()) {
        UserStore &hkcu = s.userStore();
        std::string previous = "yes";
        if (hkcu.keyExists(kDebuggerKey))
            previous = hkcu.readString(kDebuggerKey, kDebuggerValue).value_or(std::string());
        if (previous.size() > 259)
            previous.resize(259);
        s.SetPreviousDebuggerValue(previous);
    }
    m_autoSaveAtCreation = s.GetAutoSave() != 0;

    // The window itself.
    if (s.GetSavePosition())
        restorePlacement();
    else
        resize(952 - 88, 697 - 88);
    m_mdi = new QMdiArea(this);
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *w) {
        if (auto *frame = qobject_cast<CChildFrame *>(w)) {
            if (CTestView *view = frame->activeView())
                view->activationRefresh();
        } else if (!w) {
            m_secure.clear();
            UpdateStatusPanes();
        }
    });
    createStatusBar();
    UpdateStatusPanes();
    // 10. The stored visibility of the status bar.
    m_statusBarVisible = !m_statusBarVisible;
    statusBar()->setVisible(m_statusBarVisible);
    m_toolBarVisible = !m_toolBarVisible;
    // 11. Timer 2 keeps the elapsed time and the panes up to date.
    m_runTime.Start();
    m_timer2 = startTimer(1000);
    // 12.
    if (s.GetAlwaysOnTop())
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_tabsVisible = !s.GetHideTabs();
}

CMainFrame::~CMainFrame()
{
    saveOnDestroy();
}

void CMainFrame::restorePlacement()
{
    SettingsStore::MainPlacement creation;
    creation.rect = Rect{88, 88, 952, 697};
    creation.showCmd = 1;
    std::optional<Rect> workArea;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        workArea = toRect(screen->availableGeometry());
    const SettingsStore::MainPlacement placement =
        m_app.settings().RestoreMainPlacement(creation, workArea);
    m_startShowCmd = placement.showCmd;
    setGeometry(placement.rect.left, placement.rect.top, placement.rect.width(),
                placement.rect.height());
}

void CMainFrame::showWithStartState()
{
    if (m_startShowCmd == 3)
        showMaximized();
    else if (m_startShowCmd == 2 || m_startShowCmd == 6 || m_startShowCmd == 7)
        showMinimized();
    else
        show();
}

void CMainFrame::bringToFront()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void CMainFrame::LoadWorkspace()
{
    // Opening a workspace's windows comes with the workspace records.
}

void CMainFrame::RemoveFromTray()
{
    // No tray icon is shown yet; the tray brings its own.
}

CChildFrame *CMainFrame::activeChildFrame() const
{
    return qobject_cast<CChildFrame *>(m_mdi->activeSubWindow());
}

CTestView *CMainFrame::activeView() const
{
    CChildFrame *frame = activeChildFrame();
    return frame ? frame->activeView() : nullptr;
}

void CMainFrame::addChildFrame(CChildFrame *frame)
{
    m_mdi->addSubWindow(frame);
    if (m_app.settings().GetChildMaximized())
        frame->showMaximized();
    else
        frame->show();
    m_mdi->setActiveSubWindow(frame);
}

void CMainFrame::SetAddressText(const QString &text)
{
    if (m_addressTyping)
        return;
    m_addressText = text;
}

void CMainFrame::setProgress(int progress, int progressMax)
{
    m_progress = progress;
    m_progressMax = progressMax;
}

void CMainFrame::setStatusText(const QString &text)
{
    m_statusText = text;
    if (m_panes[0])
        m_panes[0]->setText(text);
}

void CMainFrame::createStatusBar()
{
    QStatusBar *bar = statusBar();
    for (int i = 0; i < 5; ++i) {
        m_panes[i] = new QLabel(bar);
        m_panes[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Pane 0 is the message pane: a menu prompt covers it while shown.
        if (i == 0)
            bar->addWidget(m_panes[i], 1);
        else
            bar->addPermanentWidget(m_panes[i]);
    }
    m_panes[0]->setText(QStringLiteral("Ready"));
}

QStringList CMainFrame::statusPaneTexts() const
{
    QStringList texts;
    for (QLabel *pane : m_panes)
        texts << (pane ? pane->text() : QString());
    return texts;
}

void CMainFrame::UpdateStatusPanes()
{
    if (!m_panes[0])
        return;
    corvane::StatusPaneInput in;
    in.statusText = m_statusText.toStdString();
    in.progress = m_progress;
    in.progressMax = m_progressMax;
    in.elapsedText = m_elapsed.toStdString();
    in.showTimer = m_showTimer;
    in.secure = m_secure == QLatin1String("S");
    in.passwordProtected = m_protected == QLatin1String("P");
    if (isMaximized()) {
        const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        in.frameWidth = screen ? screen->geometry().width() : width();
    } else {
        in.frameWidth = isMinimized() ? normalGeometry().width() : width();
    }
    const corvane::StatusPaneLayout layout = corvane::layoutStatusPanes(in);
    for (int i = 0; i < 5; ++i) {
        const corvane::StatusPane &pane = layout.panes[size_t(i)];
        if (!pane.assigned)
            continue; // keeps what the last loading layout left in it
        m_panes[i]->setText(QString::fromStdString(pane.text));
        m_paneWidths[i] = pane.width;
        // Pane 0 takes the room the others leave; a fixed width there
        // would hold the window at the screen's width.
        if (i > 0)
            m_panes[i]->setFixedWidth(pane.width);
    }
}

void CMainFrame::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer2) {
        m_elapsed = QString::fromStdString(m_runTime.ElapsedText());
        UpdateStatusPanes();
        return;
    }
    QMainWindow::timerEvent(event);
}

void CMainFrame::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    UpdateStatusPanes();
}

void CMainFrame::closeWithoutQuestions()
{
    m_skipQuestions = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    SettingsStore &s = m_app.settings();
    // 1. Confirm.
    if (!m_skipQuestions && s.GetMsgExit()) {
        if (corvaneMessageBox(this, QMessageBox::Question, QStringLiteral("Exit program"),
                              QStringLiteral("Are you sure you want to exit?"),
                              QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    // 3. The window's placement.
    if (s.GetSavePosition()) {
        const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
        s.SaveMainPlacement(isMaximized(), toRect(normal));
    }
    // 4.
    RemoveFromTray();
    // 5. Give the script-debugger switch back its own value.
    if (m_overrideScriptDebugging) {
        s.userStore().writeString(kDebuggerKey, kDebuggerValue, s.GetPreviousDebuggerValue());
        s.SetPreviousDebuggerValue(std::string());
    }
    // 6.
    s.SetOverrideScriptDebugging(m_overrideScriptDebugging ? 1 : 0);
    // 7. The "default" workspace follows AutoSave.
    SettingsStore::WorkspaceMap workspaces = s.LoadWorkspaces();
    if (!s.GetAutoSave()) {
        workspaces.erase("default");
        s.StoreWorkspaces(workspaces);
    }
    // 8. Close the browser windows, then the frame.
    m_mdi->closeAllSubWindows();
    m_closed = true;
    event->accept();
    Q_EMIT closed();
}

void CMainFrame::saveOnDestroy()
{
    if (!m_closed)
        return;
    SettingsStore &s = m_app.settings();
    s.SetHideToolBar(!m_toolBarVisible);
    s.SetHideStatusBar(!m_statusBarVisible);
    s.SetVersion(kCorvaneVersion);
    m_app.log().Write("*** Total elapsed time: " + m_runTime.ElapsedText() + " ***");
    s.SetOffline(m_offline);
    s.SetHideTabs(!m_tabsVisible);
    s.SetShowAddressBar(m_addressBarVisible);
}
