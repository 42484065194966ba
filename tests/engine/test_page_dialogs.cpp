// A page's own boxes with the real engine: an endless alert() loop holds
// only its page; after a few boxes it can be stopped; Close and Exit work
// while a box is up.
#include "browser/BrowserWindow.h"
#include "core/CommandIds.h"
#include "core/PageDialogs.h"
#include "engine/EngineTest.h"
#include "engine/ScriptDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

#include <functional>

namespace cmd = corvane::cmd;

namespace {

// Box after box, as fast as the user answers; the title counts the rounds.
const QByteArray kAlertLoop = "<html><head><title>looping</title></head><body><script>"
                              "var n = 0;"
                              "function next() { n++; alert('round ' + n + ' <b>&'); document.title = 'after ' + n;"
                              "  setTimeout(next, 0); }"
                              "setTimeout(next, 0);"
                              "</script></body></html>";

ScriptDialog *boxUp()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<ScriptDialog *>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// What the user does with each box that comes up. A box waits inside the
// engine's call, in an event loop of its own, so the answer comes from
// there: a timer that looks for a new box.
class BoxResponder : public QObject
{
public:
    using Action = std::function<void(ScriptDialog *box, int round)>;
    explicit BoxResponder(Action action) : m_action(std::move(action))
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            ScriptDialog *box = boxUp();
            if (!box || box == m_last)
                return;
            m_last = box;
            m_action(box, ++rounds);
        });
        m_timer.start();
    }
    int rounds = 0;

private:
    QTimer m_timer;
    QPointer<ScriptDialog> m_last;
    Action m_action;
};

void press(ScriptDialog *box, QDialogButtonBox::StandardButton button)
{
    box->findChild<QDialogButtonBox *>()->button(button)->click();
}

QString title(BrowserView *view)
{
    return view->control()->pageTitle();
}

class PageDialogsTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // The boxes show (an earlier test may have left them silenced).
        m_app->settings().setNoDialogs(0);
    }
};

} // namespace

TEST_F(PageDialogsTest, AnEndlessAlertLoopCanBeStoppedAndNeverHoldsTheProgram)
{
    m_server.setRoute(QStringLiteral("/loop"), kAlertLoop);
    QStringList messages;
    QList<bool> offered;
    QList<bool> programFree;
    BoxResponder responder([&](ScriptDialog *box, int round) {
        messages << box->message();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("127.0.0.1 says"));
        EXPECT_EQ(box->stopBox()->text(), QString::fromLatin1(corvane::kStopPageDialogsText));
        offered << box->stopBox()->isVisible();
        // Nothing modal holds the program; the main window takes commands.
        programFree << (QApplication::activeModalWidget() == nullptr && m_app->mainWindow()->isEnabled());
        if (round == 3)
            box->stopBox()->setChecked(true);
        press(box, QDialogButtonBox::Ok);
    });
    m_view->navigate(m_server.url(QStringLiteral("/loop")));
    // Stopped at the third box: the loop runs on without one.
    ASSERT_TRUE(waitUntil([&] {
        return title(m_view).startsWith(QStringLiteral("after ")) && title(m_view).mid(6).toInt() > 20;
    }, 20000)) << title(m_view).toStdString();
    EXPECT_EQ(responder.rounds, 3);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("round 1 <b>&"), QStringLiteral("round 2 <b>&"),
                                     QStringLiteral("round 3 <b>&")}));
    EXPECT_EQ(offered, (QList<bool>{false, false, true}));
    EXPECT_EQ(programFree, (QList<bool>{true, true, true}));
    EXPECT_EQ(boxUp(), nullptr);
}

TEST_F(PageDialogsTest, CloseAndExitWorkWhileAPageBoxIsUp)
{
    m_app->settings().setMsgExit(0);
    m_server.setRoute(QStringLiteral("/loop"), kAlertLoop);
    // Another site in the window shows its boxes again; Close on the window
    // while its box is up closes it, box and page with it.
    BrowserView *second = m_app->openBrowserWindow();
    ASSERT_NE(second, nullptr);
    int closes = 0;
    BoxResponder closer([&](ScriptDialog *box, int) {
        EXPECT_FALSE(box->stopBox()->isVisible());
        if (closes++ == 0)
            m_app->mainWindow()->runCommand(cmd::Close);
        else
            m_app->mainWindow()->runCommand(cmd::Exit);
    });
    const int windows = int(m_app->mainWindow()->mdiArea()->subWindowList().size());
    second->navigate(QStringLiteral("http://localhost:%1/loop").arg(m_server.port()));
    ASSERT_TRUE(waitUntil([&] {
        return int(m_app->mainWindow()->mdiArea()->subWindowList().size()) == windows - 1 && !boxUp();
    }));
    // Exit while the first window's box is up.
    QSignalSpy closed(m_app->mainWindow(), &MainWindow::closed);
    m_view->navigate(m_server.url(QStringLiteral("/loop")));
    EXPECT_TRUE(waitUntil([&] { return closed.count() == 1 && !boxUp(); }));
    EXPECT_EQ(closes, 2);
}

TEST_F(PageDialogsTest, ConfirmAndPromptAnswerAsTheUserDoes)
{
    m_server.setRoute(QStringLiteral("/ask"),
                      "<html><body><script>setTimeout(function () {"
                      "  var c = confirm('sure?'); var p = prompt('name?', 'ann');"
                      "  document.title = 'done ' + c + ' ' + p; }, 0);</script></body></html>");
    QString promptDefault;
    BoxResponder responder([&](ScriptDialog *box, int round) {
        if (round == 1) {
            EXPECT_EQ(box->message(), QStringLiteral("sure?"));
            EXPECT_EQ(box->textEdit(), nullptr);
            press(box, QDialogButtonBox::Cancel);
        } else if (box->textEdit()) {
            promptDefault = box->textEdit()->text();
            box->textEdit()->setText(QStringLiteral("bob"));
            press(box, QDialogButtonBox::Ok);
        }
    });
    m_view->navigate(m_server.url(QStringLiteral("/ask")));
    EXPECT_TRUE(waitUntil([&] { return title(m_view) == QStringLiteral("done false bob"); }))
        << title(m_view).toStdString();
    EXPECT_EQ(promptDefault, QStringLiteral("ann"));
}
