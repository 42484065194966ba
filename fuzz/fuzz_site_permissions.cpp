// The stored site permissions come from a store file anyone may edit: each
// line of the input is one stored text. Any bytes read without a fault; what
// reads as an answer is written back as the same text, and the list read
// from its own texts is the list again.
#include "FuzzScratch.h"
#include "core/SitePermissions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> texts;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        texts.push_back(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }

    for (const std::string &text : texts) {
        if (const auto p = corvane::parseSitePermission(text)) {
            check(corvane::sitePermissionText(*p) == text);
            check(corvane::isValidPermissionSite(p->site));
        }
    }

    const corvane::SitePermissionList list = corvane::SitePermissionList::fromTexts(texts);
    check(list.entries().size() <= texts.size());
    const corvane::SitePermissionList again = corvane::SitePermissionList::fromTexts(list.texts());
    check(again.entries() == list.entries());
    for (const corvane::SitePermission &p : list.entries())
        check(list.answer(p.site, p.feature) == p.allowed);
    return 0;
}
