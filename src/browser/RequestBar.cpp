#include "browser/RequestBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

RequestBar::RequestBar(const QString &text, const QString &acceptText, const QString &rejectText,
                       QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    // As high as its line: the page keeps the rest.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);

    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
    m_text = new QLabel(text, this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_accept = new QPushButton(acceptText, this);
    m_reject = new QPushButton(rejectText, this);
    connect(m_accept, &QPushButton::clicked, this, [this] { Q_EMIT answered(true); });
    connect(m_reject, &QPushButton::clicked, this, [this] { Q_EMIT answered(false); });

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(icon);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_accept);
    layout->addWidget(m_reject);
}

QString RequestBar::text() const
{
    return m_text->text();
}
