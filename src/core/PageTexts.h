#pragma once

#include <string>

// What the program says about the page a pane shows: the question a page's
// beforeunload asks before it is left or closed, and the notice of full
// screen.
namespace corvane {

// The site of an address as the user knows it: the host, with a port that
// is not the scheme's own ("127.0.0.1:8080", "www.example.org"); empty for
// an address without a host (a local file, about:blank).
std::string siteOfAddress(const std::string &address);

// A page asks to be kept: its beforeunload, when it is navigated away from
// or closed. Yes leaves the page (Yes/No, question icon).
inline constexpr const char *kLeavePageTitle = "Leave page alert";
std::string leavePageQuestion(const std::string &address);
// The log line of the answer: "* Leave page question for URL: [address] --
// left *" or "... -- stayed *".
std::string leavePageLogLine(const std::string &address, bool left);

// Shown over a pane on the whole screen for a few seconds: how to leave.
// A page's request names its site; the user's own F11 does not.
std::string fullScreenNotice(const std::string &address, bool pageAsked);
// The log line of a pane going into full screen or out of it: "* Full
// screen requested by URL: [address] -- shown *" for a page's request,
// "* Full screen for URL: [address] *" for the user's F11, "* Full screen
// left for URL: [address] *" on the way back.
std::string fullScreenLogLine(const std::string &address, bool pageAsked, bool entered);
// How long the notice stays, in milliseconds.
inline constexpr int kFullScreenNoticeMs = 4000;

} // namespace corvane
