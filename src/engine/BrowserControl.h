#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class QWidget;
class BrowserControl;

// The events a web engine raises for the page it shows, delivered on the GUI
// thread in this order for a navigation: BeforeNavigate2 (top page and every
// frame), StatusTextChange / TitleChange / ProgressChange while loading,
// DocumentComplete (top page and every frame).
class BrowserEvents
{
public:
    virtual ~BrowserEvents() = default;

    // A navigation of the top page (topLevel) or of a frame is about to
    // start. Setting cancel stops it.
    virtual void OnBeforeNavigate2(const QString &url, bool topLevel, bool &cancel) = 0;
    // A page asks for a new window. The handler either sets *newControl to
    // the control that is to receive the popup's navigation, or sets cancel.
    virtual void OnNewWindow2(BrowserControl **newControl, bool &cancel) = 0;
    virtual void OnStatusTextChange(const QString &text) = 0;
    virtual void OnTitleChange(const QString &title) = 0;
    // Equal values or a maximum of 0 mean idle.
    virtual void OnProgressChange(int progress, int progressMax) = 0;
    virtual void OnDocumentComplete(const QString &url, bool topLevel) = 0;

    // The view-source window the user asked for (viewSource()) is about to
    // open. Unlike a page's own popup it is not subject to the popup filter;
    // by default it is handled like any new window.
    virtual void OnViewSourceWindow(BrowserControl **newControl)
    {
        bool cancel = false;
        OnNewWindow2(newControl, cancel);
        if (cancel)
            *newControl = nullptr;
    }
    // The pointer rests on a link (url) or has left it (empty url).
    virtual void OnLinkHovered(const QString & /*url*/) {}
    // A script of the page failed.
    virtual void OnScriptError(const QString & /*message*/, int /*line*/,
                               const QString & /*source*/)
    {
    }
    // A script of the page asks to close its window (window.close()).
    virtual void OnWindowCloseRequested() {}
    // The top page's load ended without a document (the address turned out
    // to be a download, or the page or engine stopped it): the page shown
    // stays.
    virtual void OnLoadStopped() {}
};

// What the program asks of a web engine. The Qt WebEngine implementation is
// WebEngineControl; tests use a fake that records operations and fires events.
class BrowserControl : public QObject
{
    Q_OBJECT
public:
    // Page commands (the ExecWB family).
    enum class PageCommand {
        Zoom,        // argument 0 (tiny) .. 4 (huge)
        Copy,
        Cut,
        Paste,
        Undo,
        Redo,
        SelectAll,
        SaveAs,
        Print,
        PrintPreview,
        Properties,
    };

    explicit BrowserControl(QObject *parent = nullptr) : QObject(parent) {}
    ~BrowserControl() override = default;

    void setEvents(BrowserEvents *events) { m_events = events; }
    BrowserEvents *events() const { return m_events; }

    // The widget that shows the page.
    virtual QWidget *widget() = 0;

    virtual void Navigate2(const QString &url) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Level 3: completely, bypassing the cache.
    virtual void Refresh2(int level) = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;

    virtual void putOffline(bool offline) = 0;
    virtual bool offline() const = 0;
    virtual void putSilent(bool silent) = 0;
    virtual bool silent() const = 0;
    virtual void putRegisterAsBrowser(bool) {}

    virtual QString locationName() const = 0;
    virtual QString locationURL() const = 0;

    // The page zoom in effect (1.0 = 100 %).
    virtual qreal zoomFactor() const { return 1.0; }

    // Scroll position of the page body in CSS pixels.
    virtual QPoint scrollPosition() const = 0;
    virtual void setScrollPosition(const QPoint &pos) = 0;

    virtual void execWB(PageCommand command, int argument = 0) = 0;
    virtual void find() = 0;
    virtual void viewSource() = 0;
    // Shows a page held in the program's own resources (qrc path).
    virtual void loadFromResource(const QString &resourcePath) = 0;

protected:
    BrowserEvents *m_events = nullptr;
};
