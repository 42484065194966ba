#include "core/TabStyle.h"

#include <algorithm>

namespace corvane {

TabStyle tabStyle(bool bottomPlacement, bool buttons, bool stacked)
{
    TabStyle style;
    if (stacked)
        style.bits |= kTabStyleMultiLine;
    if (buttons)
        style.bits |= kTabStyleButtons;
    if (bottomPlacement)
        style.bits |= kTabStyleBottom;
    style.border = buttons ? (bottomPlacement ? 0 : 2) : 1;
    return style;
}

Rect insetByBorder(const Rect &rect, int border)
{
    Rect r = rect;
    // In 64 bits: neither far-out edges nor a large border may wrap.
    const long long twice = 2LL * border;
    if (static_cast<long long>(r.right) - r.left > twice) {
        r.left += border;
        r.right -= border;
    } else {
        r.left = r.right;
    }
    if (static_cast<long long>(r.bottom) - r.top > twice) {
        r.top += border;
        r.bottom -= border;
    } else {
        r.top = r.bottom;
    }
    return r;
}

namespace {

// Shrinks by the amounts on each side; too narrow (low) collapses to no
// width (height) at the right (bottom) edge.
Rect shrunk(Rect r, int left, int top, int right, int bottom)
{
    if (static_cast<long long>(r.right) - r.left > static_cast<long long>(left) + right) {
        r.left += left;
        r.right -= right;
    } else {
        r.left = std::max(r.left, r.right);
        r.right = r.left;
    }
    if (static_cast<long long>(r.bottom) - r.top > static_cast<long long>(top) + bottom) {
        r.top += top;
        r.bottom -= bottom;
    } else {
        r.top = std::max(r.top, r.bottom);
        r.bottom = r.top;
    }
    return r;
}

int spacing(const TabStyle &style)
{
    return style.buttons() ? kTabButtonSpacing : 0;
}

} // namespace

Rect tabDisplayArea(const Rect &bar, const TabStyle &style, int stripHeight, int frameWidth)
{
    const int strip = std::max(0, stripHeight) + spacing(style);
    const int frame = style.buttons() ? 0 : std::max(0, frameWidth);
    Rect r = insetByBorder(bar, style.border);
    r = style.bottom() ? shrunk(r, 0, 0, 0, strip) : shrunk(r, 0, strip, 0, 0);
    return shrunk(r, frame, frame, frame, frame);
}

TabStrip layoutTabStrip(const std::vector<int> &widths, int available, const TabStyle &style,
                        int selected, int firstShown, int scrollerWidth)
{
    TabStrip strip;
    const int n = int(widths.size());
    const int gap = spacing(style);
    available = std::max(0, available);
    strip.slots.resize(size_t(n));
    if (n == 0)
        return strip;

    if (!style.stacked()) {
        long long total = 0;
        for (int w : widths)
            total += std::max(0, w) + gap;
        total -= gap;
        int room = available;
        if (total > available) {
            strip.scrolls = true;
            room = std::max(0, available - scrollerWidth);
            strip.firstShown = std::clamp(firstShown, 0, n - 1);
            // No further than needed to show the last tab.
            long long tail = 0;
            int lowest = n - 1;
            for (int i = n - 1; i >= 0; --i) {
                tail += std::max(0, widths[size_t(i)]) + (i < n - 1 ? gap : 0);
                if (tail > room)
                    break;
                lowest = i;
            }
            strip.firstShown = std::min(strip.firstShown, lowest);
        }
        long long x = 0;
        for (int i = 0; i < strip.firstShown; ++i)
            x -= std::max(0, widths[size_t(i)]) + gap;
        for (int i = 0; i < n; ++i) {
            const int w = std::max(0, widths[size_t(i)]);
            strip.slots[size_t(i)] = TabSlot{0, int(std::clamp<long long>(x, -(1LL << 30), 1LL << 30)), w};
            x += w + gap;
        }
        return strip;
    }

    // Stacked: fill the rows.
    std::vector<std::vector<int>> rows(1);
    long long used = 0;
    for (int i = 0; i < n; ++i) {
        const int w = std::min(std::max(0, widths[size_t(i)]), available);
        const long long need = rows.back().empty() ? w : used + gap + w;
        if (!rows.back().empty() && need > available) {
            rows.emplace_back();
            used = w;
        } else {
            used = need;
        }
        rows.back().push_back(i);
    }
    strip.rows = int(rows.size());
    const bool stretch = strip.rows > 1;
    int selectedRow = 0;
    for (int r = 0; r < strip.rows; ++r) {
        const std::vector<int> &row = rows[size_t(r)];
        const int count = int(row.size());
        int natural = 0;
        for (int i : row)
            natural += std::min(std::max(0, widths[size_t(i)]), available);
        const int spare = stretch ? std::max(0, available - natural - gap * (count - 1)) : 0;
        int x = 0;
        for (int k = 0; k < count; ++k) {
            const int i = row[size_t(k)];
            const int w = std::min(std::max(0, widths[size_t(i)]), available) + spare / count
                          + (k < spare % count ? 1 : 0);
            strip.slots[size_t(i)] = TabSlot{r, x, w};
            x += w + gap;
            if (i == selected)
                selectedRow = r;
        }
    }
    // Tabs: the selected tab's row comes next to the windows.
    if (!style.buttons() && selectedRow != 0) {
        for (TabSlot &slot : strip.slots)
            slot.row = (slot.row - selectedRow + strip.rows) % strip.rows;
    }
    return strip;
}

int tabFirstShownFor(const std::vector<int> &widths, int available, const TabStyle &style,
                     int firstShown, int selected)
{
    const int n = int(widths.size());
    if (n == 0 || selected < 0 || selected >= n)
        return std::clamp(firstShown, 0, std::max(0, n - 1));
    const int gap = spacing(style);
    int first = std::clamp(firstShown, 0, n - 1);
    if (selected < first)
        return selected;
    auto span = [&](int from) {
        long long sum = 0;
        for (int i = from; i <= selected; ++i)
            sum += std::max(0, widths[size_t(i)]) + (i > from ? gap : 0);
        return sum;
    };
    while (first < selected && span(first) > available)
        ++first;
    return first;
}

std::string tabTitle(std::string_view requestedTitle, std::string_view documentTitle,
                          std::string_view windowText)
{
    if (!requestedTitle.empty())
        return std::string(requestedTitle);
    if (!documentTitle.empty())
        return std::string(documentTitle);
    return std::string(windowText);
}

} // namespace corvane
