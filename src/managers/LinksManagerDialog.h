#pragma once

#include "core/Links.h"
#include "ui/ResizeDialog.h"

#include <QString>

class ListBox;
class QPushButton;
class SettingsStore;

// The Links Manager: the user's named links, edited on a fresh copy of the
// stored list (LinkList holds the rules), exchanged as .lks links files, and
// the way to open a link: OK stores the whole list and hands back the
// address of the chosen link for the window the manager was opened for.
// Cancel stores nothing. Resizable; its size is kept under "Links".
class LinksManagerDialog : public ResizeDialog
{
    Q_OBJECT
public:
    // currentAddress: the page of the window the manager opens for; Add
    // starts with it.
    LinksManagerDialog(SettingsStore &settings, const QString &currentAddress,
                       QWidget *parent = nullptr);

    const corvane::LinkList &links() const { return m_links; }
    // After OK: the address of the chosen link; empty when none was chosen.
    QString chosenAddress() const { return m_chosen; }
    // The name shown selected in the list; empty for none.
    QString selectedName() const;

    ListBox *listBox() const { return m_list; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *editButton() const { return m_edit; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *importButton() const { return m_import; }
    QPushButton *exportButton() const { return m_export; }
    QPushButton *resetButton() const { return m_reset; }

public Q_SLOTS:
    void accept() override;
    void editLink();
    void removeLink();
    void importLinks();
    void exportLinks();
    void resetLinks();

private:
    // The list again from the links, keeping the selection when the name is
    // still there.
    void fillList(const QString &select = QString());

    SettingsStore &m_settings;
    corvane::LinkList m_links;
    QString m_currentAddress;
    QString m_chosen;
    ListBox *m_list = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_reset = nullptr;
};
