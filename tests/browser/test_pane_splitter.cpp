// A browser window's panes: splitting, the bars, the lock, the keyboard split
// and ActiveBorder, driven through fake controls and a fake host.
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "browser/PaneSplitter.h"
#include "core/SettingsStore.h"
#include "core/UserStore.h"
#include "support/FakeBrowserControl.h"
#include "support/FakeBrowserHost.h"

#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using corvane::PanePos;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kLightGrey(192, 192, 192);

class PaneSplitterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.home.isValid());
        settings().setHomeUrl("http://home.example/");
        host.openBrowserWindow();
        window()->resize(660, 500);
        control(0)->clearOperations();
    }

    SettingsStore &settings() { return host.settings(); }
    FakeBrowserControl *control(int i) { return host.controls.at(i); }
    BrowserWindow *window() { return qobject_cast<BrowserWindow *>(host.area()->subWindowList().first()); }
    PaneSplitter *splitter() { return window()->splitter(); }
    FakeBrowserControl *controlOf(int row, int column)
    {
        return static_cast<FakeBrowserControl *>(splitter()->pane(row, column)->control());
    }

    void splitInFour()
    {
        splitter()->splitRow(splitter()->height() / 2);
        splitter()->splitColumn(splitter()->width() / 2);
        ASSERT_EQ(splitter()->views().size(), 4);
    }

    void activate()
    {
        QApplication::setActiveWindow(host.area());
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.area()));
    }

    QImage grab() { return splitter()->grab().toImage(); }

    // The ring of a pane: its outer frame at the corners and mid-edges.
    bool outerFrameIs(const QImage &image, PanePos pane, const QColor &colour)
    {
        const Rect r = splitter()->grid().borderRect(pane);
        const QPoint points[] = {{r.left, r.top}, {(r.left + r.right) / 2, r.top},
                                 {r.left, (r.top + r.bottom) / 2}, {r.right - 1, r.bottom - 1},
                                 {(r.left + r.right) / 2, r.bottom - 1}};
        for (const QPoint &p : points)
            if (image.pixelColor(p) != colour)
                return false;
        return true;
    }
    QColor innerTopLeft(const QImage &image, PanePos pane)
    {
        const Rect r = splitter()->grid().borderRect(pane);
        return image.pixelColor((r.left + r.right) / 2, r.top + 1);
    }
    QColor innerBottomRight(const QImage &image, PanePos pane)
    {
        const Rect r = splitter()->grid().borderRect(pane);
        return image.pixelColor(r.right - 2, (r.top + r.bottom) / 2);
    }
    bool anyPixel(const QImage &image, const QColor &colour)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    }

    QPoint columnBarCentre()
    {
        const Rect r = splitter()->grid().columnBarRect();
        return QPoint((r.left + r.right) / 2, splitter()->height() / 3);
    }

    FakeBrowserHost host;
};

} // namespace

TEST_F(PaneSplitterTest, FourPanesFrameOnlyTheActivePaneAndTheFrameFollowsAClick)
{
    // Not split: no border, whatever ActiveBorder says.
    EXPECT_FALSE(anyPixel(grab(), kGreen));

    splitInFour();
    QImage image = grab();
    EXPECT_TRUE(outerFrameIs(image, {0, 0}, kGreen));
    EXPECT_EQ(innerTopLeft(image, {0, 0}), kBlack);
    EXPECT_EQ(innerBottomRight(image, {0, 0}), kLightGrey);
    for (const PanePos &p : {PanePos{0, 1}, PanePos{1, 0}, PanePos{1, 1}})
        EXPECT_FALSE(outerFrameIs(image, p, kGreen)) << p.row << "," << p.column;

    // A click into another pane moves the frame there, and the window's
    // commands go to that pane.
    activate();
    QTest::mouseClick(controlOf(1, 1)->widget(), Qt::LeftButton);
    EXPECT_EQ(splitter()->activePane(), (PanePos{1, 1}));
    EXPECT_EQ(host.activeView(), splitter()->pane(1, 1));
    image = grab();
    EXPECT_TRUE(outerFrameIs(image, {1, 1}, kGreen));
    EXPECT_FALSE(outerFrameIs(image, {0, 0}, kGreen));

    // So does tabbing into one.
    controlOf(0, 1)->widget()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(splitter()->activePane(), (PanePos{0, 1}));
    EXPECT_TRUE(outerFrameIs(grab(), {0, 1}, kGreen));
}

