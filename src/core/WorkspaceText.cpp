#include "core/WorkspaceText.h"

#include "core/Separators.h"

#include <cstdlib>

namespace corvane {

bool workspaceStartupFlag(const std::string &record)
{
    const std::size_t sep = findWorkspaceNameEnd(record);
    if (sep == std::string::npos || sep >= record.size())
        return false;
    return std::atoi(record.c_str() + sep + 1) != 0;
}

} // namespace corvane
