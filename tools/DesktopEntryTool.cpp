// Writes the desktop entry an installation puts in share/applications:
//   corvane_desktop_entry <installed executable> <entry file>
// The entry is the one the program itself writes when it becomes the
// default browser, so both start it the same way ("/dde %u").
#include "core/DesktopRegistration.h"
#include "core/FileBytes.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s EXECUTABLE ENTRY-FILE\n", argv[0]);
        return 2;
    }
    const std::optional<std::string> entry = corvane::desktopEntryText(argv[1]);
    if (!entry) {
        std::fprintf(stderr, "%s: the path is not UTF-8: %s\n", argv[0], argv[1]);
        return 1;
    }
    if (!corvane::writeFileBytes(argv[2], *entry)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
