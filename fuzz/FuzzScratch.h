#pragma once

// What the file-parser fuzz targets share: a scratch file in a folder of the
// target's own, and a check whose failure is the crash the fuzzer looks for.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fuzz {

// A folder made below $TMPDIR (or /tmp) from the prefix, removed with the
// object; the file named in it is what write() fills.
class Scratch
{
public:
    Scratch(const std::string &prefix, const std::string &fileName)
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        m_file = m_folder + "/" + fileName;
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;

    const std::string &folder() const { return m_folder; }

    // Replaces the file's contents with these bytes; returns its path.
    const std::string &write(const std::string &bytes) const
    {
        writeFile(m_file, bytes);
        return m_file;
    }

    // Replaces any file's contents (one in the folder, say) with these bytes.
    static void writeFile(const std::string &path, const std::string &bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

private:
    std::string m_folder;
    std::string m_file;
};

// Whether this input also runs a target's write checks. The rewrites cost
// far more than the reads, so one input in four does them, decided by its
// size so that an input always does the same.
inline bool writesToo(std::size_t size)
{
    return size % 4 == 0;
}

// Names the file and line of the check that failed before the crash.
inline void check(bool condition, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at %s:%d\n", file, line);
        std::abort();
    }
}

} // namespace fuzz
