#include "core/PageRequests.h"

#include "core/TextRules.h"

namespace corvane {

// --- how secure a page is -------------------------------------------------------------

PageSecurity pageSecurity(const std::string &address, bool certificateErrorAccepted)
{
    if (!isSecureAddress(address))
        return PageSecurity::NotEncrypted;
    return certificateErrorAccepted ? PageSecurity::CertificateError : PageSecurity::Secure;
}

const char *pageSecurityText(PageSecurity security)
{
    switch (security) {
    case PageSecurity::Secure: return "Secure (HTTPS)";
    case PageSecurity::CertificateError: return "Not secure (certificate error)";
    case PageSecurity::NotEncrypted: break;
    }
    return "Not encrypted";
}

const char *securePaneText(PageSecurity security)
{
    switch (security) {
    case PageSecurity::Secure: return "S";
    case PageSecurity::CertificateError: return "\xE2\x9A\xA0"; // U+26A0 WARNING SIGN
    case PageSecurity::NotEncrypted: break;
    }
    return "";
}

// --- logins -----------------------------------------------------------------------------

namespace {

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    out += text;
    out += '"';
    return out;
}

} // namespace

std::string loginQuestionText(std::string_view host, std::string_view realm, bool proxy,
                              bool encrypted, bool refusedBefore)
{
    std::string text;
    if (refusedBefore)
        text = "The user name or password was not accepted.\n\n";
    text += proxy ? "The proxy " : "The site ";
    text += host;
    text += " asks for a user name and password.";
    if (!realm.empty()) {
        text += "\nIt says: ";
        text += quoted(realm);
    }
    if (!encrypted)
        text += "\n\nThe connection is not encrypted: they can be read on their way.";
    return text;
}

std::string loginBarText(std::string_view host, std::string_view realm, bool proxy)
{
    std::string text = proxy ? "The proxy " : "";
    text += host;
    text += " asks for a user name and password";
    if (!realm.empty()) {
        text += " (";
        text += quoted(realm);
        text += ')';
    }
    text += '.';
    return text;
}

bool isUsableLogin(std::string_view user)
{
    return !user.empty();
}

std::string loginLogLine(std::string_view url, std::string_view realm, bool proxy,
                         LoginAnswer answer)
{
    std::string line = proxy ? "* Proxy login " : "* Login ";
    switch (answer) {
    case LoginAnswer::ByUser: line += "given by user"; break;
    case LoginAnswer::Session: line += "given from this session"; break;
    case LoginAnswer::Cancelled: line += "cancelled by user"; break;
    case LoginAnswer::Later: line += "asked in the window's bar"; break;
    }
    line += " for URL: [";
    line += url;
    line += "] realm: [";
    line += realm;
    line += "] *";
    return line;
}

void SessionLogins::rememberForNextRequest(const std::string &host, const std::string &realm,
                                           bool proxy, const Login &login)
{
    if (!isUsableLogin(login.user))
        return;
    m_entries[Key{host, realm, proxy}] = Entry{login, false};
}

void SessionLogins::rememberHandedOver(const std::string &host, const std::string &realm,
                                       bool proxy, const Login &login)
{
    if (!isUsableLogin(login.user))
        return;
    m_entries[Key{host, realm, proxy}] = Entry{login, true};
}

std::optional<SessionLogins::Login> SessionLogins::takeForRequest(const std::string &host,
                                                                  const std::string &realm,
                                                                  bool proxy)
{
    const auto it = m_entries.find(Key{host, realm, proxy});
    if (it == m_entries.end() || it->second.handedOver)
        return std::nullopt;
    it->second.handedOver = true;
    return it->second.login;
}

bool SessionLogins::handedOver(const std::string &host, const std::string &realm, bool proxy) const
{
    const auto it = m_entries.find(Key{host, realm, proxy});
    return it != m_entries.end() && it->second.handedOver;
}

std::string SessionLogins::lastUser(const std::string &host, const std::string &realm,
                                    bool proxy) const
{
    const auto it = m_entries.find(Key{host, realm, proxy});
    return it == m_entries.end() ? std::string() : it->second.login.user;
}

// --- certificate errors -------------------------------------------------------------

std::string certificateProblemText(int errorCode, std::string_view host,
                                   std::string_view engineDescription)
{
    const std::string h(host);
    switch (errorCode) {
    case -200:
        return "The certificate is not for " + h + ": it was issued to another name.";
    case -201:
        return "The certificate of " + h + " has expired or is not valid yet (is this "
               "computer's clock right?).";
    case -202:
        return "The certificate of " + h + " was not issued by an authority this computer "
               "trusts; the site may have made it itself.";
    case -203:
    case -207:
        return "The certificate of " + h + " is damaged or not valid.";
    case -206:
        return "The certificate of " + h + " was revoked by the authority that issued it.";
    case -208:
    case -211:
        return "The certificate of " + h + " is protected by weak cryptography only.";
    case -213:
        return "The certificate of " + h + " is valid for longer than certificates may be.";
    case -150:
    case -214:
        return "The certificate of " + h + " is not the one this site is known to use.";
    case -218:
        return h + " uses an obsolete version of the secure protocol.";
    default:
        break;
    }
    std::string text = "The certificate of " + h + " is not valid";
    if (!engineDescription.empty()) {
        text += ": ";
        text += engineDescription;
    }
    if (text.back() != '.')
        text += '.';
    return text;
}

std::string certificatePageText(std::string_view host, bool overridable)
{
    std::string text = "Someone could be pretending to be ";
    text += host;
    text += " to read what you send and see, such as passwords, messages or card numbers.";
    if (overridable)
        text += " Go on only if you know why the certificate is wrong; Corvane lets this "
                "site through until it ends.";
    else
        text += " This site does not allow going on with a certificate that is wrong.";
    return text;
}

std::string certificateGoOnText(std::string_view host)
{
    std::string text = "Go on to ";
    text += host;
    text += " (unsafe)";
    return text;
}

std::string certificateErrorLogLine(std::string_view url, std::string_view problem)
{
    std::string line = "* Certificate error for URL: [";
    line += url;
    line += "] -- ";
    line += problem;
    line += " *";
    return line;
}

std::string certificateAcceptedLogLine(std::string_view url)
{
    std::string line = "* Certificate error accepted by user for URL: [";
    line += url;
    line += "] *";
    return line;
}

// --- a page whose process stopped ------------------------------------------------------

namespace {

const char *stopWord(PageStop how)
{
    switch (how) {
    case PageStop::Crashed: return "crashed";
    case PageStop::Killed: return "was ended";
    case PageStop::Abnormal: break;
    }
    return "ended unexpectedly";
}

} // namespace

std::string pageStoppedText(PageStop how)
{
    std::string text = "The process that showed this page ";
    text += stopWord(how);
    text += ". The rest of Corvane goes on; reload to show the page again.";
    return text;
}

std::string pageStoppedLogLine(std::string_view url, PageStop how)
{
    std::string line = "* The page stopped working for URL: [";
    line += url;
    line += "] -- ";
    line += stopWord(how);
    line += " *";
    return line;
}

std::string offlinePageText()
{
    return "Corvane is working offline, so this page was not fetched from the network. "
           "To see it, go online (File > Offline) and reload.";
}

std::string offlinePageLogLine(std::string_view url)
{
    std::string line = "* Not fetched while offline: [";
    line += url;
    line += "] *";
    return line;
}

} // namespace corvane
