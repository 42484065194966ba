#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The Window Spawning Manager's rules for windows that pages open, and the
// test for addresses that close a window by script. Pure functions: the view
// reads the settings and lists fresh at each decision and acts on the result.
//
// Addresses and list entries are compared lower-cased (ASCII letters), as
// substrings. Empty list entries stand for nothing: an empty sallyport entry
// would allow every opener and an empty filter word would refuse every popup,
// so both are left out, and a sallyport holding only empty entries counts as
// an empty sallyport.

// What the decision needs from the settings.
struct PopupSettings
{
    bool spawning = false;            // `Spawning`: the manager is on
    bool useFilter = false;           // `SpawningFilter`
    bool useSallyport = false;        // `SpawningSallyport`
    bool confirmNewWindow = false;    // `MsgConfirmNewWindow`
};

struct PopupDecision
{
    enum class Verdict {
        Allow,          // the popup stays
        Refuse,         // close the new window, tell the user nothing
        Ask,            // ask `question` (Yes/No, exclamation icon, title
                        // kNewWindowQuestionTitle); anything but Yes refuses
    };
    Verdict verdict = Verdict::Allow;
    std::string question; // Ask only
    std::string address;  // the popup's address, lower-cased
};

// A page opens windows only once it has started a navigation of its own: a
// view whose current navigation address is empty opens none.
bool mayOpenPopup(std::string_view openerAddress);

// The decision taken once, at the popup's first navigation start.
// popupAddress is the address the popup navigates to, openerAddress the one
// of the page that opened it.
//
// With the manager on: when the sallyport is used and not empty, the opener
// must contain one of its entries, else the popup is refused and the filter
// is not consulted; then, when the filter is used, a popup whose address
// contains a filter word is refused. A popup that passes (or any popup with
// the manager off) is put to the user when confirmation is on, showing its
// address lower-cased.
PopupDecision decidePopup(const PopupSettings &settings, const std::vector<std::string> &filterWords,
                          const std::vector<std::string> &sallyport, std::string_view openerAddress,
                          std::string_view popupAddress);

inline constexpr const char *kNewWindowQuestionTitle = "New window request alert";
// "A request has been made ... site:\n" + address + "\nWould you like to view this site?"
std::string newWindowQuestion(std::string_view lowerAddress);

// One question for the windows a page asks for together (a burst): those
// that come while the first one's question is due share its answer. With one
// window it is newWindowQuestion; with more it names the count and the first
// window's address.
std::string newWindowsQuestion(std::string_view lowerFirstAddress, int count);

// A popup whose question is due waits this long for more of its page's
// windows before the question goes up, and at most kPopupBurstLimitMs after
// the first one: a page opening windows in a loop gets one question. Windows
// coming no further apart than this after the answer share it.
inline constexpr int kPopupBurstQuietMs = 250;
inline constexpr int kPopupBurstLimitMs = 1000;
// A burst the user is asked about holds at most this many windows. Each
// waits hidden until the answer and holds a page of the engine meanwhile, so
// a page opening windows in a loop would pile up hundreds of them. The
// page's further windows in the burst are refused before they are made (its
// window.open gets no window), as are all of them after a No. A Yes shows
// every window held, so a page that opens a handful together gets them all,
// and one that goes on asking after the Yes is asked again once the burst is
// over. Twenty windows are as many as a user can still look through.
inline constexpr int kPopupBurstMaxWindows = 20;

// The referrer a held window's first request carries when it goes out after
// the user's Yes, from the address of the page that opened it, as engines
// send it by default (strict origin when cross origin): to the same origin
// the opener's address without its fragment and user name, to another origin
// the opener's origin and "/", nothing from https to anything else and
// nothing from an address that is not http or https.
std::string openerReferrer(std::string_view openerAddress, std::string_view popupAddress);

// The script-close test, run at every navigation start: true for a script
// address ("javascript:", any case) whose lower-cased text contains
// "close()", or contains ".close" but not "www.". The navigation is then
// cancelled and the window closed.
//
// Only script addresses are tested. Ordinary addresses carry these words
// often enough (a documentation anchor "#io.IOBase.close", "#close()", a
// search for "file.close()") that testing them closed pages the user had
// just asked for.
bool isScriptCloseAddress(std::string_view address);

// A script address ("javascript:", any case, blanks before it allowed): it
// runs in the page that holds it and names no page of its own.
bool isScriptAddress(std::string_view address);

} // namespace corvane
