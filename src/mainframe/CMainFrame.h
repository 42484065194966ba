#pragma once

#include "core/Stopwatch.h"

#include <QMainWindow>
#include <QString>

class CChildFrame;
class CTestApp;
class CTestView;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

// The single top-level window: menus, toolbar, address bar, status bar and
// the MDI area holding every browser window.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(CTestApp &app);
    ~CMainFrame() override;

    QMdiArea *mdiArea() const { return m_mdi; }
    CChildFrame *activeChildFrame() const;
    CTestView *activeView() const;
    // Adds a browser window's frame to the MDI area and shows it.
    void addChildFrame(CChildFrame *frame);

    // Shows the window in the start show state (normal or maximized) that
    // the stored placement chose.
    void showWithStartState();
    // Brings the window up for a request from outside (a shell open).
    void bringToFront();
    // AutoSave as it was when the frame was created.
    bool autoSaveAtCreation() const { return m_autoSaveAtCreation; }
    // Applies the application's current workspace.
    void LoadWorkspace();
    // The tray icon, while the window hides in the tray.
    void RemoveFromTray();

    // --- what the browser view asks of the frame -------------------------------
    // Puts a text into the address box unless the user is typing an address.
    void SetAddressText(const QString &text);
    QString addressText() const { return m_addressText; }
    void clearAddressTyping() { m_addressTyping = false; }
    bool addressTyping() const { return m_addressTyping; }
    void setProgress(int progress, int progressMax);
    int progress() const { return m_progress; }
    int progressMax() const { return m_progressMax; }
    void setSecureText(const QString &text) { m_secure = text; }
    QString secureText() const { return m_secure; }
    // Pane 0 of the status bar.
    void setStatusText(const QString &text);
    QString statusText() const { return m_statusText; }
    bool isOffline() const { return m_offline; }
    void setOffline(bool on) { m_offline = on; }
    bool overrideScriptDebugging() const { return m_overrideScriptDebugging; }
    int fontSize() const { return m_fontSize; }
    void setFontSize(int size) { m_fontSize = size; }
    // The optional Internet menu (favorites); built with the favorites.
    void InsertIEMenu() {}
    // Re-applies the status bar layout from the current fields.
    void UpdateStatusPanes();
    // The texts the status panes show now (for the status bar and tests).
    QStringList statusPaneTexts() const;
    // The widths the layout gave the panes, in pixels.
    int statusPaneWidth(int pane) const { return m_paneWidths[pane]; }

    // Closing without questions (SIGTERM, end of session): every save of a
    // confirmed exit.
    void closeWithoutQuestions();

Q_SIGNALS:
    // The frame accepted a close: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void restorePlacement();
    void createStatusBar();
    void saveOnDestroy();

    CTestApp &m_app;
    QMdiArea *m_mdi = nullptr;
    QLabel *m_panes[5] = {};
    int m_paneWidths[5] = {};
    Stopwatch m_runTime;
    QString m_elapsed;
    QString m_statusText;
    QString m_addressText;
    QString m_secure;
    QString m_protected;
    int m_progress = 0;
    int m_progressMax = 0;
    int m_fontSize = 3;
    int m_startShowCmd = 1;
    int m_timer2 = 0;
    bool m_toolBarVisible = true;
    bool m_statusBarVisible = true;
    bool m_addressBarVisible = true;
    bool m_tabsVisible = false;
    bool m_showTimer = true;
    bool m_addressTyping = false;
    bool m_offline = false;
    bool m_popupScanning = false;
    bool m_closingAll = false;
    bool m_overrideScriptDebugging = false;
    QString m_previousDebuggerValue;
    bool m_autoSaveAtCreation = false;
    bool m_skipQuestions = false;
    bool m_closed = false;
};
