#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Whole files in and out, for the files we read and rewrite ourselves.
//
// Every rewrite of a file of ours (the settings store, the INI file, a links
// file, mimeapps.list, the desktop entry, the recovery snapshot) goes through
// replaceFile(): the new version is written to a temp file in the same
// folder, synced to the disk, renamed over the old one, and the folder is
// synced, so that a crash, a kill or a power cut at any moment leaves either
// the old version or the new one, whole.

// Reads a file whole: regular files of at most maxBytes only (a FIFO or a
// device would never end). Nothing when it cannot be read.
std::optional<std::string> readFileBytes(const std::string &path, std::size_t maxBytes);

enum class ReplaceOutcome {
    Replaced,   // the new version is in place and on the disk
    NoTempFile, // the folder takes no temp file: nothing was changed
    Failed,     // nothing was changed (the temp file is gone again)
};

// Replaces the file at path with these bytes, mode bits `mode`, through a
// hidden temp file ("." + name + ".XXXXXX") in its folder. `beforeRename`,
// when given, is called with the temp file's descriptor once the bytes are
// written (to set its times, say); false from it abandons the rewrite.
// Symbolic links are not followed: a link at path is replaced by the file.
ReplaceOutcome replaceFile(const std::string &path, std::string_view bytes, unsigned mode,
                           const std::function<bool(int fd)> &beforeRename = {});

// The same with the new version written to the temp file's descriptor by
// `write` (a large file need not be held in memory as one piece); false from
// it abandons the rewrite.
ReplaceOutcome replaceFileWith(const std::string &path, const std::function<bool(int fd)> &write, unsigned mode,
                               const std::function<bool(int fd)> &beforeRename = {});

// Writes all the bytes to the descriptor (retrying short writes and
// interruptions); false on an error.
bool writeAll(int fd, std::string_view bytes);

// Writes the bytes to path through replaceFile, keeping the file's
// permissions; a new file gets newFileMode (in place, synced, when the folder
// refuses a temp file). False on failure, and when path names something
// other than a regular file. A symbolic link at path is replaced by the file.
bool writeFileBytes(const std::string &path, std::string_view bytes, unsigned newFileMode = 0644);

// Syncs a folder, so that a rename in it is on the disk.
bool syncFolder(const std::string &folder);

// Creates the folder and the missing ones above it. True when it exists.
bool makeFolders(const std::string &folder, unsigned mode = 0700);

// The folder part of a path: "." for a bare name, "/" for a file in the root.
std::string folderOf(const std::string &path);

// The file a rewrite of path should replace: the target of a symbolic link
// (so that the link survives), else path itself.
std::string linkTarget(const std::string &path);

} // namespace corvane
