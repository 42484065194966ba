#include "core/PageDialogs.h"

namespace corvane {

std::string pageDialogTitle(const std::string &host)
{
    return host.empty() ? std::string("This page says") : host + " says";
}

void PageDialogs::siteShown(const std::string &site)
{
    if (site == m_site)
        return;
    m_site = site;
    m_shown = 0;
    m_stopped = false;
}

void PageDialogs::answered(bool stop)
{
    ++m_shown;
    if (stop && offersStop())
        m_stopped = true;
}

} // namespace corvane
