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

namespace {

bool isAddressBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isAddressBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isAddressBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// "scheme://..." as an address names its scheme: letters, digits, "+",
// "-" and "." after a first letter, then "://".
bool namesScheme(std::string_view text)
{
    const std::size_t end = text.find("://");
    if (end == std::string_view::npos || end == 0)
        return false;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!letter(text[0]))
        return false;
    for (std::size_t i = 1; i < end; ++i) {
        const char c = text[i];
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace

std::string smartNavigate(std::string_view typed, bool enabled)
{
    // Blanks around an address are never part of it: "word " would become
    // a host with a blank in it, and blanks alone an address of no host.
    const std::string_view text = trimmed(typed);
    if (text.empty() || !enabled || text.front() == '*' || isOwnPageAddress(text))
        return std::string(text);
    if (text.front() == '-')
        return std::string(trimmed(text.substr(1)));
    // An address that names its scheme is never a word to complete:
    // "https://localhost:8802/" became "http://www.https://localhost:8802/.com".
    if (text.find('.') == std::string_view::npos && !namesScheme(text))
        return "http://www." + std::string(text) + ".com";
    return std::string(text);
}

} // namespace corvane
