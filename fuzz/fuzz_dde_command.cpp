// Open requests arrive over the per-user socket from whoever can reach it:
// any bytes must be refused or accepted without a fault, and an accepted
// target must survive being written and read again.
#include "core/DdeCommand.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);

    if (const auto target = corvane::parseOpenCommand(bytes)) {
        if (target->empty() || target->size() >= size)
            __builtin_trap();
        const auto again = corvane::parseOpenCommand(corvane::makeOpenCommand(*target));
        if (!again || *again != *target)
            __builtin_trap();
    }

    // The input taken as a target: whatever can be written can be read back.
    if (!bytes.empty() && bytes.find('\0') == std::string::npos) {
        const auto back = corvane::parseOpenCommand(corvane::makeOpenCommand(bytes));
        if (!back || *back != bytes)
            __builtin_trap();
    }
    return 0;
}
