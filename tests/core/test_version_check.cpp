#include "core/VersionCheck.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvane;

TEST(VersionCheck, VersionsCompareAsNumbers)
{
    EXPECT_EQ(compareVersions("3.00", "3.00"), VersionComparison::Same);
    EXPECT_EQ(compareVersions("3.01", "3.00"), VersionComparison::Newer);
    EXPECT_EQ(compareVersions("2.99", "3.00"), VersionComparison::Older);
    EXPECT_EQ(compareVersions("10.0", "3.00"), VersionComparison::Newer); // not "1" < "3" as text
    EXPECT_EQ(compareVersions("3", "3.00"), VersionComparison::Same);
    EXPECT_EQ(compareVersions("3.00.1", "3.00"), VersionComparison::Newer);
    EXPECT_EQ(compareVersions("003.000", "3.00"), VersionComparison::Same);
    // Parts far beyond any integer compare without overflow.
    EXPECT_EQ(compareVersions("3.99999999999999999999999", "3.00"), VersionComparison::Newer);
}

TEST(VersionCheck, LineBreaksAndBlanksAroundTheTextDoNotCount)
{
    for (const std::string text : {"3.00\n", "3.00\r\n", "  3.00  ", "\xEF\xBB\xBF" "3.00\n"})
        EXPECT_EQ(compareVersions(text, "3.00"), VersionComparison::Same) << text;
}

TEST(VersionCheck, AnythingElseIsUnknown)
{
    const std::string texts[] = {"",   "\n",   "<html><body>404 Not Found</body></html>", "3.0a", "3..0",
                                 ".3", "3.",   "-3.00", "3.00 beta", "3.00\n4.00", std::string(100, '9')};
    for (const std::string &text : texts)
        EXPECT_EQ(compareVersions(text, "3.00"), VersionComparison::Unknown) << text;
}

TEST(VersionCheck, OutcomeOfARequest)
{
    EXPECT_EQ(versionCheckOutcome(200, "3.00", "3.00"), VersionCheckOutcome::UpToDate);
    EXPECT_EQ(versionCheckOutcome(200, "3.00\n", "3.00"), VersionCheckOutcome::UpToDate);
    EXPECT_EQ(versionCheckOutcome(200, "2.99", "3.00"), VersionCheckOutcome::UpToDate);
    EXPECT_EQ(versionCheckOutcome(200, "3.01", "3.00"), VersionCheckOutcome::OfferDownload);
    EXPECT_EQ(versionCheckOutcome(200, "<html>error</html>", "3.00"), VersionCheckOutcome::Failed);
    EXPECT_EQ(versionCheckOutcome(404, "3.01", "3.00"), VersionCheckOutcome::Failed);
}
