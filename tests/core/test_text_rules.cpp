#include "core/DdeCommand.h"
#include "core/SmartNavigate.h"
#include "core/StatusPanes.h"
#include "core/TextRules.h"
#include "core/TextSize.h"
#include "core/UrlShortcut.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvane;

namespace {

std::string repeat(const std::string &unit, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += unit;
    return s;
}

} // namespace

TEST(TruncateForDisplay, Keeps128CharactersAndCuts129To125PlusDots)
{
    // One-byte, two-, three- and four-byte characters count the same.
    for (const std::string unit : {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
        EXPECT_EQ(truncateForDisplay(repeat(unit, 128)), repeat(unit, 128));
        EXPECT_EQ(truncateForDisplay(repeat(unit, 129)), repeat(unit, 125) + "...");
    }
    // A character straddling byte 125 is kept whole.
    const std::string euro = "\xE2\x82\xAC";
    EXPECT_EQ(truncateForDisplay(repeat("a", 124) + euro + euro + repeat("z", 10)), repeat("a", 124) + euro + "...");
}

TEST(TruncateForDisplay, InvalidBytesCountOneEach)
{
    // Stray continuations, a lone lead byte, an overlong form, a surrogate.
    const std::string bad = repeat("\x80\xBF\xC3\xC0\xAF\xED\xA0\x80", 16); // 128 bytes
    EXPECT_EQ(truncateForDisplay(bad), bad);
    EXPECT_EQ(truncateForDisplay(bad + "x"), bad.substr(0, 125) + "...");
    // A sequence cut short by the end of the text is not read past it.
    EXPECT_EQ(truncateForDisplay(repeat("a", 128) + "\xF0\x9F"), repeat("a", 125) + "...");
}

TEST(SecureAddress, HttpsColonInAnyCase)
{
    EXPECT_TRUE(isSecureAddress("HtTpS://example.org/"));
    EXPECT_TRUE(isSecureAddress("http://a.example/?next=https:x"));
    EXPECT_FALSE(isSecureAddress("http://example.org/https"));
    EXPECT_FALSE(isSecureAddress(""));
}

TEST(TextSize, CommandsFontsAndZoomLineUp)
{
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(fontsForCommand(cmd::FontsHuge + i), i + 1);
        EXPECT_EQ(zoomArgumentForFonts(i + 1), 4 - i);
    }
    EXPECT_EQ(fontsForCommand(cmd::FontsTiny + 1), 0);
    EXPECT_EQ(zoomArgumentForFonts(42), 2); // a broken setting zooms as normal
    EXPECT_DOUBLE_EQ(zoomFactorForArgument(2), 1.0);
    EXPECT_LT(zoomFactorForArgument(0), zoomFactorForArgument(4));
}

TEST(TextSize, StepsStopAtHugeAndTiny)
{
    EXPECT_EQ(fontsAfterStep(kFontsNormal, true), 2);
    EXPECT_EQ(fontsAfterStep(kFontsNormal, false), 4);
    EXPECT_EQ(fontsAfterStep(1, true), 1);
    EXPECT_EQ(fontsAfterStep(5, false), 5);
    // A broken value steps from normal, never out of the menu's range.
    EXPECT_EQ(fontsAfterStep(0, true), 2);
    EXPECT_EQ(fontsAfterStep(9, false), 4);
}

