#pragma once

#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;

// One pane alone on the whole screen: the page's widget moves in for the
// time being and goes back to its view afterwards, so the main window, its
// bars, the browser windows and their splits stay exactly as they were.
// F11 asks to leave; so does Esc while the page itself asked for full
// screen. A notice says how to leave for a few seconds.
class FullScreenWindow : public QWidget
{
    Q_OBJECT
public:
    // parent: the main window, whose screen it covers.
    FullScreenWindow(QWidget *content, QWidget *parent);
    ~FullScreenWindow() override;

    QWidget *content() const { return m_content; }
    // Hands the content back; the window is of no use afterwards.
    QWidget *takeContent();
    void setEscapeLeaves(bool on);
    bool escapeLeaves() const;
    // Shows the notice (again) with this text.
    void showNotice(const QString &text);
    QString noticeText() const;
    bool noticeShown() const;

Q_SIGNALS:
    void leaveRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeNotice();

    QPointer<QWidget> m_content;
    QLabel *m_notice = nullptr;
    QAction *m_escape = nullptr;
};
