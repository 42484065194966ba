// The Links Manager as the main window opens it (commands 32786 and 32885),
// with its Add/Edit Link dialog and the .lks files it imports and exports.
#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "managers/LinkDialog.h"
#include "managers/LinksManagerDialog.h"
#include "support/AppHarness.h"
#include "support/ModalDialog.h"
#include "ui/ListBox.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

namespace {

using LinkMap = std::map<std::string, std::string>;
const std::string S = "\xB7\x7C\xB7";

class LinksManagerDialogTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) {
            s.setBiPassDefault(1);
            s.storeLinks({{"Weather", "http://weather.example/"},
                          {"apples", "http://apples.example/"},
                          {"http://bare.example/", ""}});
        });
        ASSERT_TRUE(start());
        activeControl()->setLocation(QStringLiteral("Here"), QStringLiteral("http://here.example/"));
        activeControl()->clearOperations();
    }

    FakeBrowserControl *activeControl() const
    {
        BrowserView *view = mainWindow()->activeView();
        return view ? static_cast<FakeBrowserControl *>(view->control()) : nullptr;
    }

    void manager(std::function<void(LinksManagerDialog &)> action, int command = cmd::LinksManager)
    {
        bool ran = false;
        onNextModal<LinksManagerDialog>(std::move(action), &ran);
        mainWindow()->runCommand(command);
        ASSERT_TRUE(ran);
    }

    static void select(LinksManagerDialog &d, const QString &name)
    {
        const int row = d.listBox()->items().indexOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        d.listBox()->setCurrentRow(row);
    }

    // Add/Edit... with what the Add/Edit Link dialog starts with checked,
    // then the fields filled and OK (or Cancel).
    static void edit(LinksManagerDialog &d, const QString &expectName, const QString &expectAddress,
                     const QString &name, const QString &address, bool ok = true)
    {
        bool ran = false;
        onNextModal<LinkDialog>(
            [&](LinkDialog &link) {
                EXPECT_EQ(link.windowTitle(), QStringLiteral("Add/Edit Link"));
                EXPECT_EQ(link.nameEdit()->text(), expectName);
                EXPECT_EQ(link.addressEdit()->text(), expectAddress);
                link.nameEdit()->setText(name);
                link.addressEdit()->setText(address);
                if (ok)
                    link.okButton()->click();
            },
            &ran);
        d.editButton()->click();
        EXPECT_TRUE(ran);
    }

    // Import... or Export... with this file chosen in the file dialog.
    static void chooseFile(QPushButton *button, const QString &path)
    {
        bool ran = false;
        onNextModal<QFileDialog>(
            [&](QFileDialog &chooser) {
                EXPECT_TRUE(chooser.nameFilters().contains(QStringLiteral("Links Files (*.lks)")));
                chooser.selectFile(path);
                static_cast<QDialog &>(chooser).accept(); // as the Open button does
            },
            &ran);
        button->click();
        EXPECT_TRUE(ran);
    }

    QString file(const QString &name) const { return home.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(LinksManagerDialogTest, AddEditRemoveAndResetChangeTheStoredListOnlyOnOk)
{
    manager([&](LinksManagerDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Links Manager"));
        EXPECT_EQ(d.listBox()->items(), (QStringList{QStringLiteral("apples"), QStringLiteral("http://bare.example/"),
                                                     QStringLiteral("Weather")}));
        // Add with nothing selected: the page shown and no name; the address
        // alone gives an address-only link.
        edit(d, QString(), QStringLiteral("http://here.example/"), QString(), QStringLiteral("http://here.example/"));
        EXPECT_TRUE(d.listBox()->items().contains(QStringLiteral("http://here.example/")));
        // Editing a named link: rename and new address replace it.
        select(d, QStringLiteral("Weather"));
        edit(d, QStringLiteral("Weather"), QStringLiteral("http://weather.example/"), QStringLiteral("Rain"),
             QStringLiteral("http://rain.example/"));
        EXPECT_FALSE(d.listBox()->items().contains(QStringLiteral("Weather")));
        // Naming an address-only link: the named link takes its place.
        select(d, QStringLiteral("http://bare.example/"));
        edit(d, QString(), QStringLiteral("http://bare.example/"), QStringLiteral("Bare"),
             QStringLiteral("http://bare.example/"));
        // Clearing a named link's address removes it; Cancel changes nothing.
        select(d, QStringLiteral("apples"));
        edit(d, QStringLiteral("apples"), QStringLiteral("http://apples.example/"), QStringLiteral("apples"), QString());
        select(d, QStringLiteral("Rain"));
        edit(d, QStringLiteral("Rain"), QStringLiteral("http://rain.example/"), QStringLiteral("x"), QString(), false);
        // Remove without a selection does nothing.
        d.listBox()->clearSelection();
        d.removeButton()->click();
        EXPECT_EQ(d.listBox()->items(), (QStringList{QStringLiteral("Bare"), QStringLiteral("http://here.example/"),
                                                     QStringLiteral("Rain")}));
        // Nothing is stored yet.
        EXPECT_EQ(store()->loadLinks().count("Weather"), 1u);
        select(d, QStringLiteral("http://here.example/"));
        d.removeButton()->click();
        d.listBox()->clearSelection();
        d.okButton()->click();
    });
    EXPECT_EQ(store()->loadLinks(), (LinkMap{{"Bare", "http://bare.example/"}, {"Rain", "http://rain.example/"}}));
    EXPECT_TRUE(activeControl()->operations(QStringLiteral("navigate")).isEmpty())
        << "OK without a choice navigates nowhere";

    // Reset, then Cancel: the stored list stays.
    manager([](LinksManagerDialog &d) {
        d.resetButton()->click();
        EXPECT_TRUE(d.listBox()->items().isEmpty());
        d.cancelButton()->click();
    });
    EXPECT_EQ(store()->loadLinks().size(), 2u);
}

TEST_F(LinksManagerDialogTest, OkOpensTheChosenLinkInTheActiveWindowOrInANewOne)
{
    manager([](LinksManagerDialog &d) {
        select(d, QStringLiteral("Weather"));
        d.okButton()->click();
    }, cmd::Links);
    EXPECT_EQ(activeControl()->operations(QStringLiteral("navigate")),
              QStringList{QStringLiteral("navigate http://weather.example/")});
    EXPECT_EQ(mainWindow()->activeView()->pendingAddress(), QStringLiteral("http://weather.example/"));

    // An address-only link opens its name. Without a window, one opens for it
    // first, and only that one.
    mainWindow()->closeActiveWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(windowCount(), 0);
    manager([](LinksManagerDialog &d) {
        select(d, QStringLiteral("http://bare.example/"));
        d.okButton()->click();
    });
    ASSERT_EQ(windowCount(), 1);
    EXPECT_EQ(activeControl()->operations(QStringLiteral("navigate")).last(),
              QStringLiteral("navigate http://bare.example/"));
}

TEST_F(LinksManagerDialogTest, ExportedLinksImportAsTheSameList)
{
    const LinkMap stored = store()->loadLinks();
    manager([&](LinksManagerDialog &d) {
        // The extension is added; the message follows MsgLinksSave.
        chooseFile(d.exportButton(), file(QStringLiteral("mine")));
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes.last().title, QStringLiteral("File saved"));
        EXPECT_EQ(boxes.last().text, QStringLiteral("Your links have been saved successfully."));
        EXPECT_EQ(boxes.last().icon, QMessageBox::Information);
        d.resetButton()->click();
        chooseFile(d.importButton(), file(QStringLiteral("mine.lks")));
        EXPECT_EQ(d.links().links(), stored);
        d.okButton()->click();
    });
    EXPECT_EQ(store()->loadLinks(), stored);
    const QByteArray bytes = readFile(QStringLiteral("mine.lks"));
    EXPECT_TRUE(bytes.startsWith("Links:\r\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains(QByteArray::fromStdString("Weather" + S + "http://weather.example/\r\n")));
    EXPECT_TRUE(bytes.contains("\r\nhttp://bare.example/\r\n"));

    app().settings().setMsgLinksSave(0);
    boxes.clear();
    manager([&](LinksManagerDialog &d) { chooseFile(d.exportButton(), file(QStringLiteral("quiet.lks"))); });
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(readFile(QStringLiteral("quiet.lks")), bytes);
}

TEST_F(LinksManagerDialogTest, ImportReadsWindowsAndUtf8FilesAndRefusesOthers)
{
    writeFile(QStringLiteral("windows.lks"),
              QByteArray::fromStdString("Links:\r\nCaf\xE9" + S + "http://h/M\xFCnchen\r\nhttp://only.example/\r\n"));
    writeFile(QStringLiteral("utf8.lks"), QByteArray::fromStdString("Links:\r\nCaf\xC3\xA9" + S + "http://u/\r\n"));
    writeFile(QStringLiteral("other.lks"), "Favorites:\r\nA\r\n");
    manager([&](LinksManagerDialog &d) {
        chooseFile(d.importButton(), file(QStringLiteral("windows.lks")));
        EXPECT_EQ(d.listBox()->items(),
                  (QStringList{QStringLiteral("Caf\u00e9"), QStringLiteral("http://only.example/")}));
        EXPECT_EQ(d.links().targetOf("Caf\xC3\xA9"), "http://h/M\xC3\xBCnchen");

        // Not a links file: the message, and the list stays.
        chooseFile(d.importButton(), file(QStringLiteral("other.lks")));
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes.last().title, QStringLiteral("Invalid file format"));
        EXPECT_EQ(boxes.last().text, QStringLiteral("The file you are trying to open is not a links file."));
        EXPECT_EQ(boxes.last().icon, QMessageBox::Critical);
        EXPECT_EQ(d.listBox()->items().size(), 2);

        chooseFile(d.importButton(), file(QStringLiteral("utf8.lks")));
        EXPECT_EQ(d.listBox()->items(), QStringList{QStringLiteral("Caf\u00e9")});
        EXPECT_EQ(d.links().targetOf("Caf\xC3\xA9"), "http://u/");
        d.okButton()->click();
    });
    EXPECT_EQ(store()->loadLinks(), (LinkMap{{"Caf\xC3\xA9", "http://u/"}}));
}

TEST_F(LinksManagerDialogTest, ListExtentAnchorsAndSizeKeptUnderLinks)
{
    const QString longName = QString(200, QLatin1Char('w'));
    app().settings().storeLinks({{longName.toStdString(), "http://long.example/"}});
    QSize grown;
    manager([&](LinksManagerDialog &d) {
        const int width = d.listBox()->fontMetrics().horizontalAdvance(longName);
        EXPECT_EQ(d.listBox()->horizontalExtent(), width - 100);
        const QRect list = d.listBox()->geometry();
        const QRect ok = d.okButton()->geometry();
        const QRect reset = d.resetButton()->geometry();
        d.resize(d.size() + QSize(150, 90));
        grown = d.size();
        EXPECT_EQ(d.listBox()->geometry(), list.adjusted(0, 0, 150, 90));
        EXPECT_EQ(d.okButton()->geometry(), ok.translated(150, 0));
        EXPECT_EQ(d.resetButton()->geometry(), reset.translated(150, 0));
        d.cancelButton()->click();
    });
    EXPECT_TRUE(store()->restoreDialogPlacement("Links").has_value());
    manager([&](LinksManagerDialog &d) { EXPECT_EQ(d.size(), grown); });
}
