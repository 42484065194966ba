#pragma once

#include <QDialog>
#include <QList>
#include <QWidget>

class CurrentViewPage;
class GeneralPage;
class MessagesPage;
class OptionsHost;
class PathsPage;
class QPushButton;
class QTabWidget;
class SecurityPage;

// One page of the Options sheet. It reads its settings when the sheet is
// made, fills its controls the first time it is shown, and writes only in
// ok(), which the sheet calls only for pages the user has opened.
class OptionsPage : public QWidget
{
    Q_OBJECT
public:
    explicit OptionsPage(OptionsHost &host, QWidget *parent = nullptr);

    bool opened() const { return m_opened; }
    // The first time the page is shown: fills the controls.
    void open();
    // Leaving the page for another one, or OK: false keeps it up.
    virtual bool leave() { return true; }
    virtual void ok() = 0;
    virtual void cancel() {}

protected:
    virtual void initialize() = 0;
    OptionsHost &m_host;

private:
    bool m_opened = false;
};

// "Options": General, Paths, Current View, Messages and Security, opening on
// General. OK applies the opened pages in that order; Cancel writes nothing
// (the Paths page takes back what it wrote on leaving). Whichever way it
// closes, the main window loads its toolbar again.
class OptionsSheet : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsSheet(OptionsHost &host, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    GeneralPage *generalPage() const { return m_general; }
    PathsPage *pathsPage() const { return m_paths; }
    CurrentViewPage *currentViewPage() const { return m_currentView; }
    MessagesPage *messagesPage() const { return m_messages; }
    SecurityPage *securityPage() const { return m_security; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

public Q_SLOTS:
    void accept() override;
    void reject() override;

private:
    void pageChosen(int index);
    void finish(bool applied);

    OptionsHost &m_host;
    QTabWidget *m_tabs = nullptr;
    GeneralPage *m_general = nullptr;
    PathsPage *m_paths = nullptr;
    CurrentViewPage *m_currentView = nullptr;
    MessagesPage *m_messages = nullptr;
    SecurityPage *m_security = nullptr;
    QList<OptionsPage *> m_pages;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    int m_current = 0;
    bool m_turningBack = false;
};
