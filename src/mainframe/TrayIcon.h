#pragma once

#include <QObject>

#include <optional>

class QSystemTrayIcon;

// The icon in the desktop's notification area while the main window hides
// there: the program's icon with the tip "Corvane". A left click reports
// clicked(). Where the desktop has no notification area nothing can be
// shown, and available() says so: the window then minimises as usual,
// since a hidden window without an icon could not be brought back.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop has a notification area.
    static bool available();
    // Tests stand in for a desktop with (true) or without (false) one;
    // nothing goes back to asking the desktop.
    static void setAvailableOverride(std::optional<bool> available);

    void add();
    void remove();
    bool isShown() const { return m_shown; }

Q_SIGNALS:
    // The left button was released on the icon.
    void clicked();

private:
    QSystemTrayIcon *m_icon = nullptr;
    bool m_shown = false;
};
