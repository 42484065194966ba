#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class BrowserControl;
class BrowserWindow;
class MainWindow;
class BrowserView;
class NavigationLog;
class QWidget;
class SettingsStore;
class SingleInstance;

// The application object: owns the settings store, the navigation log and the
// start-up workspace from start to shutDown, creates the main window,
// processes the command line and opens browser windows.
class Application : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString iniFile;        // "Corvane.ini" beside the executable
        QString userStoreFile;  // the per-user store file
        QString homeDir;        // the user's home folder
        QString runtimeDir;     // where the single-instance socket lives
        bool listen = true;     // serve the single-instance channel
    };

    explicit Application(Options options, QObject *parent = nullptr);
    ~Application() override;

    static Application *instance();

    // Start-up sequence; false ends the program.
    bool start(const QStringList &arguments);
    // The command line's switches, in any case: "/dde" (also "-dde",
    // "--dde") and "nologo" (also with "/", "-" or "--"). The first other
    // argument is the document.
    static bool isDdeSwitch(const QString &argument);
    static bool isNologoSwitch(const QString &argument);
    // Releases the store, the log and the workspace; closes a splash window.
    int shutDown();

    // New (57600): the first New may run the default-browser check, then a
    // new browser window opens on the pending document address or home page.
    void newWindow();
    // Opens a file or address in a new window (.url shortcuts give their URL=).
    BrowserView *openDocumentFile(const QString &path);
    // A shell open request "[open("...")]"; refused while locked in the tray
    // with a password.
    bool handleOpenRequest(const QString &command);

    SettingsStore &settings() { return *m_settings; }
    NavigationLog &log() { return *m_log; }
    MainWindow *mainWindow() const { return m_mainWindow; }

    QString pendingDocumentAddress() const { return m_pendingDocumentAddress; }
    void setPendingDocumentAddress(const QString &a) { m_pendingDocumentAddress = a; }
    bool firstNew() const { return m_firstNew; }
    void clearFirstNew() { m_firstNew = false; }
    bool starting() const { return m_starting; }
    bool inTray() const { return m_inTray; }
    void setInTray(bool on) { m_inTray = on; }
    // Whether a splash screen is due at this start (Logo on or Version not
    // "3.00", and no "nologo" on the command line).
    bool splashDue() const { return m_splashDue; }
    // The stored text of the workspace chosen at start-up; empty for none.
    const std::string &startupWorkspace() const { return m_startupWorkspace; }
    // Whether that workspace carries the start-up flag.
    bool startupWorkspaceFlag() const;

    // Creates the web engine control for a new view. Tests replace it with
    // a fake.
    using ControlFactory = std::function<BrowserControl *(QWidget *parent)>;
    void setControlFactory(ControlFactory factory) { m_controlFactory = std::move(factory); }
    BrowserControl *createControl(QWidget *parent);

    // Opens a new browser window (document, window, view) and returns
    // its view. The view's first navigation follows the usual rule.
    BrowserView *openBrowserWindow();

private:
    // Destroys the main window, which stores the bar and mode settings.
    void destroyMainWindow();
    void chooseStartupWorkspace();
    void runDefaultBrowserCheck();

    Options m_options;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<NavigationLog> m_log;
    std::unique_ptr<SingleInstance> m_instance;
    MainWindow *m_mainWindow = nullptr;
    ControlFactory m_controlFactory;
    std::string m_startupWorkspace;
    QString m_pendingDocumentAddress;
    bool m_firstNew = true;
    bool m_starting = false;
    bool m_inTray = false;
    bool m_splashDue = false;
};
