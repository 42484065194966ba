#include "app/Application.h"

#include "app/DefaultBrowserDialog.h"
#include "app/RecoverySnapshot.h"
#include "app/SingleInstance.h"
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "core/DdeCommand.h"
#include "core/Recovery.h"
#include "core/DesktopRegistration.h"
#include "core/MenuLook.h"
#include "core/NavigationLog.h"
#include "core/Password.h"
#include "core/SettingsStore.h"
#include "core/StoredText.h"
#include "core/UrlShortcut.h"
#include "engine/WebEngineControl.h"
#include "engine/WebProfile.h"
#include "mainframe/MainWindow.h"
#include "ui/AboutBox.h"
#include "ui/MenuStyle.h"
#include "ui/MessageBox.h"
#include "ui/ModalQuestions.h"
#include "ui/Resources.h"
#include "ui/SplashScreen.h"
#include "ui/StoredQString.h"

#include <QApplication>
#include <QCoreApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QTimer>

#include <cstdio>

namespace {

// Start-up holds the main window's painting until its windows are in. A
// question asked meanwhile has the window drawn behind it as it stands (held,
// it shows black, with what was last laid out); the hold comes back after.
class DrawnWhileAsked
{
public:
    explicit DrawnWhileAsked(QWidget *window) : m_window(window), m_held(window && !window->updatesEnabled())
    {
        if (m_held)
            window->setUpdatesEnabled(true);
    }
    ~DrawnWhileAsked()
    {
        if (m_held && m_window)
            m_window->setUpdatesEnabled(false);
    }
    DrawnWhileAsked(const DrawnWhileAsked &) = delete;
    DrawnWhileAsked &operator=(const DrawnWhileAsked &) = delete;

private:
    QPointer<QWidget> m_window;
    bool m_held;
};
std::string toStd(const QString &s) { return s.toStdString(); }
} // namespace

Application::Application(Options options, QObject *parent) : QObject(parent), m_options(std::move(options))
{
}

Application::~Application()
{
    destroyMainWindow();
    if (m_splash)
        m_splash->close();
}

void Application::destroyMainWindow()
{
    delete m_mainWindow;
    m_mainWindow = nullptr;
}

