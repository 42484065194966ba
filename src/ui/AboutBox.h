#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QWebEngineView;

// "About Corvane": a small modal dialog whose whole area is a page of the
// program's own. The page's OK button ("app:ok") closes it; its links open
// in a browser window of the program (never inside the box), after which
// the box closes; mail links go to the mail program and the box stays. The
// page has no context menu. It names the web engine with its security patch
// level and says so when those patches are more than a year old.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    // Opens an address in a browser window of the program.
    using OpenAddress = std::function<void(const QString &address)>;

    explicit AboutBox(OpenAddress openAddress, QWidget *parent = nullptr);
    ~AboutBox() override;

    QWebEngineView *view() const { return m_view; }

    // An address the page navigates to: false when the box takes it as a
    // command (and the page does not go there).
    bool acceptNavigation(const QString &address);

    // The lines about the engine the page shows (the second is empty while
    // the engine is less than a year old).
    static QString engineText();
    static QString engineAgeText();

private:
    OpenAddress m_openAddress;
    QWebEngineView *m_view = nullptr;
};
