#include "core/Workspace.h"

#include "core/PaneGrid.h"
#include "core/Separators.h"

#include <climits>

namespace corvane {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// --- separators -------------------------------------------------------------

// First occurrence of a separator at or after `from`. A separator starting
// with B7 counts only where that byte does not continue a UTF-8 character;
// one starting with '|' needs no such care (a B7 after '|' never continues
// a character).
std::size_t findSeparator(std::string_view text, std::string_view separator, std::size_t from = 0)
{
    if (separator.front() != kSeparatorByte)
        return text.find(separator, from);
    for (std::size_t i = findSeparatorByte(text, from); i != npos; i = findSeparatorByte(text, i + 1)) {
        if (text.substr(i, separator.size()) == separator)
            return i;
    }
    return npos;
}

// Cuts text at every occurrence of the separator; the piece after the last
// one included.
std::vector<std::string_view> cut(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t at = findSeparator(text, separator); at != npos;
         at = findSeparator(text, separator, start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

// --- numbers ----------------------------------------------------------------

bool isScanfSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" at pos: blanks, an optional sign, at least one digit. Clamps to
// the int range. False (pos unchanged) when there is no number.
bool scanInt(std::string_view text, std::size_t &pos, int &value)
{
    std::size_t i = pos;
    while (i < text.size() && isScanfSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t digits = i;
    long long magnitude = 0;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (magnitude < kLimit)
            magnitude = magnitude * 10 + (text[i] - '0');
        ++i;
    }
    if (i == digits)
        return false;
    if (negative)
        value = magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
    else
        value = magnitude >= kLimit ? INT_MAX : static_cast<int>(magnitude);
    pos = i;
    return true;
}

// Reads "%d" B7 "%d" B7 ... into the fields in order, stopping at the first
// number or separator that is not there.
void scanInts(std::string_view text, std::initializer_list<int *> fields)
{
    std::size_t pos = 0;
    bool first = true;
    for (int *field : fields) {
        if (!first) {
            if (pos >= text.size() || text[pos] != kSeparatorByte)
                return;
            ++pos;
        }
        first = false;
        int value = 0;
        if (!scanInt(text, pos, value))
            return;
        *field = value;
    }
}

// True when the whole text is one "%d".
bool isPlainNumber(std::string_view text)
{
    std::size_t pos = 0;
    int value = 0;
    return scanInt(text, pos, value) && pos == text.size();
}

// True when the whole text is `count` numbers, each after a field separator
// but the first.
bool isNumberList(std::string_view text, int count)
{
    std::size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != kSeparatorByte)
                return false;
            ++pos;
        }
        int value = 0;
        if (!scanInt(text, pos, value))
            return false;
    }
    return pos == text.size();
}

std::string joinInts(std::initializer_list<int> values)
{
    std::string out;
    bool first = true;
    for (int v : values) {
        if (!first)
            out += kFieldSeparator;
        first = false;
        out += std::to_string(v);
    }
    return out;
}

// --- the leading text field ---------------------------------------------------

// The end of the text field that leads `section` (a name or an address)
// when `numbers` numbers should follow it, each after a field separator.
// Ordinarily the first separator byte. When that leaves one number too few,
// a B7 that ends a multi-byte character before it and is followed by a plain
// number up to that separator is the real one: the field is Windows-1252.
std::size_t leadingFieldEnd(std::string_view section, int numbers)
{
    std::size_t first = npos;     // first separator byte
    std::size_t swallowed = npos; // last B7 ending a character before `first`
    int separators = 0;
    std::size_t i = 0;
    while (i < section.size()) {
        const unsigned char c = static_cast<unsigned char>(section[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (const std::size_t n = utf8SequenceLength(section, i)) {
            if (first == npos && section[i + n - 1] == kSeparatorByte)
                swallowed = i + n - 1;
            i += n;
            continue;
        }
        if (section[i] == kSeparatorByte) {
            if (first == npos)
                first = i;
            ++separators;
        }
        ++i;
    }
    if (swallowed != npos && separators == numbers - 1) {
        const std::size_t fieldEnd = first == npos ? section.size() : first;
        if (isPlainNumber(section.substr(swallowed + 1, fieldEnd - swallowed - 1)))
            return swallowed;
    }
    return first;
}

// An address as the writer puts it: a '|' (and a stray separator byte, which
// no address from the engine holds) percent-encoded, so that the separators
// around it stay unambiguous.
std::string writableAddress(const std::string &url)
{
    if (url.find('|') == npos && findSeparatorByte(url) == npos)
        return url;
    std::string out;
    std::size_t i = 0;
    while (i < url.size()) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (c >= 0x80) {
            if (const std::size_t n = utf8SequenceLength(url, i)) {
                out.append(url, i, n);
                i += n;
                continue;
            }
        }
        if (url[i] == '|')
            out += "%7C";
        else if (url[i] == kSeparatorByte)
            out += "%B7";
        else
            out += url[i];
        ++i;
    }
    return out;
}

// Splits "text B7 numbers..." into the text and the numbers part.
struct Leading
{
    std::string_view field;
    std::string_view numbers;
    bool hasSeparator = false;
};
Leading splitLeading(std::string_view section, int numbers)
{
    const std::size_t end = leadingFieldEnd(section, numbers);
    if (end == npos)
        return {section, {}, false};
    return {section.substr(0, end), section.substr(end + 1), true};
}

} // namespace

