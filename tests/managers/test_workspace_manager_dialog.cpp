// The Workspace Manager as the main window opens it (command 174), with its
// Add / Rename Workspace dialog.
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"
#include "mainframe/MainWindow.h"
#include "managers/AddWorkspaceDialog.h"
#include "managers/WorkspaceManagerDialog.h"
#include "support/AppHarness.h"
#include "support/ModalDialog.h"
#include "ui/ListBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;
using corvane::Workspace;

namespace {

class WorkspaceManagerDialogTest : public ::testing::Test, protected AppHarness
{
protected:
    static std::string record(const std::string &name, int startup, const std::string &url)
    {
        Workspace ws;
        ws.name = name;
        ws.startup = startup;
        corvane::WorkspaceWindow w;
        w.url = url;
        ws.setWindows({w.entryText()});
        return ws.text();
    }

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.storeWorkspaces({{"default", record("default", 0, "http://default.example/")},
                               {"beta", record("beta", 1, "http://beta.example/")},
                               {"Alpha", record("Alpha", 0, "http://alpha.example/")},
                               {"gamma", record("gamma", 0, "http://gamma.example/")}});
        });
        ASSERT_TRUE(start());
        static_cast<FakeBrowserControl *>(mainWindow()->activeView()->control())
            ->setLocation(QString(), QStringLiteral("http://now.example/"));
    }

    void manager(std::function<void(WorkspaceManagerDialog &)> action)
    {
        bool ran = false;
        onNextModal<WorkspaceManagerDialog>(std::move(action), &ran);
        mainWindow()->runCommand(cmd::Workspaces);
        ASSERT_TRUE(ran);
    }

    static QStringList names(const WorkspaceManagerDialog &d) { return d.listBox()->items(); }
    static QStringList checked(const WorkspaceManagerDialog &d)
    {
        QStringList out;
        for (int i = 0; i < d.listBox()->count(); ++i)
            if (d.listBox()->item(i)->checkState() == Qt::Checked)
                out << d.listBox()->item(i)->text();
        return out;
    }
    static int row(const WorkspaceManagerDialog &d, const QString &name) { return names(d).indexOf(name); }

    // A mouse click on an item's check box, as the user gives it.
    static void clickCheck(WorkspaceManagerDialog &d, const QString &name)
    {
        ListBox *list = d.listBox();
        QListWidgetItem *item = list->item(row(d, name));
        ASSERT_NE(item, nullptr);
        QStyleOptionViewItem option;
        option.initFrom(list->viewport());
        option.rect = list->visualItemRect(item);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        option.checkState = item->checkState();
        const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    }

    static void clickItem(WorkspaceManagerDialog &d, const QString &name)
    {
        ListBox *list = d.listBox();
        const QRect r = list->visualItemRect(list->item(row(d, name)));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(r.right() - 4, r.center().y()));
    }

    // Add... or Rename with this name typed (an empty name: Cancel).
    static void nameIt(QPushButton *button, const QString &expectTitle, const QString &expectStart,
                       const QString &name)
    {
        bool ran = false;
        onNextModal<AddWorkspaceDialog>(
            [&](AddWorkspaceDialog &add) {
                EXPECT_EQ(add.windowTitle(), expectTitle);
                EXPECT_EQ(add.nameEdit()->text(), expectStart);
                add.nameEdit()->setText(name);
                if (!name.isEmpty())
                    add.okButton()->click();
            },
            &ran);
        button->click();
        EXPECT_TRUE(ran);
    }

    QString lastBox() const
    {
        return boxes.isEmpty() ? QString() : boxes.last().title + QStringLiteral(": ") + boxes.last().text;
    }
};

} // namespace

