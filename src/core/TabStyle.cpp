#include "core/TabStyle.h"

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
