// What pages ask through the real engine, on loopback: logins, a
// self-signed certificate, the sites' permissions, a killed page, a PDF and
// printing to PDF.
#include "browser/BrowserWindow.h"
#include "browser/ErrorPage.h"
#include "browser/PaneSplitter.h"
#include "core/CommandIds.h"
#include "core/PageRequests.h"
#include "engine/DesktopNotifications.h"
#include "engine/EngineTest.h"
#include "engine/WebProfile.h"
#include "mainframe/InternetOptionsDialog.h"
#include "support/ModalDialog.h"
#include "ui/LoginDialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QLabel>
#include <QPdfWriter>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineNotification>
#include <QWebEngineView>
#include <QtWebEngineCore/qtwebenginecoreversion.h>

#include <csignal>
#include <iostream>

namespace {

// Cameras and microphones the engine makes up, so that a page's request for
// them reaches the permission question on a machine without any.
const bool kFakeMediaDevices = [] {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    flags += " --use-fake-device-for-media-stream";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    return true;
}();

QString text(QWebEnginePage *page)
{
    return evaluate(page, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

// A folder with a self-signed certificate for 127.0.0.1 (openssl).
class SelfSignedCertificate
{
public:
    SelfSignedCertificate()
    {
        QProcess openssl;
        openssl.setWorkingDirectory(m_dir.path());
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                       key(), QStringLiteral("-out"), certificate(), QStringLiteral("-days"),
                       QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                       QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
        m_ok = openssl.waitForFinished(30000) && openssl.exitCode() == 0;
    }
    bool isValid() const { return m_ok; }
    QString certificate() const { return m_dir.filePath(QStringLiteral("cert.pem")); }
    QString key() const { return m_dir.filePath(QStringLiteral("key.pem")); }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

class PageRequestsTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        setLoginDialogHook([this](QWidget *, const QString &, const QString &text,
                                  const QString &) -> std::optional<LoginAnswer> {
            askedLogins << text;
            return loginAnswer;
        });
        // Permission questions: Allow on 127.0.0.1, Deny on localhost.
        setMessageBoxHook([this](QWidget *, QMessageBox::Icon, const QString &title, const QString &text,
                                 QMessageBox::StandardButtons) {
            if (title != QLatin1String(corvane::kPermissionQuestionTitle))
                return QMessageBox::No;
            questions << text;
            return text.startsWith(QLatin1String("127.0.0.1")) ? QMessageBox::Yes : QMessageBox::No;
        });
    }
    void TearDown() override
    {
        setLoginDialogHook({});
        DesktopNotifications::setHook({});
        EngineTest::TearDown();
    }

    // The page's script's verdict, put in its title.
    QString verdictOf(const QString &url)
    {
        if (!load(url))
            return QStringLiteral("not loaded");
        const auto verdict = [&] { return control()->pageTitle().startsWith(QLatin1String("verdict:")); };
        // Some requests need the user's click on the page; a click before
        // the page takes input is lost, so it clicks until the page asks.
        QWidget *page = control()->view()->focusProxy();
        // The page has the focus of the active window, as a page the user
        // clicks into has (the mouse is locked for that page only).
        m_app->mainWindow()->activateWindow();
        waitUntil([&] { return QApplication::activeWindow() == m_app->mainWindow(); }, 2000);
        page->setFocus();
        waitUntil([&] { return page->hasFocus(); }, 2000);
        for (int i = 0; i < 20 && !verdict(); ++i) {
            QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(40, 40));
            waitUntil([&] {
                return verdict() || evaluate(control()->page(), QStringLiteral("window.asked === true")).toBool();
            }, 500);
            if (evaluate(control()->page(), QStringLiteral("window.asked === true")).toBool())
                break;
        }
        waitUntil(verdict, 15000);
        return verdict() ? control()->pageTitle().mid(8) : control()->pageTitle();
    }

    QStringList askedLogins;
    QStringList questions;
    std::optional<LoginAnswer> loginAnswer;
};

// A page that asks for the feature when clicked (and at once where no click
// is needed) and writes what it got into its title.
QByteArray permissionPage(const QByteArray &request)
{
    return "<html><head><title>asking</title></head>"
           "<body style='margin:0'><button id=b style='width:100%;height:300px'>ask</button><script>"
           "function done(v){ if (!document.title.startsWith('verdict:')) document.title='verdict:'+v; }"
           "function media(c){ navigator.mediaDevices.getUserMedia(c).then(function(s){"
           "  s.getTracks().forEach(function(t){t.stop();}); done('allowed'); },"
           "  function(e){ done(e.name === 'NotAllowedError' ? 'denied' : 'allowed'); }); }"
           "function ask(){ if (window.asked) return; window.asked = true; " + request + " }"
           "document.getElementById('b').onclick = ask;"
           "</script></body></html>";
}

TEST_F(PageRequestsTest, LoginAsksOnceAndTheRightOneLoadsThePage)
{
    const QByteArray right = "Basic " + QByteArray("ann:pw").toBase64();
    m_server.setHandler(QStringLiteral("/staff"), [&](const LoopbackServer::Request &request) {
        LoopbackServer::Response r;
        if (request.header("Authorization") == right) {
            r.body = "<html><head><title>Staff room</title></head><body>welcome</body></html>";
            return r;
        }
        r.status = 401;
        r.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"Staff\"")));
        r.body = "<html><head><title>Refused</title></head><body>The server's own 401 page</body></html>";
        return r;
    });
    const QString url = m_server.url(QStringLiteral("/staff"));

    loginAnswer = LoginAnswer{QStringLiteral("ann"), QStringLiteral("pw")};
    ASSERT_TRUE(load(url));
    EXPECT_TRUE(waitUntil([&] { return control()->pageTitle() == QStringLiteral("Staff room"); }));
    ASSERT_EQ(askedLogins.size(), 1);
    EXPECT_TRUE(askedLogins[0].contains(QStringLiteral("127.0.0.1:%1").arg(m_server.port())));
    EXPECT_TRUE(askedLogins[0].contains(QStringLiteral("\"Staff\"")));
    for (const LoopbackServer::Request &request : m_server.requestLog()) {
        if (request.hasHeader("Authorization")) {
            EXPECT_EQ(request.header("Authorization"), right) << "nothing else is ever sent";
        }
    }
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("* Login given by user for URL: [%1] realm: [Staff] *").arg(url)));
}

