#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class SettingsStore;

// Starts the built corvane as a user would meet it: a copy of the executable
// in a folder of its own (where "Corvane.ini" lives), and temporary HOME and
// XDG folders. Nothing touches the real home folder.
class ProcessHarness
{
public:
    ProcessHarness();
    ~ProcessHarness();

    bool valid() const { return m_root.isValid(); }
    QString root() const { return m_root.path(); }
    QString installDir() const { return m_root.path() + QStringLiteral("/install"); }
    QString home() const { return m_root.path() + QStringLiteral("/home"); }
    QString iniFile() const { return installDir() + QStringLiteral("/Corvane.ini"); }
    QString userStoreFile() const { return home() + QStringLiteral("/.config/Tolvek/Corvane.reg"); }
    QString runtimeDir() const { return m_root.path() + QStringLiteral("/run"); }
    QString executable() const { return installDir() + QStringLiteral("/corvane"); }

    void writeFile(const QString &path, const QByteArray &bytes) const;
    QByteArray readFile(const QString &path) const;

    // An environment variable for the starts that follow.
    void setEnvironmentVariable(const QString &name, const QString &value);
    // The starts that follow keep what the program writes to stderr (read
    // with errors()) instead of passing it on.
    void setCaptureErrors(bool on) { m_captureErrors = on; }
    QByteArray errors();
    // The starts that follow may hold at most this many file descriptors
    // (RLIMIT_NOFILE); 0 leaves the limit as it is.
    void setDescriptorLimit(int limit) { m_descriptorLimit = limit; }
    // Ends the running program with SIGKILL, as a crash would; waits for it.
    void kill();

    // Starts corvane with these arguments; false when it did not start.
    bool start(const QStringList &arguments = {});
    // Waits until the program's event loop answers on its open channel.
    bool waitUntilRunning(int timeoutMs = 30000);
    // Sends SIGTERM and waits for the exit; returns the exit code, or -1
    // when it crashed or did not end.
    int terminate(int timeoutMs = 20000);
    // The same with another signal (SIGINT, SIGHUP...).
    int endWith(int signal, int timeoutMs = 20000);
    // Runs corvane to its end (for --help, --version, /dde hand-offs).
    int run(const QStringList &arguments, QByteArray *output = nullptr, int timeoutMs = 30000);

    QProcess &process() { return m_process; }

private:
    QProcessEnvironment environment() const;

    QTemporaryDir m_root;
    QProcess m_process;
    QList<QPair<QString, QString>> m_extraEnvironment;
    QByteArray m_errors;
    bool m_captureErrors = false;
    int m_descriptorLimit = 0;
};

// Runs this process's event loop (the loopback pages a test serves) until
// the condition holds, or the time is up.
bool serveUntil(const std::function<bool()> &done, int timeoutMs = 90000);
// The harness's store, opened as the program opens it.
std::unique_ptr<SettingsStore> storeOf(const ProcessHarness &h);
