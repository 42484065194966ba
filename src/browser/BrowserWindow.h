#pragma once

#include <QMdiSubWindow>

class Application;
class BrowserDocument;
class BrowserView;

// The MDI child that holds one browser window: its document and its view.
class BrowserWindow : public QMdiSubWindow
{
    Q_OBJECT
public:
    explicit BrowserWindow(Application &app, QWidget *parent = nullptr);
    ~BrowserWindow() override;

    BrowserDocument *document() const { return m_doc; }
    BrowserView *view() const { return m_view; }
    // The view of the pane that has the focus (the only one until splitting).
    BrowserView *activeView() const { return m_view; }
    void setView(BrowserView *view);

private:
    void updateCaption();

    Application &m_app;
    BrowserDocument *m_doc = nullptr;
    BrowserView *m_view = nullptr;
};
