#include "core/ListBoxRules.h"

#include <algorithm>

namespace corvane {

namespace {

unsigned char foldCase(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

bool listBoxLess(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return foldCase(x) < foldCase(y); });
}

void sortForListBox(std::vector<std::string> &items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string &a, const std::string &b) { return listBoxLess(a, b); });
}

std::size_t listBoxInsertPosition(const std::vector<std::string> &sorted, std::string_view item)
{
    const auto it = std::upper_bound(sorted.begin(), sorted.end(), item,
                                     [](std::string_view x, const std::string &y) { return listBoxLess(x, y); });
    return static_cast<std::size_t>(it - sorted.begin());
}

} // namespace corvane
