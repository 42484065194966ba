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

// --- display truncation ------------------------------------------------------

TEST(TruncateForDisplay, KeepsUpTo128CharactersAndCutsLongerTo125PlusDots)
{
    EXPECT_EQ(truncateForDisplay(""), "");
    const std::string exact = repeat("a", 128);
    EXPECT_EQ(truncateForDisplay(exact), exact);
    EXPECT_EQ(truncateForDisplay(repeat("a", 129)), repeat("a", 125) + "...");
    EXPECT_EQ(truncateForDisplay(repeat("b", 300)), repeat("b", 125) + "...");
}

TEST(TruncateForDisplay, CountsUtf8CharactersNotBytes)
{
    // 128 two-, three- and four-byte characters are kept whole.
    for (const std::string unit : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
        const std::string exact = repeat(unit, 128);
        EXPECT_EQ(truncateForDisplay(exact), exact);
        EXPECT_EQ(truncateForDisplay(repeat(unit, 129)), repeat(unit, 125) + "...");
    }
    // A multi-byte character straddling byte 125 is kept or dropped whole.
    const std::string mixed = repeat("a", 124) + "\xE2\x82\xAC" + "\xE2\x82\xAC" + repeat("z", 10);
    EXPECT_EQ(truncateForDisplay(mixed), repeat("a", 124) + "\xE2\x82\xAC" + "...");
}

TEST(TruncateForDisplay, InvalidBytesCountOneEach)
{
    // Stray continuation bytes, a lone lead byte, an overlong form and a
    // surrogate: each byte is one character.
    const std::string bad = "\x80\xBF\xC3\xC0\xAF\xED\xA0\x80";
    const std::string text = repeat(bad, 16); // 128 bytes, 128 characters
    EXPECT_EQ(truncateForDisplay(text), text);
    EXPECT_EQ(truncateForDisplay(text + "x"), text.substr(0, 125) + "...");
    // A sequence cut short by the end of the text is not read past its end.
    const std::string tail = repeat("a", 128) + "\xF0\x9F";
    EXPECT_EQ(truncateForDisplay(tail), repeat("a", 125) + "...");
    EXPECT_EQ(utf8CharLength("\xF0\x9F", 0), 1u);
}

// --- secure indicator ---------------------------------------------------------

TEST(SecureAddress, FindsHttpsColonInAnyCaseAnywhere)
{
    EXPECT_TRUE(isSecureAddress("https://example.org/"));
    EXPECT_TRUE(isSecureAddress("HtTpS://example.org/"));
    EXPECT_TRUE(isSecureAddress("http://a.example/?next=https:x")); // anywhere, as the rule says
    EXPECT_FALSE(isSecureAddress("http://example.org/https"));
    EXPECT_FALSE(isSecureAddress("https"));
    EXPECT_FALSE(isSecureAddress(""));
}

// --- text size ------------------------------------------------------------------

TEST(TextSize, CommandsFontsAndZoomArgumentsLineUp)
{
    const int fonts[] = {1, 2, 3, 4, 5};
    const int zoom[] = {4, 3, 2, 1, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(fontsForCommand(cmd::FontsHuge + i), fonts[i]);
        EXPECT_EQ(commandForFonts(fonts[i]), cmd::FontsHuge + i);
        EXPECT_EQ(zoomArgumentForFonts(fonts[i]), zoom[i]);
    }
    EXPECT_EQ(fontsForCommand(cmd::FontsHuge - 1), 0);
    EXPECT_EQ(fontsForCommand(cmd::FontsTiny + 1), 0);
    EXPECT_EQ(commandForFonts(0), 0);
    EXPECT_EQ(zoomArgumentForFonts(0), 2);  // a broken setting zooms as normal
    EXPECT_EQ(zoomArgumentForFonts(42), 2);
}

TEST(TextSize, ZoomFactorsGrowWithTheArgumentAndNormalIsOne)
{
    EXPECT_DOUBLE_EQ(zoomFactorForArgument(2), 1.0);
    for (int a = 0; a < 4; ++a)
        EXPECT_LT(zoomFactorForArgument(a), zoomFactorForArgument(a + 1));
    EXPECT_DOUBLE_EQ(zoomFactorForArgument(-1), 1.0);
    EXPECT_DOUBLE_EQ(zoomFactorForArgument(5), 1.0);
}