TEST_F(WorkspaceManagerDialogTest, ChecksMarkAtMostOneStartupWorkspaceAndNoneWithAutoSave)
{
    manager([&](WorkspaceManagerDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Workspace Manager"));
        EXPECT_EQ(d.hintLabel()->text(),
                  QStringLiteral("Enable a workspace to load on startup or select it now for loading."));
        EXPECT_EQ(d.autoSaveBox()->text(), QStringLiteral("Automatically save workspace on exit"));
        EXPECT_EQ(names(d), (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma")}))
            << "\"default\" is never listed";
        EXPECT_EQ(checked(d), QStringList{QStringLiteral("beta")});
        EXPECT_FALSE(d.autoSaveBox()->isChecked());

        // Ticking another unticks the first; the click chose nothing to load.
        clickCheck(d, QStringLiteral("gamma"));
        EXPECT_EQ(checked(d), QStringList{QStringLiteral("gamma")});
        EXPECT_TRUE(d.listBox()->selectedItems().isEmpty());
        EXPECT_EQ(d.model().selection(), -1);

        // AutoSave unticks every workspace; a tick switches AutoSave off.
        d.autoSaveBox()->click();
        EXPECT_TRUE(d.autoSaveBox()->isChecked());
        EXPECT_TRUE(checked(d).isEmpty());
        clickCheck(d, QStringLiteral("Alpha"));
        EXPECT_FALSE(d.autoSaveBox()->isChecked());
        EXPECT_EQ(checked(d), QStringList{QStringLiteral("Alpha")});

        // A click on the name chooses the workspace to load.
        clickItem(d, QStringLiteral("beta"));
        EXPECT_EQ(d.model().selection(), row(d, QStringLiteral("beta")));
        EXPECT_EQ(checked(d), QStringList{QStringLiteral("Alpha")});
        d.cancelButton()->click();
    });
    // Cancel: nothing stored, nothing loaded.
    EXPECT_EQ(store()->loadWorkspaces().size(), 4u);
    EXPECT_EQ(Workspace::parse(store()->loadWorkspaces().at("beta")).startup, 1);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_TRUE(controls.first()->operations(QStringLiteral("navigate")).size() == 1);
}

TEST_F(WorkspaceManagerDialogTest, AddRefusesBadNamesAndReplacesAnExistingOneWithoutAsking)
{
    manager([&](WorkspaceManagerDialog &d) {
        nameIt(d.addButton(), QStringLiteral("Add Workspace"), QString(), QStringLiteral(" lead"));
        EXPECT_EQ(lastBox(), QStringLiteral("Add error: Invalid name entered for workspace."));
        EXPECT_EQ(boxes.last().icon, QMessageBox::Critical);
        nameIt(d.addButton(), QStringLiteral("Add Workspace"), QString(), QStringLiteral("DeFaulT"));
        EXPECT_EQ(lastBox(), QStringLiteral("Add error: Attempted to use an internal reserved word."));
        EXPECT_EQ(names(d).size(), 3);
        boxes.clear();
        nameIt(d.addButton(), QStringLiteral("Add Workspace"), QString(), QString()); // cancelled
        nameIt(d.addButton(), QStringLiteral("Add Workspace"), QString(), QStringLiteral("trail "));
        nameIt(d.addButton(), QStringLiteral("Add Workspace"), QString(), QStringLiteral("gamma"));
        EXPECT_TRUE(boxes.isEmpty());
        EXPECT_EQ(names(d), (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma"),
                                         QStringLiteral("trail ")}));
        EXPECT_EQ(checked(d), QStringList{QStringLiteral("beta")}) << "the checks stay with their names";
        d.okButton()->click();
    });
    const SettingsStore::WorkspaceMap stored = store()->loadWorkspaces();
    EXPECT_EQ(stored.count("default"), 0u) << "\"default\" leaves storage until the next exit";
    ASSERT_EQ(stored.count("trail "), 1u);
    // Both hold the windows as they were when the manager opened.
    for (const char *name : {"trail ", "gamma"}) {
        const Workspace ws = Workspace::parse(stored.at(name));
        EXPECT_EQ(ws.name, name);
        EXPECT_EQ(ws.startup, 0);
        EXPECT_EQ(corvane::WorkspaceWindow::parse(ws.windowMap().at(1)).url, "http://now.example/");
    }
}

TEST_F(WorkspaceManagerDialogTest, RemoveRenameReplaceAndReset)
{
    manager([&](WorkspaceManagerDialog &d) {
        // Without a selection: Rename says so, the others do nothing.
        d.renameButton()->click();
        EXPECT_EQ(lastBox(), QStringLiteral("Rename alert: Please click on a selection to change its name."));
        EXPECT_EQ(boxes.last().icon, QMessageBox::Information);
        d.removeButton()->click();
        d.replaceButton()->click();
        EXPECT_EQ(names(d).size(), 3);

        // Its own name, another one's, the reserved word, a leading space.
        clickItem(d, QStringLiteral("beta"));
        nameIt(d.renameButton(), QStringLiteral("Rename Workspace"), QStringLiteral("beta"), QStringLiteral("beta"));
        EXPECT_EQ(lastBox(), QStringLiteral("Rename error: Workspace already exists, choose another name."));
        clickItem(d, QStringLiteral("beta"));
        nameIt(d.renameButton(), QStringLiteral("Rename Workspace"), QStringLiteral("beta"), QStringLiteral("DEFAULT"));
        EXPECT_EQ(lastBox(), QStringLiteral("Rename error: Attempted to use an internal reserved word."));
        clickItem(d, QStringLiteral("beta"));
        nameIt(d.renameButton(), QStringLiteral("Rename Workspace"), QStringLiteral("beta"), QStringLiteral(" b"));
        EXPECT_EQ(lastBox(), QStringLiteral("Rename error: Invalid name entered for workspace."));
        EXPECT_EQ(boxes.last().icon, QMessageBox::Critical);

        // A rename keeps the workspace and its start-up mark.
        clickItem(d, QStringLiteral("beta"));
        nameIt(d.renameButton(), QStringLiteral("Rename Workspace"), QStringLiteral("beta"), QStringLiteral("zeta"));
        EXPECT_EQ(names(d), (QStringList{QStringLiteral("Alpha"), QStringLiteral("gamma"), QStringLiteral("zeta")}));
        EXPECT_EQ(checked(d), QStringList{QStringLiteral("zeta")});

        clickItem(d, QStringLiteral("gamma"));
        d.removeButton()->click();
        clickItem(d, QStringLiteral("Alpha"));
        d.replaceButton()->click();
        EXPECT_EQ(names(d), (QStringList{QStringLiteral("Alpha"), QStringLiteral("zeta")}));
        d.okButton()->click();
    });
    SettingsStore::WorkspaceMap stored = store()->loadWorkspaces();
    EXPECT_EQ(stored.size(), 2u);
    const Workspace zeta = Workspace::parse(stored.at("zeta"));
    EXPECT_EQ(zeta.startup, 1);
    EXPECT_EQ(corvane::WorkspaceWindow::parse(zeta.windowMap().at(1)).url, "http://beta.example/");
    EXPECT_EQ(corvane::WorkspaceWindow::parse(Workspace::parse(stored.at("Alpha")).windowMap().at(1)).url,
              "http://now.example/");

    // Reset empties the list; storage follows on OK only.
    manager([&](WorkspaceManagerDialog &d) {
        d.resetButton()->click();
        EXPECT_TRUE(names(d).isEmpty());
        d.cancelButton()->click();
    });
    EXPECT_EQ(store()->loadWorkspaces().size(), 2u);
    manager([&](WorkspaceManagerDialog &d) {
        d.resetButton()->click();
        d.okButton()->click();
    });
    EXPECT_TRUE(store()->loadWorkspaces().empty());
}

TEST_F(WorkspaceManagerDialogTest, OkStoresTheFlagsAndLoadsTheChosenWorkspaceAfterClosing)
{
    manager([&](WorkspaceManagerDialog &d) {
        clickCheck(d, QStringLiteral("gamma"));
        clickItem(d, QStringLiteral("Alpha"));
        EXPECT_EQ(windowCount(), 1) << "nothing loads while the dialog is up";
        d.okButton()->click();
    });
    const SettingsStore::WorkspaceMap stored = store()->loadWorkspaces();
    EXPECT_EQ(Workspace::parse(stored.at("gamma")).startup, 1);
    EXPECT_EQ(Workspace::parse(stored.at("beta")).startup, 0);
    EXPECT_EQ(store()->autoSave(), 0);
    // The window open before is gone; Alpha's window is there.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(windowCount(), 1);
    EXPECT_TRUE(static_cast<FakeBrowserControl *>(mainWindow()->activeView()->control())
                    ->did(QStringLiteral("navigate http://alpha.example/")));

    // AutoSave ticked is stored; OK without a choice loads nothing.
    manager([&](WorkspaceManagerDialog &d) {
        d.autoSaveBox()->click();
        d.okButton()->click();
    });
    EXPECT_EQ(store()->autoSave(), 1);
    EXPECT_EQ(Workspace::parse(store()->loadWorkspaces().at("gamma")).startup, 0);
    EXPECT_EQ(windowCount(), 1);
}

TEST_F(WorkspaceManagerDialogTest, AnchorsAndSizeKeptUnderWorkspaces)
{
    QSize grown;
    manager([&](WorkspaceManagerDialog &d) {
        const QRect list = d.listBox()->geometry();
        const QRect ok = d.okButton()->geometry();
        const QRect reset = d.resetButton()->geometry();
        const QRect autoSave = d.autoSaveBox()->geometry();
        const QRect add = d.addButton()->geometry();
        const QRect hint = d.hintLabel()->geometry();
        d.resize(d.size() + QSize(120, 80));
        grown = d.size();
        EXPECT_EQ(d.listBox()->geometry(), list.adjusted(0, 0, 120, 80));
        EXPECT_EQ(d.okButton()->geometry(), ok.translated(120, 80));
        EXPECT_EQ(d.resetButton()->geometry(), reset.translated(120, 80));
        EXPECT_EQ(d.autoSaveBox()->geometry(), autoSave.translated(120, 0));
        EXPECT_EQ(d.addButton()->geometry(), add);
        EXPECT_EQ(d.hintLabel()->geometry(), hint.translated(0, 80));
        d.cancelButton()->click();
    });
    EXPECT_TRUE(store()->restoreDialogPlacement("Workspaces").has_value());
    manager([&](WorkspaceManagerDialog &d) { EXPECT_EQ(d.size(), grown); });
}
