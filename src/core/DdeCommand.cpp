#include "core/DdeCommand.h"

#include <string_view>

namespace corvane {

namespace {

constexpr std::string_view kPrefix = "[open(\"";
constexpr std::string_view kSuffix = "\")]";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string makeOpenCommand(const std::string &target)
{
    std::string command;
    command.reserve(kPrefix.size() + target.size() + kSuffix.size());
    command += kPrefix;
    command += target;
    command += kSuffix;
    return command;
}

std::optional<std::string> parseOpenCommand(const std::string &command)
{
    std::string_view text = command;
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    if (text.size() <= kPrefix.size() + kSuffix.size())
        return std::nullopt; // too short to hold a target
    if (!text.starts_with(kPrefix) || !text.ends_with(kSuffix))
        return std::nullopt;
    const std::string_view target = text.substr(kPrefix.size(), text.size() - kPrefix.size() - kSuffix.size());
    if (target.find('\0') != std::string_view::npos)
        return std::nullopt;
    return std::string(target);
}

} // namespace corvane