TEST_F(PageRequestsTest, CancelledLoginShowsTheServersOwnPage)
{
    m_server.setHandler(QStringLiteral("/locked"), [](const LoopbackServer::Request &) {
        LoopbackServer::Response r;
        r.status = 401;
        r.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"Locked\"")));
        r.body = "<html><head><title>Refused</title></head><body>The server's own 401 page</body></html>";
        return r;
    });
    loginAnswer.reset();
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/locked"))));
    EXPECT_TRUE(waitUntil([&] { return text(control()->page()).contains(QStringLiteral("The server's own 401 page")); }));
    EXPECT_EQ(askedLogins.size(), 1);
    EXPECT_EQ(m_server.hitCount(QStringLiteral("/locked")), 1) << "no second request, empty or not";
    for (const LoopbackServer::Request &request : m_server.requestLog())
        EXPECT_FALSE(request.hasHeader("Authorization"));
}

TEST_F(PageRequestsTest, SelfSignedCertificateAsksAndGoOnLoadsItNotSecure)
{
    SelfSignedCertificate certificate;
    ASSERT_TRUE(certificate.isValid());
    LoopbackServer tls;
    ASSERT_TRUE(tls.enableTls(certificate.certificate(), certificate.key()));
    tls.setRoute(QStringLiteral("/"), "<html><head><title>Self-signed</title></head><body>made here</body></html>");
    const QString url = tls.url(QStringLiteral("/"));

    ASSERT_TRUE(load(url));
    ErrorPage *page = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (page = m_view->errorPage()) != nullptr; }));
    EXPECT_EQ(page->kind(), ErrorPage::Kind::CertificateError);
    EXPECT_TRUE(page->text().contains(QStringLiteral("127.0.0.1")));
    EXPECT_TRUE(page->text().contains(QStringLiteral("not issued by an authority")));
    EXPECT_EQ(page->goOnButton()->text(), QStringLiteral("Go on to 127.0.0.1 (unsafe)"));
    EXPECT_EQ(m_app->mainWindow()->security(), corvane::PageSecurity::CertificateError);
    EXPECT_EQ(tls.hitCount(QStringLiteral("/")), 0) << "nothing was sent to the site";

    page->goOnButton()->click();
    EXPECT_TRUE(waitUntil([&] { return control()->pageTitle() == QStringLiteral("Self-signed"); }));
    EXPECT_EQ(m_view->errorPage(), nullptr);
    EXPECT_EQ(m_app->mainWindow()->security(), corvane::PageSecurity::CertificateError);
    EXPECT_FALSE(m_app->mainWindow()->statusPaneTexts().contains(QStringLiteral("S")));
    EXPECT_TRUE(logLines().contains(QStringLiteral("* Certificate error accepted by user for URL: [%1] *").arg(url)));

    const QStringList shown = propertiesTexts();
    EXPECT_TRUE(shown.contains(QStringLiteral("Not secure (certificate error)")));
    EXPECT_FALSE(shown.contains(QStringLiteral("Secure (HTTPS)")));
}

