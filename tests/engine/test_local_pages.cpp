// A page opened from a file, with the real engine: its own pictures, style
// sheets and scripts show; no road lets its scripts read another file (a
// sibling, /etc/hostname, the settings file), and nothing it does reaches
// the loopback server.
#include "browser/BrowserWindow.h"
#include "engine/EngineTest.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// A 1 x 1 PNG.
const unsigned char kPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4,
    0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
    0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF, 0x89, 0x99, 0x3D, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45,
    0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

class LocalPagesTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        static int n = 0;
        m_folder = engineHome().filePath(QStringLiteral("local-%1").arg(++n));
        QDir().mkpath(m_folder + QStringLiteral("/page_files"));
        write(QStringLiteral("pic.png"), QByteArray(reinterpret_cast<const char *>(kPng), sizeof kPng));
        write(QStringLiteral("page_files/pic.png"), QByteArray(reinterpret_cast<const char *>(kPng), sizeof kPng));
        write(QStringLiteral("page_files/style.css"), "body { color: rgb(1, 2, 3); }");
        write(QStringLiteral("page_files/menu.js"), "window.menuLoaded = true;");
        write(QStringLiteral("secret.txt"), "siblingsecret");
        // The settings file holds something by now (the fixture logs).
        ASSERT_TRUE(QFile::exists(settingsFile()));
    }

    QString settingsFile() const { return engineHome().configHome() + QStringLiteral("/Tolvek/Corvane.reg"); }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_folder + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Opens the page and waits for the results it puts in its title.
    QJsonObject run(const QByteArray &html)
    {
        write(QStringLiteral("page.html"), html);
        m_view->navigate(QUrl::fromLocalFile(m_folder + QStringLiteral("/page.html")).toString());
        // The page's whole title (the window's is cut).
        const auto title = [this] { return m_view->control()->pageTitle(); };
        const bool done = waitUntil([&] { return title().startsWith(QLatin1Char('{')); }, 20000);
        EXPECT_TRUE(done) << title().toStdString();
        return QJsonDocument::fromJson(title().toUtf8()).object();
    }

    // Everything the page sent before has reached the server once a page
    // the user opens afterwards has.
    void settle()
    {
        m_server.setRoute(QStringLiteral("/after"), "<html><title>after</title></html>");
        ASSERT_TRUE(load(m_server.url(QStringLiteral("/after"))));
    }

    QString m_folder;
};

// The page's probes: each road to a file, and what it gave.
QByteArray probePage(const QStringList &targets, const QString &loopback)
{
    QByteArray html = "<html><head><meta charset=utf-8>"
                      "<link rel=stylesheet href='page_files/style.css'>"
                      "<script src='page_files/menu.js'></script></head><body>"
                      "<img id=own src='pic.png'><img id=ownBelow src='page_files/pic.png'>"
                      "<script>var errors = []; window.onerror = function (m) { errors.push(String(m)); };"
                      "var r = {};"
                      "function road(kind, url, make) {"
                      "  return new Promise(function (done) {"
                      "    var e = make(url); var settled = false;"
                      "    function finish(v) { if (!settled) { settled = true; r[kind + ' ' + url] = v; done(); } }"
                      "    e.onload = function () { var read = 'loaded';"
                      "      try { var d = e.contentDocument; if (d && d.body) read = 'read:' + d.body.innerText; } catch (x) {}"
                      "      try { if (e.sheet) read = 'read:' + e.sheet.cssRules.length; } catch (x) {}"
                      "      finish(read); };"
                      "    e.onerror = function () { finish('refused'); };"
                      "    setTimeout(function () { finish(e.contentDocument ? 'read:' + e.contentDocument.body.innerText : 'nothing'); }, 3000);"
                      "    document.body.appendChild(e);"
                      "  });"
                      "}"
                      "function frame(u) { var e = document.createElement('iframe'); e.src = u; return e; }"
                      "function object(u) { var e = document.createElement('object'); e.data = u; return e; }"
                      "function script(u) { var e = document.createElement('script'); e.src = u; return e; }"
                      "function sheet(u) { var e = document.createElement('link'); e.rel = 'stylesheet'; e.href = u; return e; }"
                      "function fetched(u) { return fetch(u).then(function (x) { return x.text(); })"
                      "  .then(function (t) { r['fetch ' + u] = 'read:' + t; }, function () { r['fetch ' + u] = 'refused'; }); }"
                      "var targets = " + QJsonDocument::fromVariant(targets).toJson(QJsonDocument::Compact) + ";"
                      "window.addEventListener('load', function () {"
                      "  r.own = document.getElementById('own').naturalWidth + document.getElementById('ownBelow').naturalWidth;"
                      "  r.css = getComputedStyle(document.body).color; r.menu = !!window.menuLoaded;"
                      "  var all = [];"
                      "  targets.forEach(function (t) {"
                      "    all.push(road('frame', t, frame), road('object', t, object), road('script', t, script),"
                      "             road('sheet', t, sheet), fetched(t));"
                      "  });"
                      "  var lb = '" + loopback.toUtf8() + "';"
                      "  try { r.beacon = navigator.sendBeacon(lb + '/beacon', 'x'); } catch (x) { r.beacon = 'refused'; }"
                      "  new Image().src = lb + '/image?x';"
                      "  try { new WebSocket(lb.replace('http', 'ws') + '/socket'); } catch (x) {}"
                      "  var s = document.createElement('script'); s.src = lb + '/script'; document.body.appendChild(s);"
                      "  var p = document.createElement('link'); p.rel = 'prefetch'; p.href = lb + '/prefetch'; document.head.appendChild(p);"
                      "  var f = document.createElement('form'); f.method = 'post'; f.action = lb + '/form'; f.target = 'sink';"
                      "  var sink = document.createElement('iframe'); sink.name = 'sink'; document.body.appendChild(sink);"
                      "  document.body.appendChild(f); f.submit();"
                      "  all.push(fetch(lb + '/fetch').then(function () { r.loopbackFetch = 'sent'; }, function () { r.loopbackFetch = 'refused'; }));"
                      "  Promise.all(all).then(function () { r.errors = errors.join('|');"
                      "    document.title = JSON.stringify(r); });"
                      "});"
                      "</script></body></html>";
    return html;
}

} // namespace

