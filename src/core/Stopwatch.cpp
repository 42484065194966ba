#include "core/Stopwatch.h"

#include <string>
#include <utility>

namespace {

std::string twoDigits(long long n)
{
    std::string s = std::to_string(n);
    return n < 10 ? "0" + s : s;
}

} // namespace

Stopwatch::Stopwatch(std::function<std::time_t()> clock)
    : m_clock(clock ? std::move(clock) : [] { return std::time(nullptr); })
{
    // A stopwatch that is never restarted measures from its creation (the main
    // window's running time), never from the epoch.
    start();
}

void Stopwatch::start()
{
    m_start = m_clock();
}

std::string Stopwatch::elapsedText() const
{
    return format(static_cast<long long>(m_clock()) - static_cast<long long>(m_start));
}

std::string Stopwatch::format(long long totalSeconds)
{
    // The wall clock may be set back while a navigation runs; that is no time
    // spent, not a negative one.
    if (totalSeconds < 0)
        totalSeconds = 0;
    const long long seconds = totalSeconds % 60;
    const long long minutes = (totalSeconds / 60) % 60;
    const long long hours = (totalSeconds / 3600) % 24; // whole days are dropped
    return twoDigits(hours) + ":" + twoDigits(minutes) + ":" + twoDigits(seconds);
}
