#include "core/DesktopRegistration.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;

namespace {

const char *const kOurs = "text/html=corvane.desktop;\n"
                          "application/xhtml+xml=corvane.desktop;\n"
                          "application/x-mswinurl=corvane.desktop;\n"
                          "x-scheme-handler/http=corvane.desktop;\n"
                          "x-scheme-handler/https=corvane.desktop;\n";

} // namespace

TEST(DesktopRegistration, ExecQuotesThePathOnlyWhereTheRulesRequireIt)
{
    // A plain path stands as it is: the desktop's tools read the first word
    // of Exec as the program and cannot read quotes.
    EXPECT_EQ(desktopExecProgram("/usr/bin/corvane"), "/usr/bin/corvane");
    EXPECT_EQ(desktopExecProgram("/home/u/.local/bin/corvane-3.00_x+y=z,@:"), "/home/u/.local/bin/corvane-3.00_x+y=z,@:");
    EXPECT_EQ(desktopExecProgram("/opt/100%/corvane"), "/opt/100%%/corvane") << "a field code either way";
    EXPECT_EQ(desktopExecProgram("/opt/caf\xC3\xA9/corvane"), "/opt/caf\xC3\xA9/corvane");
    // A blank or a reserved character: in quotes.
    EXPECT_EQ(desktopExecProgram("/home/a b/Corvane (old)/corvane"), "\"/home/a b/Corvane (old)/corvane\"");
    for (const char reserved : std::string("'><~|&;*?#()"))
        EXPECT_EQ(desktopExecProgram(std::string("/x") + reserved + "y"), std::string("\"/x") + reserved + "y\"")
            << reserved;
    // Quoting escapes '"', '`', '$' and '\'; the string value escapes every
    // backslash once more; '%' is doubled.
    EXPECT_EQ(desktopExecProgram("/x/\"q\"/$HOME/`id`/100%/back\\slash"),
              "\"/x/\\\\\"q\\\\\"/\\\\$HOME/\\\\`id\\\\`/100%%/back\\\\\\\\slash\"");
    EXPECT_EQ(desktopExecProgram("/a\nb\tc"), "\"/a\\nb\\tc\"");
}

TEST(DesktopRegistration, TheProgramIsNamedAsTheUserStartedIt)
{
    TempFolder dir;
    std::filesystem::create_directories(dir.file("build/bin"));
    std::filesystem::create_directories(dir.file("home/.local/bin"));
    writeFile(dir.file("build/bin/corvane"), "#!/bin/sh\n");
    std::filesystem::permissions(dir.file("build/bin/corvane"), std::filesystem::perms::owner_all);
    writeFile(dir.file("home/.local/bin/not-executable"), "x");
    // The installed name is a link into the build: it stays the link.
    std::filesystem::create_symlink(dir.file("build/bin/corvane"), dir.file("home/.local/bin/corvane"));

    EXPECT_EQ(startedProgramPath(dir.file("home/.local/bin/corvane"), "/elsewhere", ""),
              dir.file("home/.local/bin/corvane"));
    EXPECT_EQ(startedProgramPath("./bin/./corvane", dir.file("build"), ""), dir.file("build/bin/corvane"));
    EXPECT_EQ(startedProgramPath("bin//corvane", dir.file("build") + "/", ""), dir.file("build/bin/corvane"));
    EXPECT_EQ(startedProgramPath("../build/bin/corvane", dir.file("home"), ""),
              dir.file("home/../build/bin/corvane"));
    // A bare name: the first executable of that name in PATH.
    const std::string path = "/nonexistent:" + dir.file("home/.local/bin") + ":" + dir.file("build/bin");
    EXPECT_EQ(startedProgramPath("corvane", "/", path), dir.file("home/.local/bin/corvane"));
    EXPECT_EQ(startedProgramPath("corvane", dir.file("build/bin"), "/nonexistent::"),
              dir.file("build/bin/corvane")) << "an empty entry is the start folder";
    // Nothing that can be started: no name.
    EXPECT_EQ(startedProgramPath("not-executable", "/", dir.file("home/.local/bin")), "");
    EXPECT_EQ(startedProgramPath("./missing", dir.file("build"), ""), "");
    EXPECT_EQ(startedProgramPath("", "/", path), "");
    EXPECT_EQ(startedProgramPath("bin/corvane", "", ""), "") << "no start folder to make it absolute";

    // The start folder as the shell names it, through a link.
    std::filesystem::create_symlink(dir.file("build"), dir.file("link"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.file("link"));
    EXPECT_EQ(startFolder(dir.file("link").c_str()), dir.file("link"));
    EXPECT_EQ(startFolder(dir.file("home").c_str()), std::filesystem::canonical(dir.file("build")).string())
        << "a PWD naming another folder";
    EXPECT_EQ(startFolder(nullptr), std::filesystem::canonical(dir.file("build")).string());
    EXPECT_EQ(startFolder("link"), std::filesystem::canonical(dir.file("build")).string()) << "not absolute";
    std::filesystem::current_path(before);
}

TEST(DesktopRegistration, TheIconGoesIntoTheUsersThemeAndFailsNothing)
{
    TempFolder dir;
    DesktopPlaces places{"/usr/bin/corvane", dir.file("data"), dir.file("config"), {}};
    places.icons = {{"scalable", "svg", "<svg/>"}, {"48x48", "png", std::string("\x89PNG\0a", 6)}};
    EXPECT_EQ(desktopIconPath(places, places.icons[1]), dir.file("data/icons/hicolor/48x48/apps/corvane.png"));
    ASSERT_TRUE(registerDefaultBrowser(places));
    EXPECT_EQ(readFile(dir.file("data/icons/hicolor/scalable/apps/corvane.svg")), "<svg/>");
    EXPECT_EQ(readFile(dir.file("data/icons/hicolor/48x48/apps/corvane.png")), std::string("\x89PNG\0a", 6));
    EXPECT_NE(readFile(desktopEntryPath(places)).find("\nIcon=corvane\n"), std::string::npos);

    // An icon that cannot be written leaves the registration whole.
    std::filesystem::remove_all(dir.file("data/icons/hicolor/48x48"));
    writeFile(dir.file("data/icons/hicolor/48x48"), "not a folder");
    std::filesystem::remove(desktopEntryPath(places));
    EXPECT_TRUE(registerDefaultBrowser(places));
    EXPECT_TRUE(fileExists(desktopEntryPath(places)));
}

TEST(DesktopRegistration, EntryStartsUsWithDdeAndTheAddress)
{
    const auto entry = desktopEntryText("/opt/my apps/corvane");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry->find("\nExec=\"/opt/my apps/corvane\" /dde %u\n"), std::string::npos);
    EXPECT_NE(desktopEntryText("/usr/bin/corvane")->find("\nExec=/usr/bin/corvane /dde %u\n"), std::string::npos);
    EXPECT_NE(entry->find("\nMimeType=text/html;application/xhtml+xml;application/x-mswinurl;"
                          "x-scheme-handler/http;x-scheme-handler/https;\n"),
              std::string::npos);
    EXPECT_FALSE(desktopEntryText("/opt/caf\xE9/corvane")); // not UTF-8: no entry can hold it
}

