#pragma once

#include "core/OptionsPages.h"
#include "managers/OptionsSheet.h"

class QLineEdit;
class QPushButton;

// "Paths": the home page (with "Default" and "Blank"), the search and mail
// addresses and the log file (">>" picks its folder). Leaving the page
// stores the log file at once; Cancel takes that back. OK checks that the
// log file can be written and stores the four.
class PathsPage : public OptionsPage
{
    Q_OBJECT
public:
    explicit PathsPage(OptionsHost &host, QWidget *parent = nullptr);

    QLineEdit *homeEdit() const { return m_home; }
    QLineEdit *searchEdit() const { return m_search; }
    QLineEdit *mailEdit() const { return m_mail; }
    QLineEdit *logEdit() const { return m_log; }
    QPushButton *defaultButton() const { return m_default; }
    QPushButton *blankButton() const { return m_blank; }
    QPushButton *folderButton() const { return m_folder; }

    bool leave() override;
    void ok() override;
    void cancel() override;

public Q_SLOTS:
    // ">>": the log file goes into a chosen folder.
    void chooseLogFolder();

protected:
    void initialize() override;

private:
    corvane::PathsPageValues values() const;

    corvane::PathsPageValues m_start;
    bool m_logFileWritten = false;
    QLineEdit *m_home = nullptr;
    QLineEdit *m_search = nullptr;
    QLineEdit *m_mail = nullptr;
    QLineEdit *m_log = nullptr;
    QPushButton *m_default = nullptr;
    QPushButton *m_blank = nullptr;
    QPushButton *m_folder = nullptr;
};
