// Leaks and load with the real engine, on pages of a loopback server, in a
// temporary home:
//
//   1. WINDOWS browser windows (default 200) opened and closed one after
//      another: the memory of Corvane and its engine processes (PSS, so
//      shared pages count once) after the first window and after the last
//      one, and the widgets left over (none may be).
//   2. Ten windows open: the CPU all the processes take, idle, over
//      IDLE_SECONDS (default 20).
//   3. OPEN windows (default 50) open at once: a window switch through the
//      tab bar (a click on a tab until the window is active and the events
//      it caused, painting included, are handled), every tab once, and the
//      idle CPU again.
//
//   corvane_window_load [WINDOWS [OPEN [IDLE_SECONDS]]]
//
// It prints the figures and exits with 1 when a window was left behind or a
// page did not load. scripts/window-load runs it under a virtual X server.
#include "app/Application.h"
#include "app/DefaultBrowserDialog.h"
#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"
#include "browser/BrowserWindow.h"
#include "engine/OwnPages.h"
#include "mainframe/MainWindow.h"
#include "mainframe/WindowTabBar.h"
#include "support/LoopbackServer.h"
#include "support/TempHome.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include <unistd.h>

namespace {

template<typename Predicate>
bool waitUntil(Predicate condition, int timeoutMs = 30000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.hasExpired(timeoutMs))
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// This process and every process below it (the engine's).
std::vector<int> processTree()
{
    std::map<int, int> parentOf;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (!ok)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parentOf[pid] = fields.at(1).toInt();
    }
    std::vector<int> tree{int(::getpid())};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        for (const auto &[pid, parent] : parentOf) {
            if (parent == tree[i])
                tree.push_back(pid);
        }
    }
    return tree;
}

// Proportional set size of the whole tree, in KiB.
long long treePssKib()
{
    long long total = 0;
    for (int pid : processTree()) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                total += line.mid(4).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

// User and system clock ticks of the whole tree (live processes), or of
// this process alone.
long long treeTicks(bool selfOnly = false)
{
    long long total = 0;
    for (int pid : selfOnly ? std::vector<int>{int(::getpid())} : processTree()) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            total += fields.at(11).toLongLong() + fields.at(12).toLongLong();
    }
    return total;
}

// Percent of one core the tree takes while nothing happens, and the part
// of it that is Corvane's own process (the rest is the engine's).
struct Idle
{
    double total = 0;
    double own = 0;
};
Idle idleCpuPercent(int seconds)
{
    runFor(2000); // what the last page or click set going ends first
    const long long before = treeTicks();
    const long long ownBefore = treeTicks(true);
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    const double scale = 100.0 / double(::sysconf(_SC_CLK_TCK)) / (double(wall.elapsed()) / 1000.0);
    return {double(treeTicks() - before) * scale, double(treeTicks(true) - ownBefore) * scale};
}

int widgetsOf(const char *className)
{
    const QWidgetList all = QApplication::allWidgets();
    return int(std::count_if(all.begin(), all.end(), [className](QWidget *w) { return w->inherits(className); }));
}

struct Opener
{
    Application &app;
    LoopbackServer &server;
    int number = 0;