// --- WorkspacePane --------------------------------------------------------------

std::string WorkspacePane::text() const
{
    return writableAddress(url) + std::string(kFieldSeparator)
           + joinInts({autoRefresh, refreshMinutes, refreshSeconds, scrollLeft, scrollTop});
}

WorkspacePane WorkspacePane::parse(std::string_view text)
{
    WorkspacePane pane;
    if (text.empty())
        return pane;
    const Leading lead = splitLeading(text, 5);
    pane.url = std::string(lead.field);
    if (lead.hasSeparator)
        scanInts(lead.numbers, {&pane.autoRefresh, &pane.refreshMinutes, &pane.refreshSeconds,
                                &pane.scrollLeft, &pane.scrollTop});
    return pane;
}

// --- WorkspaceWindow -------------------------------------------------------------

std::string WorkspaceWindow::unsplitText() const
{
    return writableAddress(url) + std::string(kFieldSeparator)
           + joinInts({bottom, left, right, top, showCmd, autoRefresh, refreshMinutes, refreshSeconds,
                       scrollLeft, scrollTop});
}

std::string WorkspaceWindow::splitHeaderText() const
{
    return joinInts({bottom, left, right, top, showCmd, rowSplit, colSplit, activeRow, activeCol,
                     splitterLocked});
}

std::string WorkspaceWindow::entryText() const
{
    if (!isSplit())
        return unsplitText();
    std::string out = splitHeaderText();
    out += kPaneListSeparator;
    for (std::size_t i = 0; i < panes.size(); ++i) {
        if (i > 0)
            out += kPaneSeparator;
        out += panes[i].text();
    }
    return out;
}

WorkspaceWindow WorkspaceWindow::parse(std::string_view entry)
{
    WorkspaceWindow w;
    if (entry.empty())
        return w;
    const std::size_t split = findSeparator(entry, kPaneListSeparator);
    if (split != npos) {
        scanInts(entry.substr(0, split), {&w.bottom, &w.left, &w.right, &w.top, &w.showCmd, &w.rowSplit,
                                          &w.colSplit, &w.activeRow, &w.activeCol, &w.splitterLocked});
        for (std::string_view pane : cut(entry.substr(split + kPaneListSeparator.size()), kPaneSeparator))
            w.panes.push_back(WorkspacePane::parse(pane));
        return w;
    }
    const Leading lead = splitLeading(entry, 10);
    if (lead.hasSeparator && isNumberList(entry, 10)) {
        // Ten numbers and nothing else: a split window's header whose panes
        // are lost, not a page at the address "500". The window keeps its
        // place and state, and opens without a page of its own.
        scanInts(entry, {&w.bottom, &w.left, &w.right, &w.top, &w.showCmd, &w.rowSplit, &w.colSplit,
                         &w.activeRow, &w.activeCol, &w.splitterLocked});
        w.url.clear();
        w.rowSplit = w.colSplit = -1;
        w.activeRow = w.activeCol = w.splitterLocked = 0;
        return w;
    }
    w.url = std::string(lead.field);
    if (lead.hasSeparator)
        scanInts(lead.numbers, {&w.bottom, &w.left, &w.right, &w.top, &w.showCmd, &w.autoRefresh,
                                &w.refreshMinutes, &w.refreshSeconds, &w.scrollLeft, &w.scrollTop});
    return w;
}

// --- Workspace -------------------------------------------------------------------

std::size_t workspaceNameEnd(std::string_view text)
{
    // The name ends at the first field separator; that may be the first byte
    // of the record/windows separator when the numbers are missing.
    const std::size_t numbersEnd = findSeparator(text, kRecordSeparator);
    const std::size_t end = leadingFieldEnd(text.substr(0, numbersEnd), 10);
    return end != npos ? end : numbersEnd;
}

std::string Workspace::text() const
{
    std::string out = name;
    out += kFieldSeparator;
    out += joinInts({startup, bottom, left, right, top, showCmd, toolBar, statusBar, addressBar, tabs});
    out += kRecordSeparator;
    out += windows;
    return out;
}

