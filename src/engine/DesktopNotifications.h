#pragma once

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>

class QSystemTrayIcon;
class QWebEngineNotification;
class QWebEngineProfile;

// The pages' notifications (the Notification API of a site the user allowed
// to show them), shown by the desktop: the freedesktop notification service
// on the session bus, or, without one, a message of a tray icon of our own
// where the desktop has a tray. Clicking the desktop's notification tells
// the page, and so does its closing.
class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    // Makes the one presenter of the profile's notifications.
    static void install(QWebEngineProfile *profile);
    static DesktopNotifications *instance();

    // Takes the notifications in place of the desktop while set (tests).
    using Hook = std::function<void(const QWebEngineNotification &notification)>;
    static void setHook(Hook hook);

    void present(std::unique_ptr<QWebEngineNotification> notification);

private:
    explicit DesktopNotifications(QObject *parent);
    bool showOnBus(QWebEngineNotification *notification, quint32 replaces, quint32 *id);
    void showInTray(QWebEngineNotification *notification);
    void onActionInvoked(quint32 id, const QString &action);
    void onClosed(quint32 id, quint32 reason);

    // Shown on the bus, by the service's id.
    QHash<quint32, std::shared_ptr<QWebEngineNotification>> m_shown;
    QSystemTrayIcon *m_tray = nullptr;
    std::shared_ptr<QWebEngineNotification> m_trayShown;
    bool m_busChecked = false;
    bool m_busAvailable = false;
};