bool Application::start(const QStringList &arguments)
{
    // 1. The long-lived objects.
    m_settings = std::make_unique<SettingsStore>(SettingsStore::Locations{
        toStd(m_options.iniFile), toStd(m_options.userStoreFile), toStd(m_options.homeDir)});
    m_settings->setSaveFailureHandler(
        [this](const std::string &path, SettingsStore::StoreProblem problem) {
            reportSaveFailure(QString::fromStdString(SettingsStore::storeProblemText(problem, path)));
        });
    m_log = std::make_unique<NavigationLog>(*m_settings);
    m_workspace = corvane::Workspace();
    m_firstNew = true;

    // 3. Where the settings live; nothing is read before this.
    m_settings->openBackingStore();

    // 4. The workspace to restore at start-up, and what a run that did not
    // end cleanly left.
    chooseStartupWorkspace();
    if (!m_options.dataHome.isEmpty())
        m_recovery = std::make_unique<RecoverySnapshot>(
            QString::fromStdString(corvane::recoveryFilePath(toStd(m_options.dataHome))), *m_settings);
    const bool recoveryDue = m_recovery && m_recovery->leftOver();

    // 5. The log banner.
    m_log->write(NavigationLog::banner());
    m_log->write("Logging started...");

    // The menus' drawing style, chosen once per start; the web pages'
    // switches of Internet Options.
    MenuStyle::install(corvane::menuDrawingStyle(m_settings->msMenus() != 0));
    WebProfile::instance()->setJavaScriptEnabled(m_settings->enableJavaScript() != 0);
    WebProfile::instance()->setImagesEnabled(m_settings->loadImages() != 0);

    // The command line's switches.
    bool dde = false;
    bool nologo = false;
    QString document;
    QStringList moreDocuments; // each opens a window of its own after the first
    for (const QString &arg : arguments) {
        if (isDdeSwitch(arg))
            dde = true;
        else if (isNologoSwitch(arg))
            nologo = true;
        else if (document.isEmpty())
            document = arg;
        else
            moreDocuments << arg;
    }

    // The splash screen is due when Logo is on or another version ran
    // last. It shows first and closes itself once the main window is up;
    // nothing waits for it.
    m_splashDue = !nologo
                  && (m_settings->logo() != 0 || m_settings->version() != kCorvaneVersion);
    if (m_splashDue)
        showSplash();

    // 7. The main window.
    m_mainWindow = new MainWindow(*m_settings, *m_log);
    if (!m_saveFailureNotice.isEmpty())
        m_mainWindow->showNotice(m_saveFailureNotice);
    connect(m_mainWindow, &MainWindow::newWindowRequested, this, &Application::newWindow,
            Qt::DirectConnection);
    connect(m_mainWindow, &MainWindow::newWindowAtRequested, this, &Application::newWindowAt,
            Qt::DirectConnection);
    connect(m_mainWindow, &MainWindow::defaultBrowserCheckRequested, this,
            &Application::runDefaultBrowserCheck, Qt::DirectConnection);
    connect(m_mainWindow, &MainWindow::aboutRequested, this, &Application::showAbout);
    if (m_recovery) {
        m_recovery->watch(m_mainWindow);
        // A clean end leaves no record behind.
        connect(m_mainWindow, &MainWindow::closed, m_recovery.get(), &RecoverySnapshot::finish);
    }

    // 9. Starting; shell open requests are served from here on.
    m_starting = true;
    m_mainWindow->setUpdatesEnabled(false);
    if (m_options.listen) {
        m_instance = std::make_unique<SingleInstance>(m_options.runtimeDir);
        m_instance->listen([this](const QString &command) { return handleOpenRequest(command); });
        // No folder fit for the channel: said once, like a setting that
        // cannot be saved.
        if (m_options.runtimeDir.isEmpty() && !m_options.channelOffText.isEmpty()) {
            std::fprintf(stderr, "corvane: %s\n", m_options.channelOffText.toLocal8Bit().constData());
            std::fflush(stderr);
            m_mainWindow->showNotice(m_options.channelOffText);
        }
    }

    // 11. The command line: nothing means New, unless windows are to be
    // restored (theirs take the place of the first one); a document opens
    // in a new window.
    const bool plainStart = document.isEmpty() && !dde;
    const bool workspaceDue = plainStart && !m_workspace.empty
                              && (m_mainWindow->autoSaveAtCreation() || m_workspace.startup != 0);
    if (document.isEmpty()) {
        if (!dde && !workspaceDue && !recoveryDue)
            newWindow();
    } else if (dde) {
        handleOpenRequest(QString::fromStdString(corvane::makeOpenCommand(toStd(document))));
    } else {
        if (!openDocumentFile(document))
            return false;
        for (const QString &more : moreDocuments)
            openDocumentFile(more);
    }

    // 12. Show the main window with its start show state; the splash stays
    // in front of it.
    m_mainWindow->showWithStartState();
    if (m_splash)
        m_splash->raise();

    // 13. After a run that did not end cleanly, its windows if the user
    // wants them (beside a document the command line opened); else the
    // start-up workspace after a plain start. A question left unanswered
    // (the program is ending) opens nothing: the windows are not the
    // user's, and the exit stores nothing over "default".
    const RecoveryAnswer recovery = recoveryDue ? offerRecovery(!plainStart) : RecoveryAnswer::NotAsked;
    if (recovery == RecoveryAnswer::Unanswered) {
        m_mainWindow->keepStoredWorkspaces();
    } else if (recovery != RecoveryAnswer::Restored && workspaceDue) {
        m_mainWindow->loadWorkspace(m_workspace);
        m_workspace = corvane::Workspace();
    } else if (recovery == RecoveryAnswer::Declined && plainStart) {
        newWindow();
    }

    // 14.
    m_mainWindow->setUpdatesEnabled(true);
    m_starting = false;
    return true;
}

bool Application::isDdeSwitch(const QString &argument)
{
    const QString lower = argument.toLower();
    return lower == QLatin1String("/dde") || lower == QLatin1String("-dde") || lower == QLatin1String("--dde");
}

bool Application::isNologoSwitch(const QString &argument)
{
    const QString lower = argument.toLower();
    return lower == QLatin1String("nologo") || lower == QLatin1String("/nologo")
           || lower == QLatin1String("-nologo") || lower == QLatin1String("--nologo");
}

Application::RecoveryAnswer Application::offerRecovery(bool keepWindows)
{
    const corvane::Workspace windows = *m_recovery->leftOver();
    QMessageBox::StandardButton answer;
    {
        const DrawnWhileAsked drawn(m_mainWindow);
        answer = corvaneMessageBox(m_mainWindow, QMessageBox::Question,
                                   QString::fromUtf8(corvane::kRecoveryQuestionTitle),
                                   QString::fromUtf8(corvane::kRecoveryQuestionText), QMessageBox::Yes | QMessageBox::No);
    }
    // Not answered: the program is ending (a SIGTERM while the box was up);
    // the windows are still there to offer at the next start.
    if (modalQuestionsEnded()) {
        m_recovery->keepLeftOver();
        return RecoveryAnswer::Unanswered;
    }
    if (answer != QMessageBox::Yes || !m_mainWindow) {
        m_recovery->discardLeftOver();
        return RecoveryAnswer::Declined;
    }
    // The record stays until the restored windows have written their own.
    m_recovery->acceptLeftOver();
    m_mainWindow->loadWorkspace(windows, keepWindows);
    return RecoveryAnswer::Restored;
}

