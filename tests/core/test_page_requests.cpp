#include "core/PageRequests.h"
#include "core/SitePermissions.h"
#include "core/StatusPanes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace corvane;

TEST(SitePermissions, TextFormRoundTripsForEveryFeature)
{
    std::set<std::string> names;
    for (const SiteFeature feature : kSiteFeatures) {
        names.insert(std::string(siteFeatureName(feature)));
        for (const bool allowed : {true, false}) {
            const SitePermission p{"https://a.example:8443", feature, allowed};
            const std::string text = sitePermissionText(p);
            EXPECT_EQ(parseSitePermission(text), p) << text;
        }
    }
    EXPECT_EQ(names.size(), std::size(kSiteFeatures)) << "every feature has a name of its own";
    EXPECT_EQ(sitePermissionText({"http://h", SiteFeature::CameraAndMicrophone, true}),
              "camera-microphone allow http://h");
}

TEST(SitePermissions, ReaderTakesOnlyWhatTheWriterWrites)
{
    for (const char *bad : {"", "geolocation", "geolocation allow", "geolocation allow ",
                            "geolocation  allow http://h", "Geolocation allow http://h",
                            "geolocation ALLOW http://h", "geolocation allow http://h extra",
                            "geolocation allow http://h\t", "geolocation allow \x7F",
                            "geolocation yes http://h", " geolocation allow http://h"}) {
        EXPECT_EQ(parseSitePermission(bad), std::nullopt) << '"' << bad << '"';
    }
    // A site is any run of visible bytes (an address of any script).
    const auto p = parseSitePermission("mouse-lock deny https://\xD0\xB7.example");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->site, "https://\xD0\xB7.example");
}

TEST(SitePermissions, ListRemembersOneAnswerPerSiteAndFeature)
{
    SitePermissionList list;
    list.remember("http://a", SiteFeature::Camera, true);
    list.remember("http://b", SiteFeature::Camera, false);
    list.remember("http://a", SiteFeature::Microphone, false);
    list.remember("http://a", SiteFeature::Camera, false); // changed, keeps its place
    list.remember("has space", SiteFeature::Camera, true); // not a site
    EXPECT_EQ(list.answer("http://a", SiteFeature::Camera), false);
    EXPECT_EQ(list.answer("http://b", SiteFeature::Camera), false);
    EXPECT_EQ(list.answer("http://a", SiteFeature::Microphone), false);
    EXPECT_EQ(list.answer("http://a", SiteFeature::Geolocation), std::nullopt);
    EXPECT_EQ(list.answer("http://A", SiteFeature::Camera), std::nullopt) << "keys are lower-cased by the caller";
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"camera deny http://a", "camera deny http://b",
                                                      "microphone deny http://a"}));
    EXPECT_EQ(SitePermissionList::fromTexts(list.texts()).entries(), list.entries());

    EXPECT_EQ(sitePermissionKey("HTTPS://Maps.Example/"), "https://maps.example");
    EXPECT_EQ(sitePermissionKey("http://h:8080"), "http://h:8080");
}

TEST(SitePermissions, QuestionNamesTheHostAndLogSaysHowItWasAnswered)
{
    const std::string q = permissionQuestionText(SiteFeature::Geolocation, "maps.example");
    EXPECT_EQ(q.rfind("maps.example wants to know your location.", 0), 0u) << q;
    EXPECT_NE(q.find("Internet Options"), std::string::npos);
    EXPECT_EQ(permissionBarText(SiteFeature::Camera, "h"), "h wants to use your camera.");
    EXPECT_EQ(permissionLogLine(SiteFeature::Geolocation, "https://m", true, PermissionAnswer::ByUser),
              "* Permission geolocation allowed by user for site: [https://m] *");
    EXPECT_EQ(permissionLogLine(SiteFeature::Camera, "https://m", false, PermissionAnswer::Remembered),
              "* Permission camera denied as remembered for site: [https://m] *");
    EXPECT_EQ(permissionLogLine(SiteFeature::MouseLock, "https://m", false, PermissionAnswer::Unanswered),
              "* Permission mouse-lock denied (window closed unanswered) for site: [https://m] *");
}

