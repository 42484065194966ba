#include "core/WindowStack.h"

std::vector<bool> coveredWindows(const std::vector<StackedWindow> &topDown)
{
    std::vector<bool> covered(topDown.size(), false);
    bool underMaximized = false;
    for (std::size_t i = 0; i < topDown.size(); ++i) {
        const StackedWindow &w = topDown[i];
        if (!w.shown || w.minimized)
            continue;
        covered[i] = underMaximized;
        if (w.maximized)
            underMaximized = true;
    }
    return covered;
}
