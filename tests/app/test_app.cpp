// The application object: start-up choices, documents and shell open requests.
#include "app/Application.h"
#include "app/DefaultBrowserDialog.h"
#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"
#include "mainframe/TrayIcon.h"
#include "support/AppHarness.h"
#include "support/FakeBrowserControl.h"
#include "support/ModalDialog.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class AppTest : public ::testing::Test, protected AppHarness
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    FakeBrowserControl *lastControl() const
    {
        return controls.isEmpty() ? nullptr : controls.last().data();
    }
};

} // namespace

TEST_F(AppTest, FreshStartOpensOneWindowOnTheHomePageAndCreatesTheIni)
{
    {
        auto s = store();
        s->setHomeUrl("http://home.example/start");
    }
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_EQ(windowCount(), 1);
    ASSERT_TRUE(lastControl());
    EXPECT_TRUE(lastControl()->did(QStringLiteral("navigate http://home.example/start")))
        << lastControl()->operations().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(app().firstNew());
    QFile ini(options().iniFile);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), QByteArray("[Settings]\r\nEnableIniFile=0\r\nCDSupport=0\r\n"));
}

TEST_F(AppTest, SplashIsDueWithLogoOrAnotherVersion)
{
    // A first run: no Version stored yet.
    {
        auto s = store();
        s->setLogo(0);
    }
    ASSERT_TRUE(start({QStringLiteral("about:blank")}));
    EXPECT_TRUE(app().splashDue());
    // It shows while the program starts, and goes with the program.
    QPointer<SplashScreen> splash = app().splash();
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible());
    store()->setVersion("3.00");
    ASSERT_TRUE(start({QStringLiteral("about:blank")}));
    EXPECT_FALSE(app().splashDue());
    store()->setLogo(1);
    ASSERT_TRUE(start({QStringLiteral("about:blank")}));
    EXPECT_TRUE(app().splashDue());
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }));
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    EXPECT_FALSE(app().splashDue());
    EXPECT_EQ(app().splash(), nullptr);
}

TEST_F(AppTest, AddressArgumentOpensAsGivenAndKeepsFirstNew)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("https://example.org/A")}));
    EXPECT_EQ(windowCount(), 1);
    EXPECT_TRUE(lastControl()->did(QStringLiteral("navigate https://example.org/A")));
    EXPECT_TRUE(app().pendingDocumentAddress().isEmpty());
}

TEST_F(AppTest, UrlShortcutsOpenTheirAddress)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    const QString crlf = home.filePath(QStringLiteral("Docs/Site.URL"));
    QDir().mkpath(home.filePath(QStringLiteral("Docs")));
    QFile f(crlf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[InternetShortcut]\r\nURL=http://Example.org/Path\r\nIconIndex=0\r\n");
    f.close();
    app().openDocumentFile(crlf);
    EXPECT_TRUE(lastControl()->did(QStringLiteral("navigate http://Example.org/Path")))
        << lastControl()->operations().join(QLatin1Char('\n')).toStdString();

    // A shortcut saved on Windows holds Windows-1252 bytes.
    const QString windows = home.filePath(QStringLiteral("Docs/Windows.url"));
    QFile w(windows);
    ASSERT_TRUE(w.open(QIODevice::WriteOnly));
    w.write("[InternetShortcut]\r\nURL=http://host/M\xFCnchen\r\n");
    w.close();
    app().openDocumentFile(windows);
    EXPECT_TRUE(lastControl()->did(QStringLiteral("navigate http://host/M\u00FCnchen")))
        << lastControl()->operations().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(AppTest, ShortcutWithoutUrlWarnsAndOpensItsOwnPath)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    const QString path = home.filePath(QStringLiteral("Mixed Case.url"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[InternetShortcut]\r\nIconIndex=0\r\n");
    f.close();
    const int before = windowCount();
    app().openDocumentFile(path);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Invalid file format"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("The internet shortcut you are trying to open does "
                                            "not contain a valid site."));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(windowCount(), before + 1);
    // The path keeps its case: file systems here are case-sensitive.
    EXPECT_TRUE(lastControl()->did(QStringLiteral("navigate ") + path))
        << lastControl()->operations().join(QLatin1Char('\n')).toStdString();
}

TEST_F(AppTest, OpenRequestRefusedInTrayWithPassword)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    app().settings().setPassword("secret");
    mainWindow()->hideToTray();
    const int before = windowCount();
    EXPECT_FALSE(app().handleOpenRequest(QStringLiteral("[open(\"http://example.org/x\")]")));
    EXPECT_EQ(windowCount(), before);
    // The refusal shows once the request has its answer.
    EXPECT_TRUE(boxes.isEmpty());
    QTest::qWait(0);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Authentication failed"));
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("You are not permitted to maximize this application.\nEnsure CAPS Lock "
                             "is set correctly and re-enter\nyour password."));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(app().inTray());
    EXPECT_FALSE(mainWindow()->isVisible());
}