    // Opens a window on the next page and waits for it.
    BrowserWindow *open()
    {
        const QString title = QStringLiteral("Page %1").arg(++number);
        BrowserView *view = app.openDocumentFile(server.url(QStringLiteral("/page?%1").arg(number)));
        if (!view)
            return nullptr;
        QPointer<BrowserView> watched(view);
        if (!waitUntil([&] { return watched && watched->document()->title() == title && !watched->navigating(); }))
            return nullptr;
        return app.mainWindow()->activeBrowserWindow();
    }
};

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerOwnPageScheme();
    QApplication qapp(argc, argv);
    const QStringList args = qapp.arguments();
    const int cycles = args.value(1, QStringLiteral("200")).toInt();
    const int openCount = args.value(2, QStringLiteral("50")).toInt();
    const int idleSeconds = args.value(3, QStringLiteral("20")).toInt();

    TempHome home;
    LoopbackServer server;
    // A page of some weight: text, a table and a script that runs once.
    server.setRoute(QStringLiteral("/page"),
                    "<!doctype html><html><head><title>Page</title>"
                    "<script>document.title = 'Page ' + location.search.slice(1);</script></head><body>"
                    "<h1>A page</h1><p>" + QByteArray("Lorem ipsum dolor sit amet. ").repeated(200) + "</p>"
                    "<table>" + QByteArray("<tr><td>1</td><td>2</td><td>3</td></tr>").repeated(100) + "</table>"
                    "</body></html>");
    setMessageBoxHook([](QWidget *, QMessageBox::Icon, const QString &, const QString &,
                         QMessageBox::StandardButtons) { return QMessageBox::No; });
    DefaultBrowserDialog::setHook([](QWidget *) { return DefaultBrowserDialog::Answer{}; });

    Application::Options options;
    options.iniFile = home.filePath(QStringLiteral("bin/Corvane.ini"));
    options.userStoreFile = home.configHome() + QStringLiteral("/Tolvek/Corvane.reg");
    options.homeDir = home.home();
    options.runtimeDir = home.runtimeDir();
    options.listen = false;
    Application app(options);
    if (!app.start({QStringLiteral("nologo"), server.url(QStringLiteral("/page?0"))})) {
        std::fprintf(stderr, "Corvane did not start\n");
        return 1;
    }
    MainWindow *main = app.mainWindow();
    main->resize(1200, 900);
    // The start's own window goes, so that every count below starts at none.
    Opener opener{app, server};
    if (!waitUntil([&] { return main->activeBrowserWindow() && !main->activeView()->navigating(); })) {
        std::fprintf(stderr, "the first page did not load\n");
        return 1;
    }
    {
        QPointer<BrowserWindow> first = main->activeBrowserWindow();
        first->close();
        if (!waitUntil([&] { return first.isNull(); })) {
            std::fprintf(stderr, "the first window did not close\n");
            return 1;
        }
    }

    bool faults = false;
    // 1. One window after another.
    long long afterFirst = 0;
    int widgetsAfterFirst = 0;
    QElapsedTimer cycleTime;
    cycleTime.start();
    for (int i = 1; i <= cycles; ++i) {
        QPointer<BrowserWindow> window = opener.open();
        if (!window) {
            std::fprintf(stderr, "window %d did not load\n", i);
            return 1;
        }
        window->close();
        if (!waitUntil([&] { return window.isNull(); })) {
            std::fprintf(stderr, "window %d did not close\n", i);
            return 1;
        }
        if (i == 1 || i == cycles) {
            runFor(3000);
            const long long pss = treePssKib();
            const int widgets = QApplication::allWidgets().size();
            if (i == 1) {
                afterFirst = pss;
                widgetsAfterFirst = widgets;
            }
            std::printf("after window %3d: memory %7.1f MiB (PSS of %zu processes), %d widgets, %d browser windows\n",
                        i, double(pss) / 1024.0, processTree().size(), widgets, widgetsOf("BrowserWindow"));
        }
    }
    const long long afterLast = treePssKib();
    const int widgetsAfterLast = QApplication::allWidgets().size();
    std::printf("%d windows opened and closed in %.1f s; memory at the end %+.1f %% of after the first\n",
                cycles, double(cycleTime.elapsed()) / 1000.0,
                100.0 * double(afterLast - afterFirst) / double(afterFirst));
    if (widgetsAfterLast != widgetsAfterFirst || widgetsOf("BrowserWindow") != 0 || widgetsOf("BrowserView") != 0) {
        std::printf("FAULT: widgets left behind (%d after the first window, %d at the end)\n", widgetsAfterFirst,
                    widgetsAfterLast);
        faults = true;
    }

    // 2. and 3. Windows open at once.
    std::vector<QPointer<BrowserWindow>> open;
    for (int i = 1; i <= openCount; ++i) {
        open.emplace_back(opener.open());
        if (!open.back()) {
            std::fprintf(stderr, "window %d of %d did not load\n", i, openCount);
            return 1;
        }
        if (i == 10) {
            const Idle idle = idleCpuPercent(idleSeconds);
            std::printf("10 windows open: idle CPU %.2f %% of a core over %d s (Corvane's process %.2f %%), "
                        "memory %.1f MiB\n",
                        idle.total, idleSeconds, idle.own, double(treePssKib()) / 1024.0);
        }
    }
    std::printf("%d windows open: memory %.1f MiB, %zu processes\n", openCount, double(treePssKib()) / 1024.0,
                processTree().size());

    WindowTabBar *bar = main->tabBar();
    if (!bar || bar->count() != openCount) {
        std::printf("FAULT: the tab bar shows %d tabs for %d windows\n", bar ? bar->count() : -1, openCount);
        return 1;
    }
    std::vector<double> switches;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < bar->count(); ++i) {
            const int index = (i * 7 + round) % bar->count(); // not only the neighbour
            QMdiSubWindow *target = bar->tabWindow(index);
            // A tab scrolled out of the row is not there to click (its
            // rectangle is empty). The current window, rather than the
            // active one: without a window manager the main window may not
            // be the active window, and then no window is active.
            const QRect tab = bar->tabRect(index);
            if (main->mdiArea()->currentSubWindow() == target || tab.isEmpty() || !bar->rect().contains(tab.center()))
                continue;
            QElapsedTimer t;
            t.start();
            QTest::mouseClick(bar, Qt::LeftButton, {}, tab.center());
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            const bool active = main->mdiArea()->currentSubWindow() == target;
            switches.push_back(double(t.nsecsElapsed()) / 1e6);
            if (!active) {
                std::printf("FAULT: a click on tab %d did not activate its window\n", index);
                faults = true;
            }
        }
    }
    std::sort(switches.begin(), switches.end());
    std::printf("window switch through the tab bar (%zu switches): median %.1f ms, 90th %.1f ms, max %.1f ms\n",
                switches.size(), switches[switches.size() / 2], switches[switches.size() * 9 / 10], switches.back());
    const Idle idle = idleCpuPercent(idleSeconds);
    std::printf("%d windows open: idle CPU %.2f %% of a core over %d s (Corvane's process %.2f %%)\n", openCount,
                idle.total, idleSeconds, idle.own);

    main->closeWithoutQuestions();
    app.shutDown();
    return faults ? 1 : 0;
}
