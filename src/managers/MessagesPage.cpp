#include "managers/MessagesPage.h"

#include "core/SettingsStore.h"
#include "managers/OptionsHost.h"

#include <QCheckBox>
#include <QVBoxLayout>

MessagesPage::MessagesPage(OptionsHost &host, QWidget *parent)
    : OptionsPage(host, parent), m_values(corvane::readMessagesPage(host.settings()))
{
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < corvane::kMessageItemCount; ++i) {
        m_boxes[std::size_t(i)] = new QCheckBox(QString::fromUtf8(corvane::kMessageItemTexts[std::size_t(i)]), this);
        layout->addWidget(m_boxes[std::size_t(i)]);
    }
    layout->addStretch(1);
}

void MessagesPage::initialize()
{
    const bool cd = m_host.settings().cdSupport() != 0;
    for (int i = 0; i < corvane::kMessageItemCount; ++i) {
        m_boxes[std::size_t(i)]->setChecked(m_values[std::size_t(i)]);
        m_boxes[std::size_t(i)]->setEnabled(corvane::messageItemEnabled(corvane::MessageItem(i), cd));
    }
}

void MessagesPage::ok()
{
    for (int i = 0; i < corvane::kMessageItemCount; ++i)
        m_values[std::size_t(i)] = m_boxes[std::size_t(i)]->isChecked();
    corvane::applyMessagesPage(m_host.settings(), m_values);
}
