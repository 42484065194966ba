// Windows that pages open, decided by the Window Spawning Manager, with the
// real engine on pages of a loopback server.
#include "browser/BrowserWindow.h"
#include "core/PopupDecision.h"
#include "engine/EngineTest.h"
#include "support/MessageBoxRecorder.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QChildEvent>
#include <QPointer>
#include <QTest>
#include <QWebEngineView>

#include <algorithm>

namespace {

// Every browser window that appears in the main window, and whether it was
// ever shown.
class WindowWatcher : public QObject
{
public:
    explicit WindowWatcher(QMdiArea *area) : m_area(area)
    {
        area->viewport()->installEventFilter(this);
    }
    ~WindowWatcher() override
    {
        if (m_area)
            m_area->viewport()->removeEventFilter(this);
    }

    QList<QPointer<BrowserWindow>> windows;
    QList<BrowserWindow *> shown; // compared by address only

    bool wasShown(BrowserWindow *window) const { return shown.contains(window); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            auto *child = static_cast<QChildEvent *>(event)->child();
            auto *window = qobject_cast<BrowserWindow *>(child);
            // A window is added to the area's viewport more than once.
            if (window && !windows.contains(window)) {
                windows.append(window);
                window->installEventFilter(this);
            }
        } else if (event->type() == QEvent::Show) {
            if (auto *window = qobject_cast<BrowserWindow *>(watched))
                shown.append(window);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QMdiArea> m_area;
};

class PopupFilterTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (HasFatalFailure())
            return;
        // After the fixture's own hook: this one answers and records.
        m_boxes = std::make_unique<MessageBoxRecorder>();
        m_boxes->answer = QMessageBox::No;
        m_watcher = std::make_unique<WindowWatcher>(m_app->mainWindow()->mdiArea());
        m_server.setRoute(QStringLiteral("/popped"), page("Popped"));
        SettingsStore &s = m_app->settings();
        s.setMsgConfirmNewWindow(0);
        s.setSpawning(0);
        s.setSpawningFilter(0);
        s.setSpawningSallyport(0);
        s.storeFilter({});
        s.storeSallyport({});
    }

    void TearDown() override
    {
        m_watcher.reset();
        m_boxes.reset();
        EngineTest::TearDown();
    }

    static QByteArray page(const char *title, const QByteArray &body = "popup")
    {
        return QByteArray("<html><head><title>") + title + "</title></head><body>" + body
               + "</body></html>";
    }

    // A page at path whose script opens the popup address at once.
    void openerAt(const QString &path, const QString &popupPath)
    {
        m_server.setRoute(path, page("Opener", "<script>window.open('" + popupPath.toUtf8()
                                                   + "');</script>"));
    }

    // The popup the last page opened: waits until it is either shown with
    // its page or gone. Null when it went.
    BrowserWindow *popupOutcome()
    {
        if (!waitUntil([&] { return m_watcher->windows.size() > m_seen; })) {
            ADD_FAILURE() << "no window was asked for by " << m_view->control()->pageUrl().toStdString();
            return nullptr;
        }
        QPointer<BrowserWindow> popup = m_watcher->windows.at(m_seen++);
        waitUntil([&] {
            return !popup
                   || (popup->isVisible() && !popup->view()->navigating()
                       && popup->view()->document()->title() == QStringLiteral("Popped"));
        });
        return popup;
    }

    // Loads the opener page and returns what became of its popup.
    BrowserWindow *popupFrom(const QString &openerPath)
    {
        if (!load(m_server.url(openerPath)))
            return nullptr;
        return popupOutcome();
    }

    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<WindowWatcher> m_watcher;
    int m_seen = 0;
};

