// The resizable dialogs' base: anchors, the smallest size, the stored size.
#include "core/SettingsStore.h"
#include "support/TempHome.h"
#include "ui/ListBox.h"
#include "ui/ResizeDialog.h"

#include <QGridLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;

namespace {

// A list that grows with the dialog, a button at the top right, one in the
// middle at the bottom and one left alone.
class SampleDialog : public ResizeDialog
{
public:
    explicit SampleDialog(QWidget *parent = nullptr) : ResizeDialog(parent)
    {
        list = new ListBox(kSpawningListExtentOffset, this);
        side = new QPushButton(QStringLiteral("Add"), this);
        bottom = new QPushButton(QStringLiteral("OK"), this);
        still = new QPushButton(QStringLiteral("Still"), this);
        auto *grid = new QGridLayout;
        grid->addWidget(list, 0, 0, 2, 1);
        grid->addWidget(side, 0, 1);
        grid->addWidget(still, 1, 1);
        grid->addWidget(bottom, 2, 0, 1, 2, Qt::AlignHCenter);
        setStartLayout(grid, QSize(300, 200));
        addAnchor(list, kAnchorTopLeft, kAnchorBottomRight);
        addAnchor(side, kAnchorTopRight);
        addAnchor(bottom, kAnchorBottomCenter);
    }

    ListBox *list;
    QPushButton *side;
    QPushButton *bottom;
    QPushButton *still;
};

class ResizeDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        restart();
    }

    // A new store on the same files, as after a restart of the program.
    void restart()
    {
        store.reset();
        store = std::make_unique<SettingsStore>(SettingsStore::Locations{
            home.filePath(QStringLiteral("Corvane.ini")).toStdString(),
            (home.configHome() + QStringLiteral("/Tolvek/Corvane.reg")).toStdString(),
            home.home().toStdString()});
        store->openBackingStore();
    }

    TempHome home;
    std::unique_ptr<SettingsStore> store;
};

TEST_F(ResizeDialogTest, AnchoredControlsFollowTheEdgesAndTheStartSizeIsTheLeast)
{
    SampleDialog dialog;
    dialog.show();
    const QSize start = dialog.startSize();
    EXPECT_GE(start.width(), 300);
    EXPECT_GE(start.height(), 200);
    EXPECT_EQ(dialog.size(), start);
    const QRect list = dialog.list->geometry();
    const QRect side = dialog.side->geometry();
    const QRect bottom = dialog.bottom->geometry();
    const QRect still = dialog.still->geometry();

    dialog.resize(start + QSize(100, 60));
    EXPECT_EQ(dialog.list->geometry(), list.adjusted(0, 0, 100, 60));
    EXPECT_EQ(dialog.side->geometry(), side.translated(100, 0));
    EXPECT_EQ(dialog.bottom->geometry(), bottom.translated(50, 60));
    EXPECT_EQ(dialog.still->geometry(), still);

    // Back to the start: every control where it began.
    dialog.resize(start);
    EXPECT_EQ(dialog.list->geometry(), list);
    EXPECT_EQ(dialog.side->geometry(), side);
    EXPECT_EQ(dialog.bottom->geometry(), bottom);

    // Smaller than at the start it cannot get.
    dialog.resize(start - QSize(80, 50));
    EXPECT_EQ(dialog.size(), start);
    EXPECT_EQ(dialog.list->geometry(), list);
}

TEST_F(ResizeDialogTest, SizeIsStoredOnOkAndCancelAndRestoredCentred)
{
    QWidget parent;
    parent.setGeometry(20, 20, 700, 500);
    parent.show();
    QSize start;
    int sideGap = 0; // from the Add button to the right edge
    {
        SampleDialog first(&parent);
        start = first.startSize();
        sideGap = first.width() - first.side->geometry().right();
        first.enableSaveRestore(*store, QStringLiteral("Spawning"));
        EXPECT_EQ(first.size(), start); // nothing stored yet
        first.show();
        first.resize(start + QSize(120, 90));
        first.reject();
    }
    restart();
    const std::optional<Rect> stored = store->restoreDialogPlacement("Spawning");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(QSize(stored->width(), stored->height()), start + QSize(120, 90));

    SampleDialog second(&parent);
    second.enableSaveRestore(*store, QStringLiteral("Spawning"));
    EXPECT_EQ(second.size(), start + QSize(120, 90));
    second.show();
    // The controls follow the restored size.
    EXPECT_EQ(second.width() - second.side->geometry().right(), sideGap);
    EXPECT_LE(qAbs(second.geometry().center().x() - parent.geometry().center().x()), 1);
    second.resize(start);
    second.accept();
    restart();
    EXPECT_EQ(store->restoreDialogPlacement("Spawning")->width(), start.width());
}

TEST_F(ResizeDialogTest, ListExtentIsTheWidestItemLessTheOffset)
{
    SampleDialog dialog;
    ListBox *list = dialog.list;
    list->setItems({});
    EXPECT_EQ(list->horizontalExtent(), 0);
    const QString longest(80, QLatin1Char('w'));
    list->setItems({QStringLiteral("a"), longest, QStringLiteral("bb")});
    const int widest = list->fontMetrics().horizontalAdvance(longest);
    EXPECT_EQ(list->horizontalExtent(), widest - kSpawningListExtentOffset);
    EXPECT_EQ(list->items(), (QStringList{QStringLiteral("a"), longest, QStringLiteral("bb")}));
    dialog.show();
    EXPECT_EQ(list->horizontalScrollBar()->maximum(),
              qMax(0, list->horizontalExtent() - list->viewport()->width()));
    list->setItems({QStringLiteral("short")});
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
}

} // namespace
