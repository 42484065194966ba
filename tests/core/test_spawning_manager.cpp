#include "core/ListBoxRules.h"
#include "core/SpawningManagerModel.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

using Words = std::vector<std::string>;
using Category = SpawningManagerModel::Category;

} // namespace

TEST(SpawningManager, OpensOnTheFilter)
{
    const SpawningManagerModel m({"zeta", "Ads", "banner"}, {"site"}, true, false, true);
    EXPECT_EQ(m.category(), Category::Filter);
    EXPECT_EQ(m.currentTexts().checkBox, "Allow Window Spawning to filter out unwanted popups");
    EXPECT_EQ(m.items(), (Words{"Ads", "banner", "zeta"})) << "shown sorted, case ignored";
    EXPECT_TRUE(m.checked());
    EXPECT_TRUE(m.listEnabled());
    EXPECT_TRUE(m.checkBoxEnabled());

    // Untouched lists keep their stored order.
    EXPECT_EQ(m.ok(), (SpawningManagerModel::Result{true, {"zeta", "Ads", "banner"}, false, {"site"}}));
}

TEST(SpawningManager, EditingTheLists)
{
    SpawningManagerModel m({"b"}, {}, true, false, true);
    EXPECT_FALSE(m.add(""));
    EXPECT_TRUE(m.add("a"));
    EXPECT_TRUE(m.add("a"));
    EXPECT_TRUE(m.add("C"));
    EXPECT_EQ(m.items(), (Words{"a", "a", "b", "C"})) << "duplicates allowed, taken as typed";

    // A word added, a trip to the sallyport and back: the word is stored.
    m.selectCategory(Category::Sallyport);
    EXPECT_EQ(m.currentTexts().listLabel, "Sallyport:");
    EXPECT_TRUE(m.items().empty());
    m.add("good.example");
    m.selectCategory(Category::Sallyport); // already shown: nothing changes
    EXPECT_EQ(m.items(), Words{"good.example"});
    m.selectCategory(Category::Filter);
    m.remove(2);
    m.remove(-1);
    m.remove(9);
    EXPECT_EQ(m.ok(), (SpawningManagerModel::Result{true, {"a", "a", "C"}, false, {"good.example"}}));

    m.reset();
    EXPECT_TRUE(m.items().empty());
    EXPECT_TRUE(m.ok().filter.empty());
    EXPECT_EQ(m.ok().sallyport, Words{"good.example"});
}

TEST(SpawningManager, SwitchesFollowTheirCategory)
{
    // Scanning off: the check box is greyed, the list still follows the
    // shown category's switch.
    SpawningManagerModel m({}, {}, false, true, false);
    EXPECT_FALSE(m.checkBoxEnabled());
    EXPECT_FALSE(m.listEnabled());
    m.selectCategory(Category::Sallyport);
    EXPECT_TRUE(m.checked());
    EXPECT_TRUE(m.listEnabled());

    // Changing the sallyport switch and going back to the filter stores it.
    m.setChecked(false);
    m.selectCategory(Category::Filter);
    EXPECT_FALSE(m.checked());
    m.setChecked(true);
    const auto result = m.ok();
    EXPECT_TRUE(result.filterOn);
    EXPECT_FALSE(result.sallyportOn);
}

TEST(ListBoxRules, Order)
{
    Words items{"b", "B", "a", "_x", "A"};
    sortForListBox(items);
    EXPECT_EQ(items, (Words{"_x", "a", "A", "b", "B"})) << "case ignored, equal items keep their order";
    EXPECT_EQ(listBoxInsertPosition(items, "a"), 3u) << "after its equals";
}
