#pragma once

// What the file-parser fuzz targets share: a scratch file in a folder of the
// target's own, and a check whose failure is the crash the fuzzer looks for.

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

    // Replaces the file's contents with these bytes; returns its path.
    const std::string &write(const std::string &bytes) const
    {
        std::ofstream(m_file, std::ios::binary | std::ios::trunc) << bytes;
        return m_file;
    }

private:
    std::string m_folder;
    std::string m_file;
};

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace fuzz
