// Favorites as the user meets them: the IE menu and its Favorites submenu
// built from the folder, the picker, Add to Favorites, Organize, the Explore
// commands, and Check for New Version against a loopback server.
#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "core/ShellFolders.h"
#include "core/UserStore.h"
#include "engine/WebProfile.h"
#include "mainframe/AddFavoriteDialog.h"
#include "mainframe/MainWindow.h"
#include "mainframe/VersionChecker.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"
#include "support/LoopbackServer.h"
#include "support/ModalDialog.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace cmd = corvane::cmd;

// Takes the folders the program asks the desktop to open.
class OpenedFolders : public QObject
{
    Q_OBJECT
public:
    QStringList paths;
public Q_SLOTS:
    void open(const QUrl &url) { paths << url.toLocalFile(); }
};

namespace {

class FavoritesTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        preset([](SettingsStore &s) { s.setBiPassDefault(1); });
    }

    QString favorites() const { return home.dataHome() + QStringLiteral("/Tolvek/Corvane/Favorites"); }

    static void writeShortcut(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void favorite(const QString &relative, const QString &address) const
    {
        writeShortcut(favorites() + QLatin1Char('/') + relative,
                      "[InternetShortcut]\r\nURL=" + address.toUtf8() + "\r\n");
    }

    static QStringList texts(const QMenu *menu)
    {
        QStringList out;
        for (const QAction *action : menu->actions())
            out << action->text();
        return out;
    }
    static QAction *entry(const QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    FakeBrowserControl *activeControl() const
    {
        BrowserView *view = mainWindow()->activeView();
        return view ? static_cast<FakeBrowserControl *>(view->control()) : nullptr;
    }
    QString lastNavigation() const
    {
        const QStringList ops = activeControl()->operations(QStringLiteral("navigate"));
        return ops.isEmpty() ? QString() : ops.last();
    }
};

} // namespace

TEST_F(FavoritesTest, SubmenuFollowsTheFolderAndEntriesNavigate)
{
    favorite(QStringLiteral("Zeta.url"), QStringLiteral("http://zeta.example/"));
    favorite(QStringLiteral("alpha & omega.url"), QStringLiteral("http://alpha.example/"));
    favorite(QStringLiteral("News/Daily.url"), QStringLiteral("http://daily.example/"));
    QDir().mkpath(favorites() + QStringLiteral("/Empty"));
    ASSERT_TRUE(start());

    QMenu *ie = mainWindow()->ieMenu();
    QMenu *menu = mainWindow()->favoritesMenu();
    ASSERT_TRUE(ie && menu);
    EXPECT_EQ(ie->actions().first(), menu->menuAction());
    EXPECT_EQ(menu->title(), QStringLiteral("&Favorites...\tAlt+Z"));
    EXPECT_EQ(texts(menu), (QStringList{"News", "alpha && omega", "Zeta"}));
    ASSERT_TRUE(entry(menu, QStringLiteral("News"))->menu());
    EXPECT_EQ(texts(entry(menu, QStringLiteral("News"))->menu()), QStringList{"Daily"});

    entry(menu, QStringLiteral("alpha && omega"))->trigger();
    EXPECT_EQ(lastNavigation(), QStringLiteral("navigate http://alpha.example/"));
    entry(entry(menu, QStringLiteral("News"))->menu(), QStringLiteral("Daily"))->trigger();
    EXPECT_EQ(lastNavigation(), QStringLiteral("navigate http://daily.example/"));

    // Building again replaces the submenu; the IE menu keeps its items.
    const QPointer<QMenu> previous = menu;
    const qsizetype items = ie->actions().size();
    mainWindow()->buildFavoritesMenu();
    EXPECT_EQ(ie->actions().size(), items);
    EXPECT_NE(mainWindow()->favoritesMenu(), menu);
    EXPECT_EQ(ie->actions().first(), mainWindow()->favoritesMenu()->menuAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return previous.isNull(); }));

    // A favorite added from outside shows the next time the IE menu opens.
    favorite(QStringLiteral("Beta.url"), QStringLiteral("http://beta.example/"));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        Q_EMIT ie->aboutToShow();
        return texts(mainWindow()->favoritesMenu()).contains(QStringLiteral("Beta"));
    }));
}

