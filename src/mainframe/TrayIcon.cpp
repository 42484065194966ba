#include "mainframe/TrayIcon.h"

#include "mainframe/Icons.h"

#include <QSystemTrayIcon>

namespace {
std::optional<bool> g_availableOverride;
} // namespace

TrayIcon::TrayIcon(QObject *parent) : QObject(parent) {}

TrayIcon::~TrayIcon()
{
    remove();
}

bool TrayIcon::available()
{
    if (g_availableOverride)
        return *g_availableOverride;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setAvailableOverride(std::optional<bool> available)
{
    g_availableOverride = available;
}

void TrayIcon::add()
{
    if (m_shown)
        return;
    m_icon = new QSystemTrayIcon(corvane::icons::appIcon(), this);
    m_icon->setToolTip(QStringLiteral("Corvane"));
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Q_EMIT clicked();
    });
    m_icon->show();
    m_shown = true;
}

void TrayIcon::remove()
{
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon->deleteLater();
    m_icon = nullptr;
    m_shown = false;
}
