#pragma once

#include <ctime>
#include <functional>
#include <string>

class SettingsStore;

// Appends timestamped lines to the navigation log file while Logging is on.
// Settings are read at every line; the file is opened, locked exclusively,
// appended to and closed for each line. A line that cannot be written (bad
// path, no permission, another writer holding the file) is silently lost.
class NavigationLog
{
public:
    explicit NavigationLog(const SettingsStore &settings);

    void write(const std::string &text);
    void write(const char *text) { write(std::string(text ? text : "")); }

    // The clock the timestamps come from (seconds since the epoch, shown in
    // local time). Replaceable for tests.
    void setClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }

    // "[%02d/%02d/%04d-%02d:%02d:%02d] ": month, day, year, hour, minute, second.
    static std::string timestamp(const std::tm &local);

    // A banner line of 135 "=" characters.
    static std::string banner();

    // Whether lines could be written to path: an absolute path that opens
    // for writing (created when missing) and is not marked read-only. A file
    // the check itself created is removed again, so the check leaves nothing
    // behind; an existing log keeps its content.
    static bool canWrite(const std::string &path);

private:
    const SettingsStore &m_settings;
    std::function<std::time_t()> m_clock;
};
