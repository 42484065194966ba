// The version file comes from a server: any text compares without a fault,
// and the comparison agrees with itself both ways round.
#include "core/VersionCheck.h"

#include "FuzzScratch.h"

#include <cstddef>
#include <cstdint>
#include <string>

using corvane::VersionComparison;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = text.find('|');
    const std::string a = text.substr(0, cut);
    const std::string b = cut == std::string::npos ? std::string("3.00") : text.substr(cut + 1);

    const VersionComparison ab = corvane::compareVersions(a, b);
    const VersionComparison ba = corvane::compareVersions(b, a);
    switch (ab) {
    case VersionComparison::Newer: fuzz::check(ba == VersionComparison::Older); break;
    case VersionComparison::Older: fuzz::check(ba == VersionComparison::Newer); break;
    case VersionComparison::Same: fuzz::check(ba == VersionComparison::Same); break;
    case VersionComparison::Unknown: fuzz::check(ba == VersionComparison::Unknown); break;
    }
    if (ab == VersionComparison::Unknown)
        fuzz::check(corvane::versionCheckOutcome(200, a, b) == corvane::VersionCheckOutcome::Failed);
    return 0;
}
