#pragma once

#include "core/ImageSeries.h"
#include "core/Stopwatch.h"
#include "core/TextSize.h"
#include "engine/BrowserControl.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class BrowserDocument;
class BrowserHost;
class BrowserWindow;
class PopupQuestion;
class FullScreenWindow;
class ErrorPage;
class RequestBar;

// The content of a browser window: it hosts the web engine's control,
// applies the user's modes (offline, silent, script debugger) to every
// navigation, times each navigation in the navigation log, keeps the main
// window's address box, status panes (through its host) and the window title
// in step with the page, remembers the scroll position, and carries out the
// page commands of the View, Edit, Go and File menus.
class BrowserView : public QWidget, public BrowserEvents
{
    Q_OBJECT
public:
    // The view takes the control in (and owns it unless it has an owner).
    BrowserView(BrowserHost &host, BrowserDocument *doc, BrowserControl *control,
                QWidget *parent = nullptr);
    ~BrowserView() override;

    BrowserControl *control() const { return m_control; }
    BrowserDocument *document() const;
    // The browser window this view is in.
    BrowserWindow *browserWindow() const;
    // The view is its window's active pane (or the window is not split): the
    // window's title, icon, address and secure indicator follow it alone.
    bool isActivePane() const;
    // The active pane of the main window's active window (or no window is
    // active): the address box and the secure indicator follow its loads.
    bool speaksForMainWindow() const;

    // --- operations --------------------------------------------------------------
    // The first navigation: the application's pending document address, else
    // the home page, else the default start page.
    void startFirstNavigation();
    // The one entry for navigation the program starts: clears the saved
    // scroll position and navigates the control.
    void navigate(const QString &address);
    // Reads the page's scroll position into the saved values / scrolls the
    // page back to them.
    void saveScrollPosition();
    void restoreScrollPosition();
    // Brings the main window in step with this view: title, address box,
    // secure indicator, progress. Runs when the view or its window becomes
    // active and when the view loses the focus.
    void activationRefresh();
    // Whether the view carries out this command (corvane::cmd).
    static bool handlesCommand(int id);
    // Runs a command of the view by its ID; false when the command is not
    // the view's.
    bool runCommand(int id);

    // --- state -------------------------------------------------------------------
    // Written by the Navigate dialog for the main window to navigate to.
    QString pendingAddress() const { return m_pendingAddress; }
    void setPendingAddress(const QString &address) { m_pendingAddress = address; }
    int savedScrollLeft() const { return m_savedScrollLeft; }
    int savedScrollTop() const { return m_savedScrollTop; }
    // A workspace restore puts the stored position here; it is restored at
    // each progress event and completion until the user clicks the page.
    void setSavedScrollPosition(int left, int top);
    bool hasSavedScrollPosition() const { return m_savedScrollLeft || m_savedScrollTop; }
    // Whether the view has been in sight at a size of its own. A view
    // restored out of view (behind a maximized window) has not: its page
    // was laid out at no size, so where the engine scrolled it says
    // nothing, and the saved position is what it stands at. It scrolls
    // there again once it comes into view.
    bool seenAtSize() const { return m_seenAtSize; }
    bool navigating() const { return m_navigating; }
    // The address of the latest navigation start (any frame of the page).
    QString currentNavigationAddress() const { return m_currentNavigationAddress; }
    // The next navigation start turns silent mode off (mail links).
    bool loudOnce() const { return m_loudOnce; }
    void setLoudOnce(bool on) { m_loudOnce = on; }
    Stopwatch &stopwatch() { return m_stopwatch; }
    // The text size this view shows (1 huge .. 5 tiny).
    int textSize() const { return m_fonts; }

    // AutoRefresh: timer 1 runs while on, paused from each navigation start
    // to the document's completion.
    int autoRefreshMinutes() const { return m_autoRefreshMinutes; }
    int autoRefreshSeconds() const { return m_autoRefreshSeconds; }
    bool autoRefreshOn() const { return m_autoRefreshOn; }
    // Stores the values without starting the timer (a workspace restore;
    // the timer starts at the next completion).
    void setAutoRefresh(int minutes, int seconds, bool on);
    // minutes x 60000 + seconds x 1000, never below one second.
    int autoRefreshInterval() const;
    void startAutoRefreshTimer();
    void killAutoRefreshTimer();
    bool autoRefreshTimerActive() const { return m_autoRefreshTimer.isActive(); }

