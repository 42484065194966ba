#pragma once

#include "core/OptionsPages.h"
#include "managers/OptionsSheet.h"

#include <array>

class QCheckBox;

// "Messages": which notices and confirmations the program shows.
class MessagesPage : public OptionsPage
{
    Q_OBJECT
public:
    explicit MessagesPage(OptionsHost &host, QWidget *parent = nullptr);

    QCheckBox *box(corvane::MessageItem item) const { return m_boxes[std::size_t(item)]; }

    void ok() override;

protected:
    void initialize() override;

private:
    corvane::MessagesPageValues m_values;
    std::array<QCheckBox *, corvane::kMessageItemCount> m_boxes{};
};
