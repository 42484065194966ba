#pragma once

#include "core/PageRequests.h"

#include <array>
#include <string>

namespace corvane {

// Pane widths other than pane 0's, at the desktop's usual font.
inline constexpr int kProgressPaneWidth = 100;
inline constexpr int kTimerPaneWidth = 55;
inline constexpr int kSecurePaneWidth = 25;
inline constexpr int kProtectedPaneWidth = 60;

// The room each fixed pane needs for its widest text in the font in use,
// frame and margins included (0: none measured). A pane is never narrower
// than its usual width, and wider when the font asks for it.
struct StatusPaneRoom
{
    int progress = 0;      // "100% done"
    int timer = 0;         // the running time
    int secure = 0;        // "S"
    int protectedPane = 0; // "P"
};

// What the main window knows when it lays out its five status-bar panes.
struct StatusPaneInput
{
    std::string statusText;     // the active view's status text (pane 0)
    int progress = 0;
    int progressMax = 0;
    std::string elapsedText;    // the running-time text, "hh:mm:ss"
    bool showTimer = true;      // elapsed text shown only when set
    // The active page: "S" when secure, a warning sign after a certificate error.
    PageSecurity security = PageSecurity::NotEncrypted;
    bool passwordProtected = false; // a password is stored and MinimizeToTray is on
    int windowWidth = 0;        // W: screen width when maximised, else the normal rectangle's
    StatusPaneRoom room;        // what the font asks of the fixed panes
};

struct StatusPane
{
    std::string text;
    int width = 0;
    // False: the layout leaves this pane alone, it keeps whatever text and
    // width it had (pane 4 in the idle layout).
    bool assigned = true;
};

struct StatusPaneLayout
{
    bool loading = false;
    std::array<StatusPane, 5> panes;
};

// Pane 0 shows statusPaneText(statusText).
// Loading (0 <= progress < progressMax): status text (W - 248), "%d%% done"
// (100), elapsed text (55), securePaneText (25), "P" (60).
// Idle (anything else): status text (W - 140), elapsed text (55), secure (25),
// "P" (60), pane 4 left alone.
// A pane the font makes wider takes its room from pane 0.
// Pane 0 never gets a negative width: a window narrower than the fixed panes
// gives it 0.
StatusPaneLayout layoutStatusPanes(const StatusPaneInput &in);

// What pane 0 shows for a status text: the text, or the idle prompt "Ready"
// when no status text stands.
std::string statusPaneText(const std::string &statusText);

// "%d%% done" of progress * 100 / progressMax (integer division, no overflow).
std::string progressText(int progress, int progressMax);

} // namespace corvane
