#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The order of a sorted list box (links, workspaces, filter words): ASCII
// letters compare without regard to case; other bytes compare as bytes.
bool listBoxLess(std::string_view a, std::string_view b);

// Sorts the items as a sorted list box shows them; equal items keep their
// order.
void sortForListBox(std::vector<std::string> &items);

// Where a sorted list box inserts a new item: after every item that does not
// come after it.
std::size_t listBoxInsertPosition(const std::vector<std::string> &sorted, std::string_view item);

} // namespace corvane