TEST_F(FavoritesTest, PastTheMenusRoomFoldersStayAndTheMenuSaysWhatIsNotShown)
{
    // 512 in the top folder fill the menu; the folder after them used to
    // vanish from it without a word.
    for (int i = 0; i < 512; ++i)
        favorite(QStringLiteral("Site %1.url").arg(i, 3, 10, QLatin1Char('0')),
                 QStringLiteral("http://site%1.example/").arg(i));
    for (const char *name : {"One", "Two", "Three"})
        favorite(QStringLiteral("Work/%1.url").arg(QLatin1String(name)), QStringLiteral("http://work.example/"));
    ASSERT_TRUE(start());

    QMenu *menu = mainWindow()->favoritesMenu();
    ASSERT_TRUE(menu);
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 1 + 512 + 2);
    EXPECT_EQ(actions.first()->text(), QStringLiteral("Work"));
    QMenu *work = actions.first()->menu();
    ASSERT_TRUE(work);
    ASSERT_EQ(work->actions().size(), 1);
    EXPECT_EQ(work->actions().first()->text(), QStringLiteral("3 favorites are not shown (the menu holds 512)"));
    EXPECT_FALSE(work->actions().first()->isEnabled());
    EXPECT_TRUE(actions.at(actions.size() - 2)->isSeparator());
    QAction *note = actions.last();
    EXPECT_EQ(note->text(), QStringLiteral("3 favorites are not shown (the menu holds 512)"));
    EXPECT_FALSE(note->isEnabled());
    EXPECT_FALSE(note->data().isValid());

    // The last entry with room is the last command of the range.
    EXPECT_EQ(actions.at(512)->text(), QStringLiteral("Site 511"));
    EXPECT_EQ(actions.at(512)->data().toInt(), cmd::FavoriteLast);
    actions.at(512)->trigger();
    EXPECT_EQ(lastNavigation(), QStringLiteral("navigate http://site511.example/"));
}

TEST_F(FavoritesTest, IEMenuIsInBothBarsOnceAndTakesTheLinksOver)
{
    ASSERT_TRUE(start());
    mainWindow()->insertIEMenu();
    QMenu *ie = mainWindow()->ieMenu();
    auto titles = [this] {
        QStringList out;
        for (QMenu *menu : mainWindow()->currentMenus())
            out << menu->title();
        return out;
    };
    EXPECT_EQ(titles(), (QStringList{"&File", "&Edit", "&View", "&Go", "&Tools", "&IE", "&Window", "&Help"}));
    mainWindow()->runCommand(cmd::Close);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !mainWindow()->windowMenuShown(); }));
    EXPECT_EQ(titles(), (QStringList{"&File", "&View", "&Go", "&Tools", "&IE", "&Help"}));
    EXPECT_EQ(mainWindow()->currentMenus().at(4), ie);
    EXPECT_EQ(texts(ie), (QStringList{"&Favorites...\tAlt+Z", "", "&Add to Favorites...", "&Organize Favorites...", "",
                                      "&Explore", "&Internet Options...\tCtrl+Shift+Z"}));
    // The view's commands wait for a window; the picker's key is still there.
    EXPECT_FALSE(mainWindow()->isCommandEnabled(cmd::AddToFavorites));

    // IE off: no IE menu, the Go menu keeps "&Links...", Alt+Z still works.
    preset([](SettingsStore &s) { s.setIe(0); });
    ASSERT_TRUE(start());
    EXPECT_EQ(mainWindow()->ieMenu(), nullptr);
    EXPECT_FALSE(titles().contains(QStringLiteral("&IE")));
    EXPECT_TRUE(mainWindow()->currentMenus().at(3)->actions().contains(mainWindow()->commandAction(cmd::Links)));
    EXPECT_TRUE(mainWindow()->commandAction(cmd::Favorites)->shortcuts().contains(QKeySequence(QStringLiteral("Alt+Z"))));
    EXPECT_TRUE(mainWindow()->isCommandEnabled(cmd::Favorites));
}

