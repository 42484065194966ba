#include "core/PopupDecision.h"

#include <gtest/gtest.h>

using namespace corvane;
using Verdict = PopupDecision::Verdict;

namespace {

PopupSettings managerOn(bool filter, bool sallyport)
{
    PopupSettings s;
    s.spawning = true;
    s.useFilter = filter;
    s.useSallyport = sallyport;
    return s;
}

const std::vector<std::string> kNone;

} // namespace

TEST(PopupDecision, ManagerOffAndNoConfirmationLetsEverythingThrough)
{
    const std::vector<std::string> words{"ads"};
    EXPECT_EQ(decidePopup({}, words, {"trusted"}, "http://other/", "http://ADS.example/").verdict, Verdict::Allow);
    // The switches of the lists mean nothing while the manager is off.
    PopupSettings off;
    off.useFilter = off.useSallyport = true;
    EXPECT_EQ(decidePopup(off, words, {"trusted"}, "http://other/", "http://ads.example/").verdict, Verdict::Allow);
}

TEST(PopupDecision, FilterWordsMatchInAnyCase)
{
    const auto s = managerOn(true, false);
    EXPECT_EQ(decidePopup(s, {"casino"}, kNone, "http://a/", "http://WWW.CASINO.example/").verdict, Verdict::Refuse);
    EXPECT_EQ(decidePopup(s, {"CaSiNo"}, kNone, "http://a/", "http://casino.example/").verdict, Verdict::Refuse);
    EXPECT_EQ(decidePopup(s, {"casino"}, kNone, "http://a/", "http://news.example/").verdict, Verdict::Allow);
    // Filter off: the words are not consulted.
    EXPECT_EQ(decidePopup(managerOn(false, false), {"casino"}, kNone, "http://a/", "http://casino/").verdict,
              Verdict::Allow);
}

TEST(PopupDecision, SallyportDecidesByOpener)
{
    const auto s = managerOn(false, true);
    const std::vector<std::string> port{"intranet.example"};
    EXPECT_EQ(decidePopup(s, kNone, port, "http://InTraNet.Example/app", "http://anything/").verdict, Verdict::Allow);
    // Another opener is refused even though no filter word matches.
    EXPECT_EQ(decidePopup(s, kNone, port, "http://elsewhere/", "http://anything/").verdict, Verdict::Refuse);
    // The popup's own address does not count.
    EXPECT_EQ(decidePopup(s, kNone, port, "http://elsewhere/", "http://intranet.example/").verdict,
              Verdict::Refuse);
}

TEST(PopupDecision, EmptySallyportAndEmptyEntriesAreIgnored)
{
    // An empty sallyport behaves as if it were off; so does one of empty entries.
    EXPECT_EQ(decidePopup(managerOn(false, true), kNone, kNone, "http://a/", "http://b/").verdict, Verdict::Allow);
    EXPECT_EQ(decidePopup(managerOn(false, true), kNone, {"", ""}, "http://a/", "http://b/").verdict,
              Verdict::Allow);
    // An empty entry beside a real one does not let every opener through.
    EXPECT_EQ(decidePopup(managerOn(false, true), kNone, {"", "good"}, "http://bad/", "http://b/").verdict,
              Verdict::Refuse);
    // An empty filter word does not refuse every popup.
    EXPECT_EQ(decidePopup(managerOn(true, false), {""}, kNone, "http://a/", "http://b/").verdict, Verdict::Allow);
}

TEST(PopupDecision, BothListsOpenerAllowedButWordFilteredIsRefused)
{
    EXPECT_EQ(decidePopup(managerOn(true, true), {"popunder"}, {"friend"}, "http://friend/", "http://x/POPUNDER")
                  .verdict,
              Verdict::Refuse);
    EXPECT_EQ(decidePopup(managerOn(true, true), {"popunder"}, {"friend"}, "http://friend/", "http://x/").verdict,
              Verdict::Allow);
}

