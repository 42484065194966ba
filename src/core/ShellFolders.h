#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The user's special folders: the Explore submenu opens them and the
// Favorites menu reads one of them. Each is a string value of the per-user
// store's key "User Shell Folders"; a folder without a value there is ours:
// the Favorites under the program's data folder, Personal the documents
// folder, Cache, Cookies and History the web profile's folders.
inline constexpr const char *kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

enum class ShellFolder { Cache, Cookies, Favorites, History, Personal };

// The stored value's name: "Cache", "Cookies", "Favorites", "History", "Personal".
const char *shellFolderName(ShellFolder folder);

// The folder an Explore command opens (cmd::ExploreCache ...); nothing for
// any other command.
std::optional<ShellFolder> shellFolderForCommand(int commandId);

// Where each folder is when the store names none.
struct ShellFolderDefaults
{
    std::string cache;
    std::string cookies;
    std::string favorites;
    std::string history;
    std::string personal;
};

// Looks up an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string &name)>;

// Expands "%NAME%", "${NAME}" and "$NAME" with the variables' values, and a
// leading "~" (alone or before "/") with HOME. A reference to a variable that
// is not set stays as it is; "%%" and a lone "%" or "$" are kept.
std::string expandEnvironmentText(std::string_view text, const EnvironmentLookup &lookup);

// The folder's path: the stored value with its variables expanded, or the
// default when there is no value (or an empty one, or one that expands to
// nothing).
std::string shellFolderPath(ShellFolder folder, const std::optional<std::string> &storedValue,
                            const ShellFolderDefaults &defaults, const EnvironmentLookup &lookup);

// The message when the folder is not there: the value's name followed by
// " folder not found." ("Favorites folder not found."), titled
// kFolderNotFoundTitle, error icon.
std::string folderNotFoundText(ShellFolder folder);
inline constexpr const char *kFolderNotFoundTitle = "Error opening folder";

} // namespace corvane
