#pragma once

#include <QMdiSubWindow>

class BrowserDocument;
class BrowserView;

// The MDI child that holds one browser window: its document and its view.
class BrowserWindow : public QMdiSubWindow
{
    Q_OBJECT
public:
    explicit BrowserWindow(QWidget *parent = nullptr);
    ~BrowserWindow() override;

    BrowserDocument *document() const { return m_doc; }
    BrowserView *view() const { return m_view; }
    // The view of the pane that has the focus (the only one until splitting).
    BrowserView *activeView() const { return m_view; }
    void setView(BrowserView *view);

private:
    void updateCaption();

    BrowserDocument *m_doc = nullptr;
    BrowserView *m_view = nullptr;
};