TEST(PopupDecision, ConfirmationShowsLowerCasedAddressOnlyForPopupsThatPass)
{
    PopupSettings s;
    s.confirmNewWindow = true; // with the manager off too
    const PopupDecision d = decidePopup(s, kNone, kNone, "http://a/", "HTTP://Example.ORG/Page");
    EXPECT_EQ(d.verdict, Verdict::Ask);
    EXPECT_EQ(d.question, "A request has been made by the current view to spawn the following site:\n"
                          "http://example.org/page\nWould you like to view this site?");

    auto refusing = managerOn(true, false);
    refusing.confirmNewWindow = true;
    EXPECT_EQ(decidePopup(refusing, {"ads"}, kNone, "http://a/", "http://ads/").verdict, Verdict::Refuse);
}

TEST(PopupDecision, OnlyAPageThatNavigatedOpensPopups)
{
    EXPECT_FALSE(mayOpenPopup(""));
    EXPECT_TRUE(mayOpenPopup("http://a/"));
}

TEST(PopupDecision, ScriptCloseTest)
{
    EXPECT_TRUE(isScriptCloseAddress("javascript:window.CLOSE()"));
    EXPECT_TRUE(isScriptCloseAddress("JavaScript:self.close"));
    EXPECT_TRUE(isScriptCloseAddress("javascript:open('http://www.example.org/');close()")); // "close()" whatever else
    EXPECT_FALSE(isScriptCloseAddress("javascript:open('http://WWW.example.org/a').close"));
    EXPECT_FALSE(isScriptCloseAddress("javascript:closed-today"));
    EXPECT_FALSE(isScriptCloseAddress(""));
    // Ordinary addresses are pages, whatever words they carry.
    EXPECT_FALSE(isScriptCloseAddress("https://docs.python.org/3/library/io.html#io.IOBase.close"));
    EXPECT_FALSE(isScriptCloseAddress("http://example.org/api/Stream.html#close()"));
    EXPECT_FALSE(isScriptCloseAddress("http://127.0.0.1/socket.html#socket.close"));
}

TEST(PopupDecision, ABurstHasOneQuestionNamingItsCount)
{
    EXPECT_EQ(newWindowsQuestion("http://a/", 1), newWindowQuestion("http://a/"));
    EXPECT_EQ(newWindowsQuestion("http://a/1", 500),
              "A request has been made by the current view to spawn 500 windows, the first of them:\n"
              "http://a/1\nWould you like to view these sites?");
}

TEST(PopupDecision, OpenerReferrerFollowsTheDefaultPolicy)
{
    // Same origin: the whole address, without fragment and user name.
    EXPECT_EQ(openerReferrer("http://user:pw@Site.example:8080/a/b?q=1#top", "http://site.example:8080/c"),
              "http://site.example:8080/a/b?q=1");
    EXPECT_EQ(openerReferrer("http://site.example", "http://site.example:80/x"), "http://site.example/");
    EXPECT_EQ(openerReferrer("http://site.example?q", "http://site.example/x"), "http://site.example/?q");
    // Another origin (host, port or scheme): the origin alone.
    EXPECT_EQ(openerReferrer("http://site.example/a?secret", "http://other.example/"), "http://site.example/");
    EXPECT_EQ(openerReferrer("http://127.0.0.1:81/a", "http://127.0.0.1:82/a"), "http://127.0.0.1:81/");
    EXPECT_EQ(openerReferrer("http://site.example/a", "https://site.example/a"), "http://site.example/");
    EXPECT_EQ(openerReferrer("https://[::1]:8443/a#x", "https://[::1]:8443/b"), "https://[::1]:8443/a");
    // Never from https to http, nor from pages that are not on the web.
    EXPECT_EQ(openerReferrer("https://site.example/a", "http://site.example/a"), "");
    EXPECT_EQ(openerReferrer("file:///home/u/page.html", "http://site.example/"), "");
    EXPECT_EQ(openerReferrer("corvane:start", "http://site.example/"), "");
    EXPECT_EQ(openerReferrer("", "http://site.example/"), "");
}

TEST(PopupDecision, ScriptAddresses)
{
    EXPECT_TRUE(isScriptAddress("javascript:void(0)"));
    EXPECT_TRUE(isScriptAddress("  JavaScript:window.close()"));
    EXPECT_FALSE(isScriptAddress("http://example.org/javascript:x"));
    EXPECT_FALSE(isScriptAddress("javascript"));
    EXPECT_FALSE(isScriptAddress(""));
    // Blanks before the scheme do not hide a closing script.
    EXPECT_TRUE(isScriptCloseAddress(" javascript:window.close()"));
}