TEST_F(PaneSplitterTest, ActiveBorderColourStyleAndSwitch)
{
    splitter()->splitColumn(300);
    settings().setViewRgb(makeRgb(255, 0, 0));
    QImage image = grab();
    EXPECT_TRUE(outerFrameIs(image, {0, 0}, kRed));
    EXPECT_EQ(innerTopLeft(image, {0, 0}), kBlack);

    // Flat: the inner frame in the colour too.
    settings().setViewBorder3D(0);
    image = grab();
    EXPECT_TRUE(outerFrameIs(image, {0, 0}, kRed));
    EXPECT_EQ(innerTopLeft(image, {0, 0}), kRed);
    EXPECT_EQ(innerBottomRight(image, {0, 0}), kRed);

    // A value that is not three numbers gives green.
    settings().userStore().writeString("Software\\Tolvek\\Corvane\\Settings", "ViewRGB", "red");
    EXPECT_TRUE(outerFrameIs(grab(), {0, 0}, kGreen));

    // ActiveBorder off: no pane is framed.
    settings().setViewBorder3DEnabled(0);
    image = grab();
    EXPECT_FALSE(anyPixel(image, kGreen));
    EXPECT_FALSE(anyPixel(image, kRed));
}

TEST_F(PaneSplitterTest, AddedPanesOpenTheHomePageAndOnlyTheActiveOneSpeaksForTheWindow)
{
    control(0)->setLocation(QStringLiteral("Train times"), QStringLiteral("http://trains.example/"));
    control(0)->fireNavigation(QStringLiteral("http://trains.example/"), QStringLiteral("Train times"));
    control(0)->clearOperations();

    splitter()->splitRow(200);
    ASSERT_EQ(host.controls.size(), 2);
    EXPECT_EQ(control(1)->operations(), QStringList{QStringLiteral("navigate http://home.example/")});
    EXPECT_TRUE(control(0)->operations(QStringLiteral("navigate")).isEmpty());

    // The new pane's load does not take over the window's title or address.
    control(1)->setLocation(QStringLiteral("Home"), QStringLiteral("http://home.example/"));
    control(1)->fireNavigation(QStringLiteral("http://home.example/"), QStringLiteral("Home"));
    EXPECT_EQ(window()->document()->title(), QStringLiteral("Train times"));
    EXPECT_EQ(host.addressText, QStringLiteral("http://trains.example/"));
    const QIcon red = [] {
        QPixmap p(16, 16);
        p.fill(Qt::red);
        return QIcon(p);
    }();
    control(1)->fireIconChanged(red);
    EXPECT_TRUE(window()->document()->icon().isNull());

    // Once active, it does.
    activate();
    splitter()->setActivePane(1, 0);
    EXPECT_EQ(host.activeView(), splitter()->pane(1, 0));
    EXPECT_EQ(window()->document()->title(), QStringLiteral("Home"));
    EXPECT_EQ(host.addressText, QStringLiteral("http://home.example/"));
    EXPECT_EQ(window()->document()->icon().cacheKey(), red.cacheKey());

    // A second row split adds no pane: it moves the bar.
    splitter()->splitRow(100);
    EXPECT_EQ(host.controls.size(), 2);
    EXPECT_EQ(splitter()->rowPosition(), 100 - corvane::kPaneBorder);
}

TEST_F(PaneSplitterTest, LockedSplitterRefusesDragDoubleClickAndSplitUntilUnlocked)
{
    splitter()->splitColumn(300);
    const int before = splitter()->columnPosition();
    const QPoint bar = columnBarCentre();
    auto drag = [&](int dx) {
        QTest::mousePress(splitter(), Qt::LeftButton, {}, bar);
        QTest::mouseMove(splitter(), bar + QPoint(dx / 2, 0));
        QTest::mouseMove(splitter(), bar + QPoint(dx, 0));
        QTest::mouseRelease(splitter(), Qt::LeftButton, {}, bar + QPoint(dx, 0));
    };

    splitter()->setLocked(true);
    QTest::mouseMove(splitter(), bar);
    EXPECT_FALSE(splitter()->testAttribute(Qt::WA_SetCursor)) << "no sizing cursor";
    drag(80);
    EXPECT_EQ(splitter()->columnPosition(), before);
    QTest::mouseDClick(splitter(), Qt::LeftButton, {}, bar);
    EXPECT_EQ(splitter()->columns(), 2);
    EXPECT_FALSE(splitter()->startKeyboardSplit());
    EXPECT_FALSE(splitter()->tracking());

    splitter()->setLocked(false);
    QTest::mouseMove(splitter(), bar);
    EXPECT_EQ(splitter()->cursor().shape(), Qt::SplitHCursor);
    drag(80);
    EXPECT_EQ(splitter()->columnPosition(), before + 80);
    EXPECT_TRUE(splitter()->contextMenuReady());

    // A double click takes the column without the active pane away.
    activate();
    splitter()->setActivePane(0, 1);
    BrowserView *active = splitter()->activeView();
    QTest::mouseDClick(splitter(), Qt::LeftButton, {}, columnBarCentre());
    EXPECT_EQ(splitter()->columns(), 1);
    EXPECT_EQ(splitter()->pane(0, 0), active);
    EXPECT_EQ(host.controls.size(), 2);

    EXPECT_TRUE(splitter()->startKeyboardSplit());
    splitter()->stopTracking(false);
}

