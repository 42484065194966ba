#include "core/WorkspaceManagerModel.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

using Item = WorkspaceManagerModel::Item;
using Items = std::vector<Item>;

std::string record(const std::string &name, int startup, const std::string &windows = "none")
{
    Workspace ws;
    ws.name = name;
    ws.startup = startup;
    ws.windows = windows;
    return ws.text();
}

Workspace capture()
{
    Workspace ws;
    ws.name = "ignored";
    ws.startup = 1;
    ws.showCmd = 3;
    ws.windows = "CAPTURED";
    ws.empty = false;
    return ws;
}

WorkspaceManagerModel model(bool autoSave = false)
{
    return WorkspaceManagerModel({{"default", record("default", 0)},
                                  {"beta", record("beta", 1, "B")},
                                  {"Alpha", record("Alpha", 0, "A")},
                                  {"gamma", record("gamma", 0, "G")}},
                                 capture(), autoSave);
}

UserMessage stop(const std::string &text, const std::string &title)
{
    return {text, title, UserMessage::Icon::Stop};
}

} // namespace

TEST(WorkspaceManager, ListsTheStoredWorkspacesWithoutDefault)
{
    const WorkspaceManagerModel m = model();
    EXPECT_EQ(m.items(), (Items{{"Alpha", false}, {"beta", true}, {"gamma", false}}));
    EXPECT_FALSE(m.workspaces().count("default"));
    EXPECT_EQ(m.selection(), -1);

    // OK without touching anything: "default" leaves storage, nothing loads.
    const auto result = m.ok();
    EXPECT_EQ(result.workspaces.size(), 3u);
    EXPECT_FALSE(result.toLoad);
}

TEST(WorkspaceManager, CheckRules)
{
    WorkspaceManagerModel m = model();

    // Choosing a workspace does not touch the checks; a check click is not
    // a choice: it clears the selection.
    m.select(0);
    EXPECT_EQ(m.selection(), 0);
    m.setChecked(2, true);
    EXPECT_EQ(m.selection(), -1);
    EXPECT_EQ(m.items(), (Items{{"Alpha", false}, {"beta", false}, {"gamma", true}})) << "at most one";

    // AutoSave on clears every check; a check turns AutoSave off.
    m.select(1);
    m.setAutoSave(true);
    EXPECT_TRUE(m.autoSave());
    EXPECT_EQ(m.selection(), -1);
    EXPECT_EQ(m.items(), (Items{{"Alpha", false}, {"beta", false}, {"gamma", false}}));
    m.setChecked(0, true);
    EXPECT_FALSE(m.autoSave());
    m.setChecked(0, false);
    EXPECT_EQ(m.items(), (Items{{"Alpha", false}, {"beta", false}, {"gamma", false}}));

    // OK writes the start-up flags from the checks and loads the choice.
    m.setChecked(1, true);
    m.select(2);
    const auto result = m.ok();
    EXPECT_EQ(Workspace::parse(result.workspaces.at("beta")).startup, 1);
    EXPECT_EQ(Workspace::parse(result.workspaces.at("gamma")).startup, 0);
    ASSERT_TRUE(result.toLoad);
    EXPECT_EQ(result.toLoad->name, "gamma");
    EXPECT_EQ(result.toLoad->windows, "G");
    EXPECT_FALSE(result.toLoad->empty);
    EXPECT_FALSE(result.autoSave);
}

TEST(WorkspaceManager, AddChecksTheName)
{
    WorkspaceManagerModel m = model();
    for (const std::string name : {" lead", "\xB7x", "two\nlines"})
        EXPECT_EQ(m.add(name), stop("Invalid name entered for workspace.", "Add error")) << name;
    for (const std::string name : {"default", "DeFaulT"})
        EXPECT_EQ(m.add(name), stop("Attempted to use an internal reserved word.", "Add error"));
    EXPECT_EQ(m.add(""), std::nullopt);
    EXPECT_EQ(m.workspaces().size(), 3u);

    // The captured state under the new name, not loaded at start-up.
    EXPECT_EQ(m.add("trail "), std::nullopt);
    const Workspace added = Workspace::parse(m.workspaces().at("trail "));
    EXPECT_EQ(added.name, "trail ");
    EXPECT_EQ(added.startup, 0);
    EXPECT_EQ(added.windows, "CAPTURED");
    EXPECT_EQ(added.showCmd, 3);

    // Add over an existing name replaces it without asking; its check stays.
    EXPECT_EQ(m.add("beta"), std::nullopt);
    EXPECT_EQ(Workspace::parse(m.workspaces().at("beta")).windows, "CAPTURED");
    EXPECT_EQ(m.items(), (Items{{"Alpha", false}, {"beta", true}, {"gamma", false}, {"trail ", false}}));
}

TEST(WorkspaceManager, RemoveReplaceReset)
{
    WorkspaceManagerModel m = model();
    m.remove();
    m.replace();
    EXPECT_EQ(m.workspaces().size(), 3u) << "nothing happens without a selection";

    m.select(1);
    m.replace();
    EXPECT_EQ(Workspace::parse(m.workspaces().at("beta")).windows, "CAPTURED");
    EXPECT_EQ(m.items()[1], (Item{"beta", true})) << "the start-up mark comes back";
    EXPECT_EQ(m.selection(), -1);

    m.select(0);
    m.remove();
    EXPECT_EQ(m.items(), (Items{{"beta", true}, {"gamma", false}}));

    m.reset();
    EXPECT_TRUE(m.items().empty());
    EXPECT_TRUE(m.ok().workspaces.empty());
}

TEST(WorkspaceManager, Rename)
{
    WorkspaceManagerModel m = model();
    const UserMessage alert{"Please click on a selection to change its name.", "Rename alert",
                            UserMessage::Icon::Information};
    EXPECT_EQ(m.renameRefusal(), alert);
    EXPECT_EQ(m.rename("x"), alert);

    m.select(1);
    EXPECT_EQ(m.renameRefusal(), std::nullopt);
    EXPECT_EQ(m.selectedName(), "beta");
    EXPECT_EQ(m.rename("beta"), stop("Workspace already exists, choose another name.", "Rename error"));
    EXPECT_EQ(m.rename("gamma"), stop("Workspace already exists, choose another name.", "Rename error"));
    EXPECT_EQ(m.rename("Default"), stop("Attempted to use an internal reserved word.", "Rename error"));
    EXPECT_EQ(m.rename(" b"), stop("Invalid name entered for workspace.", "Rename error"));
    EXPECT_EQ(m.rename(""), std::nullopt);
    EXPECT_EQ(m.selectedName(), "beta");

    // The record is renamed inside too, and keeps its start-up mark.
    EXPECT_EQ(m.rename("Zeta"), std::nullopt);
    EXPECT_EQ(m.items(), (Items{{"Alpha", false}, {"gamma", false}, {"Zeta", true}}));
    const Workspace renamed = Workspace::parse(m.workspaces().at("Zeta"));
    EXPECT_EQ(renamed.name, "Zeta");
    EXPECT_EQ(renamed.windows, "B");
    EXPECT_EQ(renamed.startup, 1);
}