void Application::chooseStartupWorkspace()
{
    const std::optional<corvane::Workspace> chosen =
        corvane::startupWorkspace(m_settings->loadWorkspaces(), m_settings->autoSave() != 0);
    if (chosen)
        m_workspace = *chosen;
}

void Application::showSplash()
{
    // A PNG (drawn from res/pictures/splash.svg): it loads several times
    // faster than the drawing itself, and its loading is on the start-up's path.
    // It closes once its time is up and the main window exists, or at once
    // when a question comes up (the default-browser question at the first
    // window, before the main window shows).
    m_splash = SplashScreen::showResource(QStringLiteral(":/pictures/splash.png"),
                                          [this] { return m_mainWindow != nullptr; });
    if (!m_splash)
        return;
    // Once it is gone the main window comes to the front, unless a
    // question is up, which keeps the front.
    connect(m_splash, &SplashScreen::finished, this, [this] {
        if (QApplication::activeModalWidget())
            return;
        if (m_mainWindow && m_mainWindow->isVisible()) {
            m_mainWindow->raise();
            m_mainWindow->activateWindow();
        }
    });
}

void Application::showAbout()
{
    QPointer<BrowserView> target = activeView();
    AboutBox box(
        [this, &target](const QString &address) {
            if (!target) {
                newWindow();
                target = activeView();
            }
            if (target)
                target->navigate(address);
        },
        m_mainWindow);
    box.exec();
}

int Application::shutDown()
{
    if (m_splash)
        m_splash->close();
    // The main window's destruction still writes through the store and the log.
    destroyMainWindow();
    m_instance.reset();
    m_recovery.reset();
    m_settings.reset();
    m_log.reset();
    m_workspace = corvane::Workspace();
    return 0;
}

void Application::newWindow()
{
    if (m_firstNew) {
        // The default-browser check belongs to the first New.
        if (!m_settings->biPassDefault())
            runDefaultBrowserCheck();
        m_firstNew = false;
    }
    openBrowserWindow();
}

void Application::newWindowAt(const QString &address)
{
    m_pendingDocumentAddress = address;
    newWindow();
    m_pendingDocumentAddress.clear();
}

BrowserView *Application::openDocumentFile(const QString &path)
{
    // File systems here are case-sensitive: the address keeps its case and
    // only the shortcut test looks at the lower-cased name.
    m_pendingDocumentAddress = path;
    if (corvane::isUrlShortcutPath(toStd(path))) {
        const corvane::UrlShortcutResult shortcut =
            corvane::readUrlShortcut(QFile::encodeName(path).toStdString());
        if (!shortcut.found) {
            corvaneMessageBox(m_mainWindow, QMessageBox::Critical,
                              QStringLiteral("Invalid file format"),
                              QStringLiteral("The internet shortcut you are trying to open does not "
                                             "contain a valid site."),
                              QMessageBox::Ok);
        } else {
            m_pendingDocumentAddress = corvane::fromStoredText(shortcut.address);
        }
    }
    return openBrowserWindow();
}

bool Application::inTray() const
{
    return m_mainWindow && m_mainWindow->inTray();
}

bool Application::handleOpenRequest(const QString &command)
{
    // The program is ending: nothing opens any more.
    if (!m_mainWindow || modalQuestionsEnded())
        return false;
    const std::optional<std::string> target = corvane::parseOpenCommand(toStd(command));
    if (!target)
        return false;
    // Locked in the tray: nothing opens without the password.
    if (inTray() && m_settings->hasPassword()) {
        showOpenRefusal();
        return false;
    }
    if (!openDocumentFile(QString::fromStdString(*target)))
        return false;
    // The window comes up with the new document, out of the tray if it
    // was there. A request that opens nothing leaves it where it is: a
    // hidden window without its icon could not be found again.
    if (m_mainWindow && !m_starting) {
        if (inTray())
            m_mainWindow->showFromTray();
        else
            m_mainWindow->bringToFront();
    }
    return true;
}

void Application::showOpenRefusal()
{
    // One refusal at a time, however many requests come: the ones that come
    // while it is up, or due, are refused without one of their own. It
    // shows once the request is answered, from the event loop, so that no
    // request waits behind it and no box opens inside another's.
    if (m_refusalDue)
        return;
    m_refusalDue = true;
    QTimer::singleShot(0, this, [this] {
        showUserMessage(m_mainWindow, corvane::authenticationFailedMessage());
        m_refusalDue = false;
    });
}

