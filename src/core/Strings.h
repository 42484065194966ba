#pragma once

// Texts of the program's string table that name places outside the program.
namespace corvane {

// String 61448: the page a window opens when no home page is set. It is a
// page of our own, held in the program's resources, so it shows offline too.
inline constexpr const char *kDefaultStartPage = "qrc:/pages/start.html";

// The maker's home page (Help menu) and mail address (string 61450).
inline constexpr const char *kMakerHomePage = "https://www.tolvek.example/corvane/";
inline constexpr const char *kMakerMail = "mailto:corvane@tolvek.example";

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