TEST(DesktopRegistration, EmptyListGetsBothGroups)
{
    EXPECT_EQ(setDefaultApplications(""),
              std::string("[Default Applications]\n") + kOurs + "\n[Added Associations]\n" + kOurs);
}

TEST(DesktopRegistration, EveryOtherLineSurvivesByteForByte)
{
    const std::string before = "# my list\r\n"
                               "[Added Associations]\r\n"
                               "image/png=viewer.desktop;\r\n"
                               "text/html=editor.desktop;corvane.desktop;\r\n"
                               "\r\n"
                               "[Default Applications]\r\n"
                               "image/png=viewer.desktop;\r\n"
                               "x-scheme-handler/https = other.desktop\r\n"
                               "# comment after the entries\r\n"
                               "\r\n"
                               "[Foreign Group]\r\n"
                               "text/html=not-touched.desktop;\r\n"
                               "odd line without equals\r\n";
    const std::string after = setDefaultApplications(before);
    const std::string expected = "# my list\r\n"
                                 "[Added Associations]\r\n"
                                 "image/png=viewer.desktop;\r\n"
                                 "text/html=corvane.desktop;editor.desktop;\r\n"
                                 "application/xhtml+xml=corvane.desktop;\r\n"
                                 "application/x-mswinurl=corvane.desktop;\r\n"
                                 "x-scheme-handler/http=corvane.desktop;\r\n"
                                 "x-scheme-handler/https=corvane.desktop;\r\n"
                                 "\r\n"
                                 "[Default Applications]\r\n"
                                 "image/png=viewer.desktop;\r\n"
                                 "x-scheme-handler/https = corvane.desktop;other.desktop;\r\n"
                                 "text/html=corvane.desktop;\r\n"
                                 "application/xhtml+xml=corvane.desktop;\r\n"
                                 "application/x-mswinurl=corvane.desktop;\r\n"
                                 "x-scheme-handler/http=corvane.desktop;\r\n"
                                 "# comment after the entries\r\n"
                                 "\r\n"
                                 "[Foreign Group]\r\n"
                                 "text/html=not-touched.desktop;\r\n"
                                 "odd line without equals\r\n";
    EXPECT_EQ(after, expected);
    // Done once, nothing changes the second time.
    EXPECT_EQ(setDefaultApplications(after), after);
}

