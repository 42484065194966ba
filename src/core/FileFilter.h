#pragma once

#include <string>
#include <vector>

namespace corvane {

// One entry of a file-dialog filter: what the user reads and the name
// patterns it stands for.
struct FileFilterEntry
{
    std::string label;                 // "Excel Files"
    std::vector<std::string> patterns; // "*.xl*", "*.xla", ...
    bool operator==(const FileFilterEntry &) const = default;
};

// Reads a filter in the string-table form "label|patterns|label|patterns||"
// (patterns separated by ';'). The label loses a trailing "(...)" that merely
// repeats the patterns. An entry without a label or without patterns is
// skipped; so is anything after the closing "||".
std::vector<FileFilterEntry> parseFileFilter(const std::string &filter);

// The same filter in the form of the toolkit's file dialogs:
// "label (p1 p2 ...)" entries joined by ";;". "*.*" stands for every file
// (names without a dot included) and becomes "*".
std::string dialogFileFilter(const std::string &filter);

} // namespace corvane
