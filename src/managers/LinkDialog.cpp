#include "managers/LinkDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

LinkDialog::LinkDialog(const QString &name, const QString &address, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add/Edit Link"));

    auto *nameLabel = new QLabel(QStringLiteral("Site name:"), this);
    m_name = new QLineEdit(name, this);
    nameLabel->setBuddy(m_name);
    auto *addressLabel = new QLabel(QStringLiteral("Site address:"), this);
    m_address = new QLineEdit(address, this);
    addressLabel->setBuddy(m_address);
    m_address->setMinimumWidth(fontMetrics().averageCharWidth() * 48);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(addressLabel, 1, 0);
    grid->addWidget(m_address, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A new link starts with its name; an edited one with what is there.
    (name.isEmpty() ? m_name : m_address)->setFocus();
}

QString LinkDialog::name() const
{
    return m_name->text();
}

QString LinkDialog::address() const
{
    return m_address->text();
}
