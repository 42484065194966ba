// The tray: minimising into it, coming back with or without the password,
// one prompt at a time, and always on top.
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "mainframe/PasswordDialog.h"
#include "mainframe/StatusPane.h"
#include "mainframe/TrayIcon.h"
#include "support/AppHarness.h"
#include "support/ModalDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QWindow>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

class TrayTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        TrayIcon::setAvailableOverride(true);
        preset([](SettingsStore &s) { s.setMinimizeToTray(1); });
    }
    void TearDown() override { TrayIcon::setAvailableOverride(std::nullopt); }

    // Starts and shows the main window, then minimises it as the user would.
    void startAndMinimize()
    {
        ASSERT_TRUE(start());
        mainWindow()->show();
        mainWindow()->showMinimized();
        QCoreApplication::processEvents();
    }

    // Runs `answer` on the password dialog once it is up, while the click
    // that opened it waits.
    void whenPromptShows(std::function<void(PasswordDialog *)> answer)
    {
        onNextModal<PasswordDialog>([answer](PasswordDialog &d) { answer(&d); });
    }

    static void type(PasswordDialog *dialog, const QString &text)
    {
        QTest::keyClicks(dialog->passwordEdit(), text);
        QTest::keyClick(dialog->passwordEdit(), Qt::Key_Return);
    }

    static int openPrompts()
    {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            n += qobject_cast<PasswordDialog *>(w) && w->isVisible() ? 1 : 0;
        return n;
    }

    void clickTrayIcon() { Q_EMIT mainWindow()->trayIcon()->clicked(); }
};

} // namespace

TEST_F(TrayTest, MinimisingGoesToTheTrayOnlyWhenAskedAndAvailable)
{
    startAndMinimize();
    EXPECT_TRUE(mainWindow()->inTray());
    EXPECT_TRUE(app().inTray());
    EXPECT_FALSE(mainWindow()->isVisible());
    EXPECT_TRUE(mainWindow()->trayIcon()->isShown());

    // Without a password one click brings it back.
    clickTrayIcon();
    EXPECT_FALSE(mainWindow()->inTray());
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_FALSE(mainWindow()->isMinimized());
    EXPECT_FALSE(mainWindow()->trayIcon()->isShown());

    // Taskbar chosen: an ordinary minimise.
    app().settings().setMinimizeToTray(0);
    mainWindow()->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(mainWindow()->inTray());
    EXPECT_TRUE(mainWindow()->isVisible());
    mainWindow()->showNormal();

    // No tray on this desktop: a hidden window would be lost, so it stays
    // an ordinary minimise too.
    app().settings().setMinimizeToTray(1);
    TrayIcon::setAvailableOverride(false);
    mainWindow()->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(mainWindow()->inTray());
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_FALSE(mainWindow()->trayIcon()->isShown());
}

TEST_F(TrayTest, PasswordInAnyOtherCaseIsRefusedAndTheRightOneRestores)
{
    preset([](SettingsStore &s) { s.setPassword("Tray Secret"); });
    startAndMinimize();
    ASSERT_TRUE(mainWindow()->inTray());
    EXPECT_TRUE(mainWindow()->statusPaneTexts().contains(QStringLiteral("P")));

    whenPromptShows([](PasswordDialog *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Password"));
        EXPECT_EQ(d->passwordEdit()->echoMode(), QLineEdit::Password);
        type(d, QStringLiteral("tray secret"));
    });
    clickTrayIcon();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Authentication failed"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("You are not permitted to maximize this application.\nEnsure "
                                            "CAPS Lock is set correctly and re-enter\nyour password."));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(mainWindow()->inTray());
    EXPECT_FALSE(mainWindow()->isVisible());
    EXPECT_FALSE(mainWindow()->passwordPromptOpen());

    whenPromptShows([](PasswordDialog *d) { type(d, QStringLiteral("Tray Secret")); });
    clickTrayIcon();
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_FALSE(mainWindow()->inTray());
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_FALSE(mainWindow()->trayIcon()->isShown());
}

