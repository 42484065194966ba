#include "core/SettingsStore.h"

#include "core/ProfileFile.h"
#include "core/SectionedFile.h"
#include "core/Separators.h"
#include "core/UserStore.h"
#include "core/Workspace.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::string kSep(kLinkSeparator);
const std::string kDot = "\xB7";

// Names in other scripts, chosen so that their UTF-8 carries B7 bytes:
// U+00B7 (C2 B7), U+3077 HIRAGANA PU (E3 81 B7), U+0437 (D0 B7).
const std::string kCyrillic = "\xD0\x97\xD0\xB0\xD0\xBA\xD0\xBB\xD0\xB0\xD0\xB4\xD0\xBA\xD0\xB8\xC2\xB7\xD0\xB7";
const std::string kCjk = "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xB7";

TEST(Separators, ByteSearchSkipsUtf8Characters)
{
    EXPECT_EQ(findLinkSeparator("name" + kSep + "addr"), 4u);
    EXPECT_EQ(findLinkSeparator(kSep + "addr"), 0u);
    EXPECT_EQ(findLinkSeparator("a\xC2\xB7|\xC2\xB7" "b"), std::string::npos) << "U+00B7 | U+00B7 is text";
    EXPECT_EQ(findLinkSeparator(kCjk + kSep + "x"), kCjk.size());
    EXPECT_EQ(findLinkSeparator("a" + kSep + "b" + kSep + "c", 2), 5u);
    EXPECT_EQ(findLinkSeparator("no separator"), std::string::npos);

    // Windows-1252 names: a final letter C3..DF looks like the lead of a
    // UTF-8 character whose tail is the separator's first byte.
    EXPECT_EQ(findLinkSeparator("M\xDC" + kSep + "x"), 2u);
    EXPECT_EQ(findLinkSeparator("caf\xE9" + kSep + "x"), 4u);
    EXPECT_EQ(findLinkSeparator("\xC2" + kSep + "x"), 1u) << "A circumflex";
    EXPECT_EQ(findLinkSeparator("5 \xE2\x80" + kSep + "x"), 4u) << "a-circumflex, euro sign";
    // ...but a real separator found the ordinary way wins.
    EXPECT_EQ(findLinkSeparator("x\xC7\xB7|" + kSep + "y"), 4u);

    EXPECT_EQ(corvane::workspaceNameEnd(kCyrillic + kDot + "rest"), kCyrillic.size());
    EXPECT_EQ(corvane::workspaceNameEnd(kCjk), std::string::npos);
    EXPECT_EQ(corvane::workspaceNameEnd("\xE3" + kDot), 1u) << "a truncated character does not swallow it";
    EXPECT_EQ(findSeparatorByte("\xED\xA0\xB7"), 2u) << "surrogates are not characters";

    EXPECT_EQ(utf8SequenceLength("\xF0\x9F\x98\x80", 0), 4u);
    EXPECT_EQ(utf8SequenceLength("\xC0\xB7", 0), 0u) << "overlong";
    EXPECT_EQ(utf8SequenceLength("\xF4\x90\x80\x80", 0), 0u) << "beyond U+10FFFF";
}

// Every list behaves the same in both back ends, except for how old entries
// are cleared.
class StoredLists : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (ini())
            writeFile(m_dir.file("Corvane.ini"), "[Settings]\r\nEnableIniFile=1\r\n");
        m_store = std::make_unique<SettingsStore>(
            SettingsStore::Locations{m_dir.file("Corvane.ini"), m_dir.file("user.store"), m_dir.path()});
        m_store->openBackingStore();
        ASSERT_EQ(m_store->usingIniFile(), ini());
    }

    bool ini() const { return GetParam(); }
    SettingsStore &store() { return *m_store; }

    // Direct access to the active back end.
    void put(const std::string &section, const std::string &name, const std::string &value)
    {
        if (ini())
            ProfileFile(m_dir.file("Corvane.ini")).writeString(section, name, value);
        else
            UserStore(m_dir.file("user.store")).writeString("Software\\Tolvek\\Corvane\\" + section, name, value);
    }
    std::optional<std::string> get(const std::string &section, const std::string &name) const
    {
        if (ini())
            return ProfileFile(m_dir.file("Corvane.ini")).value(section, name);
        return UserStore(m_dir.file("user.store")).readString("Software\\Tolvek\\Corvane\\" + section, name);
    }
    std::optional<int> getInt(const std::string &section, const std::string &name) const
    {
        if (ini()) {
            const auto v = ProfileFile(m_dir.file("Corvane.ini")).value(section, name);
            return v ? std::optional<int>(ProfileFile::parseInt(*v, 0)) : std::nullopt;
        }
        return UserStore(m_dir.file("user.store")).readDword("Software\\Tolvek\\Corvane\\" + section, name);
    }

    TempFolder m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