TEST_F(PageRequestsTest, EachPermissionAsksOnceAndTheAnswerReachesThePage)
{
    struct Feature
    {
        const char *name;
        QByteArray request;
    };
    const Feature features[] = {
        {"geolocation", "navigator.geolocation.getCurrentPosition(function(){done('allowed');},"
                        "function(e){done(e.code === 1 ? 'denied' : 'allowed');}, {timeout: 2000});"},
        {"notifications", "Notification.requestPermission().then(function(r){"
                          "done(r === 'granted' ? 'allowed' : 'denied');});"},
        {"camera", "media({video:true});"},
        {"microphone", "media({audio:true});"},
        {"camera-microphone", "media({audio:true, video:true});"},
#if QTWEBENGINECORE_VERSION >= QT_VERSION_CHECK(6, 7, 0)
        {"screen-sharing", "navigator.mediaDevices.getDisplayMedia({video:true}).then(function(s){"
                           "s.getTracks().forEach(function(t){t.stop();}); done('allowed');},"
                           "function(e){done(e.name === 'NotAllowedError' ? 'denied' : 'allowed');});"},
#else
        // This engine shares the screen through the older form only
        // (getDisplayMedia it refuses without asking).
        {"screen-sharing", "media({video: {mandatory: {chromeMediaSource: 'desktop'}}});"},
#endif
        {"mouse-lock", "document.addEventListener('pointerlockchange', function(){"
                       "if (document.pointerLockElement) { done('allowed'); document.exitPointerLock(); }});"
                       "document.addEventListener('pointerlockerror', function(){done('denied');});"
                       "document.body.requestPointerLock();"},
    };
    for (const Feature &f : features) {
        SCOPED_TRACE(f.name);
        // Without a window system (offscreen) the engine locks no pointer
        // and asks nothing; under X it does.
        if (QLatin1String(f.name) == QLatin1String("mouse-lock")
            && QGuiApplication::platformName() == QLatin1String("offscreen")) {
            std::cerr << "mouse-lock: needs a display, not run offscreen\n";
            continue;
        }
        const QString path = QStringLiteral("/ask-%1").arg(QLatin1String(f.name));
        m_server.setRoute(path, permissionPage(f.request));
        const QString allowedAt = m_server.url(path);
        QString deniedAt = allowedAt;
        deniedAt.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));

        questions.clear();
        EXPECT_EQ(verdictOf(allowedAt), QStringLiteral("allowed"));
        EXPECT_EQ(questions.size(), 1);
        EXPECT_EQ(verdictOf(deniedAt), QStringLiteral("denied"));
        EXPECT_EQ(questions.size(), 2);
        ASSERT_EQ(questions.size(), 2);
        EXPECT_TRUE(questions[1].startsWith(QStringLiteral("localhost:%1 ").arg(m_server.port())));
        // Asked again by the same sites: nothing is asked.
        EXPECT_EQ(verdictOf(allowedAt), QStringLiteral("allowed"));
        EXPECT_EQ(verdictOf(deniedAt), QStringLiteral("denied"));
        EXPECT_EQ(questions.size(), 2);
        const QString site = QStringLiteral("http://127.0.0.1:%1").arg(m_server.port());
        EXPECT_TRUE(logLines().contains(
            QStringLiteral("* Permission %1 allowed by user for site: [%2] *").arg(QLatin1String(f.name), site)));
    }
}

