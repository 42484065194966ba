// The real engine on loopback pages: a page's full-screen request and its
// exit, and a page that asks before it is left (beforeunload) holding
// Close, Close All and Exit until the user answers.
#include "browser/BrowserWindow.h"
#include "browser/FullScreenWindow.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "engine/EngineTest.h"

#include <QApplication>
#include <QMdiArea>
#include <QTest>
#include <QToolBar>
#include <QWebEngineView>

namespace cmd = corvane::cmd;

namespace {

class PageWindowsTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // Exit is confirmed; the page's question answers as the test says.
        setMessageBoxHook([this](QWidget *, QMessageBox::Icon, const QString &title, const QString &text,
                                 QMessageBox::StandardButtons) {
            if (title != QStringLiteral("Leave page alert"))
                return QMessageBox::Yes;
            leaveQuestions << text;
            return leave ? QMessageBox::Yes : QMessageBox::No;
        });
    }

    MainWindow *mainWindow() const { return m_app->mainWindow(); }
    int windowCount() const { return int(mainWindow()->mdiArea()->subWindowList().size()); }
    QWidget *pageWidget(BrowserView *view) const
    {
        auto *engine = qobject_cast<WebEngineControl *>(view->control());
        return engine->view()->focusProxy();
    }

    // Loads a page in the view that asks before it is left once its field
    // holds something, clicks it as a user does (the engine asks only for a
    // page the user has used) and fills the field.
    void loadFormAndType(BrowserView *view, const QString &path)
    {
        m_server.setRoute(path, "<html><head><title>Form</title></head><body style='margin:0'>"
                                "<input id='t' style='width:300px;height:40px'>"
                                "<script>window.addEventListener('beforeunload', function (e) {"
                                "  if (document.getElementById('t').value) { e.preventDefault(); e.returnValue = ''; }"
                                "});</script></body></html>");
        const QString url = m_server.url(path);
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        const qsizetype before = logLines().count(done);
        view->navigate(url);
        ASSERT_TRUE(waitUntil([&] { return logLines().count(done) > before; }));
        auto *engine = qobject_cast<WebEngineControl *>(view->control());
        evaluate(engine->page(), QStringLiteral("window.clicked = false;"
                                                "document.addEventListener('mousedown', function () { window.clicked = true; }); true"));
        // A page takes clicks once it has been drawn.
        ASSERT_TRUE(waitUntil([&] {
            QTest::mouseClick(pageWidget(view), Qt::LeftButton, {}, QPoint(100, 20));
            return waitUntil([&] { return evaluate(engine->page(), QStringLiteral("window.clicked")).toBool(); }, 300);
        }));
        evaluate(engine->page(), QStringLiteral("document.getElementById('t').value = 'typed'; true"));
    }

    QStringList leaveQuestions;
    bool leave = false;
};

} // namespace

TEST_F(PageWindowsTest, AFullScreenRequestShowsThePaneAloneAndItsExitBringsEverythingBack)
{
    m_server.setRoute(QStringLiteral("/video"),
                      "<html><head><title>Video</title><style>html,body{height:100%;margin:0}</style></head>"
                      "<body><div id='player' style='height:100%;background:#2a6'"
                      " onclick='this.requestFullscreen()'>player</div></body></html>");
    BrowserWindow *window = mainWindow()->activeBrowserWindow();
    window->showMaximized();
    window->splitter()->splitColumn(300);
    window->splitter()->setActivePane(0, 0);
    BrowserView *view = window->splitter()->pane(0, 0);
    ASSERT_EQ(view, m_view);
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/video"))));
    const bool toolBar = mainWindow()->toolBar()->isVisible();
    const int columnPosition = window->splitter()->columnPosition();

    const auto fullScreenElement = [&] {
        return evaluate(control()->page(), QStringLiteral("document.fullscreenElement ? document.fullscreenElement.id : ''"))
            .toString();
    };
    for (const char *exit : {"document", "escape", "f11"}) {
        SCOPED_TRACE(exit);
        // A page takes clicks once it has been drawn.
        ASSERT_TRUE(waitUntil([&] {
            QTest::mouseClick(pageWidget(view), Qt::LeftButton, {}, QPoint(40, 40));
            return waitUntil([&] { return view->isFullScreen(); }, 300);
        }));
        EXPECT_TRUE(waitUntil([&] { return fullScreenElement() == QStringLiteral("player"); }));
        FullScreenWindow *fullScreen = view->fullScreenWindow();
        EXPECT_TRUE(fullScreen->isFullScreen());
        EXPECT_EQ(control()->view()->window(), fullScreen);
        EXPECT_TRUE(fullScreen->noticeText().startsWith(QStringLiteral("127.0.0.1:")));

        if (QByteArray(exit) == "document") {
            control()->page()->runJavaScript(QStringLiteral("document.exitFullscreen();"));
        } else {
            fullScreen->activateWindow();
            QApplication::setActiveWindow(fullScreen);
            QTest::keyClick(fullScreen, QByteArray(exit) == "escape" ? Qt::Key_Escape : Qt::Key_F11);
        }
        EXPECT_TRUE(waitUntil([&] { return !view->isFullScreen(); }));
        EXPECT_TRUE(waitUntil([&] { return fullScreenElement().isEmpty(); })) << "the page left its full screen";
        EXPECT_EQ(control()->view()->window(), mainWindow());
        EXPECT_EQ(mainWindow()->toolBar()->isVisible(), toolBar);
        EXPECT_TRUE(window->isMaximized());
        EXPECT_EQ(window->splitter()->columns(), 2);
        EXPECT_EQ(window->splitter()->columnPosition(), columnPosition);
    }
}