TEST_P(StoredLists, FirstEmptyValueEndsAList)
{
    put("Filter", "Word1", "ads");
    put("Filter", "Word2", "");
    put("Filter", "Word3", "banner");
    EXPECT_EQ(store().loadFilter(), std::vector<std::string>{"ads"});

    put("Sallyport", "Word2", "late");
    EXPECT_TRUE(store().loadSallyport().empty());
}

TEST_P(StoredLists, LinkEntries)
{
    put("Links", "Link1", "Bare name" + kSep);
    put("Links", "Link2", kSep + "http://nameless/");
    put("Links", "Link3", "Two" + kSep + "http://a/" + kSep + "more");
    put("Links", "Link4", "http://address-only/");
    put("Links", "Link5", "Later" + kSep + "http://first/");
    put("Links", "Link6", "later" + kSep + "http://case/");
    put("Links", "Link7", "Later" + kSep + "http://second/");
    const SettingsStore::LinkMap expected = {
        {"Bare name", ""},
        {"Two", "http://a/" + kSep + "more"},
        {"http://address-only/", ""},
        {"Later", "http://second/"},
        {"later", "http://case/"},
    };
    EXPECT_EQ(store().loadLinks(), expected);

    store().storeLinks(expected);
    EXPECT_EQ(store().loadLinks(), expected);
    EXPECT_EQ(get("Links", "Link1"), "Bare name") << "an empty address stores the name alone";
}

TEST_P(StoredLists, AddressHistoryKeepsForty)
{
    std::vector<std::string> items;
    for (int i = 1; i <= 45; ++i)
        items.push_back("http://site" + std::to_string(i) + "/");
    store().storeAddressHistory(items);
    const std::vector<std::string> first40(items.begin(), items.begin() + 40);
    EXPECT_EQ(store().loadAddressHistory(), first40);
    EXPECT_EQ(get("AddressHistory", "Address40"), "http://site40/");
    EXPECT_EQ(get("AddressHistory", "Address41").value_or(""), "");
    EXPECT_EQ(get("AddressHistory", "Address42"), std::nullopt);
}

TEST_P(StoredLists, ShrinkingAListHidesTheOldTail)
{
    store().storeFilter({"a", "b", "c", "d", "e"});
    store().storeFilter({"x", "y"});
    EXPECT_EQ(store().loadFilter(), (std::vector<std::string>{"x", "y"}));
    if (ini()) {
        // The file keeps the old tail behind an empty terminator.
        EXPECT_EQ(get("Filter", "Word3"), "");
        EXPECT_EQ(get("Filter", "Word4"), "d");
        EXPECT_EQ(get("Filter", "Word5"), "e");
    } else {
        EXPECT_EQ(get("Filter", "Word3"), std::nullopt);
        EXPECT_EQ(get("Filter", "Word4"), std::nullopt);
    }

    store().storeSallyport({});
    EXPECT_TRUE(store().loadSallyport().empty());
    EXPECT_EQ(get("Sallyport", "Word1"), ini() ? std::optional<std::string>("") : std::nullopt);

    // Empty items would end the list early when read back: left out.
    store().storeFilter({"a", "", "b"});
    EXPECT_EQ(store().loadFilter(), (std::vector<std::string>{"a", "b"}));
    store().storeLinks({{"", "http://nameless/"}, {"n", "http://n/"}});
    EXPECT_EQ(store().loadLinks(), (SettingsStore::LinkMap{{"n", "http://n/"}}));
}

