#include "core/AboutBox.h"

#include <gtest/gtest.h>

using namespace corvane;
using Action = AboutBoxLink::Action;

TEST(AboutBox, AppCommandsCloseOrOpen)
{
    EXPECT_EQ(aboutBoxLink("app:ok").action, Action::Close);
    EXPECT_EQ(aboutBoxLink("APP:ok").action, Action::Close) << "the prefix in any case";
    // "OK" is not the close command: it is an address like any other.
    const AboutBoxLink upper = aboutBoxLink("app:OK");
    EXPECT_EQ(upper.action, Action::OpenAndClose);
    EXPECT_EQ(upper.address, "OK");
    const AboutBoxLink page = aboutBoxLink("App:https://www.tolvek.example/");
    EXPECT_EQ(page.action, Action::OpenAndClose);
    EXPECT_EQ(page.address, "https://www.tolvek.example/");
}

TEST(AboutBox, OwnPageAndMailStayOtherLinksOpen)
{
    EXPECT_EQ(aboutBoxLink("qrc:/pages/about.html").action, Action::StayInBox);
    EXPECT_EQ(aboutBoxLink("mailto:corvane@tolvek.example?subject=Corvane").action, Action::StayInBox);
    const AboutBoxLink link = aboutBoxLink("https://www.tolvek.example/corvane/");
    EXPECT_EQ(link.action, Action::OpenAndClose);
    EXPECT_EQ(link.address, "https://www.tolvek.example/corvane/");
    // The tests are case-sensitive.
    EXPECT_EQ(aboutBoxLink("MAILTO:x@y").action, Action::OpenAndClose);
}

TEST(AboutBox, EngineReleaseDatesAndAge)
{
    EXPECT_EQ(chromiumReleaseDate("108.0.5359.181"), (CivilDate{2022, 11, 29}));
    EXPECT_EQ(chromiumReleaseDate("102"), (CivilDate{2022, 5, 24}));
    // Beyond the table: four weeks a version.
    EXPECT_EQ(chromiumReleaseDate("115.0.1"), (CivilDate{2023, 6, 27}));
    EXPECT_EQ(chromiumReleaseDate("89.0"), (CivilDate{2021, 3, 17}));
    EXPECT_FALSE(chromiumReleaseDate("").has_value());
    EXPECT_FALSE(chromiumReleaseDate("x108").has_value());

    EXPECT_FALSE(isOlderThanAYear({2022, 11, 29}, {2023, 11, 29}));
    EXPECT_TRUE(isOlderThanAYear({2022, 11, 29}, {2023, 11, 30}));
    EXPECT_TRUE(isOlderThanAYear({2022, 11, 29}, {2024, 1, 1}));

    EXPECT_EQ(engineAgeWarning("108.0.5359.181", {2023, 6, 1}), "");
    EXPECT_EQ(engineAgeWarning("108.0.5359.181", {2025, 6, 1}),
              "Its security patches date from November 2022, more than a year ago: it lacks the fixes "
              "made since. Use it only with sites you trust.");
    EXPECT_EQ(engineAgeWarning("?", {2025, 6, 1}), "");
    EXPECT_EQ(engineVersionText("6.4.2", "102.0.5005.177", "108.0.5359.181"),
              "Web engine: Qt WebEngine 6.4.2 (Chromium 102.0.5005.177, security patches 108.0.5359.181)");
}
