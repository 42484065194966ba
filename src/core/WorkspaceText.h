#pragma once

#include <string>

namespace corvane {

// The start-up flag of a stored workspace record: the first number after the
// name ("name" 0xB7 "startup" 0xB7 ...). A record too short to hold it
// reads as 0.
bool workspaceStartupFlag(const std::string &record);

} // namespace corvane
