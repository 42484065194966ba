#pragma once

#include <string>

namespace corvane {

// What a page opened from a file (a local page) may load. Its scripts read
// no other file and send nothing anywhere:
// - from the disk, only its own parts: pictures, style sheets, fonts,
//   sounds and films, and scripts, by their file names, in its own folder
//   or a folder below it that is not hidden (a page saved with its
//   "_files" folder keeps its look). Never a frame or an object of a local
//   file, a folder listing, or a file a script fetches;
// - from the network, nothing but the top page the user goes to (a link
//   followed). Pictures of the web do not show: what a page asks of the
//   web says what it has read.
// - nothing its scripts send: no fetch, XMLHttpRequest or EventSource, no
//   beacon or ping, no WebSocket, no worker.
// - a window a local page opened, and the local page that opened it, show
//   no further local file at the page's bidding: the two could read each
//   other's documents. What the user types still opens.

// What a request is for.
enum class RequestKind {
    TopPage,
    Frame,
    Stylesheet,
    Script,
    Image,
    Font,
    Media,
    Object,
    Fetch,     // XMLHttpRequest, fetch, EventSource
    Ping,      // a beacon, a link's ping, a report
    WebSocket,
    Worker,
    Prefetch,
    Other,
};

struct LocalPageRequest
{
    RequestKind kind = RequestKind::Other;
    std::string scheme;   // of the address asked for, lower case
    std::string path;     // the file's path, for a file: address
    std::string pagePath; // the local top page's file path; empty when unknown
    bool byPage = false;  // the page asked, not the user
    // The window was opened by a local page, or its local page opened one.
    bool tiedToOtherWindow = false;
};

bool localPageMayLoad(const LocalPageRequest &request);

} // namespace corvane
