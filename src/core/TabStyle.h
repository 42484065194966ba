#pragma once

#include "core/Rect.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The window-tab bar's look from the three settings, the ring it keeps
// around the windows, and the title a tab shows.

// Style bits of the tab bar.
inline constexpr unsigned kTabStyleBottom = 0x0002;    // tabs below the windows
inline constexpr unsigned kTabStyleHotTrack = 0x0040;  // always set
inline constexpr unsigned kTabStyleButtons = 0x0100;   // tabs drawn as buttons
inline constexpr unsigned kTabStyleMultiLine = 0x0200; // stacked rows

struct TabStyle
{
    unsigned bits = kTabStyleHotTrack;
    int border = 1; // inset in pixels between the bar's edge and the windows

    bool bottom() const { return bits & kTabStyleBottom; }
    bool buttons() const { return bits & kTabStyleButtons; }
    bool stacked() const { return bits & kTabStyleMultiLine; }
    bool operator==(const TabStyle &) const = default;
};

// From `TabsBottomPlacement`, `TabsButtons` and `TabsStacked`. The border is
// 0 for buttons at the bottom, 2 for buttons at the top, 1 for tabs.
TabStyle tabStyle(bool bottomPlacement, bool buttons, bool stacked);

// The rectangle inside the border: inset by the border left and right when
// wider than twice the border, otherwise zero width at its right edge; the
// same for top and bottom. Never inverted.
Rect insetByBorder(const Rect &rect, int border);

// The area left for the windows inside a bar of this style: inset by the
// border, the tab strip (stripHeight) taken off the top or the bottom, and for
// tabs (not buttons) the frame around the windows taken off every side; button
// tabs keep kTabButtonSpacing between their strip and the windows. A bar too
// small for it gives an empty area at its edge, never an inverted one.
Rect tabDisplayArea(const Rect &bar, const TabStyle &style, int stripHeight, int frameWidth);

// Button tabs stand this far apart, and so do their rows.
inline constexpr int kTabButtonSpacing = 3;

// Where one tab goes. Row 0 lies next to the windows, the next rows further
// away; left is from the strip's start (negative: scrolled out).
struct TabSlot
{
    int row = 0;
    int left = 0;
    int width = 0;
    bool operator==(const TabSlot &) const = default;
};

struct TabStrip
{
    int rows = 1;
    std::vector<TabSlot> slots; // one per tab, in tab order
    // One row that does not fit: scroll arrows take scrollerWidth at the
    // strip's end and the tabs before firstShown are scrolled out.
    bool scrolls = false;
    int firstShown = 0;
};

// Lays out tabs of the given natural widths in a strip `available` wide.
// Stacked: the tabs fill rows in tab order, from the row next to the windows
// outwards; a tab wider than the strip has a row of its own at the strip's
// width; with more than one row every row is stretched to the strip's width,
// and for tabs (not buttons) the row holding the selected tab moves next to
// the windows, the others following round in their order. Not stacked: one
// row at natural widths; when it does not fit it scrolls from firstShown,
// which goes no further than needed to show the last tab.
TabStrip layoutTabStrip(const std::vector<int> &widths, int available, const TabStyle &style,
                        int selected, int firstShown, int scrollerWidth);

// The first tab to show in a scrolling row so that the selected tab is
// wholly in view (when it fits at all), moving as little as possible.
int tabFirstShownFor(const std::vector<int> &widths, int available, const TabStyle &style,
                     int firstShown, int selected);

// The title of a window's tab: the title the window gives when asked, else
// its document's title, else its window text. Not shortened.
std::string tabTitle(std::string_view requestedTitle, std::string_view documentTitle,
                          std::string_view windowText);

} // namespace corvane