TEST_F(PageRequestsTest, NotificationsOfAnAllowedSiteGoToTheDesktop)
{
    QStringList shown;
    DesktopNotifications::setHook([&](const QWebEngineNotification &n) { shown << n.title() + '|' + n.message(); });
    m_server.setRoute(QStringLiteral("/notify"),
                      permissionPage("Notification.requestPermission().then(function(r){"
                                     "if (r === 'granted') new Notification('Hello', {body: 'from the page'});"
                                     "done(r === 'granted' ? 'allowed' : 'denied');});"));
    EXPECT_EQ(verdictOf(m_server.url(QStringLiteral("/notify"))), QStringLiteral("allowed"));
    EXPECT_TRUE(waitUntil([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(shown, QStringList{QStringLiteral("Hello|from the page")});

    // Cleared in Internet Options: the site asks again.
    onNextModal<InternetOptionsDialog>([](InternetOptionsDialog &dialog) {
        ASSERT_TRUE(dialog.clearSitePermissionsButton()->isEnabled());
        dialog.clearSitePermissionsButton()->click();
        dialog.accept();
    });
    m_app->mainWindow()->runCommand(corvane::cmd::InternetOptions);
    EXPECT_TRUE(m_app->settings().loadSitePermissions().empty());
    const qsizetype asked = questions.size();
    EXPECT_EQ(verdictOf(m_server.url(QStringLiteral("/notify"))), QStringLiteral("allowed"));
    EXPECT_EQ(questions.size(), asked + 1);
}

TEST_F(PageRequestsTest, KilledPageShowsOurPageTheOtherPanesGoOnAndReloadBringsItBack)
{
    m_server.setRoute(QStringLiteral("/victim"), "<html><head><title>Victim</title></head><body>v</body></html>");
    const QString url = m_server.url(QStringLiteral("/victim"));
    ASSERT_TRUE(load(url));
    BrowserWindow *window = m_view->browserWindow();
    window->splitter()->splitColumn(window->splitter()->width() / 2);
    ASSERT_EQ(window->splitter()->views().size(), 2);
    BrowserView *other = window->splitter()->views().at(1) == m_view ? window->splitter()->views().at(0)
                                                                     : window->splitter()->views().at(1);
    auto *otherControl = qobject_cast<WebEngineControl *>(other->control());
    ASSERT_TRUE(waitUntil([&] { return !other->navigating() && !otherControl->pageUrl().isEmpty(); }));

    const qint64 pid = control()->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ASSERT_NE(pid, otherControl->page()->renderProcessPid()) << "a site of its own";
    ::kill(pid_t(pid), SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return m_view->errorPage() != nullptr; }));
    EXPECT_EQ(m_view->errorPage()->title(), QStringLiteral("The page stopped working"));
    EXPECT_TRUE(waitUntil([&] {
        return logLines().join('\n').contains(QStringLiteral("* The page stopped working for URL: [%1] -- ").arg(url));
    }));
    EXPECT_EQ(evaluate(otherControl->page(), QStringLiteral("1 + 1")).toInt(), 2) << "the other pane goes on";

    m_view->errorPage()->reloadButton()->click();
    EXPECT_TRUE(waitUntil([&] { return m_view->errorPage() == nullptr && control()->pageTitle() == QStringLiteral("Victim")
                                       && !m_view->navigating(); }));
    EXPECT_EQ(evaluate(control()->page(), QStringLiteral("document.title")).toString(), QStringLiteral("Victim"));
}

TEST_F(PageRequestsTest, PdfLinkShowsInThePage)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        painter.drawText(QPointF(200, 200), QStringLiteral("A document of words"));
    }
    m_server.setRoute(QStringLiteral("/doc.pdf"), pdf, "application/pdf");
    m_server.setRoute(QStringLiteral("/links"), "<html><head><title>Links</title></head>"
                                                "<body><a id=a href='/doc.pdf'>the document</a></body></html>");
    int downloads = 0;
    WebProfile::instance()->setSavePathChooser([&](const QString &) {
        ++downloads;
        return QString();
    });
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/links"))));
    evaluate(control()->page(), QStringLiteral("document.getElementById('a').click()"));
    EXPECT_TRUE(waitUntil([&] { return control()->pageUrl() == m_server.url(QStringLiteral("/doc.pdf")) && !m_view->navigating(); }));
    EXPECT_TRUE(waitUntil([&] {
        return evaluate(control()->page(), QStringLiteral("document.querySelector('embed') ? document.querySelector('embed').type : ''"))
                   .toString() == QStringLiteral("application/pdf");
    }));
    EXPECT_EQ(downloads, 0) << "shown, not downloaded";
    WebProfile::instance()->setSavePathChooser({});
}

