// The keys of the accelerator table pressed as a user does, with the
// keyboard focus in the page (the control's widget) or in the address box.
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/AddressBar.h"
#include "mainframe/MainWindow.h"
#include "mainframe/NavigateDialog.h"
#include "support/AppHarness.h"
#include "support/Eventually.h"
#include "support/FakeBrowserControl.h"
#include "support/ModalDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

class KeysTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) { s.setBiPassDefault(1); });
        ASSERT_TRUE(start());
        mainWindow()->activateWindow();
        QApplication::setActiveWindow(mainWindow());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
        // Wide enough for the address box beside the toolbar (the
        // offscreen screen is narrow).
        mainWindow()->resize(1200, 700);
        ASSERT_TRUE(QTest::qWaitFor([this] { return mainWindow()->addressBar()->isVisible(); }, 2000));
    }

    FakeBrowserControl *activeControl() const
    {
        BrowserView *view = mainWindow()->activeView();
        return view ? static_cast<FakeBrowserControl *>(view->control()) : nullptr;
    }

    // The page of the active window, holding the keyboard focus.
    QWidget *focusedPage() const
    {
        QWidget *page = activeControl()->widget();
        page->setFocus(Qt::MouseFocusReason);
        EXPECT_EVENTUALLY(page->hasFocus());
        return page;
    }
};

} // namespace

TEST_F(KeysTest, CtrlWClosesTheWindowFromThePageAndFromTheAddressBox)
{
    mainWindow()->runCommand(cmd::New);
    ASSERT_EQ(windowCount(), 2);
    // The window's own menu no longer claims the key: one command matches.
    QTest::keyClick(focusedPage(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EVENTUALLY_EQ(windowCount(), 1);

    mainWindow()->addressBar()->setFocus();
    QTest::keyClick(mainWindow()->addressBar(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
}

TEST_F(KeysTest, CtrlF4ClosesTheWindowToo)
{
    QTest::keyClick(focusedPage(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EVENTUALLY_EQ(windowCount(), 0);
}

TEST_F(KeysTest, AltArrowsGoBackAndForward)
{
    FakeBrowserControl *control = activeControl();
    control->clearOperations();
    QWidget *page = focusedPage();
    QTest::keyClick(page, Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(page, Qt::Key_Right, Qt::AltModifier);
    // The original keys stay.
    QTest::keyClick(page, Qt::Key_F2);
    EXPECT_EQ(control->operations(QStringLiteral("go")),
              (QStringList{QStringLiteral("goBack"), QStringLiteral("goForward"), QStringLiteral("goBack")}));
}

TEST_F(KeysTest, CtrlLAndAltDSelectTheAddress)
{
    activeControl()->setLocation(QStringLiteral("A"), QStringLiteral("http://a.example/"));
    mainWindow()->setAddressText(QStringLiteral("http://a.example/"));
    QLineEdit *edit = mainWindow()->addressBar()->lineEdit();
    ASSERT_TRUE(mainWindow()->addressBar()->isVisible());
    QTest::keyClick(focusedPage(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EVENTUALLY(mainWindow()->addressBar()->hasFocus());
    EXPECT_EQ(edit->selectedText(), QStringLiteral("http://a.example/"));

    edit->deselect();
    QTest::keyClick(focusedPage(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EVENTUALLY(mainWindow()->addressBar()->hasFocus());
    EXPECT_EQ(edit->selectedText(), QStringLiteral("http://a.example/"));

    // With the toolbar (and so the box) hidden, the Navigate dialog takes
    // the address.
    mainWindow()->runCommand(cmd::ToolBar);
    bool asked = false;
    onNextModal<NavigateDialog>([](NavigateDialog &d) { d.reject(); }, &asked);
    QTest::keyClick(focusedPage(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(asked);
}

TEST_F(KeysTest, TextSizeStepsFromTheViewsOwnSize)
{
    FakeBrowserControl *control = activeControl();
    control->clearOperations();
    QWidget *page = focusedPage();
    QTest::keyClick(page, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(page, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(page, Qt::Key_Equal, Qt::ControlModifier); // stays at huge
    EXPECT_EQ(mainWindow()->activeView()->textSize(), 1);
    EXPECT_EQ(store()->fonts(), 1);
    QTest::keyClick(page, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(mainWindow()->activeView()->textSize(), 2);
    QTest::keyClick(page, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(control->operations(QStringLiteral("runPageCommand Zoom")),
              (QStringList{QStringLiteral("runPageCommand Zoom 3"), QStringLiteral("runPageCommand Zoom 4"),
                           QStringLiteral("runPageCommand Zoom 4"), QStringLiteral("runPageCommand Zoom 3"),
                           QStringLiteral("runPageCommand Zoom 2")}));
    EXPECT_TRUE(mainWindow()->isCommandChecked(cmd::FontsNormal));

    // A new window opens at normal size and steps from there.
    mainWindow()->runCommand(cmd::New);
    QTest::keyClick(focusedPage(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(mainWindow()->activeView()->textSize(), 4);
}

TEST_F(KeysTest, BarKeysKeepTheirMeanings)
{
    QWidget *page = focusedPage();
    QTest::keyClick(page, Qt::Key_F6);
    EXPECT_FALSE(mainWindow()->toolBarVisible());
    QTest::keyClick(page, Qt::Key_F8);
    EXPECT_FALSE(mainWindow()->statusBarVisible());
    const bool tabs = mainWindow()->tabsVisible();
    QTest::keyClick(page, Qt::Key_F7);
    EXPECT_NE(mainWindow()->tabsVisible(), tabs);
}
