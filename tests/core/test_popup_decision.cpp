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
