#pragma once

// Texts of the program's string table that name places outside the program.
namespace corvane {

// The program's own pages, held in its resources, have addresses of this
// scheme ("corvane:start"): they show offline too, and the address box, the
// history and the log show them as such.
inline constexpr const char *kOwnPageScheme = "corvane";

// String 61448: the page a window opens when no home page is set.
inline constexpr const char *kDefaultStartPage = "corvane:start";

// Help > "Corvane on the Web": the program's help page.
inline constexpr const char *kHelpPage = "corvane:help";

// The mail item's address (string 61450) when the AuthorMail setting holds
// none: a new message about Corvane in the user's mail program.
inline constexpr const char *kDefaultAuthorMail = "mailto:?subject=Corvane";

// String 61451: the download page Check for New Version offers.
inline constexpr const char *kDownloadPage = "https://www.tolvek.example/corvane/download/";

// The About box's page, in the program's resources.
inline constexpr const char *kAboutPage = "qrc:/pages/about.html";

// String 61447: the file types of the Open dialog, as "label|patterns|...||".
inline constexpr const char *kOpenFileFilter =
    "All Files (*.*)|*.*|Adobe Files (*.pdf)|*.pdf|"
    "Excel Files (*.xl*;*.xla;*.xls;*.xlw)|*.xl*;*.xla;*.xls;*.xlw|"
    "GIF Files (*.gif)|*.gif|HTML Files (*.htm;*.html)|*.htm;*.html|"
    "iPIX Files (*.ipx)|*.ipx|JPEG Files (*.jpeg;*.jpg)|*.jpeg;*.jpg|"
    "Movie Files (*.avi;*.mov;*.mpeg;*.mpg;*.qt)|*.avi;*.mov;*.mpeg;*.mpg;*.qt|"
    "Rich Text Files (*.rtf)|*.rtf|Shockwave Files (*.swf)|*.swf|"
    "Text Files (*.txt)|*.txt|Word Files (*.doc)|*.doc||";

// String 61449: the file types of the Links Manager's open and save dialogs.
inline constexpr const char *kLinksFileFilter = "Links Files (*.lks)|*.lks|All Files (*.*)|*.*||";

} // namespace corvane
