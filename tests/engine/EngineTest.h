#pragma once

// The fixture of the tests that run the real web engine: an application on a
// temporary home (one for the whole run, as the web profile is made once per
// process), logging into the home folder, message boxes answered No, and a
// loopback server for the pages.
#include "app/Application.h"
#include "app/DefaultBrowserDialog.h"
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "core/CommandIds.h"
#include "core/SettingsStore.h"
#include "engine/WebEngineControl.h"
#include "engine/WebProfile.h"
#include "mainframe/MainWindow.h"
#include "support/LoopbackServer.h"
#include "support/ModalDialog.h"
#include "support/TempHome.h"
#include "ui/MessageBox.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <memory>

// Waits for the condition while the event loop runs. (QTest::qWaitFor sleeps
// between its rounds, and the engine's own work on this thread crawls then.)
template<typename Predicate>
inline bool waitUntil(Predicate condition, int timeoutMs = 10000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || elapsed.hasExpired(timeoutMs))
            loop.quit();
    });
    while (!condition()) {
        if (elapsed.hasExpired(timeoutMs))
            return false;
        poll.start(5);
        loop.exec();
    }
    return true;
}

// The value of a script on the page, once the engine has answered.
inline QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    waitUntil([&] { return done; }, 5000);
    return result;
}

// One home for the whole run: the web profile is made once per process and
// keeps its folders.
inline TempHome &engineHome()
{
    static TempHome home;
    return home;
}

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engineHome().isValid());
        ASSERT_TRUE(m_server.isListening());
        setMessageBoxHook([](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                             QMessageBox::StandardButtons) { return QMessageBox::No; });
        // The first New asks to become the default browser: No.
        DefaultBrowserDialog::setHook([](QWidget *) { return DefaultBrowserDialog::Answer{}; });
        QDir(engineHome().home()).remove(QStringLiteral("nav.log"));
        Application::Options options;
        options.iniFile = engineHome().filePath(QStringLiteral("bin/Corvane.ini"));
        options.userStoreFile = engineHome().configHome() + QStringLiteral("/Tolvek/Corvane.reg");
        options.homeDir = engineHome().home();
        options.runtimeDir = engineHome().runtimeDir();
        options.listen = false;
        m_app = std::make_unique<Application>(options);
        ASSERT_TRUE(m_app->start({QStringLiteral("nologo")}));
        m_app->settings().setLogging(1);
        m_app->settings().setLogFile(logPath().toStdString());
        m_view = m_app->mainWindow()->activeView();
        ASSERT_NE(m_view, nullptr);
        // The first window shows our own start page.
        ASSERT_TRUE(waitUntil([this] {
            return m_view->document()->title() == QStringLiteral("Welcome to Corvane")
                   && !m_view->navigating();
        }));
    }

    void TearDown() override
    {
        // A test that emptied the cache lets its pages' restarts end here,
        // not in the next test.
        waitUntil([] { return !WebProfile::instance()->cacheSettling(); }, 5000);
        m_app->shutDown();
        m_app.reset();
        setMessageBoxHook({});
        DefaultBrowserDialog::setHook({});
    }

    QString logPath() const { return engineHome().logPath(); }
    QStringList logLines() const { return engineHome().logLines(); }

    // Navigates the view and waits for the page's completion in the log.
    bool load(const QString &url, int timeoutMs = 10000)
    {
        const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(url);
        const qsizetype before = logLines().count(done);
        m_view->navigate(url);
        return waitUntil([&] { return logLines().count(done) > before; }, timeoutMs);
    }

    // The texts File > Properties shows for the active page.
    QStringList propertiesTexts()
    {
        QStringList shown;
        onNextModal<QDialog>([&](QDialog &dialog) {
            for (const QLabel *label : dialog.findChildren<QLabel *>())
                shown << label->text();
            dialog.accept();
        });
        m_app->mainWindow()->runCommand(corvane::cmd::Properties);
        return shown;
    }

    // Serves body at path under the Cache-Control given; its address.
    QString serveWithCacheControl(const QString &path, const QByteArray &body, const QByteArray &cacheControl)
    {
        LoopbackServer::Response response;
        response.body = body;
        response.headers = {{"Cache-Control", cacheControl}};
        m_server.setResponse(path, response);
        return m_server.url(path);
    }

    // Loads url, then other and url again until url comes from the engine's
    // cache (the engine writes its entry in the background, so on a busy
    // machine the next load may still go out). History ends at url.
    bool loadUntilCached(const QString &url, const QString &other)
    {
        const QString path = QUrl(url).path();
        if (!load(url))
            return false;
        for (int round = 0; round < 5; ++round) {
            const int before = m_server.hitCount(path);
            if (!load(other) || !load(url))
                return false;
            if (m_server.hitCount(path) == before)
                return true;
            QTest::qWait(200);
        }
        return false;
    }

    // Until the engine's own requests for the pages loaded (their icons)
    // are over: no request reaches the server for a while.
    void waitForQuietServer()
    {
        for (qsizetype seen = -1; seen != m_server.requests().size();) {
            seen = m_server.requests().size();
            QTest::qWait(400);
        }
    }

    WebEngineControl *control() const { return qobject_cast<WebEngineControl *>(m_view->control()); }

    LoopbackServer m_server;
    std::unique_ptr<Application> m_app;
    BrowserView *m_view = nullptr;
};

