#pragma once

#include "core/PageRequests.h"

#include <QString>

class BrowserControl;
class BrowserView;
class BrowserWindow;
class QWidget;
class NavigationLog;
class SettingsStore;

// What a browser view asks of the program around it: the main window's
// address box, status bar and modes, the application's pending document,
// the settings store and the navigation log, and new browser windows. The
// application implements it and wires it to the main window; tests use a fake.
// The browser layer knows nothing above it but this.
class BrowserHost
{
public:
    virtual ~BrowserHost() = default;

    // --- the program's core objects ------------------------------------------------
    virtual SettingsStore &settings() = 0;
    virtual NavigationLog &log() = 0;

    // --- the document handed in from outside ---------------------------------------
    // A file or address to show in the next new window (the command line, an
    // open request); empty for none.
    virtual QString pendingDocumentAddress() const = 0;
    virtual void setPendingDocumentAddress(const QString &address) = 0;
    // The first New is over (it may ask to become the default browser).
    virtual void clearFirstNew() = 0;

    // --- browser windows ----------------------------------------------------------------
    // The view of the browser window in front; nullptr when there is none.
    virtual BrowserView *activeView() const = 0;
    // Opens a new browser window and returns its view, whose first
    // navigation has started; nullptr when no window can open.
    virtual BrowserView *openBrowserWindow() = 0;
    // Opens a browser window for a window a page asked for: hidden, so that
    // nothing shows before the popup decision, and without a navigation of
    // its own (the page's navigation is its first). nullptr when no window
    // can open.
    virtual BrowserView *openPopupWindow() = 0;
    // Shows a popup's window that may stay, as any new window is shown.
    virtual void showPopupWindow(BrowserWindow *window) = 0;
    // A web engine control for a new view of a browser window (the window's
    // first pane, a pane a split adds), owned by parent.
    virtual BrowserControl *createControl(QWidget *parent) = 0;
    // Adds the "&IE" menu when the IE setting asks for it (again: no change).
    virtual void insertIEMenu() = 0;
    // What a view shows changed (its page, its scroll position, its
    // AutoRefresh): the record kept of the open windows is due again.
    virtual void pageStateChanged() = 0;

    // --- the address box ------------------------------------------------------------------
    // Puts the page's address in the box, unless the user is typing one.
    virtual void setAddressText(const QString &text) = 0;
    // The user is no longer typing an address.
    virtual void clearAddressTyping() = 0;

    // --- the status bar -------------------------------------------------------------------
    virtual void setStatusText(const QString &text) = 0;
    // Equal values or a maximum of 0 mean idle.
    virtual void setProgress(int progress, int progressMax) = 0;
    // The secure indicator: whether the page came over a secure connection,
    // and with a certificate that holds.
    virtual void setSecurity(corvane::PageSecurity security) = 0;
    // Lays the panes out again from the progress, the indicators and the size.
    virtual void updateStatusPanes() = 0;

    // --- modes ----------------------------------------------------------------------------------
    virtual bool isOffline() const = 0;
    virtual void setOffline(bool offline) = 0;
    // The text size last chosen (1 huge .. 5 tiny).
    virtual void setFontSize(int fonts) = 0;
    // While on, every navigation keeps the script debugger switched off.
    virtual bool overrideScriptDebugging() const = 0;
};