    // A window a page opened: the popup decision runs at its first
    // navigation start.
    bool popupCheckPending() const { return m_popupCheckPending; }
    void setPopupCheckPending(bool on) { m_popupCheckPending = on; }
    QString openerAddress() const { return m_openerAddress; }
    void setOpenerAddress(const QString &address) { m_openerAddress = address; }
    // The view of the page that opened this window, while it is open.
    BrowserView *opener() const;
    void setOpener(BrowserView *opener);
    // A popup waiting for the user's answer to "New window request alert":
    // hidden, its first navigation refused until then, so nothing of its
    // page loads or runs; it opens no windows itself.
    bool popupHeld() const { return m_popupHeld; }
    // The answer: shown with its navigation started again, or closed unseen.
    void answerPopup(bool allowed);
    BrowserWindow *ownWindow() const;
    void setOwnWindow(BrowserWindow *window);

    // The image series: started from the Navigate dialog's text ("*autoscan
    // 2", "-np" for numbers without leading zeros) on the image the view
    // shows. Each completed page loads the next image until Stop. A page
    // that is not a ".jpg" gets the "Invalid file extension" message.
    void startImageSeries(const QString &dialogText);
    bool imageSeriesActive() const { return m_imageSeries.active; }
    const corvane::ImageSeries &imageSeries() const { return m_imageSeries; }

    // --- closing, full screen ----------------------------------------------------
    // Asks the page whether it may close (its beforeunload may ask the
    // user); a Pending answer follows as closeAnswered.
    BrowserControl::CloseAnswer requestClose();
    // The page alone on the whole screen (the user's F11, or the page's own
    // request), until F11, Esc for a page's request, or the page's exit.
    bool isFullScreen() const;
    bool pageAskedFullScreen() const { return m_pageFullScreen; }
    FullScreenWindow *fullScreenWindow() const;

    // --- the control's events ----------------------------------------------------
    void onNavigationStarting(const QString &url, bool topLevel, bool &cancel) override;
    void onNewWindowRequested(BrowserControl **newControl, bool &cancel) override;
    void onViewSourceWindowRequested(BrowserControl **newControl) override;
    void onStatusTextChanged(const QString &text) override;
    void onTitleChanged(const QString &title) override;
    void onProgressChanged(int progress, int progressMax) override;
    void onDocumentComplete(const QString &url, bool topLevel) override;
    void onScrollPositionChanged() override;
    void onLinkHovered(const QString &url) override;
    void onScriptError(const QString &message, int line, const QString &source) override;
    void onWindowCloseRequested() override;
    void onLoadStopped() override;
    void onIconChanged(const QIcon &icon) override;
    bool onLeavePageAsked(const QString &address) override;
    void onCloseAnswered(bool mayClose) override;
    bool onFullScreenRequested(bool on) override;

    // --- the page's requests: logins, certificates, permissions, a stopped page ----
    // A question goes to the user in a modal dialog while the user looks at
    // this window (it is the active one), else into a bar above the page.
    // Every answer is logged; what is still open when the view goes is No.
    void onLoginRequested(LoginRequest &request) override;
    void onCertificateError(const CertificateError &error) override;
    void onPermissionRequested(const QString &site, corvane::SiteFeature feature) override;
    void onPermissionRequestCancelled(const QString &site, corvane::SiteFeature feature) override;
    void onPageStopped(corvane::PageStop how) override;
    void onOfflineLoadRefused(const QString &url) override;
    // The page of ours shown in the page's place; nullptr while the page shows.
    ErrorPage *errorPage() const;
    // The questions waiting in bars, top first.
    QList<RequestBar *> requestBars() const;
    // The page's security as the secure pane and Properties name it.
    corvane::PageSecurity pageSecurity(const QString &address) const;

Q_SIGNALS:
    // The answer to a requestClose() that was pending.
    void closeAnswered(bool mayClose);
    // The page (or anything in it) took the keyboard focus: a click or a
    // tab into this view.
    void focusEntered();

public Q_SLOTS:
    void goHome();
    void reload();
    void stop();
    void goBack();
    void goForward();
    void openFile();
    // Fonts Huge .. Tiny (cmd::FontsHuge .. cmd::FontsTiny).
    void changeFonts(int id);
    // One text-size step up or down from the size this view shows.
    void makeTextLarger();
    void makeTextSmaller();
    void copy();
    void cut();
    void paste();
    void undo();
    void redo();
    void selectAll();
    void saveAs();
    void printPreview();
    void print();
    void findInPage();
    void viewSource();
    void showProperties();
    // AutoRefresh on or off, with the message MsgAutoRefresh asks for.
    void toggleAutoRefresh();
    // F11: into full screen, or out of it.
    void toggleFullScreen();
    // Out of full screen, however it came; a page that asked for it is
    // told to leave it.
    void leaveFullScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // In sight at a size of its own for the first time: a saved position
    // is applied again in the page's real room.
    void noteSeen();
    // The host, while the view is not being destroyed.
    BrowserHost *host() const;
    void log(const QString &line) const;
    // The page's address for the address box and the secure indicator: a
    // frame's navigation does not change what the window shows.
    QString pageAddress(const QString &url, bool topLevel) const;
    void showSecureIndicator(const QString &address);
    void refreshProgress();
    void watch(QWidget *widget);
    // Runs an edit command on the program's own edit field that has the
    // focus; false when the focus is elsewhere (the page).
    bool editFieldCommand(const char *slot);
    // An edit command: to the focused edit field if any, else to the page.
    void editOrPage(const char *slot, BrowserControl::PageCommand command);
    // The popup filter's part of a navigation start: the script-close test
    // and the popup decision. The decision is taken once, at the first
    // navigation start of a window a page opened.
    void runScriptCloseTest(const QString &url, bool &cancel);
    void runPopupDecision(const QString &url, bool &cancel);
    // A popup that may stay is shown; the question about a new window is
    // asked. Both once the engine's event is over.
    void showOwnWindowLater();
    // Holds this popup for the question its opener asks for the windows it
    // opens together (or a question of its own once the opener is gone).
    void holdForAnswer(const QString &lowerAddress);
    // The next window this page asks for is refused before it is made: its
    // burst holds kPopupBurstMaxWindows windows already, or was answered No
    // and the user has not clicked or typed in the page since.
    bool burstRefuses();
    // Closes this view's browser window once the current event is over.
    void closeWindowLater();
    // The image series' next download, at each completion while it runs.
    void runImageSeriesStep();
    void onAutoRefreshTick();
    void enterFullScreen(bool pageAsked);
    // The page's widget back in the view, the main window as it was.
    void restoreFromFullScreen();

