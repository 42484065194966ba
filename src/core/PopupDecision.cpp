#include "core/PopupDecision.h"

#include "core/SectionedFile.h"

#include <algorithm>

namespace corvane {

namespace {

// True when the lower-cased text contains one of the non-empty entries.
bool containsAnyEntry(const std::string &lowerText, const std::vector<std::string> &entries)
{
    return std::any_of(entries.begin(), entries.end(), [&](const std::string &entry) {
        return !entry.empty() && lowerText.find(sectioned::toLowerAscii(entry)) != std::string::npos;
    });
}

bool hasNonEmptyEntry(const std::vector<std::string> &entries)
{
    return std::any_of(entries.begin(), entries.end(), [](const std::string &e) { return !e.empty(); });
}

} // namespace

bool mayOpenPopup(std::string_view openerAddress)
{
    return !openerAddress.empty();
}

PopupDecision decidePopup(const PopupSettings &settings, const std::vector<std::string> &filterWords,
                          const std::vector<std::string> &sallyport, std::string_view openerAddress,
                          std::string_view popupAddress)
{
    const std::string address = sectioned::toLowerAscii(popupAddress);
    PopupDecision decision;
    decision.address = address;

    if (settings.spawning) {
        const std::string opener = sectioned::toLowerAscii(openerAddress);
        bool allowed = true;
        if (settings.useSallyport && hasNonEmptyEntry(sallyport))
            allowed = containsAnyEntry(opener, sallyport);
        if (allowed && settings.useFilter && containsAnyEntry(address, filterWords))
            allowed = false;
        if (!allowed) {
            decision.verdict = PopupDecision::Verdict::Refuse;
            return decision;
        }
    }
    if (settings.confirmNewWindow) {
        decision.verdict = PopupDecision::Verdict::Ask;
        decision.question = newWindowQuestion(address);
    }
    return decision;
}

std::string newWindowQuestion(std::string_view lowerAddress)
{
    return "A request has been made by the current view to spawn the following site:\n" + std::string(lowerAddress)
           + "\nWould you like to view this site?";
}

std::string newWindowsQuestion(std::string_view lowerFirstAddress, int count)
{
    if (count <= 1)
        return newWindowQuestion(lowerFirstAddress);
    return "A request has been made by the current view to spawn " + std::to_string(count)
           + " windows, the first of them:\n" + std::string(lowerFirstAddress)
           + "\nWould you like to view these sites?";
}

namespace {

// The parts of an http(s) address that make its origin; empty scheme for
// any other address.
struct Origin
{
    std::string scheme; // lower case
    std::string host;   // lower case
    std::string port;   // the scheme's default when none is written
    std::string::size_type authorityEnd = 0;
    std::string::size_type userInfoEnd = std::string::npos; // after '@'
    bool operator==(const Origin &o) const { return scheme == o.scheme && host == o.host && port == o.port; }
};

Origin originOf(std::string_view address)
{
    Origin o;
    const std::string lower = sectioned::toLowerAscii(address);
    std::string::size_type start;
    if (lower.rfind("http://", 0) == 0) {
        o.scheme = "http";
        start = 7;
    } else if (lower.rfind("https://", 0) == 0) {
        o.scheme = "https";
        start = 8;
    } else {
        return o;
    }
    o.authorityEnd = lower.find_first_of("/?#", start);
    if (o.authorityEnd == std::string::npos)
        o.authorityEnd = lower.size();
    std::string authority = lower.substr(start, o.authorityEnd - start);
    if (const auto at = authority.rfind('@'); at != std::string::npos) {
        o.userInfoEnd = start + at + 1;
        authority.erase(0, at + 1);
    }
    // A port follows the last colon outside an IPv6 literal's brackets.
    const auto colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) == std::string::npos) {
        o.port = authority.substr(colon + 1);
        authority.erase(colon);
    }
    if (o.port.empty())
        o.port = o.scheme == "https" ? "443" : "80";
    o.host = authority;
    if (o.host.empty())
        o.scheme.clear();
    return o;
}

} // namespace

std::string openerReferrer(std::string_view openerAddress, std::string_view popupAddress)
{
    const Origin from = originOf(openerAddress);
    if (from.scheme.empty())
        return {};
    const Origin to = originOf(popupAddress);
    if (from.scheme == "https" && to.scheme != "https")
        return {};
    // The opener's address without the user's name and password and without
    // its fragment; its scheme and host as the origin has them.
    const std::string::size_type hostStart =
        from.userInfoEnd == std::string::npos ? from.scheme.size() + 3 : from.userInfoEnd;
    const std::string origin = from.scheme + "://"
                               + sectioned::toLowerAscii(openerAddress.substr(hostStart, from.authorityEnd - hostStart));
    if (!(from == to))
        return origin + "/";
    std::string rest(openerAddress.substr(from.authorityEnd));
    rest.erase(std::min(rest.find('#'), rest.size()));
    if (rest.empty() || rest.front() != '/')
        rest.insert(0, "/");
    return origin + rest;
}

bool isScriptAddress(std::string_view address)
{
    const auto first = address.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return false;
    return sectioned::toLowerAscii(address.substr(first, 11)) == "javascript:";
}

bool isScriptCloseAddress(std::string_view address)
{
    if (!isScriptAddress(address))
        return false;
    const std::string lower = sectioned::toLowerAscii(address);
    const auto has = [&](const char *needle) { return lower.find(needle) != std::string::npos; };
    return has("close()") || (has(".close") && !has("www."));
}

} // namespace corvane
