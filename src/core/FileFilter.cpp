#include "core/FileFilter.h"

namespace corvane {

namespace {

std::string trimmed(const std::string &s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string &s, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = s.find(separator, start);
        parts.push_back(s.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

std::vector<FileFilterEntry> parseFileFilter(const std::string &filter)
{
    // "||" ends the list.
    const std::string body = filter.substr(0, filter.find("||"));
    const std::vector<std::string> fields = split(body, '|');
    std::vector<FileFilterEntry> entries;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        FileFilterEntry entry;
        entry.label = trimmed(fields[i]);
        if (!entry.label.empty() && entry.label.back() == ')') {
            const auto open = entry.label.rfind('(');
            if (open != std::string::npos)
                entry.label = trimmed(entry.label.substr(0, open));
        }
        for (const std::string &pattern : split(fields[i + 1], ';')) {
            const std::string p = trimmed(pattern);
            if (!p.empty())
                entry.patterns.push_back(p);
        }
        if (!entry.label.empty() && !entry.patterns.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::string dialogFileFilter(const std::string &filter)
{
    std::string out;
    for (const FileFilterEntry &entry : parseFileFilter(filter)) {
        if (!out.empty())
            out += ";;";
        out += entry.label + " (";
        for (std::size_t i = 0; i < entry.patterns.size(); ++i) {
            if (i)
                out += ' ';
            out += entry.patterns[i] == "*.*" ? "*" : entry.patterns[i];
        }
        out += ')';
    }
    return out;
}

} // namespace corvane
