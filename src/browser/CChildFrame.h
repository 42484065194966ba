#pragma once

#include <QMdiSubWindow>

class CTestApp;
class CTestDoc;
class CTestView;

// The MDI child that holds one browser window: its document and its view.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    explicit CChildFrame(CTestApp &app, QWidget *parent = nullptr);
    ~CChildFrame() override;

    CTestDoc *document() const { return m_doc; }
    CTestView *view() const { return m_view; }
    // The view of the pane that has the focus (the only one until splitting).
    CTestView *activeView() const { return m_view; }
    void setView(CTestView *view);

private:
    void updateCaption();

    CTestApp &m_app;
    CTestDoc *m_doc = nullptr;
    CTestView *m_view = nullptr;
};
