#include "core/SpawningManagerModel.h"

#include "core/ListBoxRules.h"

namespace corvane {

const SpawningManagerModel::Texts &SpawningManagerModel::texts(Category category)
{
    static const Texts filter{"Filter", "You may avoid popups that contain certain words in its address.",
                              "Add word to filter:", "Filter:",
                              "Allow Window Spawning to filter out unwanted popups"};
    static const Texts sallyport{"Sallyport", "You may allow popups to come from only certain sites.",
                                 "Add word to sallyport:", "Sallyport:",
                                 "Allow Window Spawning to work from selected sites"};
    return category == Category::Filter ? filter : sallyport;
}

SpawningManagerModel::SpawningManagerModel(std::vector<std::string> filter, std::vector<std::string> sallyport,
                                           bool filterOn, bool sallyportOn, bool scanningOn)
    : m_filter(std::move(filter)),
      m_sallyport(std::move(sallyport)),
      m_checked(filterOn),
      m_otherOn(sallyportOn),
      m_scanningOn(scanningOn)
{
    showArray();
}

std::vector<std::string> &SpawningManagerModel::currentArray()
{
    return m_category == Category::Filter ? m_filter : m_sallyport;
}

void SpawningManagerModel::showArray()
{
    m_list = currentArray();
    sortForListBox(m_list);
}

bool SpawningManagerModel::add(const std::string &text)
{
    if (text.empty())
        return false;
    m_list.insert(m_list.begin() + std::ptrdiff_t(listBoxInsertPosition(m_list, text)), text);
    currentArray() = m_list;
    return true;
}

void SpawningManagerModel::remove(int index)
{
    if (index < 0 || index >= int(m_list.size()))
        return;
    m_list.erase(m_list.begin() + index);
    currentArray() = m_list;
}

void SpawningManagerModel::reset()
{
    m_list.clear();
    currentArray().clear();
}

void SpawningManagerModel::selectCategory(Category category)
{
    if (category == m_category)
        return;
    currentArray() = m_list;
    std::swap(m_checked, m_otherOn);
    m_category = category;
    showArray();
}

SpawningManagerModel::Result SpawningManagerModel::ok() const
{
    const bool filterShown = m_category == Category::Filter;
    return {filterShown ? m_checked : m_otherOn, m_filter, filterShown ? m_otherOn : m_checked, m_sallyport};
}

} // namespace corvane
