#include "app/DefaultBrowserDialog.h"

#include "core/DesktopRegistration.h"
#include "mainframe/Icons.h"
#include "ui/ModalQuestions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
DefaultBrowserDialog::Hook &hook()
{
    static DefaultBrowserDialog::Hook h;
    return h;
}
} // namespace

DefaultBrowserDialog::DefaultBrowserDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(corvane::kDefaultBrowserTitle));

    auto *icon = new QLabel(this);
    icon->setPixmap(corvane::icons::appIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto *text = new QLabel(QString::fromUtf8(corvane::kDefaultBrowserQuestion), this);
    text->setWordWrap(false);
    m_dontAsk = new QCheckBox(QString::fromUtf8(corvane::kDontAskAgain), this);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *yes = buttons->addButton(QDialogButtonBox::Yes);
    QPushButton *no = buttons->addButton(QDialogButtonBox::No);
    yes->setAutoDefault(false);
    no->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    auto *texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addSpacing(8);
    texts->addWidget(m_dontAsk);
    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(10);
    row->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    no->setFocus();
}

bool DefaultBrowserDialog::dontAskAgain() const
{
    return m_dontAsk->isChecked();
}

DefaultBrowserDialog::Answer DefaultBrowserDialog::ask(QWidget *parent)
{
    if (hook())
        return hook()(parent);
    if (modalQuestionsEnded())
        return {};
    QPointer<DefaultBrowserDialog> dialog = new DefaultBrowserDialog(parent);
    const bool yes = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return {};
    const Answer answer{yes, dialog->dontAskAgain()};
    delete dialog;
    return answer;
}

void DefaultBrowserDialog::setHook(Hook h)
{
    hook() = std::move(h);
}
