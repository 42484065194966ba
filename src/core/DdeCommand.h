#pragma once

#include <optional>
#include <string>

namespace corvane {

// The open request a second start hands to the running instance:
// [open("target")], the target (a path or an address) written as is.
std::string makeOpenCommand(const std::string &target);

// The target of an open request, or nothing when the command is not one.
// Blanks (space, tab, CR, LF) around the command are ignored. The target is
// everything between the leading [open(" and the final ")], so quotes, and
// even ")]", inside it come back unchanged: the request has no escaping, and
// taking the outermost delimiters makes any target survive the round trip.
// Refused: anything else around the brackets, an empty target, and a target
// holding a NUL byte (no path or address contains one).
std::optional<std::string> parseOpenCommand(const std::string &command);

} // namespace corvane
