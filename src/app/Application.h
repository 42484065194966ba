#pragma once

#include "browser/BrowserHost.h"
#include "core/DesktopRegistration.h"
#include "core/Workspace.h"
#include "ui/SplashScreen.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class BrowserControl;
class BrowserWindow;
class MainWindow;
class RecoverySnapshot;
class QWidget;
class SingleInstance;

// The application object: owns the settings store, the navigation log and the
// start-up workspace from start to shutDown, creates the main window,
// processes the command line and opens browser windows. It is the browser
// views' host: what a view asks of the main window goes on to it.
class Application : public QObject, public BrowserHost
{
    Q_OBJECT
public:
    struct Options
    {
        QString iniFile;        // "Corvane.ini" beside the executable
        QString userStoreFile;  // the per-user store file
        QString homeDir;        // the user's home folder
        QString runtimeDir;     // where the single-instance socket lives; empty: nowhere
        QString channelOffText; // why there is no channel, when runtimeDir is empty
        bool listen = true;     // serve the single-instance channel
        // Where making Corvane the default browser writes: $XDG_DATA_HOME and
        // $XDG_CONFIG_HOME, and the executable the desktop entry starts
        // (empty: the running one).
        QString dataHome;
        QString configHome;
        QString executable;
    };

    explicit Application(Options options, QObject *parent = nullptr);
    ~Application() override;

    // Start-up sequence; false ends the program.
    bool start(const QStringList &arguments);
    // The command line's switches, in any case: "/dde" (also "-dde",
    // "--dde") and "nologo" (also with "/", "-" or "--"). The first other
    // argument is the document; without "/dde", every further one opens in
    // a window of its own.
    static bool isDdeSwitch(const QString &argument);
    static bool isNologoSwitch(const QString &argument);
    // Releases the store, the log and the workspace; closes a splash window.
    int shutDown();

    // New (57600): the first New may run the default-browser check, then a
    // new browser window opens on the pending document address or home page.
    void newWindow();
    // New, the window's first page being address rather than the home page.
    void newWindowAt(const QString &address);
    // Opens a file or address in a new window (.url shortcuts give their URL=).
    BrowserView *openDocumentFile(const QString &path);
    // A shell open request "[open("...")]"; refused while locked in the tray
    // with a password (one refusal box shows for any number of them), and
    // once the program is ending.
    bool handleOpenRequest(const QString &command);

    MainWindow *mainWindow() const { return m_mainWindow; }
    // The crash-recovery record of the open windows (under dataHome);
    // nullptr without a data folder.
    RecoverySnapshot *recovery() const { return m_recovery.get(); }
    // Asks "Default browser alert" and stores the answer; Yes makes Corvane
    // the desktop's web browser.
    void runDefaultBrowserCheck();

    bool firstNew() const { return m_firstNew; }
    bool starting() const { return m_starting; }
    // Whether the main window hides in the tray.
    bool inTray() const;
    // Whether a splash screen is due at this start (Logo on or Version not
    // "3.00", and no "nologo" on the command line).
    bool splashDue() const { return m_splashDue; }
    // The splash while it shows.
    SplashScreen *splash() const { return m_splash; }
    // About (57664): the About box, modal. Its links open in the active
    // browser window, or in a new one when none is open.
    void showAbout();
    // The current workspace: the one chosen at start-up until it has been
    // loaded; empty (the defaults) when there is none.
    const corvane::Workspace &currentWorkspace() const { return m_workspace; }

    // Creates the web engine control for a new view. Tests replace it with
    // a fake.
    using ControlFactory = std::function<BrowserControl *(QWidget *parent)>;
    void setControlFactory(ControlFactory factory) { m_controlFactory = std::move(factory); }
    BrowserControl *createControl(QWidget *parent) override;

    // --- BrowserHost ------------------------------------------------------------------
    SettingsStore &settings() override { return *m_settings; }
    NavigationLog &log() override { return *m_log; }
    QString pendingDocumentAddress() const override { return m_pendingDocumentAddress; }
    void setPendingDocumentAddress(const QString &a) override { m_pendingDocumentAddress = a; }
    void clearFirstNew() override { m_firstNew = false; }
    BrowserView *activeView() const override;
    // Opens a new browser window (document, window, view) in the main window
    // and returns its view. The view's first navigation follows the usual rule.
    BrowserView *openBrowserWindow() override;
    BrowserView *openPopupWindow() override;
    void showPopupWindow(BrowserWindow *window) override;
    void insertIEMenu() override;
    void pageStateChanged() override;
    void setAddressText(const QString &text) override;
    void clearAddressTyping() override;
    void setStatusText(const QString &text) override;
    void setProgress(int progress, int progressMax) override;
    void setSecurity(corvane::PageSecurity security) override;
    void updateStatusPanes() override;
    bool isOffline() const override;
    void setOffline(bool offline) override;
    void setFontSize(int fonts) override;
    bool overrideScriptDebugging() const override;

private:
    // The program's icon for the user's icon theme: the drawing and
    // pictures of it.
    static std::vector<corvane::DesktopIcon> themeIcons();
    // Destroys the main window, which stores the bar and mode settings.
    void destroyMainWindow();
    // A browser window with its document, control and view, in the main
    // window but not shown; nullptr without a main window.
    BrowserWindow *createBrowserWindow();
    void chooseStartupWorkspace();
    // After a run that did not end cleanly: asks whether to open its
    // windows again, and opens them on Yes.
    enum class RecoveryAnswer { NotAsked, Restored, Declined, Unanswered };
    RecoveryAnswer offerRecovery(bool keepWindows);
    // The store could not save a setting, or could not be read: said once,
    // on stderr and in the main window's status bar (as soon as there is one).
    void reportSaveFailure(const QString &text);
    void showSplash();
    // "Authentication failed" for a request refused in the tray, unless one
    // is up or due already.
    void showOpenRefusal();

    Options m_options;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<NavigationLog> m_log;
    std::unique_ptr<SingleInstance> m_instance;
    QPointer<SplashScreen> m_splash;
    std::unique_ptr<RecoverySnapshot> m_recovery;
    MainWindow *m_mainWindow = nullptr;
    ControlFactory m_controlFactory;
    corvane::Workspace m_workspace;
    QString m_pendingDocumentAddress;
    QString m_saveFailureNotice;
    bool m_firstNew = true;
    bool m_starting = false;
    bool m_splashDue = false;
    bool m_refusalDue = false;
};
