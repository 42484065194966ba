#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvane {

// The per-user channel through which a second start hands its open request
// to the running instance: a local socket in a folder only the user can
// enter ($XDG_RUNTIME_DIR, else a folder of the program's own under the temp
// folder).

inline constexpr const char *kChannelSocketName = "corvane-open";
// Connections served at once. One more takes the place of the connection
// that has been idle longest, once that one has been idle for
// kChannelEvictAfterMs; else it is closed at once, and the one who sent it
// tries again (SingleInstance::send).
inline constexpr int kChannelMaxConnections = 32;
inline constexpr int kChannelEvictAfterMs = 1000;
// A connection that has sent no complete command for this long is closed.
inline constexpr int kChannelIdleMs = 10000;
// A command may be this long at most; a longer one ends its connection.
inline constexpr std::size_t kChannelMaxCommandBytes = 64 * 1024;

// What lstat(2) says of a folder and of the folder holding it.
struct FolderFacts
{
    bool exists = false;
    bool isFolder = false;
    bool isSymbolicLink = false;
    unsigned owner = 0;
    unsigned mode = 0; // the permission bits, with the sticky bit
    // The permission bits of the folder that holds it.
    unsigned parentMode = 0;
};

enum class FolderVerdict {
    Private,      // the user's alone (owner, mode 0700)
    Tighten,      // the user's, others may look in but not write: make it 0700
    Missing,      // not there (and could not be made)
    NotAFolder,
    SymbolicLink,
    OtherOwner,
    OpenToOthers, // the user's, but others may write in it
    UnsafeParent, // others may rename it away and put theirs in its place
};

// Whether the channel may live in a folder: only one that is the user's
// alone, reached without a symbolic link, in a folder nobody else can
// replace it in (a world-writable parent must be sticky, as /tmp is).
FolderVerdict judgeChannelFolder(const FolderFacts &facts, unsigned uid);

// The fallback folder: "corvane-<uid>" under the temp folder.
std::string fallbackChannelFolder(const std::string &tempFolder, unsigned uid);

// Said (on stderr and in the status bar) when there is no channel because
// of the folder; empty for a usable folder.
std::string channelOffText(const std::string &folder, FolderVerdict verdict);

// Takes every complete command (a line ending in LF; a CR before it and
// blanks around are left to the command's reader) out of what a connection
// has sent so far; an unfinished line stays in the buffer.
std::vector<std::string> takeChannelCommands(std::string &buffer);

} // namespace corvane