TEST_P(StoredLists, StoringWorkspacesKeepsAutoSaveAndTheManagerPlacement)
{
    store().setAutoSave(1);
    store().saveDialogPlacement("Workspace", Rect{1, 2, 640, 480});
    store().storeWorkspaces({{"default", "default" + kDot + "record"}, {"two", "two" + kDot + "r"}});
    store().storeWorkspaces({{"default", "default" + kDot + "changed"}});
    EXPECT_EQ(store().autoSave(), 1);
    EXPECT_EQ(store().restoreDialogPlacement("Workspace"), (Rect{1, 2, 640, 480}));
    EXPECT_EQ(store().loadWorkspaces(), (SettingsStore::WorkspaceMap{{"default", "default" + kDot + "changed"}}));

    // Without a record the placement comes back as zeros, which restores nothing.
    store().saveDialogPlacement("Workspace", Rect{});
    store().storeWorkspaces({});
    EXPECT_EQ(getInt("Workspaces\\Placement", "Right"), 0);
    EXPECT_EQ(store().restoreDialogPlacement("Workspace"), std::nullopt);
}

TEST_P(StoredLists, WorkspaceWithoutANameIsKeyedByItsValueName)
{
    put("Workspaces", "Workspace1", "first" + kDot + "a");
    put("Workspaces", "Workspace2", kDot + "nameless");
    put("Workspaces", "Workspace3", "first" + kDot + "b");
    put("Workspaces", "Workspace4", kCjk + kDot + "cjk");
    put("Workspaces", "Workspace5", "no dot at all");
    // A Windows-era name: "\xC9\xB7" looks like one UTF-8 character, yet the
    // name ends before the B7.
    corvane::Workspace windowsEra;
    windowsEra.name = "CAF\xC9";
    put("Workspaces", "Workspace6", windowsEra.text());
    const SettingsStore::WorkspaceMap expected = {
        {"first", "first" + kDot + "b"},
        {"Workspace2", kDot + "nameless"},
        {kCjk, kCjk + kDot + "cjk"},
        {"Workspace5", "no dot at all"},
        {"CAF\xC9", windowsEra.text()},
    };
    EXPECT_EQ(store().loadWorkspaces(), expected);
    // Stored back in name order, each text stays; the third record without
    // a name is now known by its new place.
    store().storeWorkspaces(expected);
    const SettingsStore::WorkspaceMap moved = {
        {"CAF\xC9", windowsEra.text()},
        {"Workspace2", kDot + "nameless"},
        {"Workspace3", "no dot at all"},
        {"first", "first" + kDot + "b"},
        {kCjk, kCjk + kDot + "cjk"},
    };
    EXPECT_EQ(store().loadWorkspaces(), moved);
}

// A workspace the user named "Workspace2" and a record without a name in
// the second place: both stay, the nameless one under the next number free.
TEST_P(StoredLists, ANamelessWorkspaceNeverTakesTheNameOfANamedOne)
{
    put("Workspaces", "Workspace1", "Workspace2" + kDot + "named");
    put("Workspaces", "Workspace2", kDot + "nameless");
    put("Workspaces", "Workspace3", "Workspace3" + kDot + "named too");
    const SettingsStore::WorkspaceMap expected = {
        {"Workspace2", "Workspace2" + kDot + "named"},
        {"Workspace3", "Workspace3" + kDot + "named too"},
        {"Workspace4", kDot + "nameless"},
    };
    EXPECT_EQ(store().loadWorkspaces(), expected);
    store().storeWorkspaces(expected);
    EXPECT_EQ(store().loadWorkspaces(), expected);
}

