#pragma once

#include "core/Rect.h"

#include <string>
#include <string_view>

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

// The title of a window's tab: the title the window gives when asked, else
// its document's title, else its window text. Not shortened.
std::string tabTitle(std::string_view requestedTitle, std::string_view documentTitle,
                          std::string_view windowText);

} // namespace corvane
