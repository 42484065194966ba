#pragma once

#include <vector>

// A window of an MDI area as its stacking order sees it.
struct StackedWindow
{
    bool shown = true;      // a hidden window (a popup waiting for its check) covers nothing
    bool minimized = false; // an icon at the bottom of the area
    bool maximized = false; // fills the whole area
};

// For the windows of an area from the top of the stack down: which are
// wholly covered by a maximized window above them. The page of a covered
// window cannot be seen, so nothing of it needs to be drawn until it is
// uncovered. Minimized and hidden windows are never reported covered: they
// show no page either way.
std::vector<bool> coveredWindows(const std::vector<StackedWindow> &topDown);