TEST_P(StoredLists, NamesInOtherScriptsRoundTrip)
{
    const SettingsStore::LinkMap links = {
        {kCyrillic, "http://\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD1\x80\xD1\x84/"},
        {kCjk, "http://example.jp/" + kCjk},
        {"\xC2\xB7" "dot\xC2\xB7", ""},
    };
    store().storeLinks(links);
    EXPECT_EQ(store().loadLinks(), links);

    const SettingsStore::WorkspaceMap workspaces = {
        {kCyrillic, kCyrillic + kDot + "1" + kDot + kCjk},
        {kCjk, kCjk + kDot + "2"},
    };
    store().storeWorkspaces(workspaces);
    EXPECT_EQ(store().loadWorkspaces(), workspaces);
}

TEST_P(StoredLists, SitePermissionsKeepOneAnswerPerSiteAndFeature)
{
    using corvane::SiteFeature;
    put("SitePermissions", "Site1", "geolocation allow https://maps.example");
    put("SitePermissions", "Site2", "camera maybe https://maps.example");   // not an answer
    put("SitePermissions", "Site3", "teleport allow https://maps.example"); // not a feature
    put("SitePermissions", "Site4", "geolocation deny https://maps.example"); // later one holds
    put("SitePermissions", "Site5", "notifications allow http://127.0.0.1:8080");
    const corvane::SitePermissionList loaded = store().loadSitePermissions();
    EXPECT_EQ(loaded.answer("https://maps.example", SiteFeature::Geolocation), false);
    EXPECT_EQ(loaded.answer("https://maps.example", SiteFeature::Camera), std::nullopt);
    EXPECT_EQ(loaded.answer("http://127.0.0.1:8080", SiteFeature::Notifications), true);
    EXPECT_EQ(loaded.entries().size(), 2u);

    // Stored back, the list is the two answers, the bad entries gone.
    store().storeSitePermissions(loaded);
    EXPECT_EQ(store().loadSitePermissions().entries(), loaded.entries());
    EXPECT_EQ(get("SitePermissions", "Site1"), "geolocation deny https://maps.example");
    EXPECT_EQ(get("SitePermissions", "Site3").value_or(""), "");
    if (!ini()) {
        EXPECT_EQ(get("SitePermissions", "Site4"), std::nullopt);
    }

    // Clearing leaves nothing to answer from.
    store().storeSitePermissions({});
    EXPECT_TRUE(store().loadSitePermissions().empty());
    EXPECT_EQ(get("SitePermissions", "Site1"), ini() ? std::optional<std::string>("") : std::nullopt);
}

TEST_P(StoredLists, DialogPlacements)
{
    store().saveDialogPlacement("Links", Rect{1, 2, 3, 4});
    store().saveDialogPlacement("Spawning", Rect{5, 6, 7, 8});
    store().saveDialogPlacement("Anything", Rect{9, 10, 11, 12});
    EXPECT_EQ(getInt("Links\\Placement", "Bottom"), 4);
    EXPECT_EQ(getInt("SpawningPlacement", "Left"), 5);
    EXPECT_EQ(getInt("Workspaces\\Placement", "Right"), 11);
    EXPECT_EQ(store().restoreDialogPlacement("Workspaces"), (Rect{9, 10, 11, 12}));

    store().saveDialogPlacement("Spawning", Rect{5, 6, 0, 8});
    EXPECT_EQ(store().restoreDialogPlacement("Spawning"), std::nullopt);
    store().saveDialogPlacement("Spawning", Rect{5, 6, 7, 0});
    EXPECT_EQ(store().restoreDialogPlacement("Spawning"), std::nullopt);

    // Storing the links clears their key, the Links Manager's record with it.
    store().storeLinks({{"a", "http://a/"}});
    if (ini())
        EXPECT_EQ(store().restoreDialogPlacement("Links"), (Rect{1, 2, 3, 4}));
    else
        EXPECT_EQ(store().restoreDialogPlacement("Links"), std::nullopt);
}

