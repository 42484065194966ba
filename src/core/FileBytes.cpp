#include "core/FileBytes.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

std::optional<std::string> readFileBytes(const std::string &path, std::size_t maxBytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> result;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::uint64_t(st.st_size) <= maxBytes) {
        std::string bytes;
        char buffer[65536];
        bool ok = true;
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
            bytes.append(buffer, std::size_t(n));
            if (bytes.size() > maxBytes) { // grew while we read
                ok = false;
                break;
            }
        }
        if (ok)
            result = std::move(bytes);
    }
    ::close(fd);
    return result;
}

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

// Makes a rename into the folder of path last: without it a crash may
// leave the folder holding the old entry. Folders that cannot be synced are
// left as they are.
void syncFolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool writeFileBytes(const std::string &path, std::string_view bytes, unsigned newFileMode)
{
    mode_t mode = mode_t(newFileMode & 07777);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0)
            st.st_mode = S_IFREG | mode; // a dangling link is replaced by a new file
        if (!S_ISREG(st.st_mode))
            return false;
        mode = st.st_mode & 07777;
    }

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd >= 0) {
        bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
            syncFolderOf(path);
            return true;
        }
        ::unlink(temp.c_str());
        return false;
    }

    // The folder takes no temp file: rewrite the file in place.
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode);
    if (out < 0)
        return false;
    bool ok = ::fstat(out, &st) == 0 && S_ISREG(st.st_mode) && writeAll(out, bytes) && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    return ok;
}

bool makeFolders(const std::string &folder, unsigned mode)
{
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        const std::string part = folder.substr(0, pos);
        if (!part.empty() && ::mkdir(part.c_str(), mode_t(mode)) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace corvane
