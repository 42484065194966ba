#include "core/LocalPages.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace corvane {

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

bool oneOf(std::string_view value, std::initializer_list<std::string_view> options)
{
    return std::find(options.begin(), options.end(), value) != options.end();
}

// The part's extension fits what it is loaded as.
bool fitsKind(RequestKind kind, const std::string &extension)
{
    switch (kind) {
    case RequestKind::Image:
        return oneOf(extension, {"png", "apng", "jpg", "jpeg", "jpe", "jfif", "gif", "webp", "bmp", "ico",
                                 "cur", "svg", "avif"});
    case RequestKind::Stylesheet:
        return extension == "css";
    case RequestKind::Script:
        return oneOf(extension, {"js", "mjs"});
    case RequestKind::Font:
        return oneOf(extension, {"woff", "woff2", "ttf", "otf", "eot"});
    case RequestKind::Media:
        return oneOf(extension, {"mp4", "m4v", "m4a", "webm", "ogv", "ogg", "oga", "opus", "mp3", "wav",
                                 "flac", "aac"});
    default:
        return false;
    }
}

std::vector<std::string_view> segments(std::string_view path)
{
    std::vector<std::string_view> out;
    std::size_t from = 0;
    while (from <= path.size()) {
        const std::size_t end = std::min(path.find('/', from), path.size());
        out.push_back(path.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

// A part of the page: below the page's folder, through no hidden folder, a
// file of the kind asked for.
bool isOwnPart(RequestKind kind, const std::string &path, const std::string &pagePath)
{
    const std::size_t slash = pagePath.rfind('/');
    if (pagePath.empty() || pagePath.front() != '/' || slash == std::string::npos)
        return false;
    const std::string folder = pagePath.substr(0, slash + 1);
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    const std::vector<std::string_view> below = segments(std::string_view(path).substr(folder.size()));
    for (std::string_view segment : below) {
        if (segment.empty() || segment.front() == '.')
            return false; // a folder listing, "..", a hidden file or folder
    }
    const std::string_view name = below.back();
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && fitsKind(kind, lower(name.substr(dot + 1)));
}

bool isNetworkScheme(const std::string &scheme)
{
    return oneOf(scheme, {"http", "https", "ws", "wss", "ftp"});
}

} // namespace

bool localPageMayLoad(const LocalPageRequest &request)
{
    switch (request.kind) {
    case RequestKind::Fetch:
    case RequestKind::Ping:
    case RequestKind::WebSocket:
    case RequestKind::Worker:
    case RequestKind::Prefetch:
        return false;
    default:
        break;
    }
    if (request.scheme == "file") {
        switch (request.kind) {
        case RequestKind::TopPage:
            return !(request.byPage && request.tiedToOtherWindow);
        case RequestKind::Image:
        case RequestKind::Stylesheet:
        case RequestKind::Script:
        case RequestKind::Font:
        case RequestKind::Media:
            return isOwnPart(request.kind, request.path, request.pagePath);
        default:
            return false;
        }
    }
    if (isNetworkScheme(request.scheme))
        return request.kind == RequestKind::TopPage;
    // The page's own data:, blob: and about: parts, the program's pages.
    return true;
}

} // namespace corvane
