#include "core/MenuLook.h"

#include <algorithm>

namespace corvane {

int menuDrawingStyle(bool msMenus)
{
    return msMenus ? 4 : 5;
}

bool menuStyleDrawsOwnFrame(int style)
{
    return style % 2 == 0;
}

bool menuStyleShowsIcons(int style)
{
    return style == 4;
}

int MenuLayout::popupItemHeight(int systemMenuHeight, int textHeight) const
{
    return std::max({systemMenuHeight, iconHeight + 4, textHeight});
}

} // namespace corvane