TEST_F(FavoritesTest, PickerOpensShortcutsAndPagesFromTheConfiguredFolder)
{
    // The folder named in User Shell Folders, its variables expanded.
    const QString folder = home.home() + QStringLiteral("/Bookmarks");
    UserStore(options().userStoreFile.toStdString())
        .writeString(corvane::kUserShellFoldersKey, "Favorites", "$HOME/Bookmarks");
    writeShortcut(folder + QStringLiteral("/NoBreak.url"), "[InternetShortcut]\r\nURL=http://nobreak.example/");
    writeShortcut(folder + QStringLiteral("/Empty.url"), "[InternetShortcut]\r\n");
    writeShortcut(folder + QStringLiteral("/page.htm"), "<p>page</p>");
    writeShortcut(folder + QStringLiteral("/notes.txt"), "text");
    ASSERT_TRUE(start());
    EXPECT_EQ(mainWindow()->shellFolderPath(corvane::ShellFolder::Favorites), folder);

    auto pick = [&](const QString &name) {
        QString shownFolder;
        onNextModal<QFileDialog>([&](QFileDialog &dialog) {
            shownFolder = dialog.directory().absolutePath();
            // Typed as the user would (a focused name field ignores selectFile).
            auto *fileName = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(fileName, nullptr);
            fileName->setText(name);
            static_cast<QDialog &>(dialog).accept();
        });
        EXPECT_TRUE(mainWindow()->runCommand(cmd::Favorites));
        EXPECT_EQ(shownFolder, folder);
    };

    // The address runs to the end of a file without a last line break.
    pick(QStringLiteral("NoBreak.url"));
    EXPECT_EQ(lastNavigation(), QStringLiteral("navigate http://nobreak.example/"));
    pick(QStringLiteral("page.htm"));
    EXPECT_EQ(lastNavigation(), QStringLiteral("navigate ") + folder + QStringLiteral("/page.htm"));
    EXPECT_TRUE(boxes.isEmpty());

    activeControl()->clearOperations();
    pick(QStringLiteral("Empty.url"));
    pick(QStringLiteral("notes.txt"));
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Invalid file format"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("The Favorites shortcut you are trying to open does not contain a valid site."));
    EXPECT_EQ(boxes[1].title, QStringLiteral("Error opening site"));
    EXPECT_EQ(boxes[1].text, QStringLiteral("The Favorites shortcut you are trying to open is invalid.\n"
                                            "Check the path and try again."));
    EXPECT_TRUE(lastNavigation().isEmpty());

    // A folder that is not there.
    QDir(folder).removeRecursively();
    mainWindow()->runCommand(cmd::Favorites);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[2].title, QStringLiteral("Error opening folder"));
    EXPECT_EQ(boxes[2].text, QStringLiteral("Favorites folder not found."));
}

TEST_F(FavoritesTest, AddToFavoritesWritesAShortcutAndRebuildsTheMenu)
{
    ASSERT_TRUE(start());
    activeControl()->setLocation(QStringLiteral("Sample & Page"), QStringLiteral("http://sample.example/a?b=1"));

    QString offeredName;
    QString offeredAddress;
    onNextModal<AddFavoriteDialog>([&](AddFavoriteDialog &dialog) {
        offeredName = dialog.nameEdit()->text();
        offeredAddress = dialog.addressEdit()->text();
        dialog.accept();
    });
    mainWindow()->runCommand(cmd::AddToFavorites);
    EXPECT_EQ(offeredName, QStringLiteral("Sample & Page"));
    EXPECT_EQ(offeredAddress, QStringLiteral("http://sample.example/a?b=1"));
    QFile written(favorites() + QStringLiteral("/Sample & Page.url"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("[InternetShortcut]\r\nURL=http://sample.example/a?b=1\r\n"));
    EXPECT_EQ(texts(mainWindow()->favoritesMenu()), QStringList{"Sample && Page"});

    // The same page again gets a name of its own; Cancel writes nothing.
    onNextModal<AddFavoriteDialog>([](AddFavoriteDialog &dialog) { dialog.accept(); });
    mainWindow()->runCommand(cmd::AddToFavorites);
    onNextModal<AddFavoriteDialog>([](AddFavoriteDialog &dialog) { dialog.reject(); });
    mainWindow()->runCommand(cmd::AddToFavorites);
    EXPECT_EQ(QDir(favorites()).entryList(QDir::Files, QDir::Name),
              (QStringList{"Sample & Page (2).url", "Sample & Page.url"}));
    EXPECT_EQ(mainWindow()->favoritesMenu()->actions().size(), 2);
}

TEST_F(FavoritesTest, OrganizeAndExploreOpenTheFoldersOrSayTheyAreMissing)
{
    OpenedFolders opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    const QString documents = home.home() + QStringLiteral("/Papers");
    UserStore(options().userStoreFile.toStdString())
        .writeString(corvane::kUserShellFoldersKey, "Personal", "%HOME%/Papers");
    ASSERT_TRUE(start());

    mainWindow()->runCommand(cmd::OrganizeFavorites);
    mainWindow()->runCommand(cmd::ExploreFavorites);
    mainWindow()->runCommand(cmd::ExplorePersonal);
    mainWindow()->runCommand(cmd::ExploreCache);
    QDir().mkpath(documents);
    QDir().mkpath(WebProfile::cachePath());
    mainWindow()->runCommand(cmd::ExplorePersonal);
    mainWindow()->runCommand(cmd::ExploreCache);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    // Our own Favorites folder is made at its first use.
    EXPECT_EQ(opened.paths, (QStringList{favorites(), favorites(), documents, WebProfile::cachePath()}));
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Error opening folder"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Personal folder not found."));
    EXPECT_EQ(boxes[1].text, QStringLiteral("Cache folder not found."));
}

