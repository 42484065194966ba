#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Whole files in and out, for the files we read and rewrite ourselves.

// Reads a file whole: regular files of at most maxBytes only (a FIFO or a
// device would never end). Nothing when it cannot be read.
std::optional<std::string> readFileBytes(const std::string &path, std::size_t maxBytes);

// Writes the bytes to path through a temp file in the same folder, synced
// and renamed over it, then syncs the folder, so that after a crash or a
// power loss the path holds either the old bytes or the new ones. Keeps
// the file's permissions; a new file gets newFileMode (in place when the
// folder refuses a temp file). False on failure, and when path names
// something other than a regular file. A symbolic link at path is replaced
// by the file.
bool writeFileBytes(const std::string &path, std::string_view bytes, unsigned newFileMode = 0644);

// Creates the folder and the missing ones above it. True when it exists.
bool makeFolders(const std::string &folder, unsigned mode = 0700);

} // namespace corvane