TEST_F(PageWindowsTest, APageThatAsksHoldsCloseUntilTheUserLetsItGo)
{
    loadFormAndType(m_view, QStringLiteral("/form"));
    BrowserWindow *window = mainWindow()->activeBrowserWindow();
    mainWindow()->runCommand(cmd::Close);
    ASSERT_TRUE(waitUntil([&] { return !leaveQuestions.isEmpty(); }));
    EXPECT_TRUE(leaveQuestions.first().startsWith(QStringLiteral("The page at 127.0.0.1:")));
    ASSERT_TRUE(waitUntil([&] { return !window->askingPages(); }));
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(evaluate(control()->page(), QStringLiteral("document.getElementById('t').value")).toString(),
              QStringLiteral("typed"))
        << "what was typed is still there";

    // Navigating away asks the same question of ours.
    leaveQuestions.clear();
    m_view->navigate(m_server.url(QStringLiteral("/elsewhere")));
    ASSERT_TRUE(waitUntil([&] { return !leaveQuestions.isEmpty(); }));
    QTest::qWait(200);
    EXPECT_EQ(control()->pageUrl(), m_server.url(QStringLiteral("/form")));

    leave = true;
    mainWindow()->runCommand(cmd::Close);
    EXPECT_TRUE(waitUntil([&] { return windowCount() == 0; }));
}

TEST_F(PageWindowsTest, APageThatAsksStopsCloseAllAndExitAtItsWindow)
{
    // Two windows: the asking page behind, a plain one in front.
    loadFormAndType(m_view, QStringLiteral("/form"));
    BrowserWindow *asking = mainWindow()->activeBrowserWindow();
    m_app->newWindow();
    ASSERT_EQ(windowCount(), 2);
    m_app->settings().setMsgCloseAll(0);

    mainWindow()->runCommand(cmd::CloseAll);
    ASSERT_TRUE(waitUntil([&] { return !leaveQuestions.isEmpty(); }));
    ASSERT_TRUE(waitUntil([&] { return !mainWindow()->closingAll(); }));
    QTest::qWait(100);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(mainWindow()->activeBrowserWindow(), asking);

    // Exit: a second window in front, the asking one asked, No keeps all.
    m_app->newWindow();
    leaveQuestions.clear();
    bool closed = false;
    QObject::connect(mainWindow(), &MainWindow::closed, [&closed] { closed = true; });
    EXPECT_FALSE(mainWindow()->close());
    ASSERT_TRUE(waitUntil([&] { return !leaveQuestions.isEmpty(); }));
    ASSERT_TRUE(waitUntil([&] { return !mainWindow()->exitPending(); }));
    QTest::qWait(100);
    EXPECT_FALSE(closed);
    EXPECT_EQ(windowCount(), 2) << "no window closed";
    EXPECT_TRUE(mainWindow()->isVisible());

    // Yes lets the exit go on by itself.
    leave = true;
    mainWindow()->close();
    EXPECT_TRUE(waitUntil([&] { return closed; }));
}

TEST_F(PageWindowsTest, APageThatNeverAnswersDoesNotHoldCloseForEver)
{
    // A script that never returns: the page runs no beforeunload, and its
    // window still closes, a moment later.
    m_server.setRoute(QStringLiteral("/busy"), "<html><head><title>Busy</title></head><body>"
                                               "<script>setTimeout(function () { for (;;) {} }, 50);</script>"
                                               "</body></html>");
    m_view->navigate(m_server.url(QStringLiteral("/busy")));
    ASSERT_TRUE(waitUntil([&] { return m_view->control()->pageTitle() == QStringLiteral("Busy"); }));
    QTest::qWait(200);
    m_app->newWindow();
    ASSERT_EQ(windowCount(), 2);
    QPointer<BrowserWindow> busy = qobject_cast<BrowserWindow *>(mainWindow()->mdiArea()->subWindowList().first());
    ASSERT_NE(busy, nullptr);
    busy->close();
    EXPECT_TRUE(waitUntil([&] { return busy.isNull(); }, 10000));
    EXPECT_TRUE(leaveQuestions.isEmpty());
    EXPECT_EQ(windowCount(), 1);
}
