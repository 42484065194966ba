#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The Window Spawning Manager's rules, without a window: the popup filter's
// two lists (filter words, sallyport sites) with the switch of each, one
// list shown at a time. Nothing is stored until ok(); Cancel stores nothing.
//
// The list shown is sorted as a sorted list box sorts (case ignored,
// duplicates kept). Every change of it (add, remove, reset, switching to the
// other category) copies it into its array, so a changed list is stored in
// that order; an untouched one keeps its stored order.
class SpawningManagerModel
{
public:
    enum class Category { Filter, Sallyport };

    struct Texts
    {
        std::string_view category;    // the drop-down's item
        std::string_view description; // above the edit
        std::string_view editLabel;
        std::string_view listLabel;
        std::string_view checkBox;
    };
    static const Texts &texts(Category category);
    // The drop-down's items, in order.
    static constexpr Category kCategories[] = {Category::Filter, Category::Sallyport};

    // The stored lists and flags: SpawningFilter, SpawningSallyport and
    // Spawning (popup scanning).
    SpawningManagerModel(std::vector<std::string> filter, std::vector<std::string> sallyport, bool filterOn,
                         bool sallyportOn, bool scanningOn);

    Category category() const { return m_category; }
    const Texts &currentTexts() const { return texts(m_category); }
    const std::vector<std::string> &items() const { return m_list; }
    bool checked() const { return m_checked; }

    // The edit, "Add", the list, "Remove" and "Reset" follow the shown
    // category's switch; the check box is enabled only while popups are
    // scanned at all.
    bool listEnabled() const { return m_checked; }
    bool checkBoxEnabled() const { return m_scanningOn; }

    void setChecked(bool on) { m_checked = on; }
    // Adds the text as typed (false, and nothing added, when it is empty);
    // the edit is emptied after a successful add.
    bool add(const std::string &text);
    // Removes the item at that index of items(); nothing for -1.
    void remove(int index);
    void reset();
    // Shows the other list; choosing the category already shown changes
    // nothing.
    void selectCategory(Category category);

    // What OK stores.
    struct Result
    {
        bool filterOn = false;
        std::vector<std::string> filter;
        bool sallyportOn = false;
        std::vector<std::string> sallyport;
        bool operator==(const Result &) const = default;
    };
    Result ok() const;

private:
    std::vector<std::string> &currentArray();
    void showArray();

    std::vector<std::string> m_filter;
    std::vector<std::string> m_sallyport;
    std::vector<std::string> m_list; // what the list shows
    Category m_category = Category::Filter;
    bool m_checked = false;  // the shown category's switch
    bool m_otherOn = false;  // the other category's switch
    bool m_scanningOn = false;
};

} // namespace corvane
