#pragma once

#include <string>

namespace corvane {

// A message box as the program shows it: fixed text, title and icon. Core
// rules hand these back as values; the window that asked shows them.
struct UserMessage
{
    enum class Icon { Information, Exclamation, Stop };

    std::string text;
    std::string title;
    Icon icon = Icon::Information;

    bool operator==(const UserMessage &) const = default;
};

} // namespace corvane
