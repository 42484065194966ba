#include "core/Rect.h"

#include <algorithm>
#include <climits>

Rect keepOnArea(const Rect &window, const Rect &area, int margin)
{
    if (area.isEmpty())
        return window;
    using Wide = long long;
    const Wide areaWidth = Wide(area.right) - area.left;
    const Wide areaHeight = Wide(area.bottom) - area.top;
    const Wide keep = std::clamp<Wide>(margin, 1, std::min(areaWidth, areaHeight));
    const Wide width = std::clamp<Wide>(Wide(window.right) - window.left, keep, areaWidth);
    const Wide height = std::clamp<Wide>(Wide(window.bottom) - window.top, keep, areaHeight);
    Wide left = window.left;
    Wide top = window.top;
    const bool reachable = top >= area.top && top <= Wide(area.bottom) - keep
                           && left <= Wide(area.right) - keep && left + width >= Wide(area.left) + keep;
    if (!reachable) {
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
