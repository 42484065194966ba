#pragma once

#include <string>
#include <string_view>

namespace corvane {

// SmartNavigate completion of a typed address (enabled = the `SmartNavigate`
// setting): the address to go to, or an empty text when there is nowhere to
// go. Blanks around the text are dropped first (space, tab, line breaks), so
// a text of blanks alone is empty, whatever the setting. A text beginning
// with "*" is never changed further. Otherwise, when enabled: a leading "-"
// is dropped and nothing else changes (nothing is left of "-" alone);
// failing that, a text with no "." anywhere becomes "http://www." + text +
// ".com", unless it names its scheme ("http://localhost", "https://intranet:8443/"
// and the program's own "corvane:start" stay as typed). Case is kept, and
// blanks inside are kept.
std::string smartNavigate(std::string_view text, bool enabled);

// True for an address of the program's own pages ("corvane:...", any case).
bool isOwnPageAddress(std::string_view text);

} // namespace corvane
