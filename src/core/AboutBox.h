#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The About box shows a page of the program's own. Its OK button and its
// links are commands of the program: nothing but the page itself and mail
// links is shown inside the box.

struct AboutBoxLink
{
    enum class Action {
        Close,        // "app:ok": close the box
        OpenAndClose, // open address in a browser window, then close the box
        StayInBox,    // the page itself, or a mail link: let the box load it
    };
    Action action = Action::StayInBox;
    std::string address; // for OpenAndClose
};

// The decision for an address the page navigates to. "app:" (any case)
// followed by a command: "ok" (exactly) closes; any other command is an
// address to open. Otherwise an address containing "mailto:" or "about.htm"
// stays in the box and every other one is opened.
AboutBoxLink aboutBoxLink(std::string_view address);

// --- the web engine's age ----------------------------------------------------

struct CivilDate
{
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
    auto operator<=>(const CivilDate &) const = default;
};

// When the stable release of a Chromium version ("108.0.5359.181": major
// 108) came out, from a table of known releases and four weeks a release
// beyond it. Nothing when the text does not begin with a number.
std::optional<CivilDate> chromiumReleaseDate(std::string_view version);

// True when more than a year lies between released and today.
bool isOlderThanAYear(const CivilDate &released, const CivilDate &today);

// The lines the About box and "--version" show about the engine:
//   "Web engine: Qt WebEngine 6.4.2 (Chromium 102.0.5005.177, security patches 108.0.5359.181)"
// and, when the security patches are older than a year on today's date,
//   "Its security patches date from November 2022, more than a year ago: it
//    lacks the fixes made since. Use it only with sites you trust."
// (empty otherwise).
std::string engineVersionText(std::string_view qtWebEngineVersion, std::string_view chromiumVersion,
                              std::string_view securityPatchVersion);
std::string engineAgeWarning(std::string_view securityPatchVersion, const CivilDate &today);

} // namespace corvane
