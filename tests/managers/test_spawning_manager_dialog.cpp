// The Window Spawning Manager as the main window opens it (command 32896).
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "managers/SpawningManagerDialog.h"
#include "support/AppHarness.h"
#include "support/DropDownCheck.h"
#include "support/ModalDialog.h"
#include "ui/ListBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

using Words = std::vector<std::string>;

class SpawningManagerDialogTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.setSpawning(1);
            s.setSpawningFilter(1);
            s.setSpawningSallyport(0);
            s.storeFilter({"popunder", "Ads", "casino"});
            s.storeSallyport({"trusted.example"});
        });
        ASSERT_TRUE(start());
    }

    void manager(std::function<void(SpawningManagerDialog &)> action)
    {
        bool ran = false;
        onNextModal<SpawningManagerDialog>(std::move(action), &ran);
        mainWindow()->runCommand(cmd::WindowSpawning);
        ASSERT_TRUE(ran);
    }

    static QStringList shown(const SpawningManagerDialog &d) { return d.listBox()->items(); }

    static void add(SpawningManagerDialog &d, const QString &text)
    {
        d.entryEdit()->setText(text);
        d.addButton()->click();
    }

    static bool listControlsEnabled(const SpawningManagerDialog &d)
    {
        const bool on = d.entryEdit()->isEnabled();
        EXPECT_EQ(d.addButton()->isEnabled(), on);
        EXPECT_EQ(d.listBox()->isEnabled(), on);
        EXPECT_EQ(d.removeButton()->isEnabled(), on);
        EXPECT_EQ(d.resetButton()->isEnabled(), on);
        return on;
    }
};

} // namespace

TEST_F(SpawningManagerDialogTest, OpensOnTheFilterAndSwitchesTextsListsAndFlagsByCategory)
{
    manager([](SpawningManagerDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Window Spawning Manager"));
        EXPECT_EQ(d.categoryBox()->currentText(), QStringLiteral("Filter"));
        EXPECT_EQ(d.categoryBox()->count(), 2);
        EXPECT_EQ(d.settingsBox()->title(), QStringLiteral("Settings"));
        EXPECT_EQ(d.descriptionLabel()->text(),
                  QStringLiteral("You may avoid popups that contain certain words in its address."));
        EXPECT_EQ(d.editLabel()->text(), QStringLiteral("Add word to filter:"));
        EXPECT_EQ(d.listLabel()->text(), QStringLiteral("Filter:"));
        EXPECT_EQ(d.switchBox()->text(), QStringLiteral("Allow Window Spawning to filter out unwanted popups"));
        // Sorted as a list box sorts, case ignored.
        EXPECT_EQ(shown(d), (QStringList{QStringLiteral("Ads"), QStringLiteral("casino"),
                                         QStringLiteral("popunder")}));
        EXPECT_TRUE(d.switchBox()->isChecked());
        EXPECT_TRUE(d.switchBox()->isEnabled());
        EXPECT_TRUE(listControlsEnabled(d));
        EXPECT_TRUE(d.addButton()->isDefault());

        d.categoryBox()->setCurrentIndex(1);
        EXPECT_EQ(d.descriptionLabel()->text(),
                  QStringLiteral("You may allow popups to come from only certain sites."));
        EXPECT_EQ(d.editLabel()->text(), QStringLiteral("Add word to sallyport:"));
        EXPECT_EQ(d.listLabel()->text(), QStringLiteral("Sallyport:"));
        EXPECT_EQ(d.switchBox()->text(), QStringLiteral("Allow Window Spawning to work from selected sites"));
        EXPECT_EQ(shown(d), QStringList{QStringLiteral("trusted.example")});
        // The sallyport's switch is off: its list controls are grey.
        EXPECT_FALSE(d.switchBox()->isChecked());
        EXPECT_FALSE(listControlsEnabled(d));
        d.switchBox()->click();
        EXPECT_TRUE(listControlsEnabled(d));

        // Back on the filter, its own switch; the sallyport's change is kept.
        d.categoryBox()->setCurrentIndex(0);
        EXPECT_TRUE(d.switchBox()->isChecked());
        d.okButton()->click();
    });
    EXPECT_EQ(store()->spawningFilter(), 1);
    EXPECT_EQ(store()->spawningSallyport(), 1);
}

