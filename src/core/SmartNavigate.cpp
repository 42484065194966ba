#include "core/SmartNavigate.h"

#include "core/Strings.h"

#include <string_view>

namespace corvane {

bool isOwnPageAddress(std::string_view text)
{
    const std::string_view scheme(kOwnPageScheme);
    if (text.size() <= scheme.size() || text[scheme.size()] != ':')
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != scheme[i])
            return false;
    }
    return true;
}

std::string smartNavigate(const std::string &text, bool enabled)
{
    if (!enabled || (!text.empty() && text.front() == '*') || isOwnPageAddress(text))
        return text;
    if (!text.empty() && text.front() == '-')
        return text.substr(1);
    if (text.find('.') == std::string::npos)
        return "http://www." + text + ".com";
    return text;
}

} // namespace corvane