    // --- the page's requests ----------------------------------------------------------
    // The user looks at this window: it is the active one, and shown.
    bool userLooksAtWindow() const;
    void showErrorPage();
    void hideErrorPage();
    RequestBar *addRequestBar(const QString &text, const QString &acceptText,
                              const QString &rejectText);
    void removeRequestBar(RequestBar *bar);
    void addLoginBar(const LoginRequest &request, bool refusedBefore);
    void askPermissionsLater();
    void askPermissions();
    void answerPermission(const QString &site, corvane::SiteFeature feature, bool allowed,
                          corvane::PermissionAnswer how);
    struct PermissionQuestion
    {
        QString site;
        corvane::SiteFeature feature;
        QPointer<RequestBar> bar;
    };

    BrowserHost &m_host;
    QPointer<BrowserDocument> m_doc;
    QPointer<BrowserControl> m_control;
    QPointer<BrowserWindow> m_ownWindow;
    QPointer<BrowserView> m_opener;
    // The question about the windows this page is opening, while it takes
    // more of them.
    QPointer<PopupQuestion> m_popupQuestion;
    // The windows of this page's current burst that are asked about: made
    // while confirmation is on, waiting or shown after a Yes.
    QList<QPointer<BrowserView>> m_burst;
    Stopwatch m_stopwatch;
    QTimer m_autoRefreshTimer; // timer 1
    QString m_pendingAddress;
    QString m_currentNavigationAddress;
    QString m_openerAddress;
    QString m_statusText; // the last status text, shown again after a link hover
    corvane::ImageSeries m_imageSeries;
    int m_savedScrollTop = 0;
    int m_savedScrollLeft = 0;
    // The text size this view shows (a Fonts value): a view opens at the
    // control's own size, normal.
    int m_fonts = corvane::kFontsNormal;
    int m_autoRefreshMinutes = 2;
    int m_autoRefreshSeconds = 0;
    bool m_autoRefreshOn = false;
    bool m_navigating = false;
    bool m_seenAtSize = false;
    bool m_loudOnce = false;
    bool m_popupCheckPending = false;
    bool m_popupHeld = false;
    bool m_windowsRefused = false; // this page's windows were answered No
    bool m_closeRequested = false;
    bool m_destroying = false;
    QPointer<FullScreenWindow> m_fullScreen;
    bool m_pageFullScreen = false; // the page asked (an element, a video)
    bool m_userFullScreen = false; // F11

    // --- the page's requests ----------------------------------------------------------
    QPointer<ErrorPage> m_errorPage;
    QList<PermissionQuestion> m_permissionQuestions;
    QList<QPointer<RequestBar>> m_loginBars;
    bool m_permissionsQueued = false;
    bool m_askingPermission = false;
    // A modal question inside the engine's call is up: the window's closing
    // waits for its answer.
    int m_questionsInEngineCall = 0;
    bool m_closeAfterQuestion = false;
};
