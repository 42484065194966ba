// Which windows of an area a maximized window hides.
#include "core/WindowStack.h"

#include <gtest/gtest.h>

namespace {
const StackedWindow normal{true, false, false};
const StackedWindow maximized{true, false, true};
const StackedWindow minimized{true, true, false};
const StackedWindow hidden{false, false, true};
} // namespace

TEST(WindowStack, EverythingBelowTheTopmostMaximizedWindowIsCovered)
{
    EXPECT_EQ(coveredWindows({}), std::vector<bool>{});
    // No maximized window: every page can be seen, overlapping or not.
    EXPECT_EQ(coveredWindows({normal, normal, normal}), (std::vector<bool>{false, false, false}));
    // A restored workspace keeps each window maximized: only the top one shows.
    EXPECT_EQ(coveredWindows({maximized, maximized, maximized}), (std::vector<bool>{false, true, true}));
    // A normal window in front of a maximized one stays uncovered, and so
    // does the maximized one (it shows around the normal window); what is
    // below the maximized one is covered.
    EXPECT_EQ(coveredWindows({normal, maximized, normal, normal}), (std::vector<bool>{false, false, true, true}));
}

TEST(WindowStack, MinimizedAndHiddenWindowsNeitherCoverNorAreCovered)
{
    // A minimized window that was maximized before shows as an icon only.
    const StackedWindow minimizedFromMaximized{true, true, true};
    EXPECT_EQ(coveredWindows({minimizedFromMaximized, normal}), (std::vector<bool>{false, false}));
    EXPECT_EQ(coveredWindows({maximized, minimized, normal}), (std::vector<bool>{false, false, true}));
    // A popup waiting for its check is hidden, maximized or not.
    EXPECT_EQ(coveredWindows({hidden, normal}), (std::vector<bool>{false, false}));
    EXPECT_EQ(coveredWindows({maximized, hidden}), (std::vector<bool>{false, false}));
}
