#include "core/Workspace.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace corvane;

namespace {

const std::string D = "\xB7"; // field separator

std::string fields(std::initializer_list<std::string> parts)
{
    std::string out;
    for (const std::string &p : parts)
        out += (out.empty() && &p == parts.begin() ? "" : D) + p;
    return out;
}

} // namespace

TEST(Workspace, WritesTheExactBytes)
{
    EXPECT_EQ(Workspace().text(), "default" + D + "0" + D + "697" + D + "88" + D + "952" + D + "88" + D + "1" + D
                                      + "1" + D + "1" + D + "1" + D + "0" + "\xB7|\xB7" + "none");

    WorkspaceWindow plain;
    plain.url = "http://a/";
    plain.scrollTop = -5;
    EXPECT_EQ(plain.entryText(), fields({"http://a/", "515", "94", "770", "132", "3", "0", "2", "0", "0", "-5"}));

    WorkspaceWindow split;
    split.rowSplit = 120;
    split.splitterLocked = 1;
    split.panes.resize(2);
    split.panes[1].url = "http://b/";
    EXPECT_EQ(split.entryText(), fields({"515", "94", "770", "132", "3", "120", "-1", "0", "0", "1"}) + "||\xB7"
                                     + fields({"about:blank", "0", "2", "0", "0", "0"}) + "\xB7||"
                                     + fields({"http://b/", "0", "2", "0", "0", "0"}));
}

TEST(Workspace, RoundTripsEveryField)
{
    WorkspaceWindow a;
    a.url = "http://a.example/x?y=1";
    a.bottom = 400; a.left = -3; a.right = 600; a.top = 7; a.showCmd = 1;
    a.autoRefresh = 1; a.refreshMinutes = 0; a.refreshSeconds = 30; a.scrollLeft = 11; a.scrollTop = 2200;

    WorkspaceWindow b;
    b.rowSplit = 202; b.colSplit = 310; b.activeRow = 1; b.activeCol = 1; b.splitterLocked = 1;
    for (int i = 0; i < 4; ++i) {
        WorkspacePane p;
        p.url = "http://p" + std::to_string(i) + "/";
        p.autoRefresh = i % 2; p.refreshMinutes = i; p.refreshSeconds = 10 * i; p.scrollTop = 100 * i;
        b.panes.push_back(p);
    }

    Workspace ws;
    ws.name = "Morning";
    ws.startup = 1; ws.bottom = 1000; ws.left = 0; ws.right = 1280; ws.top = 0; ws.showCmd = 3;
    ws.toolBar = 0; ws.statusBar = 0; ws.addressBar = 1; ws.tabs = 1;
    ws.setWindows({a.entryText(), b.entryText()});
    ws.empty = false;

    const Workspace back = Workspace::parse(ws.text());
    EXPECT_EQ(back, ws);
    const auto map = back.windowMap();
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(WorkspaceWindow::parse(map.at(1)), a);
    EXPECT_EQ(WorkspaceWindow::parse(map.at(2)), b);
}

