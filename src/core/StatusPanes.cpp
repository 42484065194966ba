#include "core/StatusPanes.h"

#include "core/CommandTable.h"

#include <algorithm>

namespace corvane {

namespace {

// What pane 0 leaves to the others, pane gaps included.
constexpr int kLoadingFixedWidth = 248;
constexpr int kIdleFixedWidth = 140;

} // namespace

std::string statusPaneText(const std::string &statusText)
{
    return statusText.empty() ? std::string(kIdlePrompt) : statusText;
}

std::string progressText(int progress, int progressMax)
{
    const long long percent = progressMax != 0 ? static_cast<long long>(progress) * 100 / progressMax : 0;
    return std::to_string(percent) + "% done";
}

StatusPaneLayout layoutStatusPanes(const StatusPaneInput &in)
{
    StatusPaneLayout out;
    const std::string elapsed = in.showTimer ? in.elapsedText : std::string();
    const std::string secure = in.secure ? "S" : "";
    const std::string prot = in.passwordProtected ? "P" : "";

    out.loading = in.progressMax > 0 && in.progress >= 0 && in.progress < in.progressMax;
    if (out.loading) {
        out.panes[0] = {statusPaneText(in.statusText), std::max(0, in.windowWidth - kLoadingFixedWidth)};
        out.panes[1] = {progressText(in.progress, in.progressMax), kProgressPaneWidth};
        out.panes[2] = {elapsed, kTimerPaneWidth};
        out.panes[3] = {secure, kSecurePaneWidth};
        out.panes[4] = {prot, kProtectedPaneWidth};
    } else {
        out.panes[0] = {statusPaneText(in.statusText), std::max(0, in.windowWidth - kIdleFixedWidth)};
        out.panes[1] = {elapsed, kTimerPaneWidth};
        out.panes[2] = {secure, kSecurePaneWidth};
        out.panes[3] = {prot, kProtectedPaneWidth};
        out.panes[4] = {std::string(), 0, false};
    }
    return out;
}

} // namespace corvane
