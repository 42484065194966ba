#include "core/NavigationLog.h"

#include "core/SettingsStore.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBannerWidth = 135;

// Closes the descriptor (and so drops its lock) on every way out.
class FileCloser
{
public:
    explicit FileCloser(int fd) : m_fd(fd) {}
    ~FileCloser() { ::close(m_fd); }
    FileCloser(const FileCloser &) = delete;
    FileCloser &operator=(const FileCloser &) = delete;

private:
    int m_fd;
};

// A file the user has marked read-only (no write bit for anybody) takes no
// lines, also when the program runs with rights that could override the mark.
bool markedReadOnly(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return true;
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void writeAll(int fd, const std::string &bytes)
{
    const char *p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; // disk full, device gone: the rest of the line is lost
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

} // namespace

NavigationLog::NavigationLog(const SettingsStore &settings)
    : m_settings(settings)
    , m_clock([] { return std::time(nullptr); })
{
}

void NavigationLog::write(const std::string &text)
{
    // Both settings are read for every line so that a change in the Options
    // sheet applies to the very next one.
    if (!m_settings.logging())
        return;
    const std::string path = m_settings.logFile();
    if (path.empty())
        return;

    // O_NONBLOCK only matters when the path names a FIFO nobody reads: the
    // open then fails at once instead of hanging the user interface. A new
    // log is the user's alone: it records where the user browsed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd < 0)
        return;
    FileCloser closer(fd);

    if (markedReadOnly(fd))
        return;

    // Another writer (a second running copy, or anyone holding the lock) makes
    // the line disappear rather than interleave with its own. A file system
    // that cannot lock at all still gets its lines.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR))
        return;

    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&now, &local))
        return;

    // One write per line: timestamp, text exactly as given, CR LF.
    std::string line = timestamp(local);
    line.reserve(line.size() + text.size() + 2);
    line += text;
    line += "\r\n";
    writeAll(fd, line);
}

std::string NavigationLog::timestamp(const std::tm &local)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "[%02d/%02d/%04d-%02d:%02d:%02d] ", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

std::string NavigationLog::banner()
{
    return std::string(kBannerWidth, '=');
}

bool NavigationLog::canWrite(const std::string &path)
{
    if (path.empty() || path.front() != '/')
        return false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(path.c_str());
        return true;
    }
    if (errno != EEXIST)
        return false;
    const int existing = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (existing < 0)
        return false;
    FileCloser closer(existing);
    struct stat st {};
    return ::fstat(existing, &st) == 0 && S_ISREG(st.st_mode) && !markedReadOnly(existing);
}
