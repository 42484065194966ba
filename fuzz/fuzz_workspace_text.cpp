// Workspace texts come from the store, which users edit by hand and carry
// over from the Windows world: any bytes must parse without a fault, and
// what the writer makes of a parsed text must read back to the same text.
#include "core/Workspace.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);

    const Workspace ws = Workspace::parse(bytes);
    if (ws.empty != bytes.empty())
        __builtin_trap();
    const std::string text = ws.text();
    if (Workspace::parse(text).text() != text)
        __builtin_trap();
    const std::size_t nameEnd = workspaceNameEnd(bytes);
    if (nameEnd != std::string::npos && nameEnd >= bytes.size())
        __builtin_trap();

    // Every entry of the window list, and the input itself as one entry.
    auto entries = ws.windowMap();
    entries.emplace(0, bytes);
    for (const auto &[number, entry] : entries) {
        const WorkspaceWindow w = WorkspaceWindow::parse(entry);
        const std::string once = w.entryText();
        const WorkspaceWindow again = WorkspaceWindow::parse(once);
        if (again.entryText() != once || again.isSplit() != w.isSplit() || again.panes.size() != w.panes.size())
            __builtin_trap();
    }

    const std::string again = WorkspacePane::parse(bytes).text();
    if (WorkspacePane::parse(again).text() != again)
        __builtin_trap();
    return 0;
}
