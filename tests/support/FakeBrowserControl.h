#pragma once

#include "engine/BrowserControl.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

// A browser control without an engine: every operation is recorded as a line
// of text ("navigate http://a", "reload Complete", "setOffline 1",
// "runPageCommand Zoom 2", "goBack", "find", ...), the page's name, address
// and scroll position are whatever the test sets, and the test fires the
// events.
class FakeBrowserControl : public BrowserControl
{
    Q_OBJECT
public:
    explicit FakeBrowserControl(QObject *parent = nullptr);
    ~FakeBrowserControl() override;

    // --- what the program did ------------------------------------------------------
    const QStringList &operations() const { return m_operations; }
    // The recorded operations that begin with prefix.
    QStringList operations(const QString &prefix) const;
    bool did(const QString &operation) const { return m_operations.contains(operation); }
    void clearOperations() { m_operations.clear(); }

    // --- the page shown ----------------------------------------------------------------
    void setLocation(const QString &name, const QString &url);
    void setScroll(const QPoint &pos) { m_scroll = pos; }
    // The page's icon (none until set).
    void setIcon(const QIcon &icon) { m_icon = icon; }
    // navigate moves the location to its address (name = address) when set.
    void setFollowNavigate(bool on) { m_followNavigate = on; }

    // --- events --------------------------------------------------------------------------
    // Each returns what the handler decided. Nothing happens without events.
    bool fireNavigationStarting(const QString &url, bool topLevel = true);
    // The new control, or nullptr when cancelled / none given.
    BrowserControl *fireNewWindow(bool *cancelled = nullptr);
    BrowserControl *fireViewSourceWindow();
    void fireStatusText(const QString &text);
    void fireTitle(const QString &title);
    void fireProgress(int progress, int progressMax);
    void fireDocumentComplete(const QString &url, bool topLevel = true);
    void fireLinkHovered(const QString &url);
    void fireScriptError(const QString &message, int line = 1, const QString &source = QString());
    void fireWindowCloseRequested();
    void fireLoadStopped();
    // Sets the page's icon and reports it.
    void fireIconChanged(const QIcon &icon);
    // A whole top-level load: start, title, progress, completion.
    bool fireNavigation(const QString &url, const QString &title = QString());

    // --- the page's requests ----------------------------------------------------------
    // A login request; what the handler answered.
    BrowserEvents::LoginRequest fireLoginRequested(const QString &url, const QString &host,
                                                  const QString &realm, bool proxy = false);
    void fireCertificateError(const QString &url, int code = -202, bool overridable = true);
    void firePermissionRequested(const QString &site, corvane::SiteFeature feature);
    void firePermissionRequestCancelled(const QString &site, corvane::SiteFeature feature);
    void firePageStopped(corvane::PageStop how = corvane::PageStop::Killed);
    // hasCertificateError answers this for every address.
    void setCertificateError(bool on) { m_certificateError = on; }

    // --- BrowserControl ------------------------------------------------------------------
    QWidget *widget() override { return m_widget; }
    void navigate(const QString &url) override;
    void goBack() override { record(QStringLiteral("goBack")); }
    void goForward() override { record(QStringLiteral("goForward")); }
    void reload(ReloadLevel level = ReloadLevel::Normal) override;
    void stop() override { record(QStringLiteral("stop")); }
    void startRefusedNavigation() override { record(QStringLiteral("startRefusedNavigation")); }
    void setOffline(bool offline) override;
    bool offline() const override { return m_offline; }
    void setSilent(bool silent) override;
    bool silent() const override { return m_silent; }
    QString pageTitle() const override { return m_name; }
    QString pageUrl() const override { return m_url; }
    QIcon pageIcon() const override { return m_icon; }
    QPoint scrollPosition() const override { return m_scroll; }
    void setScrollPosition(const QPoint &pos) override;
    void runPageCommand(PageCommand command, int argument = 0) override;
    void find() override { record(QStringLiteral("find")); }
    void viewSource() override { record(QStringLiteral("viewSource")); }
    void loadFromResource(const QString &path) override;
    // "answerPermission <site> <feature> <0|1>", "goOnDespiteCertificate <url>".
    void answerPermission(const QString &site, corvane::SiteFeature feature, bool allowed) override;
    void goOnDespiteCertificate(const QString &url) override;
    bool hasCertificateError(const QString &) const override { return m_certificateError; }

    static QString commandName(PageCommand command);

    // --- leaving a page, full screen ------------------------------------------------------
    // What requestClose() answers (recorded as "requestClose"); Close until set.
    void setCloseAnswer(CloseAnswer answer) { m_closeAnswer = answer; }
    CloseAnswer requestClose() override;
    void exitFullScreen() override { record(QStringLiteral("exitFullScreen")); }
    // The answer to a pending requestClose().
    void fireCloseAnswered(bool mayClose);
    // The page's beforeunload asks; returns whether the view leaves.
    bool fireLeavePageAsked();
    // The page asks for full screen or leaves it; returns the view's answer.
    bool fireFullScreenRequested(bool on);

private:
    void record(const QString &operation) { m_operations.append(operation); }

    QPointer<QWidget> m_widget;
    QStringList m_operations;
    QString m_name;
    QString m_url;
    QPoint m_scroll;
    QIcon m_icon;
    bool m_offline = false;
    bool m_silent = false;
    bool m_followNavigate = false;
    CloseAnswer m_closeAnswer = CloseAnswer::Close;
    bool m_certificateError = false;
};
