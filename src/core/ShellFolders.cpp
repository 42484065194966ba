#include "core/ShellFolders.h"

#include "core/CommandIds.h"

namespace corvane {

namespace {

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

const char *shellFolderName(ShellFolder folder)
{
    switch (folder) {
    case ShellFolder::Cache: return "Cache";
    case ShellFolder::Cookies: return "Cookies";
    case ShellFolder::Favorites: return "Favorites";
    case ShellFolder::History: return "History";
    case ShellFolder::Personal: return "Personal";
    }
    return "";
}

std::optional<ShellFolder> shellFolderForCommand(int commandId)
{
    switch (commandId) {
    case cmd::ExploreCache: return ShellFolder::Cache;
    case cmd::ExploreCookies: return ShellFolder::Cookies;
    case cmd::ExploreFavorites: return ShellFolder::Favorites;
    case cmd::ExploreHistory: return ShellFolder::History;
    case cmd::ExplorePersonal: return ShellFolder::Personal;
    default: return std::nullopt;
    }
}

std::string expandEnvironmentText(std::string_view text, const EnvironmentLookup &lookup)
{
    std::string out;
    std::size_t i = 0;
    // "~" or "~/...": the home folder.
    if (!text.empty() && text.front() == '~' && (text.size() == 1 || text[1] == '/')) {
        if (const std::optional<std::string> home = lookup("HOME")) {
            out = *home;
            i = 1;
        }
    }
    while (i < text.size()) {
        const char c = text[i];
        if (c == '%') {
            const std::size_t end = text.find('%', i + 1);
            if (end != std::string_view::npos && end > i + 1) {
                const std::string name(text.substr(i + 1, end - i - 1));
                if (const std::optional<std::string> value = lookup(name)) {
                    out += *value;
                    i = end + 1;
                    continue;
                }
            }
        } else if (c == '$' && i + 1 < text.size()) {
            if (text[i + 1] == '{') {
                const std::size_t end = text.find('}', i + 2);
                if (end != std::string_view::npos && end > i + 2) {
                    const std::string name(text.substr(i + 2, end - i - 2));
                    if (const std::optional<std::string> value = lookup(name)) {
                        out += *value;
                        i = end + 1;
                        continue;
                    }
                }
            } else if (isNameChar(text[i + 1])) {
                std::size_t end = i + 1;
                while (end < text.size() && isNameChar(text[end]))
                    ++end;
                const std::string name(text.substr(i + 1, end - i - 1));
                if (const std::optional<std::string> value = lookup(name)) {
                    out += *value;
                    i = end;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::string shellFolderPath(ShellFolder folder, const std::optional<std::string> &storedValue,
                            const ShellFolderDefaults &defaults, const EnvironmentLookup &lookup)
{
    if (storedValue && !storedValue->empty()) {
        std::string path = expandEnvironmentText(*storedValue, lookup);
        if (!path.empty())
            return path;
    }
    switch (folder) {
    case ShellFolder::Cache: return defaults.cache;
    case ShellFolder::Cookies: return defaults.cookies;
    case ShellFolder::Favorites: return defaults.favorites;
    case ShellFolder::History: return defaults.history;
    case ShellFolder::Personal: return defaults.personal;
    }
    return {};
}

std::string folderNotFoundText(ShellFolder folder)
{
    return std::string(shellFolderName(folder)) + " folder not found.";
}

} // namespace corvane