TEST(DesktopRegistration, MissingGroupAppendedAndRemovedAssociationLifted)
{
    const std::string before = "[Removed Associations]\n"
                               "text/html=corvane.desktop;\n"
                               "x-scheme-handler/http=corvane.desktop;other.desktop;\n"
                               "image/png=corvane.desktop;\n"
                               "[Added Associations]\n"
                               + std::string(kOurs) + "[Default Applications]"; // no line end at all
    const std::string after = setDefaultApplications(before);
    EXPECT_EQ(after, "[Removed Associations]\n"
                     "x-scheme-handler/http=other.desktop;\n"
                     "image/png=corvane.desktop;\n" // not one of ours: kept
                     "[Added Associations]\n"
                         + std::string(kOurs) + "[Default Applications]\n" + kOurs);
}

TEST(DesktopRegistration, AnswersOfTheQuestion)
{
    EXPECT_EQ(defaultBrowserChoice(true, false), (DefaultBrowserChoice{1, true}));
    EXPECT_EQ(defaultBrowserChoice(true, true), (DefaultBrowserChoice{1, true}));
    EXPECT_EQ(defaultBrowserChoice(false, true), (DefaultBrowserChoice{1, false}));
    EXPECT_EQ(defaultBrowserChoice(false, false), (DefaultBrowserChoice{0, false}));
}

TEST(DesktopRegistration, RegistrationWritesTheEntryAndTheDefaultsKeepingForeignOnes)
{
    TempFolder dir;
    const DesktopPlaces places{"/opt/Corvane 3/corvane", dir.file("data"), dir.file("config"), {}};
    EXPECT_EQ(desktopEntryPath(places), dir.file("data/applications/corvane.desktop"));
    EXPECT_EQ(mimeappsListPath(places), dir.file("config/mimeapps.list"));

    // Nothing there yet: both folders are made.
    ASSERT_TRUE(registerDefaultBrowser(places));
    EXPECT_EQ(readFile(desktopEntryPath(places)), desktopEntryText(places.executable).value());
    EXPECT_NE(readFile(desktopEntryPath(places)).find("\nExec=\"/opt/Corvane 3/corvane\" /dde %u\n"),
              std::string::npos);
    EXPECT_EQ(readFile(mimeappsListPath(places)), setDefaultApplications(""));

    // A foreign entry and a foreign group, in a list reached through a link.
    const std::string foreign = "[Default Applications]\n"
                                "image/png=viewer.desktop;\n"
                                "x-scheme-handler/https=other.desktop;\n"
                                "\n"
                                "[Foreign Group]\n"
                                "text/html=not-touched.desktop;\n";
    std::filesystem::create_directories(dir.file("dotfiles"));
    writeFile(dir.file("dotfiles/mimeapps.list"), foreign);
    std::filesystem::remove(mimeappsListPath(places));
    std::filesystem::create_symlink(dir.file("dotfiles/mimeapps.list"), mimeappsListPath(places));
    ASSERT_TRUE(registerDefaultBrowser(places));
    EXPECT_TRUE(std::filesystem::is_symlink(mimeappsListPath(places))) << "the link survives";
    const std::string after = readFile(dir.file("dotfiles/mimeapps.list"));
    EXPECT_EQ(after, setDefaultApplications(foreign));
    EXPECT_EQ(after.rfind("[Default Applications]\nimage/png=viewer.desktop;\n"
                          "x-scheme-handler/https=corvane.desktop;other.desktop;\n",
                          0),
              0u);
    EXPECT_NE(after.find("\n[Foreign Group]\ntext/html=not-touched.desktop;\n"), std::string::npos);
    for (const char *type : {"text/html", "application/xhtml+xml", "application/x-mswinurl",
                             "x-scheme-handler/http"})
        EXPECT_NE(after.find(std::string("\n") + type + "=corvane.desktop;\n"), std::string::npos) << type;

    // A second registration changes nothing.
    ASSERT_TRUE(registerDefaultBrowser(places));
    EXPECT_EQ(readFile(dir.file("dotfiles/mimeapps.list")), after);
}

TEST(DesktopRegistration, AListThatCannotBeReadIsNotReplaced)
{
    TempFolder dir;
    const DesktopPlaces places{"/usr/bin/corvane", dir.file("data"), dir.file("config"), {}};
    // Something that is no regular file stands where the list goes.
    std::filesystem::create_directories(dir.file("config/mimeapps.list"));
    writeFile(dir.file("config/mimeapps.list/keep"), "x");
    EXPECT_FALSE(registerDefaultBrowser(places));
    EXPECT_EQ(readFile(dir.file("config/mimeapps.list/keep")), "x");

    // A path no desktop entry can hold: nothing is written at all.
    const DesktopPlaces notUtf8{"/opt/caf\xE9/corvane", dir.file("data2"), dir.file("config2"), {}};
    EXPECT_FALSE(registerDefaultBrowser(notUtf8));
    EXPECT_FALSE(fileExists(dir.file("data2")));
    EXPECT_FALSE(fileExists(dir.file("config2")));
}
