#include "core/Recovery.h"

#include "core/FileBytes.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace corvane {

namespace {

// A snapshot is a workspace text: a few kilobytes for many windows.
constexpr std::size_t kMaxSnapshotBytes = std::size_t(16) << 20;

} // namespace

std::string recoveryFilePath(const std::string &dataHome)
{
    return dataHome + "/Tolvek/Corvane/recovery.cws";
}

std::optional<Workspace> parseRecoverySnapshot(std::string_view text)
{
    Workspace workspace = Workspace::parse(text);
    if (workspace.empty || workspace.windowMap().empty())
        return std::nullopt;
    return workspace;
}

RecoveryFile::RecoveryFile(std::string path) : m_path(std::move(path)) {}

RecoveryFile::~RecoveryFile()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool RecoveryFile::lock()
{
    if (m_lockFd >= 0)
        return true;
    const std::string folder = folderOf(m_path);
    if (!folder.empty() && !makeFolders(folder))
        return false;
    const std::string lockPath = m_path + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0)
        return false;
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

std::optional<Workspace> RecoveryFile::leftOver() const
{
    if (!locked())
        return std::nullopt;
    const std::optional<std::string> bytes = readFileBytes(m_path, kMaxSnapshotBytes);
    return bytes ? parseRecoverySnapshot(*bytes) : std::nullopt;
}

bool RecoveryFile::write(const std::string &text)
{
    return locked() && writeFileBytes(m_path, text, 0600);
}

void RecoveryFile::remove()
{
    if (locked())
        ::unlink(m_path.c_str());
}

} // namespace corvane