TEST(Workspace, ParsesWithTheDefaults)
{
    const Workspace none = Workspace::parse("");
    EXPECT_TRUE(none.empty);
    EXPECT_EQ(none, Workspace());

    // Name only; no separator at all (the stored list keys it by its value
    // name, so the name part is empty).
    Workspace ws = Workspace::parse("Lonely" + D);
    EXPECT_FALSE(ws.empty);
    EXPECT_EQ(ws.name, "Lonely");
    EXPECT_EQ(ws.bottom, 697);
    EXPECT_EQ(ws.windows, "none");
    EXPECT_EQ(Workspace::parse("no separator").name, "");
    EXPECT_EQ(Workspace::parse(D + "1").name, "");
    EXPECT_EQ(Workspace::parse(D + "1").startup, 1);

    // Numbers read like "%d": the first one that is not there ends the
    // reading, the rest keep their defaults; blanks and signs are fine.
    ws = Workspace::parse(fields({"w", " +1", "-20", "x5", "900"}) + "\xB7|\xB7" + "W");
    EXPECT_EQ(ws.startup, 1);
    EXPECT_EQ(ws.bottom, -20);
    EXPECT_EQ(ws.left, 88);
    EXPECT_EQ(ws.right, 952);
    EXPECT_EQ(ws.windows, "W");

    // Out of range numbers clamp instead of wrapping.
    ws = Workspace::parse(fields({"w", "99999999999999999999", "-2147483649", "2147483647"}));
    EXPECT_EQ(ws.startup, INT_MAX);
    EXPECT_EQ(ws.bottom, INT_MIN);
    EXPECT_EQ(ws.left, INT_MAX);

    // Name ending right at the record/windows separator: numbers default.
    ws = Workspace::parse("abc\xB7|\xB7" "E");
    EXPECT_EQ(ws.name, "abc");
    EXPECT_EQ(ws.startup, 0);
    EXPECT_EQ(ws.windows, "E");

    EXPECT_EQ(WorkspaceWindow::parse(""), WorkspaceWindow());
    EXPECT_EQ(WorkspaceWindow::parse("http://only").url, "http://only");
    EXPECT_EQ(WorkspaceWindow::parse("http://only").showCmd, 3);
    EXPECT_EQ(WorkspacePane::parse(""), WorkspacePane());
}