Workspace Workspace::parse(std::string_view text)
{
    Workspace ws;
    if (text.empty())
        return ws;
    ws.empty = false;

    const std::size_t numbersEnd = findSeparator(text, kRecordSeparator);
    const std::size_t nameEnd = workspaceNameEnd(text);
    if (nameEnd == npos) {
        ws.name.clear();
        return ws;
    }
    ws.name = std::string(text.substr(0, nameEnd));
    if (nameEnd < numbersEnd) {
        const std::string_view numbers = numbersEnd == npos ? text.substr(nameEnd + 1)
                                                            : text.substr(nameEnd + 1, numbersEnd - nameEnd - 1);
        scanInts(numbers, {&ws.startup, &ws.bottom, &ws.left, &ws.right, &ws.top, &ws.showCmd,
                           &ws.toolBar, &ws.statusBar, &ws.addressBar, &ws.tabs});
    }
    if (numbersEnd != npos)
        ws.windows = std::string(text.substr(numbersEnd + kRecordSeparator.size()));
    return ws;
}

std::map<int, std::string> Workspace::windowMap() const
{
    std::map<int, std::string> map;
    if (windows.empty() || windows == kNoWindows)
        return map;
    int number = 0;
    for (std::string_view piece : cut(windows, kWindowSeparator))
        map.emplace(++number, std::string(piece));
    return map;
}

void Workspace::setWindows(const std::vector<std::string> &entries)
{
    if (entries.empty()) {
        windows = std::string(kNoWindows);
        return;
    }
    windows.clear();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            windows += kWindowSeparator;
        windows += entries[i];
    }
}

// --- capture ----------------------------------------------------------------------

std::vector<std::string> orderCapturedWindows(std::vector<std::string> visited)
{
    if (visited.size() > 2) {
        // 1, 2, ..., N  ->  1, N, ..., 2
        std::vector<std::string> ordered;
        ordered.reserve(visited.size());
        ordered.push_back(std::move(visited.front()));
        for (std::size_t i = visited.size() - 1; i >= 1; --i)
            ordered.push_back(std::move(visited[i]));
        return ordered;
    }
    return visited;
}

SplitPositions capturedSplitPositions(int rows, int columns, int row0Height, int column0Width)
{
    SplitPositions p;
    if (rows > 1)
        p.rowSplit = row0Height > INT_MAX - 2 ? INT_MAX : row0Height + 2;
    if (columns > 1)
        p.colSplit = column0Width > INT_MAX - 2 ? INT_MAX : column0Width + 2;
    return p;
}

SplitPositions restoredSplitPositions(const WorkspaceWindow &window)
{
    SplitPositions p{window.rowSplit < 0 ? -1 : window.rowSplit,
                     window.colSplit < 0 ? -1 : window.colSplit};
    if (p.rowSplit < 0 || p.colSplit < 0 || window.panes.size() > 2)
        return p;
    // Both given for at most two panes: the one reaching further across the
    // stored window is the whole extent.
    const long long height = static_cast<long long>(window.bottom) - window.top;
    const long long width = static_cast<long long>(window.right) - window.left;
    if (height <= 0 || width <= 0) {
        p.colSplit = -1;
        return p;
    }
    // rowSplit / height against colSplit / width, without dividing.
    if (static_cast<long long>(p.rowSplit) * width >= static_cast<long long>(p.colSplit) * height)
        p.rowSplit = -1;
    else
        p.colSplit = -1;
    return p;
}

std::string firstPaneUrl(const WorkspaceWindow &window)
{
    if (!window.isSplit())
        return window.url;
    // The order is the grid's: which rows and columns there are, and the
    // active pane as the grid keeps it.
    PaneGrid grid;
    const SplitPositions split = restoredSplitPositions(window);
    if (split.rowSplit >= 0)
        grid.splitRow(split.rowSplit);
    if (split.colSplit >= 0)
        grid.splitColumn(split.colSplit);
    grid.setActivePane(PanePos{window.activeRow, window.activeCol});
    const std::vector<PanePos> order = grid.panesFromActive();
    for (std::size_t i = 0; i < order.size() && i < window.panes.size(); ++i) {
        if (order[i] == PanePos{0, 0})
            return window.panes[i].url;
    }
    return {};
}

// --- start-up and exit ----------------------------------------------------------------

std::optional<Workspace> startupWorkspace(const WorkspaceMap &stored, bool autoSave)
{
    if (autoSave) {
        const auto it = stored.find(std::string(kDefaultWorkspaceName));
        if (it == stored.end() || it->second.empty())
            return std::nullopt;
        return Workspace::parse(it->second);
    }
    for (const auto &[name, text] : stored) {
        Workspace ws = Workspace::parse(text);
        if (ws.startup != 0)
            return ws;
    }
    return std::nullopt;
}

void putExitWorkspace(WorkspaceMap &stored, bool autoSave, Workspace capture)
{
    const std::string key(kDefaultWorkspaceName);
    if (!autoSave) {
        stored.erase(key);
        return;
    }
    capture.name = key;
    capture.startup = 0;
    stored[key] = capture.text();
}

} // namespace corvane