TEST_F(PopupFilterTest, WithTheManagerOffEveryPopupOpensInAWindowOfItsOwn)
{
    openerAt(QStringLiteral("/opener"), QStringLiteral("/popped"));
    BrowserWindow *popup = popupFrom(QStringLiteral("/opener"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->view()->control()->pageUrl(), m_server.url(QStringLiteral("/popped")));
    EXPECT_EQ(popup->view()->openerAddress(), m_server.url(QStringLiteral("/opener")));
    EXPECT_FALSE(popup->view()->popupCheckPending());
    EXPECT_EQ(m_app->mainWindow()->activeBrowserWindow(), popup);
    EXPECT_TRUE(m_boxes->boxes.isEmpty());
}

TEST_F(PopupFilterTest, FilterWordClosesThePopupUnseenWhateverTheCase)
{
    SettingsStore &s = m_app->settings();
    s.setSpawning(1);
    s.setSpawningFilter(1);
    s.storeFilter({"adverts"});
    m_server.setRoute(QStringLiteral("/ADVERTS/1"), page("Popped"));
    openerAt(QStringLiteral("/opener"), QStringLiteral("/ADVERTS/1"));

    QPointer<BrowserWindow> popup = popupFrom(QStringLiteral("/opener"));
    EXPECT_TRUE(popup.isNull());
    ASSERT_EQ(m_watcher->windows.size(), 1);
    EXPECT_FALSE(m_watcher->wasShown(m_watcher->windows.at(0)));
    // Refused at its navigation start: the address was never fetched.
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/ADVERTS/1")), 0);
    EXPECT_TRUE(m_boxes->boxes.isEmpty());
    // The opener stays, and stays in front.
    EXPECT_EQ(m_app->mainWindow()->activeView(), m_view);
}

TEST_F(PopupFilterTest, SallyportAllowsByOpenerOnly)
{
    SettingsStore &s = m_app->settings();
    s.setSpawning(1);
    s.setSpawningSallyport(1);
    s.storeSallyport({"trusted-site"});
    openerAt(QStringLiteral("/Trusted-Site/page"), QStringLiteral("/popped"));
    openerAt(QStringLiteral("/other"), QStringLiteral("/popped"));

    // Mixed case in the opener's address, lower case in the list.
    BrowserWindow *allowed = popupFrom(QStringLiteral("/Trusted-Site/page"));
    ASSERT_NE(allowed, nullptr);
    EXPECT_TRUE(allowed->isVisible());
    allowed->close();

    // Another opener is refused although no filter word is in play.
    m_app->mainWindow()->mdiArea()->setActiveSubWindow(m_view->browserWindow());
    EXPECT_EQ(popupFrom(QStringLiteral("/other")), nullptr);
    EXPECT_FALSE(m_watcher->wasShown(m_watcher->windows.last()));

    // An empty sallyport is no sallyport: the same opener may open windows.
    s.storeSallyport({});
    BrowserWindow *again = popupFrom(QStringLiteral("/other"));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    EXPECT_TRUE(m_boxes->boxes.isEmpty());
}

TEST_F(PopupFilterTest, BothListsOpenerInTheSallyportAndAFilterWordInThePopup)
{
    SettingsStore &s = m_app->settings();
    s.setSpawning(1);
    s.setSpawningFilter(1);
    s.setSpawningSallyport(1);
    s.storeSallyport({"trusted"});
    s.storeFilter({"casino"});
    m_server.setRoute(QStringLiteral("/casino"), page("Popped"));
    openerAt(QStringLiteral("/trusted"), QStringLiteral("/casino"));
    EXPECT_EQ(popupFrom(QStringLiteral("/trusted")), nullptr);
    EXPECT_FALSE(m_watcher->wasShown(m_watcher->windows.last()));
}

TEST_F(PopupFilterTest, ConfirmationShowsTheLowerCasedAddressAndNoCloses)
{
    m_app->settings().setMsgConfirmNewWindow(1);
    m_server.setRoute(QStringLiteral("/Popped-Page"), page("Popped"));
    openerAt(QStringLiteral("/opener"), QStringLiteral("/Popped-Page"));

    EXPECT_EQ(popupFrom(QStringLiteral("/opener")), nullptr);
    EXPECT_FALSE(m_watcher->wasShown(m_watcher->windows.last()));
    ASSERT_EQ(m_boxes->boxes.size(), 1);
    const MessageBoxRecorder::ShownBox &box = m_boxes->boxes.at(0);
    EXPECT_EQ(box.title, QStringLiteral("New window request alert"));
    EXPECT_EQ(box.text, QStringLiteral("A request has been made by the current view to spawn the "
                                       "following site:\n%1\nWould you like to view this site?")
                            .arg(m_server.url(QStringLiteral("/popped-page"))));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);

    m_boxes->answer = QMessageBox::Yes;
    BrowserWindow *popup = popupFrom(QStringLiteral("/opener"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
}

TEST_F(PopupFilterTest, AnAskedPopupIsNotRequestedBeforeItsYes)
{
    m_app->settings().setMsgConfirmNewWindow(1);
    const QString opener = m_server.url(QStringLiteral("/opener"));
    // The popup's page opens a window of its own as it loads.
    m_server.setRoute(QStringLiteral("/held"),
                      page("Popped", "<script>window.open('/child');</script>"));
    m_server.setRoute(QStringLiteral("/child"), page("Child"));
    openerAt(QStringLiteral("/opener"), QStringLiteral("/held?n=1"));
    // What the server had seen of the popup when each question went up.
    QList<int> heldHitsAtQuestion;
    QStringList questions;
    QList<QMessageBox::StandardButton> answers{QMessageBox::No};
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon, const QString &, const QString &text,
                          QMessageBox::StandardButtons) {
        heldHitsAtQuestion << m_server.hitCount(QStringLiteral("/held"));
        questions << text;
        return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
    });

    // No: the popup's page was never asked for, nor anything it would open.
    EXPECT_EQ(popupFrom(QStringLiteral("/opener")), nullptr);
    EXPECT_FALSE(m_watcher->wasShown(m_watcher->windows.last()));
    EXPECT_EQ(heldHitsAtQuestion, QList<int>{0});
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/held")), 0);
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/child")), 0);
    EXPECT_EQ(m_app->mainWindow()->activeView(), m_view);

    // Yes: requested only after the answer, as the page asked for it (the
    // same address, the opener's referrer), and still the window the opener
    // holds. Only now does it run, and its own window is asked about.
    answers = {QMessageBox::Yes, QMessageBox::No};
    BrowserWindow *popup = popupFrom(QStringLiteral("/opener"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(heldHitsAtQuestion.mid(1, 1), QList<int>{0});
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/held")), 1);
    EXPECT_EQ(m_server.requestHeader(QStringLiteral("/held?n=1"), "Referer"), opener.toUtf8());
    EXPECT_EQ(popup->view()->control()->pageUrl(), m_server.url(QStringLiteral("/held?n=1")));
    auto *popupPage = qobject_cast<WebEngineControl *>(popup->view()->control())->page();
    EXPECT_TRUE(evaluate(popupPage, QStringLiteral("window.opener === null")) == QVariant(false));
    EXPECT_TRUE(waitUntil([&] { return questions.size() == 3; }));
    EXPECT_TRUE(questions.value(2).contains(m_server.url(QStringLiteral("/child"))));
    EXPECT_TRUE(waitUntil([&] { return m_watcher->windows.size() == 3 && !m_watcher->windows.last(); }));
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/child")), 0);
}

TEST_F(PopupFilterTest, ABurstOfWindowsIsOneQuestionAndNoLeavesNothingBehind)
{
    m_app->settings().setMsgConfirmNewWindow(1);
    // The page asks for five hundred windows.
    m_server.setRoute(QStringLiteral("/burst"),
                      page("Opener", "<script>for (var i = 0; i < 500; ++i) window.open('/popped?' + i);</script>"));
    MainWindow *main = m_app->mainWindow();
    const qsizetype pagesBefore = main->findChildren<QWebEnginePage *>().size();
    const qsizetype viewsBefore = main->findChildren<QWebEngineView *>().size();
    // The engine makes every window the page asks for before it asks for
    // ours: a loop of five hundred takes it a while.
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/burst")), 60000));
    ASSERT_TRUE(waitUntil([&] { return m_boxes->boxes.size() == 1; }));
    // The burst holds as many windows as it may, unseen; the page's other
    // windows were never made. All share one answer and are gone after its
    // No: no window, page, view or control of theirs is left.
    const int held = corvane::kPopupBurstMaxWindows;
    EXPECT_TRUE(m_boxes->boxes.at(0).text.contains(
        QStringLiteral(" windows, the first of them:\n%1\n").arg(m_server.url(QStringLiteral("/popped?0")))));
    EXPECT_TRUE(waitUntil([&] {
        return std::none_of(m_watcher->windows.begin(), m_watcher->windows.end(),
                            [](const QPointer<BrowserWindow> &w) { return !w.isNull(); });
    }));
    EXPECT_EQ(m_watcher->windows.size(), held);
    EXPECT_TRUE(m_watcher->shown.isEmpty());
    // However long the engine takes over the rest.
    QTest::qWait(corvane::kPopupBurstLimitMs);
    EXPECT_EQ(m_watcher->windows.size(), held);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->findChildren<QWebEnginePage *>().size(), pagesBefore);
    EXPECT_EQ(main->findChildren<QWebEngineView *>().size(), viewsBefore);
    EXPECT_EQ(main->findChildren<WebEngineControl *>().size(), 1);
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(m_boxes->boxes.size(), 1);
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/popped")), 0);
    EXPECT_EQ(main->activeView(), m_view);
}

TEST_F(PopupFilterTest, TheAnswerLeavesTheUserInTheWindowTheyWereIn)
{
    SettingsStore &s = m_app->settings();
    s.setMsgConfirmNewWindow(1);
    openerAt(QStringLiteral("/opener"), QStringLiteral("/popped"));
    MainWindow *main = m_app->mainWindow();
    // Three windows; the user works in the middle one, which opens a window.
    for (const bool maximized : {false, true}) {
        s.setChildMaximized(maximized ? 1 : 0);
        QList<BrowserView *> views{m_app->openBrowserWindow(), m_app->openBrowserWindow(),
                                   m_app->openBrowserWindow()};
        BrowserView *middle = views.at(1);
        QCoreApplication::processEvents();
        m_seen = int(m_watcher->windows.size());
        const auto openFromMiddle = [&] {
            main->mdiArea()->setActiveSubWindow(middle->browserWindow());
            std::swap(m_view, middle);
            const bool loaded = load(m_server.url(QStringLiteral("/opener")));
            std::swap(m_view, middle);
            return loaded;
        };
        // No: the window goes, and the user is where they were.
        m_boxes->answer = QMessageBox::No;
        ASSERT_TRUE(openFromMiddle());
        EXPECT_EQ(popupOutcome(), nullptr) << maximized;
        EXPECT_EQ(main->activeView(), middle) << maximized;
        QTest::qWait(50);
        EXPECT_EQ(main->activeView(), middle) << maximized;
        // Yes: the window the page asked for is in front.
        m_boxes->answer = QMessageBox::Yes;
        ASSERT_TRUE(openFromMiddle());
        BrowserWindow *popup = popupOutcome();
        ASSERT_NE(popup, nullptr) << maximized;
        EXPECT_EQ(main->activeBrowserWindow(), popup) << maximized;
        popup->close();
        for (BrowserView *view : views)
            view->browserWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main->mdiArea()->setActiveSubWindow(m_view->browserWindow());
    }
}

TEST_F(PopupFilterTest, TargetLinksClicksAndTimersGoThroughTheSameDecision)
{
    SettingsStore &s = m_app->settings();
    s.setSpawning(1);
    s.setSpawningFilter(1);
    s.storeFilter({"blocked"});
    m_server.setRoute(QStringLiteral("/blocked"), page("Popped"));
    // A link with a target and a button whose click opens a window.
    const QByteArray area = "id='target'";
    auto linkPage = [&](const char *to) {
        return page("Opener", "<a " + area + " href='" + to + "' target='_blank'>link</a>");
    };
    auto buttonPage = [&](const char *to) {
        return page("Opener", "<button " + area + " onclick=\"window.open('" + to
                                  + "')\">open</button>");
    };
    auto timerPage = [&](const char *to) {
        return page("Opener", QByteArray("<script>setTimeout(function () { window.open('") + to
                                  + "'); }, 50);</script>");
    };
    const struct
    {
        const char *name;
        QByteArray refused;
        QByteArray allowed;
        bool click;
    } kinds[] = {
        {"target link", linkPage("/blocked"), linkPage("/popped"), true},
        {"click", buttonPage("/blocked"), buttonPage("/popped"), true},
        {"timer", timerPage("/blocked"), timerPage("/popped"), false},
    };
    for (const auto &kind : kinds) {
        for (const bool refused : {true, false}) {
            const QString path = QStringLiteral("/opener-%1-%2")
                                     .arg(QString::fromLatin1(kind.name).replace(' ', '-'))
                                     .arg(refused);
            m_server.setRoute(path, refused ? kind.refused : kind.allowed);
            m_app->mainWindow()->mdiArea()->setActiveSubWindow(m_view->browserWindow());
            ASSERT_TRUE(load(m_server.url(path))) << kind.name;
            if (kind.click)
                control()->page()->runJavaScript(
                    QStringLiteral("document.getElementById('target').click();"));
            BrowserWindow *popup = popupOutcome();
            if (refused) {
                EXPECT_EQ(popup, nullptr) << kind.name;
                EXPECT_FALSE(m_watcher->wasShown(m_watcher->windows.last())) << kind.name;
            } else {
                ASSERT_NE(popup, nullptr) << kind.name;
                EXPECT_TRUE(popup->isVisible()) << kind.name;
                EXPECT_EQ(popup->view()->openerAddress(), m_server.url(path)) << kind.name;
                popup->close();
            }
        }
    }
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/blocked")), 0);
}

TEST_F(PopupFilterTest, OrdinaryAddressesWithCloseWordsStayOpen)
{
    // Documentation anchors and searches carry "close()" and ".close"; only
    // a script address closes the window.
    for (const char *path : {"/io.html#io.IOBase.close", "/search?q=file.close()"}) {
        const QString url = m_server.url(QLatin1String(path));
        m_server.setRoute(QStringLiteral("/io.html"), page("Docs"));
        m_server.setRoute(QStringLiteral("/search"), page("Search"));
        ASSERT_TRUE(load(url)) << path;
        EXPECT_EQ(m_app->mainWindow()->activeView(), m_view) << path;
        EXPECT_EQ(m_view->control()->pageUrl(), url) << path;
    }
}

TEST_F(PopupFilterTest, AScriptCloseLinkOrAddressClosesItsWindowWithItsLogLine)
{
    m_server.setRoute(QStringLiteral("/first"), page("First"));
    m_server.setRoute(QStringLiteral("/links"),
                      page("Links", "<a id='close' href='javascript:window.close()'>close</a>"
                                    "<a id='run' href=\"javascript:void(document.title='Ran')\">run</a>"));
    const auto loadIn = [&](BrowserView *view, const QString &path) {
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(m_server.url(path));
        const qsizetype before = logLines().count(done);
        view->navigate(m_server.url(path));
        return waitUntil([&] { return logLines().count(done) > before; });
    };
    const auto click = [](BrowserView *view, const char *id) {
        qobject_cast<WebEngineControl *>(view->control())
            ->page()
            ->runJavaScript(QStringLiteral("document.getElementById('%1').click();").arg(QLatin1String(id)));
    };
    const QString closeLine = QStringLiteral("* Navigation started to URL: [javascript:window.close()] *");
    // A window with pages behind it, which the engine itself would not
    // let a script close: the link, then the address typed.
    for (const bool typed : {false, true}) {
        BrowserView *view = m_app->openBrowserWindow();
        ASSERT_NE(view, nullptr);
        const QPointer<BrowserWindow> window = view->browserWindow();
        ASSERT_TRUE(loadIn(view, QStringLiteral("/first")));
        ASSERT_TRUE(loadIn(view, QStringLiteral("/links")));
        const qsizetype before = logLines().count(closeLine);
        if (typed)
            view->navigate(QStringLiteral("javascript:window.close()"));
        else
            click(view, "close");
        EXPECT_TRUE(waitUntil([&] { return window.isNull(); })) << (typed ? "typed" : "link");
        EXPECT_EQ(logLines().count(closeLine), before + 1) << (typed ? "typed" : "link");
    }
    EXPECT_EQ(m_app->mainWindow()->activeView(), m_view);

    // Another script link runs in its page, which stays with its address.
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/links"))));
    click(m_view, "run");
    EXPECT_TRUE(waitUntil([&] { return m_view->document()->title() == QStringLiteral("Ran"); }));
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Navigation started to URL: [javascript:void(document.title='Ran')] *")));
    EXPECT_EQ(m_view->control()->pageUrl(), m_server.url(QStringLiteral("/links")));
    EXPECT_FALSE(m_view->navigating());
}

TEST_F(PopupFilterTest, APageThatNeverNavigatedOpensNothing)
{
    // A window whose page has not started a navigation of its own.
    BrowserView *fresh = m_app->openPopupWindow();
    ASSERT_NE(fresh, nullptr);
    ASSERT_TRUE(fresh->currentNavigationAddress().isEmpty());
    const qsizetype windows = m_watcher->windows.size();
    // window.open asks for its window before it returns.
    bool done = false;
    qobject_cast<WebEngineControl *>(fresh->control())
        ->page()
        ->runJavaScript(QStringLiteral("window.open('%1');").arg(m_server.url(QStringLiteral("/popped"))),
                        [&](const QVariant &) { done = true; });
    ASSERT_TRUE(waitUntil([&] { return done; }));
    EXPECT_EQ(m_watcher->windows.size(), windows);
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/popped")), 0);
}

} // namespace
