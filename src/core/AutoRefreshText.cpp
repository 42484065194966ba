#include "core/AutoRefreshText.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace corvane {

std::string autoRefreshIntervalText(int minutes, int seconds)
{
    const std::string m = std::to_string(minutes);
    const std::string s = std::to_string(seconds);
    if (minutes == 60) {
        if (seconds == 0)
            return "hour";
        return "hour and " + s + (seconds == 1 ? " second" : " seconds");
    }
    if (minutes == 0 && seconds == 1)
        return "second";
    if (minutes == 1 && seconds == 0)
        return "minute";
    if (minutes == 0)
        return s + " seconds";
    if (seconds == 0)
        return m + " minutes";
    if (minutes == 1)
        return "minute and " + s + (seconds == 1 ? " second" : " seconds");
    return m + " minutes and " + s + (seconds == 1 ? " second" : " seconds");
}

int autoRefreshIntervalMs(int minutes, int seconds)
{
    const std::int64_t ms = std::int64_t(minutes) * 60000 + std::int64_t(seconds) * 1000;
    return int(std::clamp<std::int64_t>(ms, 1000, INT_MAX));
}

std::string autoRefreshEnabledText(int minutes, int seconds)
{
    return "Automatic refreshing of the current view has been enabled.\nThis page will refresh every "
           + autoRefreshIntervalText(minutes, seconds) + ".";
}

std::string autoRefreshSetLogLine(int minutes, int seconds)
{
    return "AutoRefresh set at " + std::to_string(minutes) + " minute(s) and " + std::to_string(seconds)
           + " second(s).";
}

} // namespace corvane