TEST_P(StoredLists, SwitchingTheHistoryOffForgetsItInTheUserStore)
{
    UserStore user(m_dir.file("user.store"));
    user.writeString("Software\\Tolvek\\Corvane\\AddressHistory", "Address1", "http://old/");
    store().storeAddressHistory({"http://a/"});
    const std::string iniBefore = readFile(m_dir.file("Corvane.ini"));

    store().setSaveAddressHistory(0);
    EXPECT_FALSE(user.keyExists("Software\\Tolvek\\Corvane\\AddressHistory"));
    EXPECT_EQ(store().saveAddressHistory(), 0);
    if (ini()) {
        // The INI file keeps its history; only the switch changed.
        EXPECT_EQ(store().loadAddressHistory(), std::vector<std::string>{"http://a/"});
        EXPECT_NE(readFile(m_dir.file("Corvane.ini")), iniBefore);
        EXPECT_EQ(ProfileFile(m_dir.file("Corvane.ini")).getInt("Settings", "SaveAddressHistory", 1), 0);
    } else {
        EXPECT_TRUE(store().loadAddressHistory().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(BackEnds, StoredLists, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? std::string("IniFile") : std::string("UserStore");
                         });

} // namespace

// A hand-edited INI file may hold a lone CR inside a line; a line written
// holds none, so a value written comes back with a space there, and from
// then on stays.
TEST(StoredLists, LoneCrInAnIniValueSettlesAfterOneStore)
{
    SettingsStore store(MemoryFile{"[Settings]\r\nEnableIniFile=1\r\n[Links]\r\nLink1=A\r\tB" + kSep + "http://x/\r\n"
                                   "[Filter]\nWord1=a\rb\n"},
                        MemoryFile{}, "/home/none");
    store.openBackingStore();
    ASSERT_TRUE(store.usingIniFile());
    SettingsStore::LinkMap links = store.loadLinks();
    EXPECT_EQ(links, (SettingsStore::LinkMap{{"A\r\tB", "http://x/"}}));
    // Stored as it was read, it stays Link1: written all the same.
    store.storeLinks(links);
    EXPECT_EQ(store.loadLinks(), (SettingsStore::LinkMap{{"A \tB", "http://x/"}}));
    links["0"] = "http://0/";
    store.storeLinks(links);
    const SettingsStore::LinkMap settled{{"0", "http://0/"}, {"A \tB", "http://x/"}};
    EXPECT_EQ(store.loadLinks(), settled);
    store.storeLinks(settled);
    EXPECT_EQ(store.loadLinks(), settled);
    store.storeFilter({"c", "a\rb"});
    EXPECT_EQ(store.loadFilter(), (std::vector<std::string>{"c", "a b"}));
}

// Found by fuzzing: an entry whose lone CRs stayed because its line already
// held the value moved on the next store, once another entry's name had
// become one with spaces, and came back changed after a second store.
TEST(StoredLists, AnIniLinksListWithLoneCrsSettlesInOneStore)
{
    const std::string links(
        "[Links]\r\nLink1=Exam\xA5ple\xD4\xD4\xD4\r\r\r\r\r\r\r\r\rkoas]^\r\nLink2=Exa&ple\xB7"
        "|\xB9\r\r\rh\r\r\r\r\r\r\r\rks]^\r\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4"
        "\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4\xD4/\xB7|\xB7http://www.example.org[Lin\r\r\r\r\r\r\r"
        "\r\r\r\r\r\r\r\r\rks]10737\xA7" "36&47^\r\nL\x00\x00\x00\x00\x00\x00\x00\x00" "4\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00" "999998\r\r"
        "\nLink1=Exam\xA5ple\xD4\xD4\xD4\r\r\r\r\r\r\r\r\rkoas]^\r\nLink3=Exa&ple\xB7|\xB9\r\r"
        "\rh\r\r\r\r\r\r\r\rks]^\n",
        267);
    SettingsStore store(MemoryFile{"[Settings]\r\nEnableIniFile=1\r\n" + links}, MemoryFile{}, "/home/none");
    store.openBackingStore();
    store.storeLinks(store.loadLinks());
    const SettingsStore::LinkMap once = store.loadLinks();
    EXPECT_EQ(once.size(), 3u);
    store.storeLinks(once);
    EXPECT_EQ(store.loadLinks(), once);
}
