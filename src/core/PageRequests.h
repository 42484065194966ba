#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

// What a page asks of the user through the engine, beyond site permissions
// (SitePermissions.h): logins, certificate errors, and the page whose
// process stopped; the texts of our questions and pages, the log lines of
// the answers, the session's logins, and how secure a page is said to be.

namespace corvane {

// --- how secure a page is -------------------------------------------------------------

enum class PageSecurity {
    NotEncrypted,
    Secure,           // an "HTTPS:" address with a certificate that holds
    CertificateError, // an "HTTPS:" address the user went on to in spite of its certificate
};

// The address's security: CertificateError when certificateErrorAccepted
// (its host was let through) and the address is an "HTTPS:" one, Secure for
// another "HTTPS:" address (isSecureAddress), else NotEncrypted.
PageSecurity pageSecurity(const std::string &address, bool certificateErrorAccepted);
// Properties' "Security:" text and the secure pane's tool tip:
// "Not encrypted", "Secure (HTTPS)", "Not secure (certificate error)".
const char *pageSecurityText(PageSecurity security);
// The secure pane: "S" for Secure, a warning sign for CertificateError,
// empty for NotEncrypted.
const char *securePaneText(PageSecurity security);

// --- logins -----------------------------------------------------------------------------

inline constexpr const char *kLoginTitle = "Login request alert";
inline constexpr const char *kLoginButtonText = "&Log In";
inline constexpr const char *kLoginLaterButtonText = "&Log In...";

// The login question: who asks, the realm the server names, and, after a
// refusal, that the last user name or password was not accepted; over a
// connection that is not encrypted, that anyone on the way can read them.
std::string loginQuestionText(std::string_view host, std::string_view realm, bool proxy,
                              bool encrypted, bool refusedBefore);
// The bar of a window in the background that was asked for a login.
std::string loginBarText(std::string_view host, std::string_view realm, bool proxy);

// A user name and password may be sent only with a user name: nothing is
// ever sent empty on the user's behalf.
bool isUsableLogin(std::string_view user);

enum class LoginAnswer {
    ByUser,     // typed into the question
    Session,    // given earlier in this session, not yet handed over
    Cancelled,  // the user cancelled: the server's own page shows
    Later,      // the window is in the background: its bar asks
};
// "* Login given by user for URL: [http://a/] realm: [Staff] *", and so on.
std::string loginLogLine(std::string_view url, std::string_view realm, bool proxy,
                         LoginAnswer answer);

// The logins of this session, by host, realm and whether a proxy asked;
// kept in memory only, never stored. A login the user gives is handed to
// the engine once: the engine keeps what works for the session, so the same
// host and realm asking again means it was refused, and the user is asked
// again (with the user name filled in) rather than the server being sent it
// over and over.
class SessionLogins
{
public:
    struct Login
    {
        std::string user;
        std::string password;
    };

    // A login given for the next request (the bar's Log In, whose page then
    // loads again); an unusable one is not kept.
    void rememberForNextRequest(const std::string &host, const std::string &realm, bool proxy,
                                const Login &login);
    // A login handed to the engine now.
    void rememberHandedOver(const std::string &host, const std::string &realm, bool proxy,
                            const Login &login);
    // The login waiting for the next request, once: it counts as handed
    // over afterwards.
    std::optional<Login> takeForRequest(const std::string &host, const std::string &realm,
                                        bool proxy);
    // Whether a login for it was handed over before (and the same request
    // came back: it was refused).
    bool handedOver(const std::string &host, const std::string &realm, bool proxy) const;
    // The user name last given for it, to fill in.
    std::string lastUser(const std::string &host, const std::string &realm, bool proxy) const;

private:
    struct Entry
    {
        Login login;
        bool handedOver = false;
    };
    using Key = std::tuple<std::string, std::string, bool>;
    std::map<Key, Entry> m_entries;
};

// --- certificate errors -------------------------------------------------------------

inline constexpr const char *kCertificateErrorTitle = "This connection is not secure";

// What is wrong with the certificate, in words, by the engine's error code
// (the network error numbers: -200 name, -201 date, -202 authority, ...);
// an unknown code gives the engine's own description.
std::string certificateProblemText(int errorCode, std::string_view host,
                                   std::string_view engineDescription);
// The page of ours in place of the site: what it means, and what going on
// risks (or that the site does not allow it).
std::string certificatePageText(std::string_view host, bool overridable);
// The page's button: "Go on to <host> (unsafe)".
std::string certificateGoOnText(std::string_view host);
inline constexpr const char *kCertificateGoBackText = "Go &Back";
// "* Certificate error for URL: [https://a/] -- <problem> *"
std::string certificateErrorLogLine(std::string_view url, std::string_view problem);
// "* Certificate error accepted by user for URL: [https://a/] *"
std::string certificateAcceptedLogLine(std::string_view url);

// --- a page whose process stopped ------------------------------------------------------

inline constexpr const char *kPageStoppedTitle = "The page stopped working";
inline constexpr const char *kPageStoppedReloadText = "&Reload";

enum class PageStop { Crashed, Killed, Abnormal };
std::string pageStoppedText(PageStop how);
// "* The page stopped working for URL: [http://a/] -- crashed *"
std::string pageStoppedLogLine(std::string_view url, PageStop how);

// --- a page not fetched while offline ---------------------------------------------------

inline constexpr const char *kOfflinePageTitle = "You are currently working offline";
// What the page of ours says in the place of a page offline mode kept from
// the network.
std::string offlinePageText();
// "* Not fetched while offline: [http://a/] *"
std::string offlinePageLogLine(std::string_view url);

} // namespace corvane
