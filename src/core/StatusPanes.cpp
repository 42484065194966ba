#include "core/StatusPanes.h"

#include "core/CommandTable.h"

#include <algorithm>

namespace corvane {

namespace {

// The gaps between the loading layout's panes, beside their widths.
constexpr int kLoadingGaps = 8;

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
    const std::string secure = securePaneText(in.security);
    const std::string prot = in.passwordProtected ? "P" : "";
    const int progressWidth = std::max(kProgressPaneWidth, in.room.progress);
    const int timerWidth = std::max(kTimerPaneWidth, in.room.timer);
    const int secureWidth = std::max(kSecurePaneWidth, in.room.secure);
    const int protectedWidth = std::max(kProtectedPaneWidth, in.room.protectedPane);
    // What pane 0 leaves to the others: 140 and 248 at the usual widths.
    const long long idleFixed = static_cast<long long>(timerWidth) + secureWidth + protectedWidth;
    const long long loadingFixed = idleFixed + progressWidth + kLoadingGaps;
    const auto rest = [&in](long long fixed) {
        return static_cast<int>(std::max(0LL, static_cast<long long>(in.windowWidth) - fixed));
    };

    out.loading = in.progressMax > 0 && in.progress >= 0 && in.progress < in.progressMax;
    if (out.loading) {
        out.panes[0] = {statusPaneText(in.statusText), rest(loadingFixed)};
        out.panes[1] = {progressText(in.progress, in.progressMax), progressWidth};
        out.panes[2] = {elapsed, timerWidth};
        out.panes[3] = {secure, secureWidth};
        out.panes[4] = {prot, protectedWidth};
    } else {
        out.panes[0] = {statusPaneText(in.statusText), rest(idleFixed)};
        out.panes[1] = {elapsed, timerWidth};
        out.panes[2] = {secure, secureWidth};
        out.panes[3] = {prot, protectedWidth};
        out.panes[4] = {std::string(), 0, false};
    }
    return out;
}

} // namespace corvane
