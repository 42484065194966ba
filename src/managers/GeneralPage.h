#pragma once

#include "core/OptionsPages.h"
#include "managers/OptionsSheet.h"

class QCheckBox;
class QListWidget;

// "General": thirteen switches in a check list and the window tabs' style.
// OK writes them and applies what they change at once: the timer, always on
// top, the address history, the IE menu, the tabs' style, the
// default-browser question and the menu style's notice.
class GeneralPage : public OptionsPage
{
    Q_OBJECT
public:
    explicit GeneralPage(OptionsHost &host, QWidget *parent = nullptr);

    QListWidget *checkList() const { return m_list; }
    QCheckBox *bottomBox() const { return m_bottom; }
    QCheckBox *buttonsBox() const { return m_buttons; }
    QCheckBox *stackedBox() const { return m_stacked; }

    void ok() override;

protected:
    void initialize() override;

private:
    corvane::GeneralPageValues values() const;

    corvane::GeneralPageValues m_initial;
    QListWidget *m_list = nullptr;
    QCheckBox *m_bottom = nullptr;
    QCheckBox *m_buttons = nullptr;
    QCheckBox *m_stacked = nullptr;
};
