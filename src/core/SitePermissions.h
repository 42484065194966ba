#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a site may use on this computer (its location, the camera...), the
// answers the user gave, remembered for the site until they are cleared
// (Internet Options, "Clear site permissions"), their stored text form, and
// the question's texts and log lines.
//
// A site is a page's origin as the engine names it, "scheme://host[:port]",
// lower-cased. One remembered answer is stored as one text:
//
//     <feature> <allow|deny> <site>
//
// e.g. "geolocation allow https://maps.example.org", with the features'
// names of siteFeatureName. A text that does not read so is skipped when the
// list loads.

namespace corvane {

enum class SiteFeature {
    Geolocation,
    Notifications,
    Camera,
    Microphone,
    CameraAndMicrophone,
    ScreenSharing,
    MouseLock,
    ClipboardRead,
};

inline constexpr SiteFeature kSiteFeatures[] = {
    SiteFeature::Geolocation,  SiteFeature::Notifications,       SiteFeature::Camera,
    SiteFeature::Microphone,   SiteFeature::CameraAndMicrophone, SiteFeature::ScreenSharing,
    SiteFeature::MouseLock,    SiteFeature::ClipboardRead,
};

// The stored and logged name: "geolocation", "notifications", "camera",
// "microphone", "camera-microphone", "screen-sharing", "mouse-lock",
// "clipboard-read".
std::string_view siteFeatureName(SiteFeature feature);
std::optional<SiteFeature> siteFeatureFromName(std::string_view name);

struct SitePermission
{
    std::string site;
    SiteFeature feature = SiteFeature::Geolocation;
    bool allowed = false;

    bool operator==(const SitePermission &) const = default;
};

// A site as it is kept: at least one character, none of them blank or a
// control character; the caller lower-cases it (sitePermissionKey).
bool isValidPermissionSite(std::string_view site);
// The site lower-cased (ASCII) with a trailing '/' taken off.
std::string sitePermissionKey(std::string_view origin);

// The one text form and its reader. parseSitePermission takes exactly what
// sitePermissionText writes: single spaces, a known feature, "allow" or
// "deny", a valid site.
std::string sitePermissionText(const SitePermission &permission);
std::optional<SitePermission> parseSitePermission(std::string_view text);

// The remembered answers, one per site and feature, in the order given.
class SitePermissionList
{
public:
    SitePermissionList() = default;
    // Reads stored texts: unreadable ones are skipped, and of two for the
    // same site and feature the later one holds.
    static SitePermissionList fromTexts(const std::vector<std::string> &texts);
    std::vector<std::string> texts() const;

    // The answer remembered for the site, if any.
    std::optional<bool> answer(std::string_view site, SiteFeature feature) const;
    // Remembers an answer (replacing an earlier one). An invalid site is
    // not remembered.
    void remember(std::string_view site, SiteFeature feature, bool allowed);

    const std::vector<SitePermission> &entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

private:
    std::vector<SitePermission> m_entries;
};

// --- the question ------------------------------------------------------------------

inline constexpr const char *kPermissionQuestionTitle = "Site permission alert";
inline constexpr const char *kAllowButtonText = "&Allow";
inline constexpr const char *kDenyButtonText = "&Deny";

// "<host> wants to know your location." and what the answer does.
std::string permissionQuestionText(SiteFeature feature, std::string_view host);
// The same in one line, for the bar of a window in the background.
std::string permissionBarText(SiteFeature feature, std::string_view host);

// How a request got its answer, for the log.
enum class PermissionAnswer {
    ByUser,       // the user answered the question
    Remembered,   // an earlier answer for the site
    Unanswered,   // the window closed before the user answered: No
};

// "* Permission geolocation allowed by user for site: [https://a.example] *"
std::string permissionLogLine(SiteFeature feature, std::string_view site, bool allowed,
                              PermissionAnswer how);

// Internet Options' button and what it did.
inline constexpr const char *kClearSitePermissionsText = "Clear &site permissions";
inline constexpr const char *kSitePermissionsClearedText =
    "The sites' permissions are cleared: each site asks again.";

} // namespace corvane
