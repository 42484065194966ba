#pragma once

#include <string>
#include <string_view>

namespace corvane {

// SmartNavigate completion of a typed address (enabled = the `SmartNavigate`
// setting). A text beginning with "*" is never changed. Otherwise, when
// enabled: a leading "-" is dropped and nothing else changes; failing that, a
// text with no "." anywhere becomes "http://www." + text + ".com" (the empty
// text gives "http://www..com"). Nothing is trimmed, case is kept, and a
// scheme is not looked for ("http://localhost" is wrapped too), except the
// program's own ("corvane:start" stays as typed).
std::string smartNavigate(const std::string &text, bool enabled);

// True for an address of the program's own pages ("corvane:...", any case).
bool isOwnPageAddress(std::string_view text);

} // namespace corvane
