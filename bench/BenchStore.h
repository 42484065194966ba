#pragma once

// What the settings benchmarks share: a full store in a temp folder.

#include "core/SettingsStore.h"
#include "core/Workspace.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

// A store in a fresh temp folder, filled like a used installation: all
// scalar settings, 40 history addresses, 50 links, a filter and a sallyport
// of 20 words each, and ten workspaces of ten windows.
class BenchStore
{
public:
    explicit BenchStore(bool iniMode)
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvane-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_dir = pattern;
        if (iniMode)
            std::ofstream(m_dir + "/Corvane.ini", std::ios::binary) << "[Settings]\r\nEnableIniFile=1\r\n";
        store = std::make_unique<SettingsStore>(
            SettingsStore::Locations{m_dir + "/Corvane.ini", m_dir + "/user.store", m_dir});
        store->openBackingStore();

        store->setHomeUrl("http://www.example.org/start.html");
        store->setLogging(1);
        store->setViewRgb(makeRgb(12, 34, 56));
        store->setPassword("secret");
        store->setSearchUrl("http://search.example.org/?q=");
        store->setMailServer("mailto:someone@example.org");
        store->saveMainPlacement(false, Rect{88, 88, 952, 697});
        std::vector<std::string> history;
        for (int i = 0; i < 40; ++i)
            history.push_back("http://site" + std::to_string(i) + ".example.org/page.html");
        store->storeAddressHistory(history);
        SettingsStore::LinkMap links;
        for (int i = 0; i < 50; ++i)
            links["Link name " + std::to_string(i)] = "http://link" + std::to_string(i) + ".example.org/";
        store->storeLinks(links);
        std::vector<std::string> words;
        for (int i = 0; i < 20; ++i)
            words.push_back("word" + std::to_string(i) + ".example.org");
        store->storeFilter(words);
        store->storeSallyport(words);
        SettingsStore::WorkspaceMap workspaces;
        for (int i = 0; i < 10; ++i) {
            const std::string name = i == 0 ? std::string("default") : "Workspace " + std::to_string(i);
            workspaces[name] = tenWindowWorkspace(name, i);
        }
        store->storeWorkspaces(workspaces);
        store->setAutoSave(1);
    }

    // Ten windows with addresses of a usual length, one of them split in
    // four panes: what a start-up restore reads and an exit stores.
    static std::string tenWindowWorkspace(const std::string &name, int variant = 0)
    {
        std::vector<std::string> entries;
        for (int i = 0; i < 10; ++i) {
            corvane::WorkspaceWindow w;
            w.url = "https://www.example.org/section/page-" + std::to_string(i) + ".html?session="
                    + std::to_string(1234567890 + variant);
            w.scrollTop = 100 * i;
            if (i == 3) {
                w.rowSplit = 240;
                w.colSplit = 380;
                for (int p = 0; p < 4; ++p) {
                    corvane::WorkspacePane pane;
                    pane.url = w.url + "#pane" + std::to_string(p);
                    w.panes.push_back(pane);
                }
            }
            entries.push_back(w.entryText());
        }
        corvane::Workspace ws;
        ws.name = name;
        ws.setWindows(entries);
        return ws.text();
    }
    // What an exit stores, as the main window stores it: the address
    // history, the main window's placement, the script-debugger switch, the
    // "default" workspace of ten windows and the bars. Every exit differs
    // from the one before (the history's order, the placement, the
    // workspace), so each one rewrites the file.
    static void exitSaves(SettingsStore &s, std::vector<std::string> &history, int exitNumber)
    {
        std::rotate(history.begin(), history.begin() + 1, history.end());
        if (s.saveAddressHistory())
            s.storeAddressHistory(history);
        if (s.savePosition())
            s.saveMainPlacement(false, Rect{88 + exitNumber % 50, 88, 952, 697});
        s.setScriptDebuggerSwitch(s.previousDebuggerValue());
        s.setPreviousDebuggerValue(std::string());
        s.setOverrideScriptDebugging(1);
        SettingsStore::WorkspaceMap workspaces = s.loadWorkspaces();
        workspaces["default"] = tenWindowWorkspace("default", exitNumber);
        s.storeWorkspaces(workspaces);
        s.setHideToolBar(0);
        s.setHideStatusBar(0);
        s.setVersion(kCorvaneVersion);
        s.setOffline(0);
        s.setHideTabs(0);
        s.setShowAddressBar(1);
    }

    ~BenchStore()
    {
        store.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    std::unique_ptr<SettingsStore> store;

private:
    std::string m_dir;
};
