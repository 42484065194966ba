#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class BrowserView;
class QWidget;

// One "New window request alert" for the windows one page asks for
// together (a burst). Each window waits hidden, with nothing of it loaded,
// until the answer: Yes shows every one and lets its navigation go out,
// anything else closes them all. The question goes up once no further window
// of the page has come for a moment (at most a second after the first), so
// a page opening windows in a loop is asked once, with the count. Windows
// that come while it is up share its answer, and so do those that follow
// right after it, while the burst goes on (after a Yes, for a second at
// most). The question outlives the page that asked (a page may close itself
// at once) and goes once the burst is over.
class PopupQuestion : public QObject
{
    Q_OBJECT
public:
    // The question's box belongs to dialogParent (the main window).
    explicit PopupQuestion(QWidget *dialogParent);
    ~PopupQuestion() override;

    // A held popup joins; its address (lower-cased) names the first one.
    void add(BrowserView *popup, const QString &lowerAddress);
    // Still taking windows into the burst.
    bool open() const;
    // The popups waiting for the answer (those still there).
    int count() const;

Q_SIGNALS:
    // The user's answer, before the windows get it.
    void answered(bool allowed);

private:
    enum class State { Gathering, Asking, Answered, Over };
    void ask();
    void onDue();

    QPointer<QWidget> m_dialogParent;
    QList<QPointer<BrowserView>> m_popups;
    QString m_firstAddress;
    QTimer m_due;
    QElapsedTimer m_sinceFirst;
    QElapsedTimer m_sinceAnswer;
    State m_state = State::Gathering;
    bool m_allowed = false;
};
