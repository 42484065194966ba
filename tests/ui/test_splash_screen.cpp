// The start-up picture: it stays for its time and then until the main
// window is there, and clicks do not close it.
#include "ui/SplashScreen.h"
#include "support/ModalDialog.h"

#include <QDialog>

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(SplashScreenTest, StaysItsTimeThenUntilTheMainWindowIsThere)
{
    bool mainWindowThere = false;
    QPointer<SplashScreen> splash =
        SplashScreen::showResource(QStringLiteral(":/pictures/splash.png"), [&] { return mainWindowThere; }, 50);
    ASSERT_FALSE(splash.isNull());
    EXPECT_EQ(splash->size(), QSize(320, 120));
    EXPECT_TRUE(splash->isVisible());
    QSignalSpy finished(splash.data(), &SplashScreen::finished);

    // Its time is up, but the main window is not there yet: it stays,
    // whatever the user clicks.
    QTest::qWait(400);
    QTest::mouseClick(splash, Qt::LeftButton);
    QTest::keyClick(splash, Qt::Key_Escape);
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible());

    mainWindowThere = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }));
    EXPECT_EQ(finished.count(), 1);
}

TEST(SplashScreenTest, NoPictureNoSplash)
{
    EXPECT_EQ(SplashScreen::showResource(QStringLiteral(":/pictures/missing.png"), [] { return true; }), nullptr);
}

TEST(SplashScreenTest, AQuestionComingUpClosesItAtOnce)
{
    // The main window is not there yet and the time is not up: only the
    // question sends it away, before the question reaches the screen.
    QPointer<SplashScreen> splash =
        SplashScreen::showResource(QStringLiteral(":/pictures/splash.png"), [] { return false; }, 60000);
    ASSERT_FALSE(splash.isNull());
    QDialog question;
    bool splashWasUp = true;
    bool asked = false;
    onNextModal<QDialog>([&](QDialog &) { splashWasUp = splash && splash->isVisible(); }, &asked);
    question.exec();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(splashWasUp) << "the splash covered the question";

    // A window that asks nothing leaves it alone.
    splash = SplashScreen::showResource(QStringLiteral(":/pictures/splash.png"), [] { return false; }, 60000);
    QWidget other;
    other.show();
    QCoreApplication::processEvents();
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible());
    splash->close();
}
