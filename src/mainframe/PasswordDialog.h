#pragma once

#include <QDialog>

class QLineEdit;
class SettingsStore;

// "Password": asks for the password before the main window comes back from
// the tray. OK checks the typed text against the stored password (letter
// case counts); a wrong one is refused with a message. Either way OK closes
// the dialog: the user clicks the tray icon again to retry. There is no
// Cancel button; Esc cancels.
class PasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordDialog(SettingsStore &settings, QWidget *parent = nullptr);

    // Whether OK found the right password.
    bool authenticated() const { return m_authenticated; }
    QLineEdit *passwordEdit() const { return m_edit; }

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    SettingsStore &m_settings;
    QLineEdit *m_edit = nullptr;
    bool m_authenticated = false;
};
