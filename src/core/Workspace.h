#pragma once

#include "core/Rect.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Workspaces: a named snapshot of the main window and every browser window,
// and its one text form (reader and writer below).
//
// Text forms. Integers are decimal ("%d", a minus sign when negative); the
// five separators are raw bytes:
//   field           B7        between the fields of a record
//   record/windows  B7 7C B7  between a workspace's numbers and its window list
//   window          7C B7 7C  between the entries of the window list
//   split/pane      7C 7C B7  after a split window's header, before its first pane
//   pane            B7 7C 7C  between the panes of a split window
//
//   workspace  name B7 startup B7 bottom B7 left B7 right B7 top B7 showCmd
//              B7 toolBar B7 statusBar B7 addressBar B7 tabs  B7 7C B7  windows
//   windows    "none", or the window entries joined by the window separator
//   unsplit    url B7 bottom B7 left B7 right B7 top B7 showCmd B7 autoRefresh
//              B7 refreshMinutes B7 refreshSeconds B7 scrollLeft B7 scrollTop
//   split      bottom B7 left B7 right B7 top B7 showCmd B7 rowSplit B7 colSplit
//              B7 activeRow B7 activeCol B7 splitterLocked  7C 7C B7  pane
//              { B7 7C 7C pane }
//   pane       url B7 autoRefresh B7 refreshMinutes B7 refreshSeconds
//              B7 scrollLeft B7 scrollTop
//
// Reading always goes by first occurrence and starts from the defaults. The
// numbers are read one after the other like "%d" (blanks, a sign, digits);
// the first one that is missing or malformed ends the reading and it and the
// rest keep their defaults. A number beyond the int range reads as the
// nearest int.
//
// A B7 byte is a separator only where it does not continue a UTF-8
// character, so names and addresses in any script survive. Records from the
// Windows world are Windows-1252, where a name or address ending in, say,
// "\xC9" (E acute) makes "\xC9\xB7" look like one UTF-8 character: when the
// ordinary reading leaves a record exactly one number short and the
// swallowed B7 is followed by a plain number, that B7 ends the name.
//
// Names and addresses cannot hold the separators; nothing escapes them. The
// writer keeps addresses readable by writing a '|' in them as "%7C" (the
// same address to a web engine), so an address ending in "||" cannot pass
// for a split window.

namespace corvane {

inline constexpr std::string_view kFieldSeparator{"\xB7", 1};
inline constexpr std::string_view kRecordSeparator{"\xB7\x7C\xB7", 3};
inline constexpr std::string_view kWindowSeparator{"\x7C\xB7\x7C", 3};
inline constexpr std::string_view kPaneListSeparator{"\x7C\x7C\xB7", 3};
inline constexpr std::string_view kPaneSeparator{"\xB7\x7C\x7C", 3};

// The window list of a workspace without windows.
inline constexpr std::string_view kNoWindows{"none"};
// The reserved name of the state saved at exit.
inline constexpr std::string_view kDefaultWorkspaceName{"default"};

// Stored workspaces: name -> the whole workspace text.
using WorkspaceMap = std::map<std::string, std::string>;

// One pane of a split window.
struct WorkspacePane
{
    std::string url = "about:blank";
    int autoRefresh = 0;
    int refreshMinutes = 2;
    int refreshSeconds = 0;
    int scrollLeft = 0;
    int scrollTop = 0;

    std::string text() const;
    // An empty text gives the defaults.
    static WorkspacePane parse(std::string_view text);

    bool operator==(const WorkspacePane &) const = default;
};

// One browser window. An unsplit window keeps its page in url ...
// scrollTop; a split window keeps its panes (from the active one on) and its
// splitter in rowSplit ... splitterLocked.
struct WorkspaceWindow
{
    std::string url = "about:blank";
    int bottom = 515;
    int left = 94;
    int right = 770;
    int top = 132;
    int showCmd = 3; // maximized
    int autoRefresh = 0;
    int refreshMinutes = 2;
    int refreshSeconds = 0;
    int scrollLeft = 0;
    int scrollTop = 0;
    int rowSplit = -1;
    int colSplit = -1;
    int activeRow = 0;
    int activeCol = 0;
    int splitterLocked = 0;
    std::vector<WorkspacePane> panes; // empty: not split