TEST_F(LocalPagesTest, ItsOwnPartsShowAndNoRoadReadsAnotherFileOrReachesLoopback)
{
    const QString sibling = QUrl::fromLocalFile(m_folder + QStringLiteral("/secret.txt")).toString();
    const QStringList targets{QStringLiteral("secret.txt"), sibling,
                              QStringLiteral("file:///etc/hostname"), QUrl::fromLocalFile(settingsFile()).toString(),
                              QStringLiteral("./"), QUrl::fromLocalFile(engineHome().configHome() + QLatin1Char('/')).toString()};
    const QString loopback = m_server.url(QString());
    const QJsonObject r = run(probePage(targets, loopback));

    // Its own pictures, in its folder and the one below, its style sheet and
    // its script.
    EXPECT_EQ(r.value(QStringLiteral("own")).toInt(), 2);
    EXPECT_EQ(r.value(QStringLiteral("css")).toString(), QStringLiteral("rgb(1, 2, 3)"));
    EXPECT_TRUE(r.value(QStringLiteral("menu")).toBool());

    // Nothing read of any other file by any road.
    for (auto it = r.begin(); it != r.end(); ++it) {
        const QString value = it.value().toVariant().toString();
        EXPECT_FALSE(value.startsWith(QLatin1String("read:")) && value.size() > 5) << it.key().toStdString() << " = " << value.toStdString();
        EXPECT_FALSE(value.contains(QLatin1String("siblingsecret"))) << it.key().toStdString();
        EXPECT_FALSE(value.contains(QLatin1String("Software\\\\Tolvek"))) << it.key().toStdString();
    }
    EXPECT_EQ(r.value(QStringLiteral("loopbackFetch")).toString(), QStringLiteral("refused"));

    // Nothing reached the loopback server.
    settle();
    EXPECT_EQ(m_server.requests(), QStringList{QStringLiteral("/after")});
}

TEST_F(LocalPagesTest, AWindowItOpensAndTheOpenerCannotReadEachOthersFiles)
{
    // The page opens a blank window (the same origin as itself) and sends
    // it to a sibling file; then it goes there itself, leaving the window
    // a script that reads what its opener shows.
    const QJsonObject r = run(
        "<html><body><script>"
        "window.addEventListener('load', function () {"
        "  var w = window.open('', 'side');"
        "  var r = {};"
        "  if (!w) { document.title = JSON.stringify({opened: false}); return; }"
        "  try { w.location.href = 'secret.txt'; } catch (x) {}"
        "  setTimeout(function () {"
        "    try { r.popup = w.document.body ? w.document.body.innerText : ''; } catch (x) { r.popup = 'refused'; }"
        "    r.opened = true; document.title = JSON.stringify(r);"
        "  }, 1500);"
        "});"
        "</script></body></html>");
    EXPECT_FALSE(r.value(QStringLiteral("popup")).toString().contains(QLatin1String("siblingsecret")));

    // The opener itself may not go to a local file at its own bidding now:
    // the window it opened would read it.
    const QString secret = QUrl::fromLocalFile(m_folder + QStringLiteral("/secret.txt")).toString();
    const QString done = QStringLiteral("* Navigation complete to URL: [%1] *").arg(secret);
    evaluate(control()->page(), QStringLiteral("location.href = 'secret.txt'; true"));
    ASSERT_TRUE(waitUntil([&] { return logLines().contains(done); }));
    EXPECT_FALSE(evaluate(control()->page(), QStringLiteral("document.body ? document.body.innerText : ''"))
                     .toString()
                     .contains(QLatin1String("siblingsecret")));
    // What the user opens still shows.
    ASSERT_TRUE(load(secret));
    EXPECT_TRUE(waitUntil([&] {
        return evaluate(control()->page(), QStringLiteral("document.body ? document.body.innerText : ''"))
            .toString()
            .contains(QLatin1String("siblingsecret"));
    }));
}