BrowserControl *Application::createControl(QWidget *parent)
{
    if (m_controlFactory)
        return m_controlFactory(parent);
    return new WebEngineControl(parent);
}

// --- the browser views' host --------------------------------------------------------

BrowserWindow *Application::createBrowserWindow()
{
    if (!m_mainWindow)
        return nullptr;
    auto *window = new BrowserWindow(*this);
    m_mainWindow->adoptBrowserWindow(window);
    return window;
}

BrowserView *Application::openBrowserWindow()
{
    BrowserWindow *window = createBrowserWindow();
    if (!window)
        return nullptr;
    m_mainWindow->showBrowserWindow(window);
    window->view()->startFirstNavigation();
    return window->view();
}

BrowserView *Application::openPopupWindow()
{
    BrowserWindow *window = createBrowserWindow();
    return window ? window->view() : nullptr;
}

void Application::showPopupWindow(BrowserWindow *window)
{
    if (m_mainWindow && window)
        m_mainWindow->showBrowserWindow(window);
}

BrowserView *Application::activeView() const
{
    return m_mainWindow ? m_mainWindow->activeView() : nullptr;
}

void Application::pageStateChanged()
{
    if (m_recovery)
        m_recovery->noteChange();
}

void Application::insertIEMenu()
{
    if (m_mainWindow)
        m_mainWindow->insertIEMenu();
}

void Application::setAddressText(const QString &text)
{
    if (m_mainWindow)
        m_mainWindow->setAddressText(text);
}

void Application::clearAddressTyping()
{
    if (m_mainWindow)
        m_mainWindow->clearAddressTyping();
}

void Application::setStatusText(const QString &text)
{
    if (m_mainWindow)
        m_mainWindow->setStatusText(text);
}

void Application::setProgress(int progress, int progressMax)
{
    if (m_mainWindow)
        m_mainWindow->setProgress(progress, progressMax);
}

void Application::setSecurity(corvane::PageSecurity security)
{
    if (m_mainWindow)
        m_mainWindow->setSecurity(security);
}

void Application::updateStatusPanes()
{
    if (m_mainWindow)
        m_mainWindow->updateStatusPanes();
}

bool Application::isOffline() const
{
    return m_mainWindow && m_mainWindow->isOffline();
}

void Application::setOffline(bool offline)
{
    if (m_mainWindow)
        m_mainWindow->setOffline(offline);
}

void Application::setFontSize(int fonts)
{
    if (m_mainWindow)
        m_mainWindow->setFontSize(fonts);
}

bool Application::overrideScriptDebugging() const
{
    return m_mainWindow && m_mainWindow->overrideScriptDebugging();
}

void Application::reportSaveFailure(const QString &text)
{
    m_saveFailureNotice = text;
    std::fprintf(stderr, "corvane: %s\n", m_saveFailureNotice.toLocal8Bit().constData());
    std::fflush(stderr);
    if (m_mainWindow)
        m_mainWindow->showNotice(m_saveFailureNotice);
}

std::vector<corvane::DesktopIcon> Application::themeIcons()
{
    // The program's own icon: the drawing itself, and pictures of it at
    // the sizes an installation puts beside it.
    initProgramResources();
    QFile file(QStringLiteral(":/icons/corvane.svg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray svg = file.readAll();
    std::vector<corvane::DesktopIcon> icons{{"scalable", "svg", svg.toStdString()}};
    QSvgRenderer drawing(svg);
    if (!drawing.isValid())
        return icons;
    for (const int size : {48, 128}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"))
            icons.push_back({std::to_string(size) + "x" + std::to_string(size), "png", png.toStdString()});
    }
    return icons;
}

void Application::runDefaultBrowserCheck()
{
    DefaultBrowserDialog::Answer answer;
    {
        const DrawnWhileAsked drawn(m_mainWindow);
        answer = DefaultBrowserDialog::ask(m_mainWindow);
    }
    if (modalQuestionsEnded())
        return; // ended by a SIGTERM or the session's end: the user did not answer
    const corvane::DefaultBrowserChoice choice = corvane::defaultBrowserChoice(answer.yes, answer.dontAskAgain);
    if (choice.registerNow) {
        corvane::DesktopPlaces places;
        places.executable = toStd(m_options.executable.isEmpty() ? QCoreApplication::applicationFilePath()
                                                                 : m_options.executable);
        places.dataHome = toStd(m_options.dataHome);
        places.configHome = toStd(m_options.configHome);
        places.icons = themeIcons();
        if (!corvane::registerDefaultBrowser(places))
            showUserMessage(m_mainWindow, corvane::registrationFailedMessage(places));
    }
    m_settings->setBiPassDefault(choice.biPassDefault);
}
