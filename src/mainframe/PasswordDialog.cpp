#include "mainframe/PasswordDialog.h"

#include "core/Password.h"
#include "core/SettingsStore.h"
#include "mainframe/Icons.h"
#include "ui/MessageBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(SettingsStore &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("Password"));
    setWindowIcon(corvane::icons::appIcon());

    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/password.svg")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto *label = new QLabel(QStringLiteral("&Password:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setMinimumWidth(180);
    label->setBuddy(m_edit);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::accept);

    auto *fields = new QVBoxLayout;
    fields->addWidget(label);
    fields->addWidget(m_edit);
    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(8);
    row->addLayout(fields, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PasswordDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The main window is hidden: the dialog comes to the front on its own.
    raise();
    activateWindow();
    m_edit->setFocus();
}

void PasswordDialog::accept()
{
    // Compared as typed: no trimming, letter case counts.
    m_authenticated = m_settings.checkPassword(m_edit->text().toStdString());
    if (!m_authenticated)
        showUserMessage(this, corvane::authenticationFailedMessage());
    QDialog::accept();
}
