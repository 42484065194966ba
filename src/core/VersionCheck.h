#pragma once

#include <string_view>

namespace corvane {

// Check for New Version: the maker's server answers a GET with a one-line
// plain-text version file, which is compared with our own version.
//
// Both are read as dotted version numbers ("3.00", "3.1.2"), compared part by
// part as numbers, a missing part counting as 0 ("3" is "3.00"). Blanks and
// line breaks around the text and a leading byte-order mark are not part of
// it, so "3.00\r\n" is our version. Anything else (an error page served with
// status 200, an empty file, "3.0a") is not a version: it is never offered as
// a newer one.

enum class VersionComparison {
    Newer,   // the server has a newer version than ours
    Same,
    Older,   // the server lags behind us: nothing to offer
    Unknown, // the server's text (or ours) is not a version number
};

VersionComparison compareVersions(std::string_view serverText, std::string_view ourVersion);

// What the user is told after the request ended with an HTTP status. Errors
// without a status (no connection, unknown host, time-out) end quietly and
// never get here.
enum class VersionCheckOutcome {
    OfferDownload, // kNewerVersionQuestion (Yes/No, question icon); Yes opens the download page
    UpToDate,      // kCurrentVersionText (information icon)
    Failed,        // kVersionCheckFailedText (error icon)
};

// Status 200 with a newer version offers the download, with the same or an
// older one says we are up to date; any other status, or a text that is not
// a version, is a failed request.
VersionCheckOutcome versionCheckOutcome(int httpStatus, std::string_view body, std::string_view ourVersion);

inline constexpr const char *kVersionCheckTitle = "Version check complete";
inline constexpr const char *kNewerVersionQuestion =
    "There is a newer version available, would you like to download it now?\n"
    "Note: This will not install the newer version, just navigate to the download site.";
inline constexpr const char *kCurrentVersionText =
    "You have the most current version. Please check back for updates often. Thank You!";
inline constexpr const char *kVersionCheckFailedTitle = "Version check cancelled";
inline constexpr const char *kVersionCheckFailedText = "Unable to complete request, please try again later.";

} // namespace corvane