TEST(SmartNavigate, CompletionTable)
{
    struct Case
    {
        const char *typed;
        bool enabled;
        const char *expected;
    };
    const Case cases[] = {
        {"Tolvek", true, "http://www.Tolvek.com"},
        {"10.0.0.1", true, "10.0.0.1"},
        // An address with its scheme is not a word (it was wrapped into
        // "http://www.http://localhost.com", an address of nothing).
        {"http://localhost", true, "http://localhost"},
        {"https://intranet:8443/app", true, "https://intranet:8443/app"},
        {"localhost:8080", true, "http://www.localhost:8080.com"},
        {"://x", true, "http://www.://x.com"},
        {"two words", true, "http://www.two words.com"},
        {"-intranet", true, "intranet"},
        {"*autoscan", true, "*autoscan"},
        {"corvane:start", true, "corvane:start"}, // the program's own pages
        {"Corvane:help", true, "Corvane:help"},
        {"corvane", true, "http://www.corvane.com"},
        {"tolvek", false, "tolvek"},
        {"-intranet", false, "-intranet"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(smartNavigate(c.typed, c.enabled), c.expected) << '"' << c.typed << "\" " << c.enabled;
}

TEST(SmartNavigate, BlanksAroundAreDroppedAndNothingLeftGoesNowhere)
{
    // Blanks around a word once made a host with a blank in it, and an
    // empty text the address "http://www..com" of no host at all.
    EXPECT_EQ(smartNavigate(" word\t", true), "http://www.word.com");
    EXPECT_EQ(smartNavigate("  http://a.example/ \r\n", false), "http://a.example/");
    for (const bool enabled : {true, false}) {
        for (const char *nothing : {"", " ", " \t\r\n\v\f "})
            EXPECT_EQ(smartNavigate(nothing, enabled), "") << '"' << nothing << "\" " << enabled;
    }
    // The dash dropped, nothing (or blanks alone) is left.
    EXPECT_EQ(smartNavigate("-", true), "");
    EXPECT_EQ(smartNavigate(" -  ", true), "");
    EXPECT_EQ(smartNavigate("- intranet", true), "intranet");
    EXPECT_EQ(smartNavigate("-", false), "-");
}

namespace {

StatusPaneLayout panesFor(int progress, int max, int width, bool extras = true)
{
    StatusPaneInput in{"Opening", progress, max, "00:01:07", extras,
                       extras ? PageSecurity::Secure : PageSecurity::NotEncrypted, extras, width, {}};
    return layoutStatusPanes(in);
}

} // namespace

TEST(StatusPanes, LoadingLayout)
{
    const StatusPaneLayout l = panesFor(50, 200, 1000);
    ASSERT_TRUE(l.loading);
    const char *texts[] = {"Opening", "25% done", "00:01:07", "S", "P"};
    const int widths[] = {752, 100, 55, 25, 60};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(l.panes[i].text, texts[i]);
        EXPECT_EQ(l.panes[i].width, widths[i]);
    }
    EXPECT_EQ(panesFor(2, 3, 800).panes[1].text, "66% done");
    EXPECT_EQ(panesFor(2000000000, 2100000000, 800).panes[1].text, "95% done"); // no overflow
    EXPECT_EQ(panesFor(1, 2, 200).panes[0].width, 0);                            // narrow window
}

TEST(StatusPanes, IdleLayoutLeavesTheLastPaneAlone)
{
    for (const auto &[progress, max] : {std::pair{0, 0}, {200, 200}, {-1, 200}}) {
        const StatusPaneLayout l = panesFor(progress, max, 1000);
        EXPECT_FALSE(l.loading) << progress << " of " << max;
        EXPECT_EQ(l.panes[0].width, 860);
        EXPECT_EQ(l.panes[1].text, "00:01:07");
        EXPECT_EQ(l.panes[3].text, "P");
        EXPECT_FALSE(l.panes[4].assigned);
    }
    const StatusPaneLayout narrow = panesFor(0, 0, 100, false);
    EXPECT_EQ(narrow.panes[0].width, 0);
    EXPECT_EQ(narrow.panes[1].text + narrow.panes[2].text + narrow.panes[3].text, "");
}

TEST(StatusPanes, ALargerFontWidensThePanesThatNeedItAndPaneZeroGivesTheRoom)
{
    StatusPaneInput in{"Opening", 50, 200, "00:01:07", true, PageSecurity::Secure, true, 1000, {}};
    // Narrower needs than the usual widths change nothing.
    in.room = {80, 40, 10, 20};
    StatusPaneLayout l = layoutStatusPanes(in);
    EXPECT_EQ(l.panes[0].width, 752);
    EXPECT_EQ(l.panes[2].width, 55);

    // "00:01:07" in a large font needs 83 pixels, "100% done" 150.
    in.room = {150, 83, 25, 60};
    l = layoutStatusPanes(in);
    EXPECT_EQ(l.panes[1].width, 150);
    EXPECT_EQ(l.panes[2].width, 83);
    EXPECT_EQ(l.panes[0].width, 1000 - 150 - 83 - 25 - 60 - 8);
    in.progressMax = 0;
    l = layoutStatusPanes(in);
    EXPECT_EQ(l.panes[1].width, 83) << "idle: the timer is pane 1";
    EXPECT_EQ(l.panes[0].width, 1000 - 83 - 25 - 60);

    // Needs beyond any window leave pane 0 empty, never negative.
    in.room = {0, 2000000000, 2000000000, 2000000000};
    EXPECT_EQ(layoutStatusPanes(in).panes[0].width, 0);
}

TEST(StatusPanes, IdlePromptWhenNoStatusTextStands)
{
    for (const int max : {0, 200}) {
        StatusPaneInput in;
        in.progressMax = max;
        in.windowWidth = 800;
        EXPECT_EQ(layoutStatusPanes(in).panes[0].text, "Ready") << max;
        in.statusText = "Done";
        EXPECT_EQ(layoutStatusPanes(in).panes[0].text, "Done") << max;
    }
    EXPECT_EQ(statusPaneText(""), "Ready");
    EXPECT_EQ(statusPaneText(" "), " ");
}

TEST(UrlShortcut, AddressLine)
{
    EXPECT_EQ(parseUrlShortcut("[InternetShortcut]\r\nURL=http://a/b\r\nIconIndex=0\r\n").address, "http://a/b");
    EXPECT_EQ(parseUrlShortcut("[InternetShortcut]\nURL=http://a/b\nIconIndex=0\n").address, "http://a/b");
    EXPECT_EQ(parseUrlShortcut("[InternetShortcut]\nURL=http://x").address, "http://x");
    EXPECT_EQ(parseUrlShortcut("URL=http://x\r").address, "http://x");
    EXPECT_EQ(parseUrlShortcut("URL=http://first\nURL=http://second\n").address, "http://first");
    // The line's own URL=, not the one inside BASEURL=.
    EXPECT_EQ(parseUrlShortcut("[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://page/\r\n")
                  .address,
              "http://page/");
    EXPECT_EQ(parseUrlShortcut("[DEFAULT]\r\nBASEURL=http://base/\r\n").address, "http://base/");
    EXPECT_TRUE(parseUrlShortcut("URL=\r\n").found);
    EXPECT_FALSE(parseUrlShortcut("[InternetShortcut]\r\nurl=http://x\r\n").found);
    EXPECT_FALSE(parseUrlShortcut("").found);

    EXPECT_TRUE(isUrlShortcutPath("/home/u/Favorites/SITE.URL"));
    EXPECT_FALSE(isUrlShortcutPath("/home/u/x.url.txt"));
    EXPECT_FALSE(isUrlShortcutPath("url"));
}

TEST(OpenCommand, RoundTripsAnyTarget)
{
    EXPECT_EQ(makeOpenCommand("/home/u/a b.html"), "[open(\"/home/u/a b.html\")]");
    for (const std::string target : {"http://e.org/?q=\"x\"", "say \")] twice \")]", " blanks ", "\""}) {
        const auto parsed = parseOpenCommand(makeOpenCommand(target));
        ASSERT_TRUE(parsed.has_value()) << target;
        EXPECT_EQ(*parsed, target);
    }
    EXPECT_EQ(parseOpenCommand(" \t[open(\"x\")]\r\n").value_or("?"), "x");
}

TEST(OpenCommand, RejectsAnythingElse)
{
    for (const std::string bad : {"", "[open(\"\")]", "[open(\")]", "[open(x)]", "[OPEN(\"x\")]",
                                  "[open(\"x\")] extra", "junk [open(\"x\")]", "[open(\"x\")"}) {
        EXPECT_FALSE(parseOpenCommand(bad).has_value()) << bad;
    }
    EXPECT_FALSE(parseOpenCommand(makeOpenCommand(std::string("a\0b", 3))).has_value());
}
