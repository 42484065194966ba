// mimeapps.list is the user's file, edited by hand and by other programs: any
// bytes are edited without a fault, and a second edit changes nothing.
#include "core/DesktopRegistration.h"

#include "FuzzScratch.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string before(reinterpret_cast<const char *>(data), size);
    const std::string after = corvane::setDefaultApplications(before);

    fuzz::check(corvane::setDefaultApplications(after) == after);
    fuzz::check(after.find("[Default Applications]") != std::string::npos);
    fuzz::check(after.find("[Added Associations]") != std::string::npos);
    return 0;
}
