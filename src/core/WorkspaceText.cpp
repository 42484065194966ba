#include "core/WorkspaceText.h"

#include "core/Separators.h"

#include <cstdlib>

namespace corvane {

bool workspaceStartupFlag(const std::string &record)
{
    const std::size_t sep = findWorkspaceNameEnd(record);
    if (sep == std::string::npos || sep >= record.size())
        return false;
    // strtol, unlike atoi, has a defined result for any digits: a number too
    // large for an int still reads as set.
    return std::strtol(record.c_str() + sep + 1, nullptr, 10) != 0;
}

} // namespace corvane