TEST(PageSecurity, CertificateErrorIsNeverSecure)
{
    EXPECT_EQ(pageSecurity("https://a/", false), PageSecurity::Secure);
    EXPECT_EQ(pageSecurity("HtTpS://a/", true), PageSecurity::CertificateError);
    EXPECT_EQ(pageSecurity("http://a/", true), PageSecurity::NotEncrypted);
    EXPECT_STREQ(pageSecurityText(PageSecurity::CertificateError), "Not secure (certificate error)");
    EXPECT_STREQ(pageSecurityText(PageSecurity::Secure), "Secure (HTTPS)");
    EXPECT_STRNE(securePaneText(PageSecurity::CertificateError), "S");
    EXPECT_STRNE(securePaneText(PageSecurity::CertificateError), "");

    StatusPaneInput in;
    in.windowWidth = 800;
    in.security = PageSecurity::CertificateError;
    EXPECT_EQ(layoutStatusPanes(in).panes[2].text, securePaneText(PageSecurity::CertificateError));
    in.security = PageSecurity::Secure;
    EXPECT_EQ(layoutStatusPanes(in).panes[2].text, "S");
}

TEST(Logins, QuestionNamesHostAndRealm)
{
    const std::string q = loginQuestionText("127.0.0.1:8080", "Staff area", false, false, false);
    EXPECT_NE(q.find("The site 127.0.0.1:8080 asks for a user name and password."), std::string::npos);
    EXPECT_NE(q.find("\"Staff area\""), std::string::npos);
    EXPECT_NE(q.find("not encrypted"), std::string::npos);
    const std::string proxy = loginQuestionText("proxy:3128", "", true, true, true);
    EXPECT_EQ(proxy.rfind("The user name or password was not accepted.", 0), 0u);
    EXPECT_NE(proxy.find("The proxy proxy:3128"), std::string::npos);
    EXPECT_EQ(proxy.find("not encrypted"), std::string::npos);
    EXPECT_EQ(proxy.find("It says"), std::string::npos) << "no realm, no quote";
    EXPECT_EQ(loginBarText("h", "R", false), "h asks for a user name and password (\"R\").");
    EXPECT_EQ(loginLogLine("http://h/", "R", false, LoginAnswer::Cancelled),
              "* Login cancelled by user for URL: [http://h/] realm: [R] *");
    EXPECT_EQ(loginLogLine("http://h/", "R", true, LoginAnswer::Session),
              "* Proxy login given from this session for URL: [http://h/] realm: [R] *");
}

TEST(Logins, SessionHandsALoginOverOnceAndNeverAnEmptyOne)
{
    SessionLogins logins;
    EXPECT_FALSE(isUsableLogin(""));
    logins.rememberForNextRequest("h", "R", false, {"", ""});
    logins.rememberHandedOver("h", "R", false, {"", "secret"});
    EXPECT_EQ(logins.takeForRequest("h", "R", false), std::nullopt);
    EXPECT_FALSE(logins.handedOver("h", "R", false));

    logins.rememberForNextRequest("h", "R", false, {"ann", "pw"});
    EXPECT_FALSE(logins.handedOver("h", "R", false));
    EXPECT_EQ(logins.takeForRequest("h", "R", true), std::nullopt) << "the proxy's are its own";
    EXPECT_EQ(logins.takeForRequest("h", "other", false), std::nullopt);
    const auto taken = logins.takeForRequest("h", "R", false);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->user, "ann");
    EXPECT_EQ(taken->password, "pw");
    // Asked again: refused, so the user is asked, with the name filled in.
    EXPECT_EQ(logins.takeForRequest("h", "R", false), std::nullopt);
    EXPECT_TRUE(logins.handedOver("h", "R", false));
    EXPECT_EQ(logins.lastUser("h", "R", false), "ann");

    logins.rememberHandedOver("h", "R", false, {"bob", "pw2"});
    EXPECT_EQ(logins.takeForRequest("h", "R", false), std::nullopt);
    EXPECT_EQ(logins.lastUser("h", "R", false), "bob");
}

TEST(CertificateErrors, ProblemInWordsAndGoOn)
{
    EXPECT_NE(certificateProblemText(-202, "h", "engine words").find("not issued by an authority"),
              std::string::npos);
    EXPECT_NE(certificateProblemText(-200, "h", "").find("not for h"), std::string::npos);
    EXPECT_NE(certificateProblemText(-201, "h", "").find("expired"), std::string::npos);
    EXPECT_EQ(certificateProblemText(-999, "h", "Something odd"),
              "The certificate of h is not valid: Something odd.");
    EXPECT_EQ(certificateProblemText(-999, "h", ""), "The certificate of h is not valid.");
    EXPECT_EQ(certificateGoOnText("127.0.0.1"), "Go on to 127.0.0.1 (unsafe)");
    EXPECT_NE(certificatePageText("h", false).find("does not allow"), std::string::npos);
    EXPECT_EQ(certificateErrorLogLine("https://h/", "Bad."), "* Certificate error for URL: [https://h/] -- Bad. *");
    EXPECT_EQ(pageStoppedLogLine("http://h/", PageStop::Killed),
              "* The page stopped working for URL: [http://h/] -- was ended *");
}
