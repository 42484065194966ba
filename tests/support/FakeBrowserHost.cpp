#include "support/FakeBrowserHost.h"

#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "core/NavigationLog.h"
#include "core/SettingsStore.h"

#include <QMdiArea>
#include <QMdiSubWindow>

FakeBrowserHost::FakeBrowserHost()
    : m_settings(std::make_unique<SettingsStore>(SettingsStore::Locations{
          home.filePath(QStringLiteral("Corvane.ini")).toStdString(),
          (home.configHome() + QStringLiteral("/Tolvek/Corvane.reg")).toStdString(),
          home.home().toStdString()})),
      m_log(std::make_unique<NavigationLog>(*m_settings)),
      m_area(std::make_unique<QMdiArea>())
{
    m_settings->openBackingStore();
    m_area->resize(800, 600);
    m_area->show();
}

FakeBrowserHost::~FakeBrowserHost()
{
    // The windows go first: their views still report to this host.
    m_area.reset();
}

BrowserView *FakeBrowserHost::activeView() const
{
    auto *window = m_area ? qobject_cast<BrowserWindow *>(m_area->currentSubWindow()) : nullptr;
    return window ? window->activeView() : nullptr;
}

BrowserWindow *FakeBrowserHost::createWindow()
{
    auto *window = new BrowserWindow(*this);
    m_area->addSubWindow(window);
    return window;
}

BrowserView *FakeBrowserHost::openBrowserWindow()
{
    BrowserWindow *window = createWindow();
    showPopupWindow(window);
    window->view()->startFirstNavigation();
    return window->view();
}

BrowserView *FakeBrowserHost::openPopupWindow()
{
    return createWindow()->view();
}

void FakeBrowserHost::showPopupWindow(BrowserWindow *window)
{
    window->show();
    m_area->setActiveSubWindow(window);
}

BrowserControl *FakeBrowserHost::createControl(QWidget *parent)
{
    auto *control = new FakeBrowserControl(parent);
    controls.append(control);
    return control;
}

void FakeBrowserHost::setAddressText(const QString &text)
{
    if (!addressTyping)
        addressText = text;
}

void FakeBrowserHost::setProgress(int p, int max)
{
    progress = p;
    progressMax = max;
}
