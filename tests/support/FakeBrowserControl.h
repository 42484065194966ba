#pragma once

#include "engine/BrowserControl.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

// A browser control without an engine: every operation is recorded as a line
// of text ("Navigate2 http://a", "Refresh2 3", "putOffline 1",
// "execWB Zoom 2", "GoBack", "find", ...), the page's name, address and scroll
// position are whatever the test sets, and the test fires the events.
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
    // Navigate2 moves the location to its address (name = address) when set.
    void setFollowNavigate(bool on) { m_followNavigate = on; }

    // --- events --------------------------------------------------------------------------
    // Each returns what the handler decided. Nothing happens without events.
    bool fireBeforeNavigate(const QString &url, bool topLevel = true);
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
    // A whole top-level load: start, title, progress, completion.
    bool fireNavigation(const QString &url, const QString &title = QString());

    // --- BrowserControl ------------------------------------------------------------------
    QWidget *widget() override { return m_widget; }
    void Navigate2(const QString &url) override;
    void GoBack() override { record(QStringLiteral("GoBack")); }
    void GoForward() override { record(QStringLiteral("GoForward")); }
    void Refresh2(int level) override { record(QStringLiteral("Refresh2 %1").arg(level)); }
    void Refresh() override { record(QStringLiteral("Refresh")); }
    void Stop() override { record(QStringLiteral("Stop")); }
    void putOffline(bool offline) override;
    bool offline() const override { return m_offline; }
    void putSilent(bool silent) override;
    bool silent() const override { return m_silent; }
    void putRegisterAsBrowser(bool on) override;
    QString locationName() const override { return m_name; }
    QString locationURL() const override { return m_url; }
    QPoint scrollPosition() const override { return m_scroll; }
    void setScrollPosition(const QPoint &pos) override;
    void execWB(PageCommand command, int argument = 0) override;
    void find() override { record(QStringLiteral("find")); }
    void viewSource() override { record(QStringLiteral("viewSource")); }
    void loadFromResource(const QString &path) override;

    static QString commandName(PageCommand command);

private:
    void record(const QString &operation) { m_operations.append(operation); }

    QPointer<QWidget> m_widget;
    QStringList m_operations;
    QString m_name;
    QString m_url;
    QPoint m_scroll;
    bool m_offline = false;
    bool m_silent = false;
    bool m_followNavigate = false;
};