TEST_F(SpawningManagerDialogTest, EditsLiveInTheDialogUntilOk)
{
    manager([](SpawningManagerDialog &d) {
        add(d, QStringLiteral("banner"));
        add(d, QStringLiteral("banner"));
        add(d, QString()); // nothing
        EXPECT_TRUE(d.entryEdit()->text().isEmpty());
        EXPECT_EQ(shown(d).count(QStringLiteral("banner")), 2);
        EXPECT_EQ(shown(d).size(), 5);
        // Remove with nothing selected does nothing; then the selected one.
        d.removeButton()->click();
        EXPECT_EQ(shown(d).size(), 5);
        d.listBox()->setCurrentRow(shown(d).indexOf(QStringLiteral("popunder")));
        d.removeButton()->click();
        EXPECT_FALSE(shown(d).contains(QStringLiteral("popunder")));
        // A trip to the other list and back keeps the edits.
        d.categoryBox()->setCurrentIndex(1);
        d.categoryBox()->setCurrentIndex(0);
        EXPECT_EQ(shown(d).size(), 4);
        d.okButton()->click();
    });
    EXPECT_EQ(store()->loadFilter(), (Words{"Ads", "banner", "banner", "casino"}));
    EXPECT_EQ(store()->loadSallyport(), Words{"trusted.example"});

    // Reset and Cancel: nothing stored.
    manager([](SpawningManagerDialog &d) {
        d.resetButton()->click();
        EXPECT_TRUE(shown(d).isEmpty());
        EXPECT_EQ(d.listBox()->horizontalExtent(), 0);
        d.switchBox()->click();
        d.cancelButton()->click();
    });
    EXPECT_EQ(store()->loadFilter().size(), 4u);
    EXPECT_EQ(store()->spawningFilter(), 1);
}

TEST_F(SpawningManagerDialogTest, WithScanningOffOnlyTheSwitchIsGrey)
{
    app().settings().setSpawning(0);
    manager([](SpawningManagerDialog &d) {
        EXPECT_FALSE(d.switchBox()->isEnabled());
        // The list follows its stored switch and can still be edited.
        EXPECT_TRUE(listControlsEnabled(d));
        add(d, QStringLiteral("tracker"));
        d.categoryBox()->setCurrentIndex(1);
        EXPECT_FALSE(d.switchBox()->isEnabled());
        EXPECT_FALSE(listControlsEnabled(d));
        d.okButton()->click();
    });
    EXPECT_EQ(store()->loadFilter().size(), 4u);
}

TEST_F(SpawningManagerDialogTest, ResizedItKeepsItsAnchorsAndItsSizeSurvivesARestart)
{
    QSize start;
    QSize grown;
    manager([&](SpawningManagerDialog &d) {
        start = d.startSize();
        EXPECT_EQ(d.size(), start);
        const QRect list = d.listBox()->geometry();
        const QRect box = d.settingsBox()->geometry();
        const QRect edit = d.entryEdit()->geometry();
        const QRect addButton = d.addButton()->geometry();
        const QRect check = d.switchBox()->geometry();
        const QRect ok = d.okButton()->geometry();
        const QRect category = d.categoryBox()->geometry();

        d.resize(start + QSize(200, 120));
        grown = d.size();
        EXPECT_EQ(d.listBox()->geometry(), list.adjusted(0, 0, 200, 120));
        EXPECT_EQ(d.settingsBox()->geometry(), box.adjusted(0, 0, 200, 120));
        EXPECT_EQ(d.entryEdit()->geometry(), edit.adjusted(0, 0, 200, 0));
        EXPECT_EQ(d.addButton()->geometry(), addButton.translated(200, 0));
        EXPECT_EQ(d.switchBox()->geometry(), check.translated(0, 120));
        EXPECT_EQ(d.okButton()->geometry(), ok.translated(200, 120));
        EXPECT_EQ(d.categoryBox()->geometry(), category);

        // Not below the start size.
        d.resize(start - QSize(100, 100));
        EXPECT_EQ(d.size(), start);
        d.resize(grown);
        d.cancelButton()->click();
    });
    ASSERT_TRUE(start.isValid());

    ASSERT_TRUE(this->start());
    manager([&](SpawningManagerDialog &d) {
        EXPECT_EQ(d.size(), grown);
        EXPECT_EQ(d.startSize(), start);
    });
}

TEST_F(SpawningManagerDialogTest, WindowsEraEntriesKeepTheirCharacters)
{
    app().settings().storeFilter({"caf\xe9"});
    manager([](SpawningManagerDialog &d) {
        EXPECT_EQ(shown(d), QStringList{QStringLiteral("caf\u00e9")});
        add(d, QStringLiteral("na\u00efve"));
        d.okButton()->click();
    });
    EXPECT_EQ(store()->loadFilter(), (Words{"caf\xc3\xa9", "na\xc3\xafve"}));
}

TEST_F(SpawningManagerDialogTest, TheCategoryListShowsItsItemsWholeInAnyFont)
{
    const QFont usual = QApplication::font();
    struct Restore { QFont font; ~Restore() { QApplication::setFont(font); } } restore{usual};
    for (const qreal scale : {1.0, 1.6}) {
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * scale);
        QApplication::setFont(font);
        manager([scale](SpawningManagerDialog &d) {
            const QStringList clipped = clippedDropDownItems(d.categoryBox());
            EXPECT_EQ(clipped.join(QStringLiteral(", ")).toStdString(), "") << "font scaled by " << scale;
        });
    }
}