    bool isSplit() const { return !panes.empty(); }
    // The window's place in the MDI area while neither maximized nor
    // minimized.
    Rect place() const { return Rect{left, top, right, bottom}; }
    void setPlace(const Rect &r) { left = r.left, top = r.top, right = r.right, bottom = r.bottom; }

    // The window's entry in the window list: the unsplit form, or the split
    // header followed by the panes.
    std::string entryText() const;
    std::string unsplitText() const;
    std::string splitHeaderText() const;

    // An entry holding the split/pane separator is a split entry; any other
    // is unsplit. An empty entry gives the defaults. Ten numbers alone are a
    // split header whose panes are lost: that window's place and state,
    // unsplit, with no url (it opens the home page).
    static WorkspaceWindow parse(std::string_view entry);

    bool operator==(const WorkspaceWindow &) const = default;
};

// One workspace: the main window's placement and bars, and the window list.
struct Workspace
{
    std::string name{kDefaultWorkspaceName};
    int startup = 0;
    int bottom = 697;
    int left = 88;
    int right = 952;
    int top = 88;
    int showCmd = 1; // 3 maximized, 1 otherwise
    // The main window's normal place on the screen.
    Rect place() const { return Rect{left, top, right, bottom}; }
    void setPlace(const Rect &r) { left = r.left, top = r.top, right = r.right, bottom = r.bottom; }
    int toolBar = 1;
    int statusBar = 1;
    int addressBar = 1;
    int tabs = 0;
    std::string windows{kNoWindows};
    // True while the record holds no state to load: set by the defaults,
    // cleared by a capture and by reading a non-empty text.
    bool empty = true;

    std::string text() const;
    // An empty text gives the defaults (empty stays true). A text without
    // any field separator has an empty name.
    static Workspace parse(std::string_view text);

    // The window list by entry number, 1 to N: the pieces of `windows` cut
    // at each window separator. Empty when `windows` is empty or "none".
    std::map<int, std::string> windowMap() const;
    // Sets `windows` from entries in order; "none" when there are none.
    void setWindows(const std::vector<std::string> &entries);

    bool operator==(const Workspace &) const = default;
};

// Where the name of a stored workspace text ends (its first field
// separator, with the Windows-1252 rule above), or npos when it has none.
// The stored list keys a text by the bytes before it.
std::size_t workspaceNameEnd(std::string_view text);

// --- capture ----------------------------------------------------------------

// The window list of a capture comes in visiting order: the active window,
// then the others as "next window" reaches them. It is stored as the active
// window first, then the others in reverse visiting order: 1, N, N-1, ..., 2.
std::vector<std::string> orderCapturedWindows(std::vector<std::string> visited);

// A split window's stored split positions. rowSplit is row 0's height plus 2
// (the splitter bar) when there are two rows, colSplit column 0's width plus
// 2 when there are two columns; a direction without a split stores -1.
struct SplitPositions
{
    int rowSplit = -1;
    int colSplit = -1;
    bool operator==(const SplitPositions &) const = default;
};
SplitPositions capturedSplitPositions(int rows, int columns, int row0Height, int column0Width);

// The splits a stored window asks for, -1 for none in a direction. A
// negative position is no split. Records from the Windows world store the
// whole height or width plus 2 for a direction without a split, so a window
// of one or two panes there holds two positions: the one nearer the far edge
// of the stored window is the unsplit direction and goes. Three or more
// panes split both ways. The positions themselves are kept as stored; the
// window they are restored into keeps them within its size.
SplitPositions restoredSplitPositions(const WorkspaceWindow &window);

// The page a stored window opens at: its url, or for a split window the page
// of the pane that lands in row 0, column 0 (the panes are stored from the
// active one back through the others). Empty when the record does not give
// that page (the window opens the home page).
std::string firstPaneUrl(const WorkspaceWindow &window);

// --- start-up and exit --------------------------------------------------------

// The workspace to restore at start-up: with AutoSave, the non-empty
// "default" entry; otherwise the first stored workspace, in map order, whose
// start-up flag is set. Nothing when there is none.
std::optional<Workspace> startupWorkspace(const WorkspaceMap &stored, bool autoSave);

// The stored map at exit: with AutoSave the capture goes in as "default"
// (start-up flag 0), otherwise "default" goes away.
void putExitWorkspace(WorkspaceMap &stored, bool autoSave, Workspace capture);

} // namespace corvane
