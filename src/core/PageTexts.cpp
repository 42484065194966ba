#include "core/PageTexts.h"

#include <algorithm>
#include <cctype>

namespace corvane {

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace

std::string siteOfAddress(const std::string &address)
{
    const size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0)
        return {};
    const std::string scheme = lower(address.substr(0, schemeEnd));
    const size_t start = schemeEnd + 3;
    size_t end = address.find_first_of("/?#", start);
    if (end == std::string::npos)
        end = address.size();
    std::string authority = address.substr(start, end - start);
    // Never the user name or password an address may carry.
    const size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority.erase(0, at + 1);
    // The scheme's own port says nothing.
    const size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) == std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if (port.empty() || (scheme == "http" && port == "80") || (scheme == "https" && port == "443"))
            authority.erase(colon);
    }
    return lower(authority);
}

std::string leavePageQuestion(const std::string &address)
{
    const std::string site = siteOfAddress(address);
    const std::string who = site.empty() ? std::string("This page") : "The page at " + site;
    return who + " asks you to confirm that you want to leave it: what you typed or changed there may be lost.\n\n"
                 "Leave this page?";
}

std::string leavePageLogLine(const std::string &address, bool left)
{
    return "* Leave page question for URL: [" + address + "] -- " + (left ? "left" : "stayed") + " *";
}

std::string fullScreenNotice(const std::string &address, bool pageAsked)
{
    if (!pageAsked)
        return "Full screen. Press F11 to leave it.";
    const std::string site = siteOfAddress(address);
    return (site.empty() ? std::string("This page") : site) + " is now full screen. Press Esc or F11 to leave it.";
}

std::string fullScreenLogLine(const std::string &address, bool pageAsked, bool entered)
{
    if (!entered)
        return "* Full screen left for URL: [" + address + "] *";
    if (pageAsked)
        return "* Full screen requested by URL: [" + address + "] -- shown *";
    return "* Full screen for URL: [" + address + "] *";
}

} // namespace corvane
