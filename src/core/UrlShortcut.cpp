#include "core/UrlShortcut.h"

#include "core/FileBytes.h"

#include <algorithm>

namespace corvane {

UrlShortcutResult parseUrlShortcut(const std::string &fileBytes)
{
    static constexpr char kKey[] = "URL=";
    UrlShortcutResult result;
    // The "URL=" that starts a line: a "BASEURL=" line before it holds
    // another address. Without one, the first "URL=" anywhere.
    std::size_t key = fileBytes.rfind(kKey, 0) == 0 ? 0 : fileBytes.find(std::string("\n") + kKey);
    if (key != std::string::npos && key != 0)
        ++key;
    if (key == std::string::npos)
        key = fileBytes.find(kKey);
    if (key == std::string::npos)
        return result;
    result.found = true;

    const std::size_t begin = key + sizeof kKey - 1;
    std::size_t end = fileBytes.find('\n', begin);
    if (end == std::string::npos)
        end = fileBytes.size(); // a last line without its line feed
    if (end > begin && fileBytes[end - 1] == '\r')
        --end;
    result.address = fileBytes.substr(begin, end - begin);
    return result;
}

UrlShortcutResult readUrlShortcut(const std::string &path)
{
    return parseUrlShortcut(readFileBytes(path, std::size_t(kMaxUrlShortcutBytes)).value_or(std::string()));
}

bool isUrlShortcutPath(const std::string &path)
{
    static constexpr char kSuffix[] = ".url";
    constexpr std::size_t n = sizeof kSuffix - 1;
    if (path.size() < n)
        return false;
    return std::equal(path.end() - n, path.end(), kSuffix, [](char c, char s) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return lower == s;
    });
}

} // namespace corvane
