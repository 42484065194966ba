#include "core/DesktopRegistration.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

const char *const kOurs = "text/html=corvane.desktop;\n"
                          "application/xhtml+xml=corvane.desktop;\n"
                          "application/x-mswinurl=corvane.desktop;\n"
                          "x-scheme-handler/http=corvane.desktop;\n"
                          "x-scheme-handler/https=corvane.desktop;\n";

} // namespace

TEST(DesktopRegistration, ExecQuotesThePathWhateverItHolds)
{
    EXPECT_EQ(desktopExecProgram("/usr/bin/corvane"), "\"/usr/bin/corvane\"");
    EXPECT_EQ(desktopExecProgram("/home/a b/Corvane (old)/corvane"), "\"/home/a b/Corvane (old)/corvane\"");
    // Quoting escapes '"', '`', '$' and '\'; the string value escapes every
    // backslash once more; '%' is doubled.
    EXPECT_EQ(desktopExecProgram("/x/\"q\"/$HOME/`id`/100%/back\\slash"),
              "\"/x/\\\\\"q\\\\\"/\\\\$HOME/\\\\`id\\\\`/100%%/back\\\\\\\\slash\"");
    EXPECT_EQ(desktopExecProgram("/a\nb\tc"), "\"/a\\nb\\tc\"");
}

TEST(DesktopRegistration, EntryStartsUsWithDdeAndTheAddress)
{
    const auto entry = desktopEntryText("/opt/my apps/corvane");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry->find("\nExec=\"/opt/my apps/corvane\" /dde %u\n"), std::string::npos);
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
