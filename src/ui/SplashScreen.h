#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>

#include <functional>

// The picture shown at start-up: borderless, centred on the screen and above
// every other window. It stays for its duration and then until the main
// window is there (looked at every 100 ms), and closes itself. Clicks and
// keys do not close it. It never covers a question: a modal window coming
// up (the default-browser question at a first start, the offer to restore
// windows) closes it at once. Qt draws only on the main thread, so it lives
// there: it is shown before the main window is built and paints at once,
// and the start-up goes on meanwhile.
class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDurationMs = 2000;
    static constexpr int kRecheckMs = 100;

    // mainWindowReady: whether the main window exists.
    SplashScreen(const QPixmap &picture, std::function<bool()> mainWindowReady,
                 int durationMs = kDurationMs);

    // Shows the picture from the program's resources; nullptr when it cannot
    // be loaded (then there is no splash). The splash deletes itself when it
    // closes.
    static SplashScreen *showResource(const QString &resource, std::function<bool()> mainWindowReady,
                                      int durationMs = kDurationMs);

    const QPixmap &picture() const { return m_picture; }

Q_SIGNALS:
    // The splash has closed (by its timer or from outside).
    void finished();

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Watches the application's windows for a question coming up.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPixmap m_picture;
    std::function<bool()> m_mainWindowReady;
    QBasicTimer m_timer;
    bool m_finished = false;
};
