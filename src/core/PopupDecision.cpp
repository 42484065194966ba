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

bool isScriptCloseAddress(std::string_view address)
{
    const std::string lower = sectioned::toLowerAscii(address);
    if (lower.rfind("javascript:", 0) != 0)
        return false;
    const auto has = [&](const char *needle) { return lower.find(needle) != std::string::npos; };
    return has("close()") || (has(".close") && !has("www."));
}

} // namespace corvane
