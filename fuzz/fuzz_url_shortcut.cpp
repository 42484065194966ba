// Internet shortcut files come from anywhere (downloads, other systems): any
// bytes must parse without a fault, and the address never spans a line.
#include "core/UrlShortcut.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const corvane::UrlShortcutResult r = corvane::parseUrlShortcut(bytes);

    if (!r.found && !r.address.empty())
        __builtin_trap();
    if (r.found && (bytes.find("URL=") == std::string::npos || r.address.find('\n') != std::string::npos))
        __builtin_trap();
    if (r.found && r.address.size() + 4 > size) // "URL=" itself is not part of it
        __builtin_trap();

    (void)corvane::isUrlShortcutPath(bytes);
    return 0;
}