TEST_F(AppTest, ABurstOfOpenRequestsInTheTrayShowsOneRefusalAtATime)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    app().settings().setPassword("secret");
    mainWindow()->hideToTray();
    const QString request = QStringLiteral("[open(\"http://example.org/x\")]");
    // While the box is up, more requests come: each is refused at once
    // without a box of its own.
    int shown = 0;
    int refusedMeanwhile = 0;
    setMessageBoxHook([&](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                          QMessageBox::StandardButtons) {
        ++shown;
        for (int i = 0; i < 50; ++i)
            refusedMeanwhile += app().handleOpenRequest(request) ? 0 : 1;
        return QMessageBox::Ok;
    });
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(app().handleOpenRequest(request));
    QTest::qWait(0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(refusedMeanwhile, 50);
    // Once it was answered, the next request is told again.
    EXPECT_FALSE(app().handleOpenRequest(request));
    QTest::qWait(0);
    EXPECT_EQ(shown, 2);
    setMessageBoxHook({});
    EXPECT_TRUE(app().inTray());
}

TEST_F(AppTest, OpenRequestAcceptedInTrayWithoutPasswordAndOutside)
{
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    mainWindow()->hideToTray();
    const int before = windowCount();

    // A request that opens nothing leaves the window in the tray with its
    // icon: hidden without one, it could not be found again.
    EXPECT_FALSE(app().handleOpenRequest(QStringLiteral("open http://example.org/z")));
    EXPECT_TRUE(app().inTray());
    EXPECT_TRUE(mainWindow()->trayIcon()->isShown());

    // One that opens a window brings the main window out of the tray.
    EXPECT_TRUE(app().handleOpenRequest(QStringLiteral("[open(\"http://example.org/y\")]")));
    EXPECT_EQ(windowCount(), before + 1);
    EXPECT_TRUE(lastControl()->did(QStringLiteral("navigate http://example.org/y")));
    EXPECT_FALSE(app().inTray());
    EXPECT_FALSE(mainWindow()->trayIcon()->isShown());
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_TRUE(boxes.isEmpty());

    EXPECT_FALSE(app().handleOpenRequest(QStringLiteral("open http://example.org/z")));
    EXPECT_EQ(windowCount(), before + 1);
}

TEST_F(AppTest, StartupWorkspaceChoice)
{
    const std::string sep = "\xB7";
    auto record = [&](const std::string &name, int startup) {
        return name + sep + std::to_string(startup) + sep + "697" + sep + "88" + sep + "952" + sep
               + "88" + sep + "1" + sep + "1" + sep + "1" + sep + "1" + sep + "0\xB7|\xB7none";
    };
    {
        auto s = store();
        s->storeWorkspaces({{"alpha", record("alpha", 0)},
                            {"beta", record("beta", 1)},
                            {"gamma", record("gamma", 1)}});
    }
    // Of two start-up workspaces the first in the map's order wins.
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    EXPECT_EQ(app().currentWorkspace().startup, 1);
    EXPECT_EQ(app().currentWorkspace().text(), record("beta", 1));

    // AutoSave looks only for "default"; without one nothing is restored.
    store()->setAutoSave(1);
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    EXPECT_TRUE(app().currentWorkspace().empty);
}

