#pragma once

#include <ctime>
#include <functional>
#include <string>

// Whole-second timing of a navigation or of the program's run; its text is
// hours:minutes:seconds with the hours taken modulo 24.
class Stopwatch
{
public:
    explicit Stopwatch(std::function<std::time_t()> clock = {});

    void start();
    std::string elapsedText() const;

    // "%s:%s:%s" of hours (mod 24), minutes and seconds, each "0%d" below 10.
    static std::string format(long long totalSeconds);

private:
    std::function<std::time_t()> m_clock;
    std::time_t m_start = 0;
};
