#include "core/CommandIds.h"
#include "core/ShellFolders.h"

#include <gtest/gtest.h>

#include <map>

using namespace corvane;

namespace {

EnvironmentLookup environment(std::map<std::string, std::string> values)
{
    return [values](const std::string &name) -> std::optional<std::string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

ShellFolderDefaults defaults()
{
    return {"/c/cache", "/c/cookies", "/d/Favorites", "/c/history", "/h/Documents"};
}

} // namespace

TEST(ShellFolders, VariablesExpandInEitherSpelling)
{
    const EnvironmentLookup env = environment({{"HOME", "/home/u"}, {"USERPROFILE", "/home/u"}, {"X_1", "x"}});
    EXPECT_EQ(expandEnvironmentText("%USERPROFILE%\\Favorites", env), "/home/u\\Favorites");
    EXPECT_EQ(expandEnvironmentText("${HOME}/Fav", env), "/home/u/Fav");
    EXPECT_EQ(expandEnvironmentText("$HOME/Fav/$X_1", env), "/home/u/Fav/x");
    EXPECT_EQ(expandEnvironmentText("~/Fav", env), "/home/u/Fav");
    EXPECT_EQ(expandEnvironmentText("~", env), "/home/u");
    // What cannot be expanded stays as written.
    EXPECT_EQ(expandEnvironmentText("%UNSET%/$UNSET/${UNSET}", env), "%UNSET%/$UNSET/${UNSET}");
    EXPECT_EQ(expandEnvironmentText("100%/%%/$/${}/a~b/~user", env), "100%/%%/$/${}/a~b/~user");
    EXPECT_EQ(expandEnvironmentText("%HOME", env), "%HOME");
}

TEST(ShellFolders, StoredValueElseTheDefault)
{
    const EnvironmentLookup env = environment({{"HOME", "/home/u"}});
    EXPECT_EQ(shellFolderPath(ShellFolder::Favorites, std::string("$HOME/Bookmarks"), defaults(), env),
              "/home/u/Bookmarks");
    EXPECT_EQ(shellFolderPath(ShellFolder::Favorites, std::nullopt, defaults(), env), "/d/Favorites");
    EXPECT_EQ(shellFolderPath(ShellFolder::Favorites, std::string(), defaults(), env), "/d/Favorites");
    EXPECT_EQ(shellFolderPath(ShellFolder::Cache, std::nullopt, defaults(), env), "/c/cache");
    EXPECT_EQ(shellFolderPath(ShellFolder::Cookies, std::nullopt, defaults(), env), "/c/cookies");
    EXPECT_EQ(shellFolderPath(ShellFolder::History, std::nullopt, defaults(), env), "/c/history");
    EXPECT_EQ(shellFolderPath(ShellFolder::Personal, std::nullopt, defaults(), env), "/h/Documents");
}

TEST(ShellFolders, ExploreCommandsAndTheirMessage)
{
    const std::pair<int, const char *> commands[] = {
        {cmd::ExploreCache, "Cache folder not found."},       {cmd::ExploreCookies, "Cookies folder not found."},
        {cmd::ExploreFavorites, "Favorites folder not found."}, {cmd::ExploreHistory, "History folder not found."},
        {cmd::ExplorePersonal, "Personal folder not found."},
    };
    for (const auto &[id, text] : commands) {
        const std::optional<ShellFolder> folder = shellFolderForCommand(id);
        ASSERT_TRUE(folder.has_value()) << id;
        EXPECT_EQ(folderNotFoundText(*folder), text);
    }
    EXPECT_FALSE(shellFolderForCommand(cmd::Favorites).has_value());
}
