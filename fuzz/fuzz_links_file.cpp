// Links files are exchanged between users and come from the Windows world:
// any bytes must read without a fault, and a list read from a file must
// come back unchanged from the file the export writes.
#include "core/Links.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);

    const std::optional<LinkMap> links = parseLinksFile(bytes);
    if (links) {
        if (parseLinksFile(linksFileText(*links)) != links)
            __builtin_trap();
        for (const auto &[name, address] : *links) {
            if (name.empty() || name.find('\n') != std::string::npos)
                __builtin_trap();
        }
    }

    // The same text as one stored "Link%d" value.
    if (const auto entry = parseLinkEntry(bytes)) {
        if (parseLinkEntry(linkEntryText(entry->first, entry->second)) != entry)
            __builtin_trap();
    }
    (void)linksExportPath(bytes);
    return 0;
}
