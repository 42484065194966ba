#include "ui/LoginDialog.h"

#include "core/PageRequests.h"
#include "ui/ModalQuestions.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
LoginDialogHook &hook()
{
    static LoginDialogHook h;
    return h;
}
} // namespace

void setLoginDialogHook(LoginDialogHook h)
{
    hook() = std::move(h);
}

LoginDialog::LoginDialog(const QString &title, const QString &text, const QString &user,
                         QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);

    // The message boxes' look: the icon on the left, the text beside it.
    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    m_text = new QLabel(text, this);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setTextFormat(Qt::PlainText);

    m_user = new QLineEdit(user, this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&User name:"), m_user);
    form->addRow(QStringLiteral("&Password:"), m_password);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QString::fromLatin1(corvane::kLoginButtonText));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &LoginDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_user, &QLineEdit::textChanged, this, &LoginDialog::updateLogIn);

    auto *right = new QVBoxLayout;
    right->addWidget(m_text);
    right->addSpacing(8);
    right->addLayout(form);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_buttons);
    setMinimumWidth(380);
    updateLogIn();
    // With the name filled in (asked again), the password is what to type.
    (user.isEmpty() ? m_user : m_password)->setFocus();
}

QString LoginDialog::text() const
{
    return m_text->text();
}

void LoginDialog::accept()
{
    if (corvane::isUsableLogin(m_user->text().toStdString()))
        QDialog::accept();
}

void LoginDialog::updateLogIn()
{
    m_buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(corvane::isUsableLogin(m_user->text().toStdString()));
}

std::optional<LoginAnswer> corvaneLoginDialog(QWidget *parent, const QString &title,
                                              const QString &text, const QString &user)
{
    if (hook())
        return hook()(parent, title, text, user);
    if (modalQuestionsEnded())
        return std::nullopt;
    // The parent may go while the dialog is up: the dialog goes with it.
    const QPointer<LoginDialog> dialog = new LoginDialog(title, text, user, parent);
    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;
    std::optional<LoginAnswer> answer;
    if (result == QDialog::Accepted)
        answer = LoginAnswer{dialog->userEdit()->text(), dialog->passwordEdit()->text()};
    delete dialog;
    return answer;
}
