#include "support/AppHarness.h"

#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>

AppHarness::AppHarness()
{
    if (home.isValid())
        QDir().mkpath(home.filePath(QStringLiteral("install")));
    DefaultBrowserDialog::setHook([this](QWidget *) {
        ++defaultBrowserQuestions;
        return defaultBrowserAnswer;
    });
}

AppHarness::~AppHarness()
{
    stop();
    DefaultBrowserDialog::setHook({});
}

Application::Options AppHarness::options() const
{
    Application::Options o;
    o.iniFile = home.filePath(QStringLiteral("install/Corvane.ini"));
    o.userStoreFile = home.configHome() + QStringLiteral("/Tolvek/Corvane.reg");
    o.homeDir = home.home();
    o.runtimeDir = home.runtimeDir();
    o.listen = false;
    o.dataHome = home.dataHome();
    o.configHome = home.configHome();
    o.executable = startedAs;
    return o;
}

std::unique_ptr<SettingsStore> AppHarness::store() const
{
    const Application::Options o = options();
    auto s = std::make_unique<SettingsStore>(SettingsStore::Locations{
        o.iniFile.toStdString(), o.userStoreFile.toStdString(), o.homeDir.toStdString()});
    s->openBackingStore();
    return s;
}

void AppHarness::preset(const std::function<void(SettingsStore &)> &change) const
{
    change(*store());
}

bool AppHarness::start(const QStringList &arguments)
{
    stop();
    controls.clear();
    m_app = std::make_unique<Application>(options());
    m_app->setControlFactory([this](QWidget *parent) {
        auto *control = new FakeBrowserControl(parent);
        controls.append(control);
        return control;
    });
    return m_app->start(arguments) && m_app->mainWindow();
}

void AppHarness::stop()
{
    m_app.reset();
}

MainWindow *AppHarness::mainWindow() const
{
    return m_app ? m_app->mainWindow() : nullptr;
}

int AppHarness::windowCount() const
{
    return int(mainWindow()->mdiArea()->subWindowList().size());
}

QString AppHarness::logPath() const
{
    return home.logPath();
}

QString AppHarness::logText() const
{
    return home.logText();
}