TEST_F(AppTest, ASettingThatCannotBeSavedIsSaidOnceOnStderrAndTheStatusBar)
{
    // A file stands where the per-user store's folder belongs: nothing can
    // be saved there.
    QFile blocker(home.configHome() + QStringLiteral("/Tolvek"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QTemporaryFile captured;
    ASSERT_TRUE(captured.open());
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    ::dup2(captured.handle(), 2);
    const bool started = start({QStringLiteral("nologo"), QStringLiteral("about:blank")});
    if (started) {
        mainWindow()->runCommand(corvane::cmd::AddressBar); // stores HideAddressBar
        mainWindow()->runCommand(corvane::cmd::AddressBar);
    }
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    ASSERT_TRUE(started);

    const QString path = options().userStoreFile;
    captured.seek(0);
    const QString said = QString::fromUtf8(captured.readAll());
    EXPECT_EQ(said.count(path), 1) << said.toStdString();
    EXPECT_TRUE(mainWindow()->statusBar()->currentMessage().contains(path))
        << mainWindow()->statusBar()->currentMessage().toStdString();
    // The notice covers pane 0 rather than being drawn over its text.
    for (QLabel *pane : mainWindow()->statusBar()->findChildren<QLabel *>()) {
        if (pane->text() == mainWindow()->statusPaneTexts().at(0)) {
            EXPECT_FALSE(pane->isVisible());
        }
    }
}

// --- the default-browser question --------------------------------------------------

namespace {

class DefaultBrowserTest : public AppTest
{
protected:
    QString entryPath() const { return home.dataHome() + QStringLiteral("/applications/corvane.desktop"); }
    QString listPath() const { return home.configHome() + QStringLiteral("/mimeapps.list"); }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

} // namespace

TEST_F(DefaultBrowserTest, AskedAtTheFirstNewOnlyWhileNotBypassed)
{
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_EQ(defaultBrowserQuestions, 1);
    EXPECT_EQ(store()->biPassDefault(), 0) << "No without the tick: asked again next time";
    mainWindow()->runCommand(corvane::cmd::New);
    EXPECT_EQ(defaultBrowserQuestions, 1) << "once per start";

    // A start with a document runs no New.
    ASSERT_TRUE(start({QStringLiteral("nologo"), QStringLiteral("about:blank")}));
    EXPECT_EQ(defaultBrowserQuestions, 1);

    store()->setBiPassDefault(1);
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_EQ(defaultBrowserQuestions, 1);
    EXPECT_FALSE(QFile::exists(entryPath()));
    EXPECT_FALSE(QFile::exists(listPath()));
}

TEST_F(DefaultBrowserTest, NoWithTheTickStoresTheBypassAndWritesNothingElse)
{
    const QByteArray list = "[Default Applications]\nx-scheme-handler/https=other.desktop;\n";
    write(listPath(), list);
    defaultBrowserAnswer = {false, true};
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_EQ(defaultBrowserQuestions, 1);
    EXPECT_EQ(store()->biPassDefault(), 1);
    EXPECT_FALSE(QFile::exists(entryPath()));
    EXPECT_EQ(read(listPath()), list);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(DefaultBrowserTest, YesRegistersKeepingForeignEntriesAndGroups)
{
    const QByteArray foreignEntry = "image/png=viewer.desktop;\n";
    const QByteArray foreignGroup = "[Foreign Group]\ntext/html=not-touched.desktop;\n";
    write(listPath(), "[Default Applications]\n" + foreignEntry + "\n" + foreignGroup);
    defaultBrowserAnswer = {true, false};
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    EXPECT_EQ(store()->biPassDefault(), 1) << "Yes is asked no more, tick or not";

    const QByteArray entry = read(entryPath());
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/Corvane Test/corvane\" /dde %u\n")) << entry.constData();
    EXPECT_TRUE(entry.contains("\nMimeType=text/html;application/xhtml+xml;application/x-mswinurl;"
                               "x-scheme-handler/http;x-scheme-handler/https;\n"));
    const QByteArray list = read(listPath());
    EXPECT_TRUE(list.startsWith("[Default Applications]\n" + foreignEntry)) << list.constData();
    EXPECT_TRUE(list.contains("\n" + foreignGroup)) << list.constData();
    for (const char *type : {"text/html", "application/xhtml+xml", "application/x-mswinurl",
                             "x-scheme-handler/http", "x-scheme-handler/https"})
        EXPECT_TRUE(list.contains(QByteArray("\n") + type + "=corvane.desktop;\n")) << type;
    EXPECT_TRUE(boxes.isEmpty());

    // The desktop's own tool now names us, where it is installed.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (!xdgMime.isEmpty()) {
        QProcess query;
        query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                              QStringLiteral("x-scheme-handler/https")});
        ASSERT_TRUE(query.waitForFinished(20000));
        EXPECT_EQ(query.readAllStandardOutput().trimmed(), QByteArray("corvane.desktop"));
    }
}

TEST_F(DefaultBrowserTest, AtAFirstStartTheQuestionComesWithoutTheSplashOverIt)
{
    // A first start: the splash is due (no version stored yet) and the
    // question comes at the first window, before the main window shows.
    DefaultBrowserDialog::setHook({});
    bool asked = false;
    bool splashUp = true;
    onNextModal<DefaultBrowserDialog>(
        [&](DefaultBrowserDialog &dialog) {
            splashUp = app().splash() && app().splash()->isVisible();
            dialog.reject();
        },
        &asked);
    ASSERT_TRUE(start({}));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(app().splashDue());
    EXPECT_FALSE(splashUp) << "the splash covered the question";
    EXPECT_TRUE(!app().splash() || !app().splash()->isVisible());
}

