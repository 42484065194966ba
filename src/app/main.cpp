// Corvane: an MDI web browser.
#include "app/Application.h"
#include "app/SingleInstance.h"
#include "core/AboutBox.h"
#include "core/DdeCommand.h"
#include "core/DesktopRegistration.h"
#include "engine/OwnPages.h"
#include "mainframe/MainWindow.h"
#include "mainframe/TrayIcon.h"
#include "ui/MessageBox.h"
#include "ui/ModalQuestions.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

// Only write(2) here, on a non-blocking socket: a burst of signals that
// fills it loses bytes instead of hanging the handler. errno belongs to the
// code the signal interrupted.
void onTerminateSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void printHelp()
{
    std::printf(
        "Usage: corvane [nologo] [/dde] [FILE-OR-ADDRESS]\n"
        "\n"
        "Corvane is an MDI web browser.\n"
        "\n"
        "  FILE-OR-ADDRESS  a web address, a local file, or an Internet shortcut (.url)\n"
        "                   to open in a new browser window\n"
        "  nologo           do not show the splash screen\n"
        "  /dde             hand FILE-OR-ADDRESS to the Corvane already running\n"
        "                   (as the desktop does when Corvane is the default browser);\n"
        "                   with none running, open it here\n"
        "  --help           show this text\n"
        "  --version        show the version of Corvane and of its web engine\n");
}

void printVersion()
{
    std::printf("Corvane 3.00\n");
    std::printf("%s\n", corvane::engineVersionText(qWebEngineVersion(), qWebEngineChromiumVersion(),
                                                    qWebEngineChromiumSecurityPatchVersion())
                            .c_str());
    const QDate today = QDate::currentDate();
    const std::string age = corvane::engineAgeWarning(
        qWebEngineChromiumSecurityPatchVersion(), corvane::CivilDate{today.year(), today.month(), today.day()});
    if (!age.empty())
        std::printf("%s\n", age.c_str());
}

QString xdgDir(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() || !QDir::isAbsolutePath(value) ? fallback : value;
}