TEST_F(PaneSplitterTest, BarDroppedNearAnEdgeRemovesThePaneItLeavesTooSmall)
{
    splitter()->splitColumn(300);
    BrowserView *right = splitter()->pane(0, 1);
    const QPoint bar = columnBarCentre();
    QTest::mousePress(splitter(), Qt::LeftButton, {}, bar);
    QTest::mouseMove(splitter(), QPoint(4, bar.y()));
    QTest::mouseRelease(splitter(), Qt::LeftButton, {}, QPoint(4, bar.y()));
    EXPECT_EQ(splitter()->columns(), 1);
    EXPECT_EQ(splitter()->pane(0, 0), right) << "the left pane went, the right one moved over";
    EXPECT_EQ(splitter()->activeView(), right);
}

TEST_F(PaneSplitterTest, KeyboardSplitFollowsTheKeysAndEnterOrEscEndsIt)
{
    QSignalSpy ended(splitter(), &PaneSplitter::keyboardSplitEnded);
    ASSERT_TRUE(splitter()->startKeyboardSplit());
    EXPECT_TRUE(splitter()->keyboardSplitPending());
    EXPECT_FALSE(splitter()->contextMenuReady());
    const QPoint start = splitter()->trackerPoint();
    QTest::keyClick(splitter(), Qt::Key_Right);
    QTest::keyClick(splitter(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(splitter()->trackerPoint(), start + QPoint(corvane::kKeyboardSplitStep, 1));

    // Esc: nothing splits.
    QTest::keyClick(splitter(), Qt::Key_Escape);
    EXPECT_FALSE(splitter()->tracking());
    EXPECT_FALSE(splitter()->isSplit());
    EXPECT_EQ(ended.size(), 1);
    EXPECT_TRUE(splitter()->contextMenuReady());

    // Enter: both bars where the tracker is, three new panes.
    ASSERT_TRUE(splitter()->startKeyboardSplit());
    QTest::keyClick(splitter(), Qt::Key_Up);
    QTest::keyClick(splitter(), Qt::Key_Return);
    EXPECT_EQ(splitter()->rows(), 2);
    EXPECT_EQ(splitter()->columns(), 2);
    EXPECT_EQ(host.controls.size(), 4);
    EXPECT_EQ(splitter()->rowPosition() + corvane::kPaneBorder + corvane::kSplitGap / 2,
              start.y() - corvane::kKeyboardSplitStep);
    EXPECT_FALSE(splitter()->keyboardSplitPending());

    // Placing the column bar at the edge takes the column away; the rows stay.
    ASSERT_TRUE(splitter()->startKeyboardSplit());
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(splitter(), Qt::Key_Left);
    QTest::keyClick(splitter(), Qt::Key_Enter);
    EXPECT_EQ(splitter()->columns(), 1);
    EXPECT_EQ(splitter()->rows(), 2);
}

TEST_F(PaneSplitterTest, PreviousPaneGoesBackRowByRow)
{
    splitInFour();
    activate();
    splitter()->setActivePane(0, 0);
    splitter()->activatePreviousPane();
    EXPECT_EQ(splitter()->activePane(), (PanePos{1, 1}));
    splitter()->activatePreviousPane();
    EXPECT_EQ(splitter()->activePane(), (PanePos{1, 0}));
    EXPECT_EQ(host.activeView(), splitter()->pane(1, 0));
    EXPECT_EQ(splitter()->views(),
              (QList<BrowserView *>{splitter()->pane(0, 0), splitter()->pane(0, 1),
                                    splitter()->pane(1, 0), splitter()->pane(1, 1)}));
}
