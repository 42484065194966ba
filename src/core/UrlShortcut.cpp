#include "core/UrlShortcut.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

UrlShortcutResult parseUrlShortcut(const std::string &fileBytes)
{
    static constexpr char kKey[] = "URL=";
    UrlShortcutResult result;
    // The "URL=" that starts a line: a "BASEURL=" line before it holds
    // another address. Without one, the first "URL=" anywhere.
    std::size_t key = fileBytes.rfind(kKey, 0) == 0 ? 0 : fileBytes.find(std::string("\n") + kKey);
    if (key != std::string::npos && key != 0)
        ++key;
    if (key == std::string::npos)
        key = fileBytes.find(kKey);
    if (key == std::string::npos)
        return result;
    result.found = true;

    const std::size_t begin = key + sizeof kKey - 1;
    std::size_t end = fileBytes.find('\n', begin);
    if (end == std::string::npos)
        end = fileBytes.size(); // a last line without its line feed
    if (end > begin && fileBytes[end - 1] == '\r')
        --end;
    result.address = fileBytes.substr(begin, end - begin);
    return result;
}

UrlShortcutResult readUrlShortcut(const std::string &path)
{
    std::string bytes;
    // O_NONBLOCK: opening a pipe does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxUrlShortcutBytes) {
            bytes.resize(std::size_t(st.st_size));
            std::size_t got = 0;
            while (got < bytes.size()) {
                const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                got += std::size_t(n);
            }
            bytes.resize(got);
        }
        ::close(fd);
    }
    return parseUrlShortcut(bytes);
}

bool isUrlShortcutPath(const std::string &path)
{
    static constexpr char kSuffix[] = ".url";
    constexpr std::size_t n = sizeof kSuffix - 1;
    if (path.size() < n)
        return false;
    return std::equal(path.end() - n, path.end(), kSuffix, [](char c, char s) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return lower == s;
    });
}

} // namespace corvane
