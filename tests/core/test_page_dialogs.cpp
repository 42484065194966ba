// A page's own dialog boxes: offered to be stopped after a few, stopped
// until the window shows another site.
#include "core/PageDialogs.h"

#include <gtest/gtest.h>

using corvane::PageDialogs;

TEST(PageDialogs, FromTheThirdBoxOnThePageCanBeStoppedUntilAnotherSiteShows)
{
    PageDialogs d;
    d.siteShown("https://a.example");
    // The first two boxes just show; a tick there counts for nothing.
    EXPECT_TRUE(d.mayShow());
    EXPECT_FALSE(d.offersStop());
    d.answered(true);
    EXPECT_TRUE(d.mayShow());
    EXPECT_FALSE(d.offersStop());
    d.answered(false);
    // The third offers it; answered without the tick, the next offers again.
    EXPECT_TRUE(d.offersStop());
    d.answered(false);
    EXPECT_TRUE(d.mayShow());
    EXPECT_TRUE(d.offersStop());
    d.answered(true);
    EXPECT_FALSE(d.mayShow());

    // The same site again (a reload, another of its pages): still stopped.
    d.siteShown("https://a.example");
    EXPECT_FALSE(d.mayShow());
    // Another site starts afresh.
    d.siteShown("https://b.example");
    EXPECT_TRUE(d.mayShow());
    EXPECT_FALSE(d.offersStop());
}

TEST(PageDialogs, TheBoxSaysWhichSiteAsks)
{
    EXPECT_EQ(corvane::pageDialogTitle("example.org"), "example.org says");
    EXPECT_EQ(corvane::pageDialogTitle(""), "This page says");
}
