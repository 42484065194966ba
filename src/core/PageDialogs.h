#pragma once

#include <string>

namespace corvane {

// A page's own dialog boxes (alert, confirm, prompt) in one window. A page
// that asks for one after another (an endless alert() loop) is offered to
// be stopped: from its third box on, the box holds kStopPageDialogsText,
// and once that is ticked the page's boxes stay away (an alert returns at
// once, a confirm and a prompt answer as cancelled) until the window shows
// another site. Boxes never hold the rest of the program: menus, Close and
// Exit work while one is up.
inline constexpr int kPageDialogsBeforeStopOffer = 2;
inline constexpr const char *kStopPageDialogsText = "Don't let this page show more dialogs";

// The title of a page's box, from the site that asks: "<site> says"; a
// page without a host (a local file) is "This page says".
std::string pageDialogTitle(const std::string &host);

class PageDialogs
{
public:
    // The window's top page is of this site now ("scheme://host:port"); a
    // new site shows its boxes again, counted from none.
    void siteShown(const std::string &site);
    // Whether the page's next box shows at all.
    bool mayShow() const { return !m_stopped; }
    // Whether the box about to show offers to stop the page's boxes.
    bool offersStop() const { return m_shown >= kPageDialogsBeforeStopOffer; }
    // A box was answered; stop: the user ticked kStopPageDialogsText.
    void answered(bool stop);

private:
    std::string m_site;
    int m_shown = 0;
    bool m_stopped = false;
};

} // namespace corvane
