#include "mainframe/AddFavoriteDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddFavoriteDialog::AddFavoriteDialog(const QString &name, const QString &address, const QString &folder,
                                     QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add Favorite"));
    auto *intro = new QLabel(QStringLiteral("Corvane will add this page to your Favorites in %1.")
                                 .arg(QDir::toNativeSeparators(folder)),
                             this);
    intro->setWordWrap(true);
    m_name = new QLineEdit(name, this);
    m_address = new QLineEdit(address, this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Address:"), m_address);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_address, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_ok->setEnabled(!text.trimmed().isEmpty()); });
    m_ok->setEnabled(!address.trimmed().isEmpty());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(460, sizeHint().height());
    m_name->selectAll();
    m_name->setFocus();
}

QString AddFavoriteDialog::name() const
{
    return m_name->text().trimmed();
}

QString AddFavoriteDialog::address() const
{
    return m_address->text().trimmed();
}
