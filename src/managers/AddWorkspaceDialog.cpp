#include "managers/AddWorkspaceDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddWorkspaceDialog::AddWorkspaceDialog(Mode mode, const QString &oldName, QWidget *parent)
    : QDialog(parent), m_mode(mode)
{
    setWindowTitle(mode == Mode::Rename ? QStringLiteral("Rename Workspace") : QStringLiteral("Add Workspace"));

    auto *icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto *label = new QLabel(QStringLiteral("Name:"), this);
    m_name = new QLineEdit(mode == Mode::Rename ? oldName : QString(), this);
    m_name->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
    label->setBuddy(m_name);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto *field = new QVBoxLayout;
    field->addWidget(label);
    field->addWidget(m_name);
    field->addStretch();
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addLayout(field, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_name->selectAll();
    m_name->setFocus();
}

QString AddWorkspaceDialog::name() const
{
    return m_name->text();
}
