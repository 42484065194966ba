#include "browser/FullScreenWindow.h"

#include "core/PageTexts.h"

#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

FullScreenWindow::FullScreenWindow(QWidget *content, QWidget *parent)
    : QWidget(parent, Qt::Window), m_content(content)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(parent ? parent->windowTitle() : QString());
    QPalette dark = palette();
    dark.setColor(QPalette::Window, Qt::black);
    setPalette(dark);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    content->show();

    m_notice = new QLabel(this);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setMargin(12);
    m_notice->setStyleSheet(QStringLiteral("QLabel { background: rgba(32, 32, 32, 220); color: white;"
                                           " border-radius: 6px; font-weight: bold; }"));
    m_notice->hide();

    auto *f11 = new QAction(this);
    f11->setShortcut(Qt::Key_F11);
    connect(f11, &QAction::triggered, this, &FullScreenWindow::leaveRequested);
    addAction(f11);
    m_escape = new QAction(this);
    m_escape->setShortcut(Qt::Key_Escape);
    m_escape->setEnabled(false);
    connect(m_escape, &QAction::triggered, this, &FullScreenWindow::leaveRequested);
    addAction(m_escape);

    // The screen the main window is on.
    if (QScreen *screen = parent ? parent->screen() : nullptr)
        setGeometry(screen->geometry());
}

FullScreenWindow::~FullScreenWindow() = default;

QWidget *FullScreenWindow::takeContent()
{
    QWidget *content = m_content;
    if (content)
        layout()->removeWidget(content);
    m_content = nullptr;
    return content;
}

void FullScreenWindow::setEscapeLeaves(bool on)
{
    m_escape->setEnabled(on);
}

bool FullScreenWindow::escapeLeaves() const
{
    return m_escape->isEnabled();
}

void FullScreenWindow::showNotice(const QString &text)
{
    m_notice->setText(text);
    m_notice->adjustSize();
    placeNotice();
    m_notice->show();
    m_notice->raise();
    const QPointer<QLabel> notice = m_notice;
    QTimer::singleShot(corvane::kFullScreenNoticeMs, m_notice, [notice, text] {
        // A later notice keeps its own time.
        if (notice && notice->text() == text)
            notice->hide();
    });
}

QString FullScreenWindow::noticeText() const
{
    return m_notice->text();
}

bool FullScreenWindow::noticeShown() const
{
    return !m_notice->isHidden();
}

void FullScreenWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeNotice();
}

void FullScreenWindow::placeNotice()
{
    m_notice->move((width() - m_notice->width()) / 2, height() / 12);
}
