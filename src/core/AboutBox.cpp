#include "core/AboutBox.h"

#include "core/SectionedFile.h"

#include <array>
#include <utility>

namespace corvane {

AboutBoxLink aboutBoxLink(std::string_view address)
{
    constexpr std::string_view kAppPrefix = "app:";
    if (sectioned::toLowerAscii(address.substr(0, kAppPrefix.size())) == kAppPrefix) {
        const std::string_view command = address.substr(kAppPrefix.size());
        if (command == "ok")
            return {AboutBoxLink::Action::Close, {}};
        return {AboutBoxLink::Action::OpenAndClose, std::string(command)};
    }
    if (address.find("mailto:") != std::string_view::npos || address.find("about.htm") != std::string_view::npos)
        return {AboutBoxLink::Action::StayInBox, {}};
    return {AboutBoxLink::Action::OpenAndClose, std::string(address)};
}

namespace {

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    const int y = int(yoe + era * 400 + (m <= 2));
    return {y, m, d};
}

struct Release
{
    int major;
    CivilDate date;
};

// Stable releases of the engine's Chromium versions.
constexpr std::array<Release, 25> kReleases = {{
    {90, {2021, 4, 14}},  {91, {2021, 5, 25}},  {92, {2021, 7, 20}},  {93, {2021, 8, 31}},
    {94, {2021, 9, 21}},  {95, {2021, 10, 19}}, {96, {2021, 11, 15}}, {97, {2022, 1, 4}},
    {98, {2022, 2, 1}},   {99, {2022, 3, 1}},   {100, {2022, 3, 29}}, {101, {2022, 4, 26}},
    {102, {2022, 5, 24}}, {103, {2022, 6, 21}}, {104, {2022, 8, 2}},  {105, {2022, 8, 30}},
    {106, {2022, 9, 27}}, {107, {2022, 10, 25}}, {108, {2022, 11, 29}}, {109, {2023, 1, 10}},
    {110, {2023, 2, 7}},  {111, {2023, 3, 7}},  {112, {2023, 4, 4}},  {113, {2023, 5, 2}},
    {114, {2023, 5, 30}},
}};
constexpr int kDaysPerRelease = 28;

const char *const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

} // namespace

std::optional<CivilDate> chromiumReleaseDate(std::string_view version)
{
    int major = 0;
    std::size_t i = 0;
    while (i < version.size() && version[i] >= '0' && version[i] <= '9' && major < 100000)
        major = major * 10 + (version[i++] - '0');
    if (i == 0)
        return std::nullopt;
    for (const Release &r : kReleases)
        if (r.major == major)
            return r.date;
    const Release &edge = major < kReleases.front().major ? kReleases.front() : kReleases.back();
    const CivilDate d = edge.date;
    return civilFromDays(daysFromCivil(d.year, d.month, d.day)
                         + (long long)(major - edge.major) * kDaysPerRelease);
}

bool isOlderThanAYear(const CivilDate &released, const CivilDate &today)
{
    const CivilDate aYearLater{released.year + 1, released.month, released.day};
    return today > aYearLater;
}

std::string engineVersionText(std::string_view qtWebEngineVersion, std::string_view chromiumVersion,
                              std::string_view securityPatchVersion)
{
    return "Web engine: Qt WebEngine " + std::string(qtWebEngineVersion) + " (Chromium "
           + std::string(chromiumVersion) + ", security patches " + std::string(securityPatchVersion) + ")";
}

std::string engineAgeWarning(std::string_view securityPatchVersion, const CivilDate &today)
{
    const std::optional<CivilDate> released = chromiumReleaseDate(securityPatchVersion);
    if (!released || !isOlderThanAYear(*released, today))
        return {};
    return std::string("Its security patches date from ") + kMonthNames[released->month - 1] + " "
           + std::to_string(released->year)
           + ", more than a year ago: it lacks the fixes made since. Use it only with sites you trust.";
}

} // namespace corvane
