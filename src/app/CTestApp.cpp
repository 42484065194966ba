#include "app/CTestApp.h"

#include "app/SingleInstance.h"
#include "browser/CChildFrame.h"
#include "browser/CTestDoc.h"
#include "browser/CTestView.h"
#include "core/DdeCommand.h"
#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "core/UrlShortcut.h"
#include "core/WorkspaceText.h"
#include "engine/WebEngineControl.h"
#include "mainframe/CMainFrame.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>

namespace {
CTestApp *g_app = nullptr;

std::string toStd(const QString &s) { return s.toStdString(); }
} // namespace

CTestApp::CTestApp(Options options, QObject *parent) : QObject(parent), m_options(std::move(options))
{
    g_app = this;
}

CTestApp::~CTestApp()
{
    destroyMainFrame();
    if (g_app == this)
        g_app = nullptr;
}

void CTestApp::destroyMainFrame()
{
    delete m_mainFrame;
    m_mainFrame = nullptr;
}

CTestApp *CTestApp::instance()
{
    return g_app;
}

bool CTestApp::InitInstance(const QStringList &arguments)
{
    // 1. The long-lived objects.
    m_settings = std::make_unique<SettingsStore>(SettingsStore::Locations{
        toStd(m_options.iniFile), toStd(m_options.userStoreFile), toStd(m_options.homeDir)});
    m_log = std::make_unique<NavigationLog>(*m_settings);
    m_startupWorkspace.clear();
    m_firstNew = true;
    m_inTray = false;

    // 3. Where the settings live; nothing is read before this.
    m_settings->OpenBackingStore();

    // 4. The workspace to restore at start-up.
    chooseStartupWorkspace();

    // 5. The log banner.
    m_log->Write(NavigationLog::banner());
    m_log->Write("Logging started...");

    // 7. The main frame.
    m_mainFrame = new CMainFrame(*this);

    // 9. Starting; shell open requests are served from here on.
    m_starting = true;
    m_mainFrame->setUpdatesEnabled(false);
    bool dde = false;
    bool nologo = false;
    QString document;
    for (const QString &arg : arguments) {
        if (isDdeSwitch(arg))
            dde = true;
        else if (isNologoSwitch(arg))
            nologo = true;
        else if (document.isEmpty())
            document = arg;
    }
    if (m_options.listen) {
        m_instance = std::make_unique<SingleInstance>(m_options.runtimeDir);
        m_instance->listen([this](const QString &command) { return OnDDECommand(command); });
    }

    // 10. The splash screen is due when Logo is on or another version ran last.
    m_splashDue = !nologo
                  && (m_settings->GetLogo() != 0 || m_settings->GetVersion() != kCorvaneVersion);

    // 11. The command line: nothing means New; a document opens in a new window.
    if (document.isEmpty()) {
        if (!dde)
            OnFileNew();
    } else if (dde) {
        OnDDECommand(QString::fromStdString(corvane::makeOpenCommand(toStd(document))));
    } else {
        if (!OpenDocumentFile(document))
            return false;
    }

    // 12. Show the main window with its start show state.
    m_mainFrame->showWithStartState();

    // 13. Restore the start-up workspace after a plain start.
    if (document.isEmpty() && !dde
        && (m_mainFrame->autoSaveAtCreation() || startupWorkspaceFlag()))
        m_mainFrame->LoadWorkspace();

    // 14.
    m_mainFrame->setUpdatesEnabled(true);
    m_starting = false;
    return true;
}

bool CTestApp::isDdeSwitch(const QString &argument)
{
    const QString lower = argument.toLower();
    return lower == QLatin1String("/dde") || lower == QLatin1String("-dde") || lower == QLatin1String("--dde");
}

bool CTestApp::isNologoSwitch(const QString &argument)
{
    const QString lower = argument.toLower();
    return lower == QLatin1String("nologo") || lower == QLatin1String("/nologo")
           || lower == QLatin1String("-nologo") || lower == QLatin1String("--nologo");
}

bool CTestApp::startupWorkspaceFlag() const
{
    return corvane::workspaceStartupFlag(m_startupWorkspace);
}