TEST(Workspace, WindowMapAndSplitEntries)
{
    Workspace ws;
    EXPECT_TRUE(ws.windowMap().empty());
    ws.windows = "";
    EXPECT_TRUE(ws.windowMap().empty());
    ws.setWindows({});
    EXPECT_EQ(ws.windows, "none");

    ws.windows = "A|\xB7|B|\xB7|";
    const auto map = ws.windowMap();
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map.at(1), "A");
    EXPECT_EQ(map.at(2), "B");
    EXPECT_EQ(map.at(3), "") << "the piece after the last separator counts";

    // A split entry with an empty first pane: that pane gets the defaults.
    const WorkspaceWindow w = WorkspaceWindow::parse(fields({"1", "2", "3", "4", "5", "6", "7", "8", "9", "1"})
                                                     + "||\xB7\xB7||x" + D + "1");
    ASSERT_EQ(w.panes.size(), 2u);
    EXPECT_EQ(w.colSplit, 7);
    EXPECT_EQ(w.panes[0], WorkspacePane());
    EXPECT_EQ(w.panes[1].url, "x");
    EXPECT_EQ(w.panes[1].autoRefresh, 1);

    // A split header without its panes (hand-edited or cut off): the
    // window's place and state, and no page, not the address "500".
    const WorkspaceWindow header = WorkspaceWindow::parse(fields({"500", "10", "700", "20", "1", "200", "-1", "1", "0", "1"}));
    EXPECT_FALSE(header.isSplit());
    EXPECT_EQ(header.url, "");
    EXPECT_EQ(header.place(), (Rect{10, 20, 700, 500}));
    EXPECT_EQ(header.showCmd, 1);
    EXPECT_EQ(firstPaneUrl(header), "") << "it opens the home page";
    EXPECT_EQ(WorkspaceWindow::parse(header.entryText()), header);
    // An address that is a number, with its ten numbers, is still a page.
    EXPECT_EQ(WorkspaceWindow::parse(fields({"500", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"})).url, "500");

    // An address ending in "||" would pass for a split window: the writer
    // puts '|' as %7C.
    WorkspaceWindow bars;
    bars.url = "javascript:a||b||";
    const WorkspaceWindow back = WorkspaceWindow::parse(bars.entryText());
    EXPECT_FALSE(back.isSplit());
    EXPECT_EQ(back.url, "javascript:a%7C%7Cb%7C%7C");
    EXPECT_EQ(back.bottom, 515);
}

TEST(Workspace, NamesAndAddressesInAnyEncoding)
{
    // UTF-8 characters that carry a B7 byte: U+00B7 (C2 B7), U+0437 (D0 B7),
    // U+3077 (E3 81 B7), U+0277 (C9 B7) just before a digit.
    for (const std::string name : {"a\xC2\xB7" "b", "\xD0\xB7\xD0\xB0", "\xE3\x81\xB7", "\xC9\xB7" "0"}) {
        Workspace ws;
        ws.name = name;
        ws.startup = 1;
        const Workspace back = Workspace::parse(ws.text());
        EXPECT_EQ(back.name, name);
        EXPECT_EQ(back.startup, 1);
        EXPECT_EQ(workspaceNameEnd(ws.text()), name.size());

        WorkspacePane pane;
        pane.url = "http://x/" + name;
        pane.scrollTop = 9;
        EXPECT_EQ(WorkspacePane::parse(pane.text()), pane);
    }

    // Windows-1252: "CAF\xC9" (and "\xE2\x80", a euro sign) before the field
    // separator look like UTF-8 characters ending in B7; the next field
    // stays a field.
    for (const std::string name : {"CAF\xC9", "x\xE2\x80", "\xC2"}) {
        const std::string text = fields({name, "1", "500", "1", "2", "3", "3", "0", "0", "0", "1"}) + "\xB7|\xB7none";
        EXPECT_EQ(workspaceNameEnd(text), name.size()) << name;
        const Workspace ws = Workspace::parse(text);
        EXPECT_EQ(ws.name, name);
        EXPECT_EQ(ws.startup, 1);
        EXPECT_EQ(ws.bottom, 500);
        EXPECT_EQ(ws.tabs, 1);
        EXPECT_EQ(Workspace::parse(ws.text()), ws);
    }
    const WorkspaceWindow w =
        WorkspaceWindow::parse(fields({"http://h/M\xDC", "1", "2", "3", "4", "1", "1", "0", "45", "0", "77"}));
    EXPECT_EQ(w.url, "http://h/M\xDC");
    EXPECT_EQ(w.bottom, 1);
    EXPECT_EQ(w.scrollTop, 77);
    EXPECT_EQ(WorkspacePane::parse(fields({"\xC9", "1", "2", "3", "4", "5"})).scrollTop, 5);

    EXPECT_EQ(workspaceNameEnd("no separator"), std::string::npos);
    EXPECT_EQ(workspaceNameEnd(D + "0"), 0u);
}

TEST(Workspace, CaptureRules)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(orderCapturedWindows({}), V{});
    EXPECT_EQ(orderCapturedWindows({"W1"}), V{"W1"});
    EXPECT_EQ(orderCapturedWindows({"W1", "W2"}), (V{"W1", "W2"}));
    EXPECT_EQ(orderCapturedWindows({"W1", "W2", "W3"}), (V{"W1", "W3", "W2"}));
    EXPECT_EQ(orderCapturedWindows({"1", "2", "3", "4", "5"}), (V{"1", "5", "4", "3", "2"}));

    EXPECT_EQ(capturedSplitPositions(2, 2, 100, 200), (SplitPositions{102, 202}));
    EXPECT_EQ(capturedSplitPositions(2, 1, 100, 640), (SplitPositions{102, -1}));
    EXPECT_EQ(capturedSplitPositions(1, 2, 480, 200), (SplitPositions{-1, 202}));
    EXPECT_EQ(capturedSplitPositions(2, 2, INT_MAX, 0), (SplitPositions{INT_MAX, 2}));
}

TEST(Workspace, RestoredSplitPositions)
{
    // The window 400 x 300 as stored (left 0, top 0, right 400, bottom 300).
    auto window = [](int rowSplit, int colSplit, int panes) {
        WorkspaceWindow w;
        w.setPlace(Rect{0, 0, 400, 300});
        w.rowSplit = rowSplit;
        w.colSplit = colSplit;
        w.panes.resize(static_cast<std::size_t>(panes));
        return w;
    };
    // What this program stores comes back as it is, even beyond the window
    // (the splitter keeps it within its size).
    EXPECT_EQ(restoredSplitPositions(window(102, 202, 4)), (SplitPositions{102, 202}));
    EXPECT_EQ(restoredSplitPositions(window(102, -1, 2)), (SplitPositions{102, -1}));
    EXPECT_EQ(restoredSplitPositions(window(-1, 5000, 2)), (SplitPositions{-1, 5000}));
    EXPECT_EQ(restoredSplitPositions(window(-7, INT_MIN, 2)), (SplitPositions{-1, -1}));
    EXPECT_EQ(restoredSplitPositions(window(0, -1, 2)), (SplitPositions{0, -1}));
    // Windows-era records: two rows, the columns' whole width plus 2 ...
    EXPECT_EQ(restoredSplitPositions(window(150, 394, 2)), (SplitPositions{150, -1}));
    // ... two columns, the rows' whole height plus 2.
    EXPECT_EQ(restoredSplitPositions(window(294, 200, 2)), (SplitPositions{-1, 200}));
    // Four panes split both ways whatever the numbers.
    EXPECT_EQ(restoredSplitPositions(window(294, 394, 4)), (SplitPositions{294, 394}));
    // A stored window of no size cannot tell: one row split, not two.
    WorkspaceWindow flat = window(150, 394, 2);
    flat.bottom = flat.top;
    EXPECT_EQ(restoredSplitPositions(flat), (SplitPositions{150, -1}));
    // No overflow at the ends of the range.
    WorkspaceWindow huge = window(INT_MAX, INT_MAX, 2);
    huge.setPlace(Rect{INT_MIN, 0, INT_MAX, 1});
    EXPECT_EQ(restoredSplitPositions(huge), (SplitPositions{-1, INT_MAX}));
}

TEST(Workspace, FirstPaneUrlIsThePageOfRowZeroColumnZero)
{
    WorkspaceWindow plain;
    plain.url = "http://plain.example/";
    EXPECT_EQ(firstPaneUrl(plain), "http://plain.example/");

    // Panes are stored from the active one back through the others, row by
    // row: with the pane bottom left active (1, 0) of four, the order is
    // (1, 0), (0, 1), (0, 0), (1, 1).
    WorkspaceWindow four;
    four.rowSplit = 102;
    four.colSplit = 202;
    four.activeRow = 1;
    four.activeCol = 0;
    for (const char *url : {"http://a/", "http://b/", "http://c/", "http://d/"})
        four.panes.push_back(WorkspacePane{url});
    EXPECT_EQ(firstPaneUrl(four), "http://c/");
    // The active pane out of the grid counts as the grid keeps it: (1, 0).
    four.activeRow = 7;
    four.activeCol = -3;
    EXPECT_EQ(firstPaneUrl(four), "http://c/");
    // Fewer panes stored than the grid holds: with (1, 1) active, (0, 0)
    // comes fourth and three are stored, so its page is not given.
    four.activeRow = 1;
    four.activeCol = 1;
    four.panes.resize(3);
    EXPECT_EQ(firstPaneUrl(four), "");

    // Two columns, the right one active: the left one is stored second.
    WorkspaceWindow two;
    two.rowSplit = -1;
    two.colSplit = 202;
    two.activeCol = 1;
    two.panes = {WorkspacePane{"http://right/"}, WorkspacePane{"http://left/"}};
    EXPECT_EQ(firstPaneUrl(two), "http://left/");
}

TEST(Workspace, StartupAndExit)
{
    Workspace a;
    a.name = "a";
    Workspace b = a;
    b.name = "b";
    b.startup = 1;
    Workspace c = b;
    c.name = "c";
    WorkspaceMap stored{{"a", a.text()}, {"b", b.text()}, {"c", c.text()}};

    ASSERT_TRUE(startupWorkspace(stored, false));
    EXPECT_EQ(startupWorkspace(stored, false)->name, "b");
    EXPECT_FALSE(startupWorkspace(stored, true)) << "AutoSave restores only \"default\"";

    Workspace capture;
    capture.name = "whatever";
    capture.startup = 1;
    capture.empty = false;
    putExitWorkspace(stored, true, capture);
    ASSERT_TRUE(stored.count("default"));
    const auto restored = startupWorkspace(stored, true);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->name, "default");
    EXPECT_EQ(restored->startup, 0);
    EXPECT_FALSE(restored->empty);

    putExitWorkspace(stored, false, capture);
    EXPECT_FALSE(stored.count("default"));
    stored["default"] = "";
    EXPECT_FALSE(startupWorkspace(stored, true));
}