// --- SmartNavigate ----------------------------------------------------------------

TEST(SmartNavigate, FollowsTheCompletionRule)
{
    struct Case
    {
        const char *typed;
        bool enabled;
        const char *expected;
    };
    const Case cases[] = {
        {"tolvek", true, "http://www.tolvek.com"},
        {"Tolvek", true, "http://www.Tolvek.com"},          // no case change
        {"example.org", true, "example.org"},               // a dot anywhere
        {"10.0.0.1", true, "10.0.0.1"},
        {"http://localhost", true, "http://www.http://localhost.com"}, // no scheme test
        {" word ", true, "http://www. word .com"},          // nothing trimmed
        {"", true, "http://www..com"},
        {"-intranet", true, "intranet"},                    // only the dash goes
        {"-", true, ""},
        {"--x", true, "-x"},
        {"*autoscan", true, "*autoscan"},
        {"*", true, "*"},
        {"tolvek", false, "tolvek"},
        {"-intranet", false, "-intranet"},
        {"", false, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(smartNavigate(c.typed, c.enabled), c.expected) << "typed: \"" << c.typed << "\" enabled " << c.enabled;
}

// --- status panes -------------------------------------------------------------------

namespace {

StatusPaneInput paneInput(int progress, int max, int width)
{
    StatusPaneInput in;
    in.statusText = "Opening page";
    in.progress = progress;
    in.progressMax = max;
    in.elapsedText = "00:01:07";
    in.showTimer = true;
    in.secure = true;
    in.passwordProtected = true;
    in.frameWidth = width;
    return in;
}

} // namespace

TEST(StatusPanes, LoadingLayoutWhileProgressIsBelowItsMaximum)
{
    const StatusPaneLayout l = layoutStatusPanes(paneInput(50, 200, 1000));
    ASSERT_TRUE(l.loading);
    EXPECT_EQ(l.panes[0].text, "Opening page");
    EXPECT_EQ(l.panes[0].width, 1000 - 248);
    EXPECT_EQ(l.panes[1].text, "25% done");
    EXPECT_EQ(l.panes[1].width, 100);
    EXPECT_EQ(l.panes[2].text, "00:01:07");
    EXPECT_EQ(l.panes[2].width, 55);
    EXPECT_EQ(l.panes[3].text, "S");
    EXPECT_EQ(l.panes[3].width, 25);
    EXPECT_EQ(l.panes[4].text, "P");
    EXPECT_EQ(l.panes[4].width, 60);
    for (const StatusPane &p : l.panes)
        EXPECT_TRUE(p.assigned);

    EXPECT_EQ(layoutStatusPanes(paneInput(0, 3, 800)).panes[1].text, "0% done");
    EXPECT_EQ(layoutStatusPanes(paneInput(2, 3, 800)).panes[1].text, "66% done"); // rounded down
    // Engines report large byte counts: no overflow in progress * 100.
    EXPECT_EQ(layoutStatusPanes(paneInput(2000000000, 2100000000, 800)).panes[1].text, "95% done");
}

TEST(StatusPanes, IdleLayoutOtherwiseLeavesTheLastPaneAlone)
{
    for (const auto &[progress, max] : {std::pair{0, 0}, {200, 200}, {250, 200}, {-1, 200}, {5, -1}}) {
        const StatusPaneLayout l = layoutStatusPanes(paneInput(progress, max, 1000));
        EXPECT_FALSE(l.loading) << progress << " of " << max;
        EXPECT_EQ(l.panes[0].width, 1000 - 140);
        EXPECT_EQ(l.panes[1].text, "00:01:07");
        EXPECT_EQ(l.panes[1].width, 55);
        EXPECT_EQ(l.panes[2].text, "S");
        EXPECT_EQ(l.panes[3].text, "P");
        EXPECT_EQ(l.panes[3].width, 60);
        EXPECT_FALSE(l.panes[4].assigned);
    }
}

TEST(StatusPanes, TimerAndIndicatorsCanBeEmptyAndNarrowWindowsGiveWidthZero)
{
    StatusPaneInput in = paneInput(0, 0, 100);
    in.showTimer = false;
    in.secure = false;
    in.passwordProtected = false;
    StatusPaneLayout l = layoutStatusPanes(in);
    EXPECT_EQ(l.panes[0].width, 0);
    EXPECT_EQ(l.panes[1].text, "");
    EXPECT_EQ(l.panes[2].text, "");
    EXPECT_EQ(l.panes[3].text, "");

    in.progressMax = 10; // loading in a window narrower than 248 pixels
    l = layoutStatusPanes(in);
    ASSERT_TRUE(l.loading);
    EXPECT_EQ(l.panes[0].width, 0);
    EXPECT_EQ(l.panes[2].text, "");
    EXPECT_EQ(l.panes[4].text, "");
}

// --- Internet shortcuts ------------------------------------------------------------------

TEST(UrlShortcut, TakesTheLineAfterUrlEquals)
{
    UrlShortcutResult r = parseUrlShortcut("[InternetShortcut]\r\nURL=http://example.org/a\r\nIconIndex=0\r\n");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.address, "http://example.org/a");

    // LF line ends keep the last character of the address.
    r = parseUrlShortcut("[InternetShortcut]\nURL=http://example.org/a\nIconIndex=0\n");
    EXPECT_EQ(r.address, "http://example.org/a");

    // A last line without its line feed, with and without a carriage return.
    EXPECT_EQ(parseUrlShortcut("[InternetShortcut]\nURL=http://x").address, "http://x");
    EXPECT_EQ(parseUrlShortcut("[InternetShortcut]\r\nURL=http://x\r").address, "http://x");

    // The first "URL=" wins; an empty value is found but empty.
    EXPECT_EQ(parseUrlShortcut("URL=http://first\r\nURL=http://second\r\n").address, "http://first");
    r = parseUrlShortcut("URL=\r\n");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.address, "");
    EXPECT_EQ(parseUrlShortcut("URL=\n").address, "");
}

