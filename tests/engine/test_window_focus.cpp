// Where the keys go when a maximized window comes to the front, with the real
// engine: into the page (the focus proxy the engine makes), which keeps them
// on no element of its own choosing. (A page that gets the focus as a Tab
// press puts it on its first link; the window tests show no such focus
// change happens.)
#include "browser/BrowserWindow.h"
#include "engine/EngineTest.h"

#include <QApplication>
#include <QMdiArea>

namespace {

const QByteArray kLinkPage = "<!DOCTYPE html><html><head><title>%1</title></head><body>"
                             "<p><a href='/followed'>first link</a> <a href='/other'>second</a></p>"
                             "</body></html>";

class WindowFocusTest : public EngineTest
{
protected:
    MainWindow *mainWindow() const { return m_app->mainWindow(); }

    // A window opened as the desktop opens one (an open request), its page
    // loaded.
    BrowserWindow *openRequested(const QString &name)
    {
        const QString path = QLatin1Char('/') + name;
        m_server.setRoute(path, QString::fromLatin1(kLinkPage).arg(name).toUtf8());
        const QString url = m_server.url(path);
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        if (!m_app->handleOpenRequest(QStringLiteral("[open(\"%1\")]").arg(url))
            || !waitUntil([&] { return logLines().contains(done); }))
            return nullptr;
        return mainWindow()->activeBrowserWindow();
    }

    static QString focusedTag(BrowserWindow *window)
    {
        auto *control = qobject_cast<WebEngineControl *>(window->activeView()->control());
        return evaluate(control->page(), QStringLiteral("document.activeElement.tagName")).toString();
    }
};

} // namespace

TEST_F(WindowFocusTest, AWindowBroughtToTheFrontHasTheKeysOnItsPageNotOnItsFirstLink)
{
    m_app->settings().setChildMaximized(1);
    BrowserWindow *one = openRequested(QStringLiteral("one"));
    BrowserWindow *two = openRequested(QStringLiteral("two"));
    BrowserWindow *three = openRequested(QStringLiteral("three"));
    ASSERT_TRUE(one && two && three);
    ASSERT_TRUE(three->isMaximized());

    QMdiArea *area = mainWindow()->mdiArea();
    for (BrowserWindow *window : {one, two, three, one}) {
        area->setActiveSubWindow(window);
        ASSERT_TRUE(waitUntil([&] { return !window->panesCovered(); }));
        QWidget *focus = QApplication::focusWidget();
        EXPECT_TRUE(focus && focus != window && window->activeView()->isAncestorOf(focus))
            << window->windowTitle().toStdString();
        // The page has the keys, on no link of its own choosing.
        EXPECT_EQ(focusedTag(window), QStringLiteral("BODY")) << window->windowTitle().toStdString();
    }
    for (BrowserWindow *window : {one, two, three})
        EXPECT_EQ(focusedTag(window), QStringLiteral("BODY")) << window->windowTitle().toStdString();
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/followed")), 0);
}
