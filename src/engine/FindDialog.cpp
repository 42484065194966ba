#include "engine/FindDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    m_text = new QLineEdit(this);
    auto *what = new QLabel(QStringLiteral("Fi&nd what:"), this);
    what->setBuddy(m_text);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);

    auto *direction = new QGroupBox(QStringLiteral("Direction"), this);
    m_up = new QRadioButton(QStringLiteral("&Up"), direction);
    m_down = new QRadioButton(QStringLiteral("&Down"), direction);
    m_down->setChecked(true);
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_result = new QLabel(this);

    auto *row = new QHBoxLayout;
    row->addWidget(what);
    row->addWidget(m_text, 1);
    auto *options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(direction);
    auto *left = new QVBoxLayout;
    left->addLayout(row);
    left->addLayout(options);
    left->addWidget(m_result);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_text, &QLineEdit::textChanged, this, [this](const QString &t) {
        m_findNext->setEnabled(!t.isEmpty());
        m_result->clear();
    });
    connect(m_findNext, &QPushButton::clicked, this, [this] {
        if (!m_text->text().isEmpty())
            Q_EMIT findNext(m_text->text(), matchCase(), searchUp());
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

QString FindDialog::text() const
{
    return m_text->text();
}

bool FindDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindDialog::searchUp() const
{
    return m_up->isChecked();
}

void FindDialog::showResult(const QString &text, int matches)
{
    if (text != m_text->text())
        return; // the user typed on meanwhile
    m_result->setText(matches > 0 ? QString()
                                  : QStringLiteral("Cannot find \"%1\".").arg(text));
}

QString FindDialog::resultText() const
{
    return m_result->text();
}
