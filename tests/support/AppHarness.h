#pragma once

#include "app/Application.h"
#include "app/DefaultBrowserDialog.h"
#include "support/FakeBrowserControl.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempHome.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class MainWindow;
class SettingsStore;

// The application object as the Qt tests start it: a temporary home with the
// INI file in an install/ folder of its own, fake browser controls in place of
// the engine, and message boxes answered without a user. Test fixtures derive
// from it (or hold one); the application ends and the real boxes come back
// when the harness goes.
class AppHarness : public MessageBoxRecorder
{
public:
    AppHarness();
    ~AppHarness();
    AppHarness(const AppHarness &) = delete;
    AppHarness &operator=(const AppHarness &) = delete;

    Application::Options options() const;
    // A second store on the application's files: settings to prepare before a
    // start, and what the program stored, read afresh.
    std::unique_ptr<SettingsStore> store() const;
    void preset(const std::function<void(SettingsStore &)> &change) const;

    // Ends the application running, if any, forgets its controls and starts a
    // new one. False when the start failed or left no main window.
    [[nodiscard]] bool start(const QStringList &arguments = {QStringLiteral("nologo"),
                                                             QStringLiteral("about:blank")});
    // Destroys the application object (without shutDown).
    void stop();
    bool started() const { return m_app != nullptr; }
    // Only after start().
    Application &app() const { return *m_app; }
    MainWindow *mainWindow() const;
    int windowCount() const;

    // A log file in the home folder, for tests that switch logging on.
    QString logPath() const;
    QString logText() const;

    TempHome home;
    // The default-browser question, answered in place of the user: how
    // often it was asked, and the answer (No, not ticked, unless a test
    // says otherwise).
    int defaultBrowserQuestions = 0;
    DefaultBrowserDialog::Answer defaultBrowserAnswer;
    // The executable a registration names: a path with a space.
    static QString executable() { return QStringLiteral("/opt/Corvane Test/corvane"); }
    // The executable the application is told it was started as.
    QString startedAs = executable();
    // Every control the application made, in order.
    QList<QPointer<FakeBrowserControl>> controls;

private:
    std::unique_ptr<Application> m_app;
};