// An argument naming an existing local file is made absolute, so that the
// address still holds when another instance opens it. Switches stay as they
// are, whatever files the current folder holds.
QStringList normaliseArguments(const QStringList &args)
{
    QStringList out;
    for (const QString &arg : args) {
        const QFileInfo info(arg);
        if (!Application::isDdeSwitch(arg) && !Application::isNologoSwitch(arg)
            && !arg.startsWith(QLatin1Char('/')) && !arg.contains(QLatin1String("://"))
            && info.exists())
            out << info.absoluteFilePath();
        else
            out << arg;
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            printVersion();
            return 0;
        }
    }
    // The engine refuses to start as root with its sandbox on.
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);

    // The program as the user started it, for the desktop entry a
    // registration writes (a link on PATH stays the link).
    const std::string started =
        corvane::startedProgramPath(argv[0], corvane::startFolder(std::getenv("PWD")),
                                    std::getenv("PATH") ? std::getenv("PATH") : "");

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerOwnPageScheme();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setOrganizationName(QStringLiteral("Tolvek"));
    QApplication::setApplicationVersion(QStringLiteral("3.00"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QString home = QDir::homePath();
    const QString config = xdgDir("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));

    Application::Options options;
    options.iniFile = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Corvane.ini"));
    options.userStoreFile = config + QStringLiteral("/Tolvek/Corvane.reg");
    options.homeDir = home;
    const SingleInstance::RuntimeFolder channelFolder = SingleInstance::defaultRuntimeFolder();
    options.runtimeDir = channelFolder.path;
    options.channelOffText = channelFolder.offText;
    options.configHome = config;
    options.dataHome = xdgDir("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    options.executable = QString::fromStdString(started);

    const QStringList args = normaliseArguments(qapp.arguments().mid(1));

    // For the process tests, which cannot reach a window: every message box
    // is written to stderr ("message box: title: text") and answered with
    // CORVANE_TEST_ANSWER ("yes" or "no") instead of being shown; with
    // "none" it shows and waits for an answer that never comes.
    const QString testAnswer = qEnvironmentVariable("CORVANE_TEST_ANSWER").toLower();
    if (testAnswer == QLatin1String("yes") || testAnswer == QLatin1String("no")
        || testAnswer == QLatin1String("none")) {
        setMessageBoxObserver([](const QString &title, const QString &text) {
            std::fprintf(stderr, "message box: %s: %s\n", title.toLocal8Bit().constData(),
                         QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).toLocal8Bit().constData());
            std::fflush(stderr);
        });
    }
    if (testAnswer == QLatin1String("yes") || testAnswer == QLatin1String("no")) {
        const QMessageBox::StandardButton answer =
            testAnswer == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No;
        setMessageBoxHook([answer](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                                   QMessageBox::StandardButtons buttons) {
            return buttons.testFlag(answer) ? answer : QMessageBox::Ok;
        });
    }

    // "/dde": hand the request to the running instance, if there is one.
    if (std::any_of(args.begin(), args.end(), Application::isDdeSwitch)) {
        QString target;
        for (const QString &a : args) {
            if (!Application::isDdeSwitch(a) && !Application::isNologoSwitch(a)) {
                target = a;
                break;
            }
        }
        SingleInstance channel(options.runtimeDir);
        if (!target.isEmpty()
            && channel.send(QString::fromStdString(corvane::makeOpenCommand(target.toStdString()))))
            return 0;
        // Without a channel no running instance can be reached: this start
        // says so and opens the document itself.
        if (!target.isEmpty() && options.runtimeDir.isEmpty())
            std::fprintf(stderr, "corvane: %s\n", options.channelOffText.toLocal8Bit().constData());
    }

    // SIGTERM, SIGINT and a hang-up close the program like a confirmed exit.
    // The pair is private to this process: no child inherits it.
    const bool signalPipe = ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) == 0;
    if (signalPipe) {
        struct sigaction sa{};
        sa.sa_handler = onTerminateSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGHUP, &sa, nullptr);
    }

    Application app(options);
    // SIGTERM, SIGINT, a hang-up and the end of the session: no question is
    // asked any more and the ones up are rejected (a start-up question, the
    // exit question, any dialog), then the main window closes as after a
    // confirmed exit. One that arrives during start-up is served once
    // start-up is over: closing a main window that is still being built, and
    // quitting an event loop that has not started, would both be lost.
    bool terminateRequested = false;
    const auto terminate = [&app, &terminateRequested] {
        terminateRequested = true;
        endModalQuestions();
        if (app.starting())
            return;
        if (MainWindow *window = app.mainWindow())
            window->closeWithoutQuestions();
        QCoreApplication::quit();
    };
    if (signalPipe) {
        auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &qapp);
        QObject::connect(notifier, &QSocketNotifier::activated, &qapp, [notifier, terminate] {
            char buffer[16];
            [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], buffer, sizeof buffer);
            notifier->setEnabled(false);
            terminate();
        });
    }
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &qapp,
                     [terminate](QSessionManager &) { terminate(); });

    if (!app.start(args)) {
        app.shutDown();
        return 1;
    }
    if (terminateRequested) {
        app.mainWindow()->closeWithoutQuestions();
        app.shutDown();
        return 0;
    }
    // For the process tests: a desktop with a tray, the main window in it
    // from the start, as if the user had minimised it there.
    if (qEnvironmentVariable("CORVANE_TEST_TRAY") == QLatin1String("1")) {
        TrayIcon::setAvailableOverride(true);
        app.mainWindow()->hideToTray();
    }
    QObject::connect(app.mainWindow(), &MainWindow::closed, &qapp, &QCoreApplication::quit);
    const int code = qapp.exec();
    app.shutDown(); // the main window goes first, storing its bars and modes
    return code;
}
