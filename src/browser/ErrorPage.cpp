#include "browser/ErrorPage.h"

#include "core/PageRequests.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

ErrorPage::ErrorPage(QWidget *parent) : QWidget(parent)
{
    // A page: the base colour of text fields, as web pages are light.
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Base));
    p.setColor(QPalette::WindowText, p.color(QPalette::Text));
    setPalette(p);
    setFocusPolicy(Qt::StrongFocus);

    m_icon = new QLabel(this);
    m_title = new QLabel(this);
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_title->setFont(big);
    m_title->setWordWrap(true);
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail = new QLabel(this);
    m_detail->setWordWrap(true);
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail->setForegroundRole(QPalette::PlaceholderText);

    m_goBack = new QPushButton(QString::fromLatin1(corvane::kCertificateGoBackText), this);
    m_goOn = new QPushButton(this);
    m_reload = new QPushButton(QString::fromLatin1(corvane::kPageStoppedReloadText), this);
    connect(m_goBack, &QPushButton::clicked, this, &ErrorPage::goBackRequested);
    connect(m_goOn, &QPushButton::clicked, this, &ErrorPage::goOnRequested);
    connect(m_reload, &QPushButton::clicked, this, &ErrorPage::reloadRequested);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_reload);
    buttons->addWidget(m_goBack);
    buttons->addStretch();
    buttons->addWidget(m_goOn);

    auto *column = new QVBoxLayout;
    column->addWidget(m_icon);
    column->addSpacing(12);
    column->addWidget(m_title);
    column->addSpacing(8);
    column->addWidget(m_text);
    column->addSpacing(4);
    column->addWidget(m_detail);
    column->addSpacing(20);
    column->addLayout(buttons);
    auto *content = new QWidget(this);
    content->setLayout(column);
    // As wide as a column of text reads well, narrower in a narrow pane.
    content->setMaximumWidth(620);
    content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(content, 20);
    row->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 40, 24, 40);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(3);
}

void ErrorPage::setContent(const QString &title, const QString &text, const QString &detail,
                           QStyle::StandardPixmap icon)
{
    const int size = 48;
    m_icon->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
    m_title->setText(title);
    m_text->setText(text);
    m_detail->setText(detail);
}

void ErrorPage::showCertificateError(const QString &url, const QString &host,
                                     const QString &problem, bool overridable)
{
    m_kind = Kind::CertificateError;
    m_url = url;
    const std::string h = host.toStdString();
    setContent(QString::fromLatin1(corvane::kCertificateErrorTitle),
               problem + QStringLiteral("\n\n")
                   + QString::fromStdString(corvane::certificatePageText(h, overridable)),
               url, QStyle::SP_MessageBoxWarning);
    m_goOn->setText(QString::fromStdString(corvane::certificateGoOnText(h)));
    m_goOn->setVisible(overridable);
    m_goBack->setVisible(true);
    m_reload->setVisible(false);
    m_goBack->setDefault(true);
}

void ErrorPage::showPageStopped(const QString &url, const QString &text)
{
    m_kind = Kind::PageStopped;
    m_url = url;
    setContent(QString::fromLatin1(corvane::kPageStoppedTitle), text, url, QStyle::SP_MessageBoxCritical);
    m_goOn->setVisible(false);
    m_goBack->setVisible(false);
    m_reload->setVisible(true);
    m_reload->setDefault(true);
}

void ErrorPage::showOffline(const QString &url)
{
    m_kind = Kind::Offline;
    m_url = url;
    // Nothing went wrong: the user chose to stay off the network.
    setContent(QString::fromLatin1(corvane::kOfflinePageTitle), QString::fromStdString(corvane::offlinePageText()),
               url, QStyle::SP_MessageBoxInformation);
    m_goOn->setVisible(false);
    m_goBack->setVisible(false);
    m_reload->setVisible(true);
    m_reload->setDefault(true);
}

QString ErrorPage::title() const
{
    return m_title->text();
}

QString ErrorPage::text() const
{
    return m_text->text();
}
