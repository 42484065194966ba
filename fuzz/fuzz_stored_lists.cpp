// Stored lists and records as the settings store loads them: the input is
// the whole store file (the per-user store, or "Corvane.ini" in INI mode when
// the first byte is odd). Every list loads without a fault, and a list stored
// back loads as it was; the placements read from the same file stay within
// reach whatever numbers it holds. Both files are held in memory.

#include "FuzzScratch.h"
#include "core/SectionedFile.h"
#include "core/SettingsStore.h"
#include "core/Workspace.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool iniMode = (data[0] & 1) != 0;
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);

    // Outside INI mode the INI file already holds what a start leaves there,
    // so that opening the store writes nothing.
    std::string ini = iniMode ? "[Settings]\r\nEnableIniFile=1\r\n" + bytes
                              : "[Settings]\r\nEnableIniFile=0\r\nCDSupport=0\r\n";
    SettingsStore store(MemoryFile{std::move(ini)}, MemoryFile{iniMode ? std::string() : bytes}, "/home/fuzz");
    store.setCdRootResolver([] { return std::string("/media/cd"); });
    store.openBackingStore();
    check(store.usingIniFile() == iniMode);

    const auto history = store.loadAddressHistory();
    const auto links = store.loadLinks();
    const auto filter = store.loadFilter();
    const auto sallyport = store.loadSallyport();
    const auto workspaces = store.loadWorkspaces();
    const auto permissions = store.loadSitePermissions();

    // What the file says about placements: the main window comes back on
    // the work area, at most its size.
    const Rect workArea{0, 0, 1280, 1024};
    const SettingsStore::MainPlacement placed =
        store.restoreMainPlacement({Rect{10, 10, 500, 400}, 1}, workArea);
    if (placed.rect != Rect{10, 10, 500, 400}) {
        check(placed.rect.left >= workArea.left && placed.rect.top >= workArea.top);
        check(placed.rect.left < workArea.right && placed.rect.top < workArea.bottom);
        check(placed.rect.right <= INT_MAX && placed.rect.right >= placed.rect.left);
    }
    (void)store.restoreDialogPlacement("Links");
    (void)store.viewRgb();
    (void)store.homeUrl();
    (void)store.logFile();

    if (!fuzz::writesToo(size))
        return 0;

    // Stored back, each list loads as it was. An INI line holds no line
    // break: there a value's lone CR comes back as a space, so the first
    // store settles such a list and a second round changes nothing.
    const auto roundTrip = [&](const auto &loaded, auto store, auto load) {
        store(loaded);
        const auto back = load();
        if (!iniMode) {
            check(back == loaded);
            return;
        }
        store(back);
        check(load() == back);
    };
    store.storeAddressHistory(history);
    const std::vector<std::string> kept(history.begin(), history.begin() + std::min<std::ptrdiff_t>(history.size(), 40));
    if (!iniMode)
        check(store.loadAddressHistory() == kept);
    roundTrip(store.loadAddressHistory(), [&](const auto &v) { store.storeAddressHistory(v); },
              [&] { return store.loadAddressHistory(); });
    roundTrip(filter, [&](const auto &v) { store.storeFilter(v); }, [&] { return store.loadFilter(); });
    roundTrip(sallyport, [&](const auto &v) { store.storeSallyport(v); }, [&] { return store.loadSallyport(); });
    roundTrip(links, [&](const auto &v) { store.storeLinks(v); }, [&] { return store.loadLinks(); });
    roundTrip(permissions.entries(), [&](const auto &v) {
        corvane::SitePermissionList list;
        for (const corvane::SitePermission &p : v)
            list.remember(p.site, p.feature, p.allowed);
        store.storeSitePermissions(list);
    }, [&] { return store.loadSitePermissions().entries(); });

    // Workspaces are named by their records; a record without a name is
    // known by its place, which moves when the names sort otherwise. So the
    // first store settles what the records hold, and a second round keeps
    // every named record and every text.
    const auto contents = [](const auto &map) {
        std::vector<std::pair<std::string, std::string>> held;
        for (const auto &[name, text] : map) {
            const bool named = corvane::workspaceNameEnd(text) == name.size() && text.compare(0, name.size(), name) == 0;
            held.emplace_back(named ? name : std::string(), text);
        }
        std::sort(held.begin(), held.end());
        return held;
    };
    store.storeWorkspaces(workspaces);
    const auto settled = store.loadWorkspaces();
    check(settled.size() <= workspaces.size());
    store.storeWorkspaces(settled);
    check(contents(store.loadWorkspaces()) == contents(settled));
    return 0;
}
