// What the user waits for when the Favorites menu is built again (at
// start-up, after Add or Organize, when the folder changed): the folder read,
// the submenu's actions made, and the first menu's layout measured.

#include "core/NavigationLog.h"
#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Program
{
    QTemporaryDir root;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<NavigationLog> log;
    std::unique_ptr<MainWindow> window;

    QString favorites() const { return root.path() + QStringLiteral("/data/Tolvek/Corvane/Favorites"); }

    void shortcut(const QString &folder, int n)
    {
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/Site number %1.url").arg(n));
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("[DEFAULT]\r\nBASEURL=http://www.example.org/\r\n[InternetShortcut]\r\n"
                                  "URL=http://www.%1.example.org/index.html\r\nIconIndex=0\r\n")
                       .arg(n)
                       .toUtf8());
    }

    // tree: 10 folders of 10 folders of 10 shortcuts; else one folder of n.
    explicit Program(bool tree, int flatCount = 0)
    {
        qputenv("XDG_DATA_HOME", (root.path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_CACHE_HOME", (root.path() + QStringLiteral("/cache")).toUtf8());
        if (tree) {
            for (int a = 0; a < 10; ++a)
                for (int b = 0; b < 10; ++b)
                    for (int c = 0; c < 10; ++c)
                        shortcut(favorites() + QStringLiteral("/Folder %1/Topic %2").arg(a).arg(b), a * 100 + b * 10 + c);
        } else {
            for (int n = 0; n < flatCount; ++n)
                shortcut(favorites(), n);
        }
        settings = std::make_unique<SettingsStore>(SettingsStore::Locations{
            (root.path() + QStringLiteral("/Corvane.ini")).toStdString(),
            (root.path() + QStringLiteral("/config/Corvane.reg")).toStdString(), root.path().toStdString()});
        settings->openBackingStore();
        log = std::make_unique<NavigationLog>(*settings);
        window = std::make_unique<MainWindow>(*settings, *log);
        window->insertIEMenu();
    }

    void build()
    {
        window->buildFavoritesMenu();
        benchmark::DoNotOptimize(window->favoritesMenu()->sizeHint());
        // The previous submenu goes as it would in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

void BM_FavoritesMenuTree1000(benchmark::State &state)
{
    Program program(true);
    for (auto _ : state)
        program.build();
    state.counters["entries"] = double(program.window->favoriteAddresses().size());
}
BENCHMARK(BM_FavoritesMenuTree1000)->Unit(benchmark::kMillisecond);

void BM_FavoritesMenuOneFolderOf600(benchmark::State &state)
{
    Program program(false, 600);
    for (auto _ : state)
        program.build();
    state.counters["entries"] = double(program.window->favoriteAddresses().size());
}
BENCHMARK(BM_FavoritesMenuOneFolderOf600)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