TEST(UrlShortcut, WithoutUrlEqualsNothingIsFound)
{
    for (const std::string &bytes : {std::string(), std::string("[InternetShortcut]\r\nurl=http://x\r\n"),
                                    std::string("URL"), std::string("\0\0\0", 3)}) {
        const UrlShortcutResult r = parseUrlShortcut(bytes);
        EXPECT_FALSE(r.found);
        EXPECT_EQ(r.address, "");
    }
}

TEST(UrlShortcut, RecognisesTheExtensionInAnyCase)
{
    EXPECT_TRUE(isUrlShortcutPath("/home/u/Favorites/Site.url"));
    EXPECT_TRUE(isUrlShortcutPath("/home/u/Favorites/SITE.URL"));
    EXPECT_TRUE(isUrlShortcutPath(".Url"));
    EXPECT_FALSE(isUrlShortcutPath("/home/u/page.html"));
    EXPECT_FALSE(isUrlShortcutPath("/home/u/url"));
    EXPECT_FALSE(isUrlShortcutPath("/home/u/x.url.txt"));
    EXPECT_FALSE(isUrlShortcutPath(""));
}

// --- open requests ---------------------------------------------------------------------------

TEST(OpenCommand, RoundTripsAnyTarget)
{
    EXPECT_EQ(makeOpenCommand("/home/u/a b.html"), "[open(\"/home/u/a b.html\")]");
    for (const std::string target : {"/home/u/a b.html", "http://example.org/?q=\"x\"", "say \")] twice \")]",
                                     " lead and trail ", "\xC3\xA9t\xC3\xA9.url", "\""}) {
        const auto parsed = parseOpenCommand(makeOpenCommand(target));
        ASSERT_TRUE(parsed.has_value()) << target;
        EXPECT_EQ(*parsed, target);
    }
    EXPECT_EQ(parseOpenCommand(" \t[open(\"x\")]\r\n").value_or("?"), "x");
}

TEST(OpenCommand, RejectsAnythingElse)
{
    for (const std::string bad : {"", "   ", "[open(\"\")]", "[open(\")]", "[open(x)]", "[OPEN(\"x\")]",
                                  "[open(\"x\")] extra", "junk [open(\"x\")]", "[open( \"x\" )]", "[open(\"x\")",
                                  "open(\"x\")", "[print(\"x\")]"}) {
        EXPECT_FALSE(parseOpenCommand(bad).has_value()) << bad;
    }
    EXPECT_FALSE(parseOpenCommand(makeOpenCommand(std::string("a\0b", 3))).has_value());
}
