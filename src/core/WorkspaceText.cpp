#include "core/WorkspaceText.h"

#include <cstdlib>

namespace corvane {

namespace {
// A 0xB7 byte that does not continue a UTF-8 character.
bool isFieldSeparatorAt(const std::string &s, size_t i)
{
    if (static_cast<unsigned char>(s[i]) != 0xB7)
        return false;
    // Walk back over continuation bytes to the lead byte, if any.
    size_t lead = i;
    int continuation = 0;
    while (lead > 0 && continuation < 3
           && (static_cast<unsigned char>(s[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++continuation;
    }
    if (lead == 0)
        return true;
    const unsigned char c = static_cast<unsigned char>(s[lead - 1]);
    int need = 0;
    if ((c & 0xE0) == 0xC0)
        need = 1;
    else if ((c & 0xF0) == 0xE0)
        need = 2;
    else if ((c & 0xF8) == 0xF0)
        need = 3;
    // Byte i is the (continuation + 1)-th byte after a lead byte that wants
    // at least that many.
    return need < continuation + 1;
}
} // namespace

bool workspaceStartupFlag(const std::string &record)
{
    size_t i = 0;
    while (i < record.size() && !isFieldSeparatorAt(record, i))
        ++i;
    if (i >= record.size())
        return false;
    return std::atoi(record.c_str() + i + 1) != 0;
}

} // namespace corvane