TEST_F(PageRequestsTest, PrintToPdfWritesTheTextOfThePage)
{
    m_server.setRoute(QStringLiteral("/words"), "<html><head><title>Words</title></head>"
                                                "<body><p>Corvane prints these words</p></body></html>");
    ASSERT_TRUE(load(m_server.url(QStringLiteral("/words"))));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    std::optional<bool> written;
    control()->printToPdf(path, [&](bool ok) { written = ok; });
    ASSERT_TRUE(waitUntil([&] { return written.has_value(); }, 20000));
    EXPECT_TRUE(*written);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    EXPECT_TRUE(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains(QStringLiteral("Corvane prints these words")));
    EXPECT_LT(QFileInfo(path).size(), 200 * 1024) << "text, not a picture of the page";

    // Print, to a PDF file chosen in the print dialog: the same road.
    const QString chosen = dir.filePath(QStringLiteral("chosen.pdf"));
    bool dialogShown = false;
    onNextModal<QPrintDialog>([&](QPrintDialog &dialog) {
        dialogShown = true;
        if (auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"))) {
            for (int i = 0; i < printers->count(); ++i)
                if (printers->itemText(i).contains(QStringLiteral("PDF")))
                    printers->setCurrentIndex(i);
        }
        auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename"));
        ASSERT_NE(file, nullptr);
        file->setText(chosen);
        dialog.accept();
    });
    m_app->mainWindow()->runCommand(corvane::cmd::Print);
    ASSERT_TRUE(dialogShown);
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(chosen).size() > 0 && !m_view->navigating()
                                       && m_app->mainWindow()->statusPaneTexts().at(0).startsWith(QStringLiteral("Printed to")); }, 20000));
    pdftotext.start(QStringLiteral("pdftotext"), {chosen, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    EXPECT_TRUE(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains(QStringLiteral("Corvane prints these words")));
}

} // namespace
