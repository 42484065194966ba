#pragma once

#include <string>

namespace corvane {

// The texts and numbers of a view's AutoRefresh: the interval in words for
// the toggle's message, the messages and log lines, and the timer interval.

// The interval in words, as "This page will refresh every %s." shows it:
// 60:00 "hour", 60:01 "hour and 1 second", 60:ss "hour and ss seconds",
// 0:01 "second", 1:00 "minute", 0:ss "ss seconds" (also 0:00), mm:00
// "mm minutes", 1:01 "minute and 1 second", 1:ss "minute and ss seconds",
// mm:01 "mm minutes and 1 second", else "mm minutes and ss seconds".
// Minutes above 60 take the general forms.
std::string autoRefreshIntervalText(int minutes, int seconds);

// The timer interval in milliseconds, minutes * 60000 + seconds * 1000. A
// timer of 0 ms would reload without pause: an interval below one second
// (0:00, or negative values from a hand-edited workspace) counts as one
// second, and one beyond what a timer holds is cut to INT_MAX ms.
int autoRefreshIntervalMs(int minutes, int seconds);

// What the Current View page stores when applied: 0:00 becomes 0:01.
inline int autoRefreshAppliedSeconds(int minutes, int seconds)
{
    return (minutes == 0 && seconds == 0) ? 1 : seconds;
}

// The toggle's messages (information icon), shown when `MsgAutoRefresh` is on.
inline constexpr const char *kAutoRefreshDisabledTitle = "AutoRefresh disabled";
inline constexpr const char *kAutoRefreshDisabledText = "Automatic refreshing of the current view has been disabled.";
inline constexpr const char *kAutoRefreshEnabledTitle = "AutoRefresh enabled";
// "Automatic refreshing ... enabled.\nThis page will refresh every " + interval text + "."
std::string autoRefreshEnabledText(int minutes, int seconds);

// Log lines: at every tick, and when the Current View page switches it on.
inline constexpr const char *kAutoRefreshTickLogLine = "AutoRefreshing...";
// "AutoRefresh set at %d minute(s) and %d second(s)."
std::string autoRefreshSetLogLine(int minutes, int seconds);

} // namespace corvane
