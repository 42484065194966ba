#include "core/AutoRefreshText.h"

#include <gtest/gtest.h>

#include <climits>

using namespace corvane;

TEST(AutoRefreshText, IntervalInWords)
{
    struct Case
    {
        int m, s;
        const char *text;
    };
    const Case cases[] = {
        {2, 0, "2 minutes"}, // a new window's default
        {60, 0, "hour"},
        {60, 1, "hour and 1 second"},
        {60, 5, "hour and 5 seconds"},
        {0, 1, "second"},
        {1, 0, "minute"},
        {0, 45, "45 seconds"},
        {0, 0, "0 seconds"},
        {1, 1, "minute and 1 second"},
        {1, 30, "minute and 30 seconds"},
        {3, 1, "3 minutes and 1 second"},
        {3, 7, "3 minutes and 7 seconds"},
        {61, 0, "61 minutes"}, // beyond the hour: the general forms
        {90, 1, "90 minutes and 1 second"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(autoRefreshIntervalText(c.m, c.s), c.text) << c.m << ":" << c.s;
}

TEST(AutoRefreshText, MessagesAndLogLines)
{
    EXPECT_EQ(autoRefreshEnabledText(2, 0),
              "Automatic refreshing of the current view has been enabled.\nThis page will refresh every 2 minutes.");
    EXPECT_EQ(autoRefreshSetLogLine(1, 30), "AutoRefresh set at 1 minute(s) and 30 second(s).");
}

TEST(AutoRefreshText, IntervalNeverZeroNorOverflowing)
{
    EXPECT_EQ(autoRefreshIntervalMs(2, 0), 120000);
    EXPECT_EQ(autoRefreshIntervalMs(1, 30), 90000);
    EXPECT_EQ(autoRefreshIntervalMs(0, 0), 1000);
    EXPECT_EQ(autoRefreshIntervalMs(-5, 10), 1000);
    EXPECT_EQ(autoRefreshIntervalMs(INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(autoRefreshAppliedSeconds(0, 0), 1);
    EXPECT_EQ(autoRefreshAppliedSeconds(1, 0), 0);
}
