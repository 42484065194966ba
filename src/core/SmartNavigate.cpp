#include "core/SmartNavigate.h"

namespace corvane {

std::string smartNavigate(const std::string &text, bool enabled)
{
    if (!enabled || (!text.empty() && text.front() == '*'))
        return text;
    if (!text.empty() && text.front() == '-')
        return text.substr(1);
    if (text.find('.') == std::string::npos)
        return "http://www." + text + ".com";
    return text;
}

} // namespace corvane
