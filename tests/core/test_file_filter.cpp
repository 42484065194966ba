#include "core/FileFilter.h"
#include "core/Strings.h"

#include <gtest/gtest.h>

using corvane::dialogFileFilter;
using corvane::FileFilterEntry;
using corvane::parseFileFilter;

TEST(FileFilter, OpenDialogFilterInTheDialogsForm)
{
    const std::string out = dialogFileFilter(corvane::kOpenFileFilter);
    EXPECT_EQ(out.substr(0, out.find(";;Adobe")), "All Files (*)");
    EXPECT_NE(out.find(";;Excel Files (*.xl* *.xla *.xls *.xlw);;"), std::string::npos);
    EXPECT_NE(out.find(";;Movie Files (*.avi *.mov *.mpeg *.mpg *.qt);;"), std::string::npos);
    EXPECT_EQ(out.substr(out.rfind(";;")), ";;Word Files (*.doc)");
    EXPECT_EQ(parseFileFilter(corvane::kOpenFileFilter).size(), 12u);
    EXPECT_EQ(dialogFileFilter(corvane::kLinksFileFilter), "Links Files (*.lks);;All Files (*)");
}

TEST(FileFilter, LabelsWithoutPatternsAndHalfEntriesAreSkipped)
{
    EXPECT_EQ(parseFileFilter("Text|*.txt|Orphan"),
              (std::vector<FileFilterEntry>{{"Text", {"*.txt"}}}));
    EXPECT_EQ(parseFileFilter("|*.a|Empty||B|*.b||"), (std::vector<FileFilterEntry>{}));
    EXPECT_EQ(parseFileFilter("Pics ( *.png ; *.gif )|*.png; *.gif;;|"),
              (std::vector<FileFilterEntry>{{"Pics", {"*.png", "*.gif"}}}));
    EXPECT_EQ(dialogFileFilter(""), "");
}
