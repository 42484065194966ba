#include "core/DialogAnchors.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace corvane {

namespace {

// percent% of size, truncated, in 64 bits so that no size overflows.
std::int64_t share(int percent, int size)
{
    return std::int64_t(percent) * size / 100;
}

int clampToInt(std::int64_t v)
{
    return int(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

Anchor makeAnchor(const Rect &control, int clientWidth, int clientHeight, AnchorPoint topLeft,
                  AnchorPoint bottomRight)
{
    Anchor a;
    a.topLeft = topLeft == kAnchorNone ? kAnchorTopLeft : topLeft;
    a.bottomRight = bottomRight == kAnchorNone ? a.topLeft : bottomRight;
    a.marginLeft = clampToInt(control.left - share(a.topLeft.x, clientWidth));
    a.marginTop = clampToInt(control.top - share(a.topLeft.y, clientHeight));
    a.marginRight = clampToInt(control.right - share(a.bottomRight.x, clientWidth));
    a.marginBottom = clampToInt(control.bottom - share(a.bottomRight.y, clientHeight));
    return a;
}

Rect anchoredRect(const Anchor &a, int clientWidth, int clientHeight)
{
    return Rect{clampToInt(a.marginLeft + share(a.topLeft.x, clientWidth)),
                clampToInt(a.marginTop + share(a.topLeft.y, clientHeight)),
                clampToInt(a.marginRight + share(a.bottomRight.x, clientWidth)),
                clampToInt(a.marginBottom + share(a.bottomRight.y, clientHeight))};
}

int listBoxHorizontalExtent(const std::vector<int> &itemWidths, int offset)
{
    if (itemWidths.empty())
        return 0;
    const std::int64_t widest = *std::max_element(itemWidths.begin(), itemWidths.end());
    return clampToInt(std::max<std::int64_t>(widest - offset, 0));
}

} // namespace corvane
