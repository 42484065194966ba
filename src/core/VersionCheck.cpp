#include "core/VersionCheck.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane {

namespace {

// Longer than any version number: a page of text is not one.
constexpr std::size_t kMaxVersionLength = 64;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The parts of a dotted version number without their leading zeros, or
// nothing when the text is not one.
std::optional<std::vector<std::string_view>> parseVersion(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.size() > kMaxVersionLength)
        return std::nullopt;

    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    for (;;) {
        std::size_t end = text.find('.', begin);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view part = text.substr(begin, end - begin);
        if (part.empty())
            return std::nullopt;
        for (const char c : part) {
            if (c < '0' || c > '9')
                return std::nullopt;
        }
        while (part.size() > 1 && part.front() == '0')
            part.remove_prefix(1);
        parts.push_back(part);
        if (end == text.size())
            return parts;
        begin = end + 1;
    }
}

// Digit strings without leading zeros: the longer is the larger.
int compareNumbers(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

} // namespace

VersionComparison compareVersions(std::string_view serverText, std::string_view ourVersion)
{
    const auto server = parseVersion(serverText);
    const auto ours = parseVersion(ourVersion);
    if (!server || !ours)
        return VersionComparison::Unknown;
    const std::size_t n = std::max(server->size(), ours->size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view a = i < server->size() ? (*server)[i] : "0";
        const std::string_view b = i < ours->size() ? (*ours)[i] : "0";
        if (const int c = compareNumbers(a, b); c != 0)
            return c > 0 ? VersionComparison::Newer : VersionComparison::Older;
    }
    return VersionComparison::Same;
}

VersionCheckOutcome versionCheckOutcome(int httpStatus, std::string_view body, std::string_view ourVersion)
{
    if (httpStatus != 200)
        return VersionCheckOutcome::Failed;
    switch (compareVersions(body, ourVersion)) {
    case VersionComparison::Newer:
        return VersionCheckOutcome::OfferDownload;
    case VersionComparison::Same:
    case VersionComparison::Older:
        return VersionCheckOutcome::UpToDate;
    case VersionComparison::Unknown:
        break;
    }
    return VersionCheckOutcome::Failed;
}

} // namespace corvane
