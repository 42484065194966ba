// What a page opened from a file may load.
#include "core/LocalPages.h"

#include <gtest/gtest.h>

using corvane::LocalPageRequest;
using corvane::RequestKind;

namespace {

const std::string kPage = "/home/ann/saved/page.html";

bool mayLoad(RequestKind kind, const std::string &url, bool byPage = true, bool tied = false)
{
    LocalPageRequest r;
    r.kind = kind;
    const std::size_t colon = url.find(':');
    r.scheme = url.substr(0, colon);
    if (r.scheme == "file")
        r.path = url.substr(colon + 3);
    r.pagePath = kPage;
    r.byPage = byPage;
    r.tiedToOtherWindow = tied;
    return corvane::localPageMayLoad(r);
}

} // namespace

TEST(LocalPages, ItsOwnPartsLoadFromItsFolderAndTheFoldersBelow)
{
    EXPECT_TRUE(mayLoad(RequestKind::Image, "file:///home/ann/saved/pic.png"));
    EXPECT_TRUE(mayLoad(RequestKind::Image, "file:///home/ann/saved/page_files/Photo.JPG"));
    EXPECT_TRUE(mayLoad(RequestKind::Stylesheet, "file:///home/ann/saved/page_files/style.css"));
    EXPECT_TRUE(mayLoad(RequestKind::Script, "file:///home/ann/saved/page_files/menu.js"));
    EXPECT_TRUE(mayLoad(RequestKind::Font, "file:///home/ann/saved/fonts/a.woff2"));
    EXPECT_TRUE(mayLoad(RequestKind::Media, "file:///home/ann/saved/clip.webm"));
    // A folder beside it, above it, or a hidden one below it: not its own.
    EXPECT_FALSE(mayLoad(RequestKind::Image, "file:///home/ann/other/pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Image, "file:///home/ann/pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Image, "file:///home/ann/savedx/pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Image, "file:///home/ann/saved/.config/pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Image, "file:///home/ann/saved/../pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Image, "file:///home/ann/saved/.pic.png"));
    // Without the page's own path (a blank window that inherited it) there
    // is no folder of its own.
    LocalPageRequest blank;
    blank.kind = RequestKind::Image;
    blank.scheme = "file";
    blank.path = "/home/ann/saved/pic.png";
    EXPECT_FALSE(corvane::localPageMayLoad(blank));
}

TEST(LocalPages, NoOtherFileIsReadAnyWay)
{
    // A sibling text, the system's files, the settings file: as a picture, a
    // style sheet, a script, a frame, an object, a fetch.
    for (const char *url : {"file:///home/ann/saved/secret.txt", "file:///etc/hostname",
                            "file:///home/ann/saved/Corvane.reg", "file:///home/ann/.config/Tolvek/Corvane.reg"}) {
        for (RequestKind kind : {RequestKind::Image, RequestKind::Stylesheet, RequestKind::Script, RequestKind::Font,
                                 RequestKind::Media, RequestKind::Frame, RequestKind::Object, RequestKind::Fetch,
                                 RequestKind::Worker, RequestKind::Other})
            EXPECT_FALSE(mayLoad(kind, url)) << url << " as " << int(kind);
    }
    // Even its own pages and pictures: never in a frame, an object or a fetch.
    EXPECT_FALSE(mayLoad(RequestKind::Frame, "file:///home/ann/saved/other.html"));
    EXPECT_FALSE(mayLoad(RequestKind::Object, "file:///home/ann/saved/pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Fetch, "file:///home/ann/saved/pic.png"));
    // Folder listings.
    EXPECT_FALSE(mayLoad(RequestKind::Frame, "file:///home/ann/saved/"));
    EXPECT_FALSE(mayLoad(RequestKind::Stylesheet, "file:///home/ann/saved/sub/"));
    // A part named like another kind.
    EXPECT_FALSE(mayLoad(RequestKind::Script, "file:///home/ann/saved/pic.png"));
    EXPECT_FALSE(mayLoad(RequestKind::Stylesheet, "file:///home/ann/saved/menu.js"));
}

TEST(LocalPages, NothingGoesToTheNetworkButTheTopPageTheUserFollows)
{
    for (const char *url : {"http://127.0.0.1:8080/x", "https://example.org/pic.png", "ws://localhost/",
                            "http://[::1]/"}) {
        for (RequestKind kind : {RequestKind::Image, RequestKind::Stylesheet, RequestKind::Script, RequestKind::Frame,
                                 RequestKind::Fetch, RequestKind::Ping, RequestKind::WebSocket, RequestKind::Prefetch,
                                 RequestKind::Other})
            EXPECT_FALSE(mayLoad(kind, url)) << url << " as " << int(kind);
    }
    EXPECT_TRUE(mayLoad(RequestKind::TopPage, "https://example.org/"));
    // The page's own data: and blob: parts.
    EXPECT_TRUE(mayLoad(RequestKind::Image, "data:image/png;base64,AAAA"));
    EXPECT_FALSE(mayLoad(RequestKind::Fetch, "blob:null/1234"));
}

TEST(LocalPages, WindowsTiedToALocalPageShowNoFurtherLocalFileAtItsBidding)
{
    // Followed or typed, a local file shows in a window of its own.
    EXPECT_TRUE(mayLoad(RequestKind::TopPage, "file:///home/ann/saved/next.html"));
    EXPECT_TRUE(mayLoad(RequestKind::TopPage, "file:///etc/hostname", false));
    // A window a local page opened (or that opened one): only what the user
    // types.
    EXPECT_FALSE(mayLoad(RequestKind::TopPage, "file:///home/ann/saved/secret.txt", true, true));
    EXPECT_TRUE(mayLoad(RequestKind::TopPage, "file:///home/ann/saved/secret.txt", false, true));
    EXPECT_TRUE(mayLoad(RequestKind::TopPage, "https://example.org/", true, true));
}
