#pragma once

#include "core/Rect.h"

#include <vector>

namespace corvane {

// Controls of the resizable dialogs follow the dialog's edges by anchors
// given in percent of the client width and height. When a control is
// anchored, its distance from each anchor is kept as a margin; every resize
// puts each edge back at its anchor plus its margin. A control anchored at
// the top left and the bottom right grows with the dialog; one anchored at a
// single point moves without changing its size.

struct AnchorPoint
{
    int x = 0; // percent of the client width
    int y = 0; // percent of the client height
    bool operator==(const AnchorPoint &) const = default;
};

inline constexpr AnchorPoint kAnchorTopLeft{0, 0};
inline constexpr AnchorPoint kAnchorTopCenter{50, 0};
inline constexpr AnchorPoint kAnchorTopRight{100, 0};
inline constexpr AnchorPoint kAnchorMiddleLeft{0, 50};
inline constexpr AnchorPoint kAnchorMiddleCenter{50, 50};
inline constexpr AnchorPoint kAnchorMiddleRight{100, 50};
inline constexpr AnchorPoint kAnchorBottomLeft{0, 100};
inline constexpr AnchorPoint kAnchorBottomCenter{50, 100};
inline constexpr AnchorPoint kAnchorBottomRight{100, 100};
// As the bottom-right anchor: the same as the top-left one (move, keep the
// size). As the top-left anchor: the top left.
inline constexpr AnchorPoint kAnchorNone{-1, -1};

struct Anchor
{
    AnchorPoint topLeft;
    AnchorPoint bottomRight;
    int marginLeft = 0;   // control left - topLeft.x% of the width
    int marginTop = 0;
    int marginRight = 0;  // control right - bottomRight.x% of the width
    int marginBottom = 0;
    bool operator==(const Anchor &) const = default;
};

// The anchor of a control at `control` (client coordinates) in a client area
// of the given size. Percentages of a size are truncated to whole pixels.
Anchor makeAnchor(const Rect &control, int clientWidth, int clientHeight, AnchorPoint topLeft,
                  AnchorPoint bottomRight = kAnchorNone);

// Where the control goes in a client area of the new size.
Rect anchoredRect(const Anchor &anchor, int clientWidth, int clientHeight);

// A list box's horizontal scroll extent from the widths of its items in
// pixels: the largest width minus `offset`, and 0 when that is not positive
// (also for an empty list).
int listBoxHorizontalExtent(const std::vector<int> &itemWidths, int offset);

// The offsets of the managers' lists: Window Spawning Manager 50, Links
// Manager and Workspace Manager 100.
inline constexpr int kSpawningListExtentOffset = 50;
inline constexpr int kLinksListExtentOffset = 100;
inline constexpr int kWorkspacesListExtentOffset = 100;

} // namespace corvane
