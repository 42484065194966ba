#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// The login question a site or proxy asks through the page: a modal dialog
// in the look of the program's message boxes (the question icon, the title,
// the text naming the host and the realm), a user name and a password. Log
// In stays disabled while the user name is empty, so nothing empty is sent
// on the user's behalf.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    LoginDialog(const QString &title, const QString &text, const QString &user,
                QWidget *parent = nullptr);

    QLineEdit *userEdit() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_password; }
    QDialogButtonBox *buttons() const { return m_buttons; }
    QString text() const;
    // Only with a user name.
    void accept() override;

private:
    void updateLogIn();

    QLabel *m_text = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};

struct LoginAnswer
{
    QString user;
    QString password;
};

// Asks with a LoginDialog; nothing when the user cancels, when parent goes
// while it is up, or once the program is ending (endModalQuestions).
std::optional<LoginAnswer> corvaneLoginDialog(QWidget *parent, const QString &title,
                                              const QString &text, const QString &user);

// Answers the login questions in place of the user while set (tests); an
// empty hook brings the real dialog back.
using LoginDialogHook = std::function<std::optional<LoginAnswer>(
    QWidget *parent, const QString &title, const QString &text, const QString &user)>;
void setLoginDialogHook(LoginDialogHook hook);
