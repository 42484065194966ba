#include "core/FileBytes.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

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
        bytes.reserve(std::size_t(st.st_size));
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

} // namespace

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

namespace {

bool syncFile(int fd)
{
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace

ReplaceOutcome replaceFile(const std::string &path, std::string_view bytes, unsigned mode,
                           const std::function<bool(int fd)> &beforeRename)
{
    return replaceFileWith(path, [bytes](int fd) { return writeAll(fd, bytes); }, mode, beforeRename);
}

ReplaceOutcome replaceFileWith(const std::string &path, const std::function<bool(int fd)> &write, unsigned mode,
                               const std::function<bool(int fd)> &beforeRename)
{
    const std::string folder = folderOf(path);
    const std::size_t slash = path.rfind('/');
    std::string temp = folder + "/." + path.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return ReplaceOutcome::NoTempFile;
    bool ok = ::fchmod(fd, mode_t(mode & 07777)) == 0 && write(fd)
              && (!beforeRename || beforeRename(fd)) && syncFile(fd);
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        // The rename is done; a folder that cannot be synced (some file
        // systems refuse) leaves it to the kernel's own writeback.
        syncFolder(folder);
        return ReplaceOutcome::Replaced;
    }
    ::unlink(temp.c_str());
    return ReplaceOutcome::Failed;
}

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

    switch (replaceFile(path, bytes, mode)) {
    case ReplaceOutcome::Replaced:
        return true;
    case ReplaceOutcome::Failed:
        return false;
    case ReplaceOutcome::NoTempFile:
        break;
    }

    // The folder takes no temp file: rewrite the file in place.
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode);
    if (out < 0)
        return false;
    bool ok = ::fstat(out, &st) == 0 && S_ISREG(st.st_mode) && writeAll(out, bytes) && syncFile(out);
    ok = ::close(out) == 0 && ok;
    return ok;
}

bool syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = syncFile(fd);
    ::close(fd);
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

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string linkTarget(const std::string &path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
    }
    return path;
}

} // namespace corvane