TEST_F(TrayTest, TwoQuickClicksOpenOnePromptAndEscLeavesTheWindowInTheTray)
{
    preset([](SettingsStore &s) { s.setPassword("pw"); });
    startAndMinimize();
    ASSERT_TRUE(mainWindow()->inTray());

    int promptsSeen = 0;
    whenPromptShows([&](PasswordDialog *d) {
        EXPECT_TRUE(mainWindow()->passwordPromptOpen());
        clickTrayIcon(); // the second click, while the first prompt is up
        QCoreApplication::processEvents();
        promptsSeen = openPrompts();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    clickTrayIcon();
    EXPECT_EQ(promptsSeen, 1);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_TRUE(mainWindow()->inTray());
    EXPECT_FALSE(mainWindow()->isVisible());
    EXPECT_FALSE(mainWindow()->passwordPromptOpen()) << "a new prompt may open";

    whenPromptShows([](PasswordDialog *d) { type(d, QStringLiteral("pw")); });
    clickTrayIcon();
    EXPECT_FALSE(mainWindow()->inTray());
}

TEST_F(TrayTest, AlwaysOnTopLeavesTheWindowWhereItIs)
{
    preset([](SettingsStore &s) {
        s.setAlwaysOnTop(1);
        s.setSavePosition(0);
    });
    ASSERT_TRUE(start());
    EXPECT_TRUE(mainWindow()->alwaysOnTop()) << "applied at creation";
    mainWindow()->show();
    mainWindow()->setGeometry(130, 140, 700, 500);
    QCoreApplication::processEvents();
    const QRect before = mainWindow()->geometry();

    mainWindow()->setAlwaysOnTop(false);
    EXPECT_FALSE(mainWindow()->alwaysOnTop());
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_EQ(mainWindow()->geometry(), before);

    mainWindow()->setAlwaysOnTop(true);
    EXPECT_TRUE(mainWindow()->alwaysOnTop());
    EXPECT_EQ(mainWindow()->geometry(), before);

    // Maximized stays maximized, and keeps its normal size for later.
    mainWindow()->showMaximized();
    QCoreApplication::processEvents();
    mainWindow()->setAlwaysOnTop(false);
    EXPECT_TRUE(mainWindow()->isMaximized());
    mainWindow()->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(mainWindow()->geometry().size(), before.size());
}

TEST_F(TrayTest, AlwaysOnTopDuringASessionKeepsTheStatusPanesAndTheMaximizedLayout)
{
    // The panes draw on native surfaces inside the main window's: the
    // switch must reach the window as it is, not make it again.
    preset([](SettingsStore &s) { s.setSavePosition(0); });
    ASSERT_TRUE(start());
    mainWindow()->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow()));
    const WId native = mainWindow()->winId();
    const QSize maximized = mainWindow()->size();

    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "ticked" : "unticked");
        mainWindow()->setAlwaysOnTop(on);
        QCoreApplication::processEvents();
        EXPECT_EQ(mainWindow()->alwaysOnTop(), on);
        EXPECT_EQ(mainWindow()->winId(), native) << "the native window was made again";
        EXPECT_TRUE(mainWindow()->isMaximized());
        EXPECT_EQ(mainWindow()->size(), maximized);
        EXPECT_EQ(mainWindow()->statusBar()->width(), maximized.width()) << "laid out at another size";
        for (int i = 0; i < 4; ++i) {
            QWindow *surface = mainWindow()->statusPane(i)->surface();
            EXPECT_TRUE(surface->isVisible()) << "pane " << i;
            QWindow *top = surface;
            while (top->parent())
                top = top->parent();
            EXPECT_EQ(top, mainWindow()->windowHandle()) << "pane " << i << " left the window";
        }
    }
}
