#include "core/SitePermissions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvane {

namespace {

struct FeatureTexts
{
    SiteFeature feature;
    std::string_view name;
    // What the site wants, after its host: "wants to know your location".
    std::string_view wants;
};

constexpr std::array<FeatureTexts, 8> kFeatureTexts{{
    {SiteFeature::Geolocation, "geolocation", "wants to know your location"},
    {SiteFeature::Notifications, "notifications", "wants to show notifications on your desktop"},
    {SiteFeature::Camera, "camera", "wants to use your camera"},
    {SiteFeature::Microphone, "microphone", "wants to use your microphone"},
    {SiteFeature::CameraAndMicrophone, "camera-microphone", "wants to use your camera and microphone"},
    {SiteFeature::ScreenSharing, "screen-sharing", "wants to see and share your screen"},
    {SiteFeature::MouseLock, "mouse-lock", "wants to hide the mouse pointer and take over the mouse"},
    {SiteFeature::ClipboardRead, "clipboard-read", "wants to read the text and pictures you copied"},
}};

const FeatureTexts &textsOf(SiteFeature feature)
{
    for (const FeatureTexts &t : kFeatureTexts)
        if (t.feature == feature)
            return t;
    return kFeatureTexts[0];
}

constexpr std::string_view kAllow = "allow";
constexpr std::string_view kDeny = "deny";

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

std::string_view siteFeatureName(SiteFeature feature)
{
    return textsOf(feature).name;
}

std::optional<SiteFeature> siteFeatureFromName(std::string_view name)
{
    for (const FeatureTexts &t : kFeatureTexts)
        if (t.name == name)
            return t.feature;
    return std::nullopt;
}

bool isValidPermissionSite(std::string_view site)
{
    if (site.empty())
        return false;
    return std::none_of(site.begin(), site.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

std::string sitePermissionKey(std::string_view origin)
{
    std::string key(origin);
    std::transform(key.begin(), key.end(), key.begin(), lowerAscii);
    if (!key.empty() && key.back() == '/')
        key.pop_back();
    return key;
}

std::string sitePermissionText(const SitePermission &permission)
{
    std::string text(siteFeatureName(permission.feature));
    text += ' ';
    text += permission.allowed ? kAllow : kDeny;
    text += ' ';
    text += permission.site;
    return text;
}

std::optional<SitePermission> parseSitePermission(std::string_view text)
{
    const std::size_t first = text.find(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = text.find(' ', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::optional<SiteFeature> feature = siteFeatureFromName(text.substr(0, first));
    const std::string_view answer = text.substr(first + 1, second - first - 1);
    const std::string_view site = text.substr(second + 1);
    if (!feature || (answer != kAllow && answer != kDeny) || !isValidPermissionSite(site))
        return std::nullopt;
    return SitePermission{std::string(site), *feature, answer == kAllow};
}

SitePermissionList SitePermissionList::fromTexts(const std::vector<std::string> &texts)
{
    SitePermissionList list;
    for (const std::string &text : texts) {
        if (const std::optional<SitePermission> p = parseSitePermission(text))
            list.remember(p->site, p->feature, p->allowed);
    }
    return list;
}

std::vector<std::string> SitePermissionList::texts() const
{
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const SitePermission &p : m_entries)
        out.push_back(sitePermissionText(p));
    return out;
}

std::optional<bool> SitePermissionList::answer(std::string_view site, SiteFeature feature) const
{
    for (const SitePermission &p : m_entries)
        if (p.feature == feature && p.site == site)
            return p.allowed;
    return std::nullopt;
}

void SitePermissionList::remember(std::string_view site, SiteFeature feature, bool allowed)
{
    if (!isValidPermissionSite(site))
        return;
    for (SitePermission &p : m_entries) {
        if (p.feature == feature && p.site == site) {
            p.allowed = allowed;
            return;
        }
    }
    m_entries.push_back(SitePermission{std::string(site), feature, allowed});
}

std::string permissionQuestionText(SiteFeature feature, std::string_view host)
{
    std::string text(host);
    text += ' ';
    text += textsOf(feature).wants;
    text += ".\n\nAllow it? Corvane keeps the answer for this site until you clear the site "
            "permissions in Internet Options.";
    return text;
}

std::string permissionBarText(SiteFeature feature, std::string_view host)
{
    std::string text(host);
    text += ' ';
    text += textsOf(feature).wants;
    text += '.';
    return text;
}

std::string permissionLogLine(SiteFeature feature, std::string_view site, bool allowed,
                              PermissionAnswer how)
{
    std::string line = "* Permission ";
    line += siteFeatureName(feature);
    line += allowed ? " allowed" : " denied";
    switch (how) {
    case PermissionAnswer::ByUser: line += " by user"; break;
    case PermissionAnswer::Remembered: line += " as remembered"; break;
    case PermissionAnswer::Unanswered: line += " (window closed unanswered)"; break;
    }
    line += " for site: [";
    line += site;
    line += "] *";
    return line;
}

} // namespace corvane
