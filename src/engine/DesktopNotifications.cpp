#include "engine/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <QWebEngineNotification>
#include <QWebEngineProfile>

namespace {

const char *const kService = "org.freedesktop.Notifications";
const char *const kPath = "/org/freedesktop/Notifications";
const char *const kInterface = "org.freedesktop.Notifications";
// The action a click on the notification itself invokes.
const char *const kDefaultAction = "default";

QPointer<DesktopNotifications> g_instance;

DesktopNotifications::Hook &hook()
{
    static DesktopNotifications::Hook h;
    return h;
}

// Who sent it: the site's host, as the notification's last line.
QString originText(const QWebEngineNotification &n)
{
    const QUrl origin = n.origin();
    return origin.port() > 0 ? QStringLiteral("%1:%2").arg(origin.host()).arg(origin.port())
                             : origin.host();
}

} // namespace

DesktopNotifications::DesktopNotifications(QObject *parent) : QObject(parent) {}

DesktopNotifications *DesktopNotifications::instance()
{
    if (!g_instance)
        g_instance = new DesktopNotifications(QCoreApplication::instance());
    return g_instance;
}

void DesktopNotifications::install(QWebEngineProfile *profile)
{
    profile->setNotificationPresenter([](std::unique_ptr<QWebEngineNotification> notification) {
        instance()->present(std::move(notification));
    });
}

void DesktopNotifications::setHook(Hook h)
{
    hook() = std::move(h);
}

void DesktopNotifications::present(std::unique_ptr<QWebEngineNotification> notification)
{
    if (!notification)
        return;
    if (hook()) {
        hook()(*notification);
        notification->show();
        return;
    }
    // A notification with the tag of one still shown takes its place.
    quint32 replaces = 0;
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it) {
        if (it.value()->matches(notification.get())) {
            replaces = it.key();
            break;
        }
    }
    std::shared_ptr<QWebEngineNotification> shown(notification.release());
    quint32 id = 0;
    if (showOnBus(shown.get(), replaces, &id)) {
        if (replaces && replaces != id)
            m_shown.remove(replaces);
        m_shown.insert(id, shown);
        // The page closes it (notification.close()): the desktop's goes too.
        connect(shown.get(), &QWebEngineNotification::closed, this, [this, id] {
            const auto it = m_shown.find(id);
            if (it == m_shown.end())
                return;
            // Released once its own signal is over.
            QTimer::singleShot(0, this, [kept = it.value()] {});
            m_shown.erase(it);
            QDBusMessage close = QDBusMessage::createMethodCall(
                QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                QStringLiteral("CloseNotification"));
            close << id;
            QDBusConnection::sessionBus().call(close, QDBus::NoBlock);
        });
        shown->show();
        return;
    }
    showInTray(shown.get());
    m_trayShown = shown;
    shown->show();
}

bool DesktopNotifications::showOnBus(QWebEngineNotification *notification, quint32 replaces,
                                     quint32 *id)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_busChecked) {
        m_busChecked = true;
        m_busAvailable = bus.isConnected() && bus.interface()
                         && bus.interface()->isServiceRegistered(QLatin1String(kService));
        if (m_busAvailable) {
            bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                        QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(quint32, QString)));
            bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                        QStringLiteral("NotificationClosed"), this,
                        SLOT(onClosed(quint32, quint32)));
        }
    }
    if (!m_busAvailable)
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface),
                                                       QStringLiteral("Notify"));
    const QString body = notification->message().toHtmlEscaped() + QStringLiteral("\n")
                         + originText(*notification).toHtmlEscaped();
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName());
    call << QCoreApplication::applicationName() << replaces << QStringLiteral("corvane")
         << notification->title() << body
         << QStringList{QLatin1String(kDefaultAction), QStringLiteral("Open")} << hints
         << qint32(-1);
    // A short wait: the service answers at once, or is not there.
    const QDBusReply<quint32> reply = bus.call(call, QDBus::Block, 2000);
    if (!reply.isValid()) {
        m_busAvailable = false;
        return false;
    }
    *id = reply.value();
    return true;
}

void DesktopNotifications::showInTray(QWebEngineNotification *notification)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/corvane.svg")), this);
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
            if (m_trayShown)
                m_trayShown->click();
            m_trayShown.reset();
            m_tray->hide();
        });
    }
    m_tray->show();
    const QImage icon = notification->icon();
    m_tray->showMessage(notification->title(),
                        notification->message() + QStringLiteral("\n") + originText(*notification),
                        icon.isNull() ? m_tray->icon() : QIcon(QPixmap::fromImage(icon)));
}

void DesktopNotifications::onActionInvoked(quint32 id, const QString &action)
{
    const auto it = m_shown.constFind(id);
    if (it != m_shown.constEnd() && action == QLatin1String(kDefaultAction))
        it.value()->click();
}

void DesktopNotifications::onClosed(quint32 id, quint32 /*reason*/)
{
    const auto it = m_shown.find(id);
    if (it == m_shown.end())
        return;
    const std::shared_ptr<QWebEngineNotification> closed = it.value();
    m_shown.erase(it);
    QObject::disconnect(closed.get(), nullptr, this, nullptr);
    closed->close();
}