// --- Check for New Version ------------------------------------------------------------------

namespace {

class VersionCheckTest : public FavoritesTest
{
protected:
    // Runs the check against a version file with this body (or status).
    void check(const QByteArray &body, int status = 200)
    {
        LoopbackServer::Response response;
        response.body = body;
        response.contentType = "text/plain";
        response.status = status;
        server.setResponse(QStringLiteral("/version.txt"), response);
        app().settings().setVersionUrl(server.url(QStringLiteral("/version.txt")).toStdString());
        const qsizetype shown = boxes.size();
        ASSERT_TRUE(mainWindow()->runCommand(cmd::CheckVersion));
        ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == shown + 1; }, 10000));
    }

    LoopbackServer server;
};

} // namespace

TEST_F(VersionCheckTest, OurVersionAndOlderOnesAreCurrentNewerOnesAreOffered)
{
    ASSERT_TRUE(server.isListening());
    ASSERT_TRUE(start());
    // A line break after the version, or an older version on the server,
    // is no newer version.
    for (const QByteArray &body : {QByteArray("3.00"), QByteArray("3.00\n"), QByteArray("3.00\r\n"), QByteArray("2.99")}) {
        check(body);
        EXPECT_EQ(boxes.last().icon, QMessageBox::Information) << body.toStdString();
        EXPECT_EQ(boxes.last().title, QStringLiteral("Version check complete"));
        EXPECT_EQ(boxes.last().text, QStringLiteral("You have the most current version. Please check back "
                                                    "for updates often. Thank You!"));
    }
    EXPECT_EQ(server.requests().size(), 4);

    answer = QMessageBox::No;
    check("3.01");
    EXPECT_EQ(boxes.last().icon, QMessageBox::Question);
    EXPECT_EQ(boxes.last().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("There is a newer version available, would you like to download it now?\n"
                             "Note: This will not install the newer version, just navigate to the download site."));
    EXPECT_FALSE(activeControl()->did(QStringLiteral("navigate https://www.tolvek.example/corvane/download/")));
    answer = QMessageBox::Yes;
    check("3.01\n");
    EXPECT_TRUE(activeControl()->did(QStringLiteral("navigate https://www.tolvek.example/corvane/download/")));
}

TEST_F(VersionCheckTest, AnErrorStatusOrAPageThatIsNoVersionCancels)
{
    ASSERT_TRUE(start());
    check("Not Found", 404);
    EXPECT_EQ(boxes.last().icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.last().title, QStringLiteral("Version check cancelled"));
    EXPECT_EQ(boxes.last().text, QStringLiteral("Unable to complete request, please try again later."));
    check("<html><body>Down for maintenance</body></html>");
    EXPECT_EQ(boxes.last().title, QStringLiteral("Version check cancelled"));
}

TEST(VersionChecker, NoServerAndTimeOutsEndQuietly)
{
    // A port nobody listens on.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();

    VersionChecker checker;
    QSignalSpy quiet(&checker, &VersionChecker::endedQuietly);
    QSignalSpy answered(&checker, &VersionChecker::finished);
    ASSERT_TRUE(checker.start(QUrl(QStringLiteral("http://127.0.0.1:%1/version.txt").arg(closedPort))));
    EXPECT_FALSE(checker.start(QUrl(QStringLiteral("http://127.0.0.1:1/"))));
    EXPECT_TRUE(QTest::qWaitFor([&] { return quiet.count() == 1; }, 10000));

    LoopbackServer server;
    LoopbackServer::Response slow;
    slow.body = "3.01";
    slow.delayMs = 5000;
    server.setResponse(QStringLiteral("/version.txt"), slow);
    ASSERT_TRUE(checker.start(QUrl(server.url(QStringLiteral("/version.txt"))), 200));
    EXPECT_TRUE(QTest::qWaitFor([&] { return quiet.count() == 2; }, 10000));
    EXPECT_EQ(answered.count(), 0);
}

#include "test_favorites_menu.moc"
