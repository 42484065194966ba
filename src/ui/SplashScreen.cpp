#include "ui/SplashScreen.h"

#include "ui/Resources.h"

#include <QCloseEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

SplashScreen::SplashScreen(const QPixmap &picture, std::function<bool()> mainWindowReady, int durationMs)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture), m_mainWindowReady(std::move(mainWindowReady))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    m_timer.start(durationMs, this);
    qApp->installEventFilter(this);
}

SplashScreen *SplashScreen::showResource(const QString &resource, std::function<bool()> mainWindowReady,
                                         int durationMs)
{
    initProgramResources();
    const QPixmap picture(resource);
    if (picture.isNull())
        return nullptr;
    auto *splash = new SplashScreen(picture, std::move(mainWindowReady), durationMs);
    splash->show();
    splash->raise();
    // Painted now: the start-up that follows keeps the event loop away for
    // a while.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    splash->repaint();
    return splash;
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void SplashScreen::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (m_mainWindowReady && !m_mainWindowReady()) {
        m_timer.start(kRecheckMs, this);
        return;
    }
    m_timer.stop();
    close();
}

bool SplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    // Gone before the question reaches the screen.
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
        const auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isModal())
            close();
    }
    return QWidget::eventFilter(watched, event);
}

void SplashScreen::closeEvent(QCloseEvent *event)
{
    qApp->removeEventFilter(this);
    m_timer.stop();
    event->accept();
    if (!m_finished) {
        m_finished = true;
        Q_EMIT finished();
    }
}
