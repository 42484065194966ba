#pragma once

#include "core/Stopwatch.h"

#include <QMainWindow>
#include <QString>

class CChildFrame;
class CTestApp;
class CTestView;
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

    // --- what the browser view asks of the frame -------------------------------
    // Puts a text into the address box unless the user is typing an address.
    void SetAddressText(const QString &text);
    void clearAddressTyping() { m_addressTyping = false; }
    bool addressTyping() const { return m_addressTyping; }
    void setProgress(int progress, int progressMax);
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
    // The optional Internet menu (favorites); built by a later part.
    void InsertIEMenu() {}
    // Re-applies the status bar layout from the current fields.
    void UpdateStatusPanes();

    // Closing without questions (SIGTERM, end of session): every save of a
    // confirmed exit.
    void closeWithoutQuestions();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CTestApp &m_app;
    QMdiArea *m_mdi = nullptr;
    Stopwatch m_runTime;
    QString m_statusText;
    QString m_secure;
    QString m_protected;
    int m_progress = 0;
    int m_progressMax = 0;
    int m_fontSize = 3;
    bool m_addressTyping = false;
    bool m_offline = false;
    bool m_overrideScriptDebugging = false;
    bool m_skipQuestions = false;
};
