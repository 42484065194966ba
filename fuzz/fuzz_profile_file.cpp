// INI files: any bytes are read without harm, and writes through the parser
// read back what was written without disturbing the rest of the file. The
// file is held in memory: the same parser and writer as on the disk.

#include "FuzzScratch.h"
#include "core/ProfileFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    ProfileFile ini(MemoryFile{bytes});
    const std::vector<std::string> sections = ini.sectionNames();
    for (const std::string &section : sections) {
        for (const std::string &key : ini.keyNames(section)) {
            check(ini.value(section, key).has_value());
            (void)ini.getInt(section, key, 0);
        }
    }

    if (!fuzz::writesToo(size))
        return 0;

    // A value taken from the input, minus the line breaks no line can hold.
    std::string value = bytes.substr(0, 64);
    for (char &c : value) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    check(ini.writeString("Fuzz", "Value", value));
    check(ini.getString("Fuzz", "Value") == value);
    check(ProfileFile(MemoryFile{ini.contents()}).getString("Fuzz", "Value") == value);

    // Every section there was is still there.
    const std::vector<std::string> after = ini.sectionNames();
    for (const std::string &section : sections)
        check(std::find(after.begin(), after.end(), section) != after.end());
    if (!sections.empty() && ProfileFile::isValidSection(sections.front())) {
        check(ini.writeInt(sections.front(), "FuzzInt", -12345));
        check(ini.getInt(sections.front(), "FuzzInt", 0) == -12345);
        check(ini.deleteSection(sections.front()));
        check(!ini.value(sections.front(), "FuzzInt").has_value());
    }
    return 0;
}
