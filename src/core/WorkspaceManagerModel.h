#pragma once

#include "core/UserMessage.h"
#include "core/Workspace.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// The Workspace Manager's rules, without a window. It holds the stored
// workspaces (without "default", which is never listed), the state captured
// when the dialog opened, the list with a start-up check per workspace, the
// selection (the workspace to load now) and AutoSave.
//
// The checks: at most one workspace starts with the program, and none while
// AutoSave is on. A click on a check box is not a choice of the workspace to
// load: it clears the selection. Every change of the list keeps the checks
// each name had (the recorded states).
//
// Operations that can refuse hand back the message for the dialog to show;
// nothing changes then. Storage changes only through ok().
class WorkspaceManagerModel
{
public:
    struct Item
    {
        std::string name;
        bool checked = false;
        bool operator==(const Item &) const = default;
    };

    // stored: the stored list; capture: the state captured as the dialog
    // opened (its name and start-up flag do not matter).
    WorkspaceManagerModel(WorkspaceMap stored, Workspace capture, bool autoSave);

    // The list as shown: sorted by name, case ignored.
    const std::vector<Item> &items() const { return m_items; }
    const WorkspaceMap &workspaces() const { return m_workspaces; }
    int selection() const { return m_selection; } // -1: none
    bool autoSave() const { return m_autoSave; }

    // The user chose an item (to load it on OK); -1 clears the choice.
    void select(int index);
    // The user clicked an item's check box. Ticking one unticks the others
    // and switches AutoSave off; the selection is cleared either way.
    void setChecked(int index, bool checked);
    // The user clicked "Automatically save workspace on exit": the
    // selection is cleared; on, every check goes.
    void setAutoSave(bool on);

    // Add...: the captured state under a new name (replacing a workspace of
    // that name without asking). An empty name is ignored.
    std::optional<UserMessage> add(const std::string &name);
    // Remove, Replace (the captured state under the selected name): nothing
    // without a selection.
    void remove();
    void replace();
    void reset();
    // Rename: the message to show instead of asking for a name when nothing
    // is selected; then rename(newName) once the name is in (empty: ignored).
    std::optional<UserMessage> renameRefusal() const;
    std::string selectedName() const;
    std::optional<UserMessage> rename(const std::string &newName);

    // OK: the stored texts with each workspace's start-up flag set from its
    // check, AutoSave, and the selected workspace to load after the dialog
    // has closed. Cancel stores and loads nothing.
    struct Result
    {
        WorkspaceMap workspaces;
        bool autoSave = false;
        std::optional<Workspace> toLoad;
    };
    Result ok() const;

private:
    std::optional<UserMessage> checkName(const std::string &name, const char *title) const;
    void storeCapture(const std::string &name);
    void writeChecks();
    // Refills the list from the map; every name keeps the check it had, a
    // new one starts unchecked unless `fromStartup`, which takes the
    // workspace's own start-up flag for names not seen before.
    void refill(bool fromStartup = false);

    WorkspaceMap m_workspaces;
    Workspace m_capture;
    bool m_autoSave = false;
    std::vector<Item> m_items;
    int m_selection = -1;
};

} // namespace corvane