TEST_F(DefaultBrowserTest, AskedWhileAWorkspaceLoadsTheMainWindowIsDrawnBehindIt)
{
    // AutoSave brings back "default", one window, at a plain start.
    {
        auto s = store();
        s->setAutoSave(1);
        s->storeWorkspaces({{"default", "default\xB7" "0\xB7" "697\xB7" "88\xB7" "952\xB7" "88\xB7" "3\xB7" "1\xB7"
                                        "1\xB7" "1\xB7" "1\xB7|\xB7http://one.example/\xB7" "508\xB7" "0\xB7" "648\xB7"
                                        "0\xB7" "1\xB7" "0\xB7" "2\xB7" "0\xB7" "0\xB7" "0"}});
    }
    int shownAsked = 0;
    int drawnAsked = 0;
    DefaultBrowserDialog::setHook([&](QWidget *) {
        if (mainWindow() && mainWindow()->isVisible()) {
            ++shownAsked;
            drawnAsked += mainWindow()->updatesEnabled() ? 1 : 0;
        }
        return DefaultBrowserDialog::Answer{};
    });
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    ASSERT_EQ(shownAsked, 1) << "asked once, in front of the main window";
    EXPECT_EQ(drawnAsked, shownAsked) << "the main window was held undrawn behind the question";
    EXPECT_TRUE(mainWindow()->updatesEnabled());
}

TEST_F(DefaultBrowserTest, AfterYesTheDesktopsOwnToolNamesUsForWebAddresses)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        GTEST_SKIP() << "xdg-mime (xdg-utils) is not installed";
    // The program as started, and another browser the system offers for
    // web addresses.
    startedAs = home.filePath(QStringLiteral("bin/corvane"));
    write(startedAs, "#!/bin/sh\n");
    QFile::setPermissions(startedAs, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString system = home.filePath(QStringLiteral("system"));
    write(system + QStringLiteral("/applications/other.desktop"),
          "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %u\n"
          "MimeType=x-scheme-handler/http;x-scheme-handler/https;\n");
    write(system + QStringLiteral("/applications/mimeinfo.cache"),
          "[MIME Cache]\nx-scheme-handler/http=other.desktop;\nx-scheme-handler/https=other.desktop;\n");
    defaultBrowserAnswer = {true, false};
    ASSERT_TRUE(start({QStringLiteral("nologo")}));

    const QByteArray entry = read(entryPath());
    EXPECT_TRUE(entry.contains("\nExec=" + startedAs.toUtf8() + " /dde %u\n")) << entry.constData();
    // The icon the entry names is there.
    EXPECT_TRUE(entry.contains("\nIcon=corvane\n"));
    const QString theme = home.dataHome() + QStringLiteral("/icons/hicolor/");
    EXPECT_TRUE(read(theme + QStringLiteral("scalable/apps/corvane.svg")).contains("<svg"));
    for (const char *size : {"48x48", "128x128"}) {
        QImage picture(theme + QString::fromLatin1(size) + QStringLiteral("/apps/corvane.png"));
        EXPECT_FALSE(picture.isNull()) << size;
        EXPECT_EQ(QStringLiteral("%1x%1").arg(picture.width()), QString::fromLatin1(size));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), system);
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), home.filePath(QStringLiteral("system-config")));
    for (const char *scheme : {"x-scheme-handler/http", "x-scheme-handler/https"}) {
        QProcess query;
        query.setProcessEnvironment(env);
        query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QString::fromLatin1(scheme)});
        ASSERT_TRUE(query.waitForFinished(20000));
        EXPECT_EQ(query.readAllStandardOutput().trimmed(), QByteArray("corvane.desktop")) << scheme;
    }
}

TEST_F(DefaultBrowserTest, TheDialogAsksWithNoAsTheDefaultButton)
{
    store()->setBiPassDefault(1);
    ASSERT_TRUE(start({QStringLiteral("nologo")}));
    DefaultBrowserDialog::setHook({});
    bool asked = false;
    onNextModal<DefaultBrowserDialog>(
        [](DefaultBrowserDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Default browser alert"));
            QStringList texts;
            for (QLabel *label : dialog.findChildren<QLabel *>())
                texts << label->text();
            EXPECT_TRUE(texts.contains(QStringLiteral("Would you like to make Corvane your default browser?")));
            EXPECT_EQ(dialog.dontAskAgainBox()->text(), QStringLiteral("Don't ask this again"));
            EXPECT_FALSE(dialog.dontAskAgainBox()->isChecked());
            dialog.dontAskAgainBox()->setChecked(true);
            // Enter answers with the default button: No.
            QTest::keyClick(&dialog, Qt::Key_Return);
        },
        &asked);
    app().runDefaultBrowserCheck();
    EXPECT_TRUE(asked);
    EXPECT_EQ(store()->biPassDefault(), 1);
    EXPECT_FALSE(QFile::exists(entryPath()));
}
