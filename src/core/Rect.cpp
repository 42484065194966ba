#include "core/Rect.h"

#include <algorithm>
#include <climits>

std::optional<Rect> placeOnArea(const Rect &window, const Rect &area, Size usable)
{
    if (area.isEmpty())
        return window;
    if (window.isEmpty() || intersected(window, area).isEmpty())
        return std::nullopt;
    using Wide = long long;
    const Wide areaWidth = Wide(area.right) - area.left;
    const Wide areaHeight = Wide(area.bottom) - area.top;
    const Wide leastWidth = std::clamp<Wide>(usable.width, 1, areaWidth);
    const Wide leastHeight = std::clamp<Wide>(usable.height, 1, areaHeight);
    const Wide width = std::clamp<Wide>(Wide(window.right) - window.left, leastWidth, areaWidth);
    const Wide height = std::clamp<Wide>(Wide(window.bottom) - window.top, leastHeight, areaHeight);
    Wide left = window.left;
    Wide top = window.top;
    const Wide shownWidth = std::min<Wide>(left + width, area.right) - std::max<Wide>(left, area.left);
    const Wide shownHeight = std::min<Wide>(top + height, area.bottom) - top;
    const bool usableWhereItIs = top >= area.top && shownWidth >= leastWidth && shownHeight >= leastHeight;
    if (!usableWhereItIs) {
        left = std::clamp<Wide>(left, area.left, Wide(area.right) - width);
        top = std::clamp<Wide>(top, area.top, Wide(area.bottom) - height);
    }
    // Within the area's int edges, so every value fits an int again.
    return Rect{int(left), int(top), int(left + width), int(top + height)};
}

Rect placementToStore(const Rect &reported, const std::optional<Rect> &stored, bool positionReported)
{
    if (positionReported || !stored)
        return reported;
    using Wide = long long;
    const auto edge = [](Wide from, Wide size) {
        return int(std::clamp<Wide>(from + size, INT_MIN, INT_MAX));
    };
    return Rect{stored->left, stored->top, edge(stored->left, Wide(reported.right) - reported.left),
                edge(stored->top, Wide(reported.bottom) - reported.top)};
}