void CTestApp::chooseStartupWorkspace()
{
    const SettingsStore::WorkspaceMap workspaces = m_settings->LoadWorkspaces();
    if (m_settings->GetAutoSave()) {
        const auto it = workspaces.find("default");
        if (it != workspaces.end() && !it->second.empty())
            m_startupWorkspace = it->second;
        return;
    }
    for (const auto &[name, record] : workspaces) {
        if (corvane::workspaceStartupFlag(record)) {
            m_startupWorkspace = record;
            return;
        }
    }
}

int CTestApp::ExitInstance()
{
    // The frame's destruction still writes through the store and the log.
    destroyMainFrame();
    m_instance.reset();
    m_settings.reset();
    m_log.reset();
    m_startupWorkspace.clear();
    return 0;
}

void CTestApp::OnFileNew()
{
    if (m_firstNew) {
        // The default-browser check belongs to the first New.
        if (!m_settings->GetBiPassDefault())
            runDefaultBrowserCheck();
        m_firstNew = false;
    }
    openNewWindow();
}

CTestView *CTestApp::OpenDocumentFile(const QString &path)
{
    // File systems here are case-sensitive: the address keeps its case and
    // only the shortcut test looks at the lower-cased name.
    m_pendingDocumentAddress = path;
    if (corvane::isUrlShortcutPath(toStd(path))) {
        // The file's bytes, exactly its size. Only a regular file of a
        // shortcut's size is read: a pipe would block the open and a device
        // like /dev/zero would never end; either reads as empty.
        constexpr qint64 kMaxShortcutBytes = 1 << 20;
        QByteArray bytes;
        const QFileInfo info(path);
        QFile file(path);
        if (info.isFile() && info.size() <= kMaxShortcutBytes && file.open(QIODevice::ReadOnly))
            bytes = file.read(kMaxShortcutBytes);
        const corvane::UrlShortcutResult shortcut =
            corvane::parseUrlShortcut(std::string(bytes.constData(), size_t(bytes.size())));
        if (!shortcut.found) {
            corvaneMessageBox(m_mainFrame, QMessageBox::Critical,
                              QStringLiteral("Invalid file format"),
                              QStringLiteral("The internet shortcut you are trying to open does not "
                                             "contain a valid site."),
                              QMessageBox::Ok);
        } else {
            m_pendingDocumentAddress = QString::fromStdString(shortcut.address);
        }
    }
    return openNewWindow();
}

bool CTestApp::OnDDECommand(const QString &command)
{
    if (m_inTray) {
        if (!m_settings->GetPassword().empty()) {
            corvaneMessageBox(m_mainFrame, QMessageBox::Critical,
                              QStringLiteral("Authentication failed"),
                              QStringLiteral("You are not permitted to maximize this application.\n"
                                             "Ensure CAPS Lock is set correctly and re-enter\n"
                                             "your password."),
                              QMessageBox::Ok);
            return false;
        }
        if (m_mainFrame)
            m_mainFrame->RemoveFromTray();
    }
    const std::optional<std::string> target = corvane::parseOpenCommand(toStd(command));
    if (!target)
        return false;
    if (!OpenDocumentFile(QString::fromStdString(*target)))
        return false;
    if (m_mainFrame && !m_starting)
        m_mainFrame->bringToFront();
    return true;
}

BrowserControl *CTestApp::createControl(QWidget *parent)
{
    if (m_controlFactory)
        return m_controlFactory(parent);
    return new WebEngineControl(parent);
}

CTestView *CTestApp::openNewWindow()
{
    if (!m_mainFrame)
        return nullptr;
    auto *frame = new CChildFrame(*this);
    BrowserControl *control = createControl(frame);
    auto *view = new CTestView(*this, frame->document(), control, frame);
    frame->setView(view);
    m_mainFrame->addChildFrame(frame);
    view->OnInitialUpdate();
    return view;
}

void CTestApp::runDefaultBrowserCheck()
{
    // Asking to become the default browser arrives with the registration
    // module; until then the first New simply opens its window.
}
