#pragma once

#include "core/OptionsPages.h"
#include "managers/OptionsSheet.h"

#include <QLineEdit>

class QComboBox;
class QGroupBox;
class QLabel;

// A password edit that can stand for the stored password without holding
// it: it then shows a fixed placeholder, and the first edit replaces the
// whole placeholder with what was typed.
class SecretEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit SecretEdit(QWidget *parent = nullptr);
    void showStoredPlaceholder();
    bool showsStoredPlaceholder() const { return m_placeholder; }
    corvane::PasswordField field() const;

private:
    bool m_placeholder = false;
};

// "Security": minimise to the taskbar or the tray, and the password asked
// before the window comes back from the tray. The store never hands out the
// password: while one is stored both edits show a placeholder, and leaving
// them so keeps it.
class SecurityPage : public OptionsPage
{
    Q_OBJECT
public:
    explicit SecurityPage(OptionsHost &host, QWidget *parent = nullptr);

    QComboBox *minimizeBox() const { return m_minimize; }
    SecretEdit *passwordEdit() const { return m_password; }
    SecretEdit *confirmationEdit() const { return m_confirmation; }
    // Says why "Minimize to:" is greyed where the desktop has no tray.
    QLabel *noTrayLabel() const { return m_noTray; }

    void ok() override;

protected:
    void initialize() override;

private:
    bool trayChosen() const;
    void enableEdits();

    QComboBox *m_minimize = nullptr;
    QGroupBox *m_group = nullptr;
    SecretEdit *m_password = nullptr;
    SecretEdit *m_confirmation = nullptr;
    QLabel *m_noTray = nullptr;
};
