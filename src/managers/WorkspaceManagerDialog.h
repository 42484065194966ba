#pragma once

#include "core/Workspace.h"
#include "core/WorkspaceManagerModel.h"
#include "ui/ResizeDialog.h"

#include <optional>

class ListBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidgetItem;
class QPushButton;
class SettingsStore;

// The Workspace Manager (174): the current state saved under a name, at most
// one workspace marked to load at start-up (none while "Automatically save
// workspace on exit" is on), a workspace chosen to load now, and Remove,
// Rename, Replace and Reset. The rules are WorkspaceManagerModel's; the
// dialog shows them. OK stores the workspaces and AutoSave and hands back
// the chosen workspace for the main window to load once the dialog has
// closed; Cancel stores and loads nothing. Resizable; its size is kept
// under "Workspaces".
class WorkspaceManagerDialog : public ResizeDialog
{
    Q_OBJECT
public:
    // capture: the state of the windows as the dialog opens.
    WorkspaceManagerDialog(SettingsStore &settings, const corvane::Workspace &capture,
                           QWidget *parent = nullptr);

    const corvane::WorkspaceManagerModel &model() const { return m_model; }
    // After OK: the workspace to load, if one was chosen.
    const std::optional<corvane::Workspace> &workspaceToLoad() const { return m_toLoad; }

    ListBox *listBox() const { return m_list; }
    QCheckBox *autoSaveBox() const { return m_autoSave; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *renameButton() const { return m_rename; }
    QPushButton *replaceButton() const { return m_replace; }
    QPushButton *resetButton() const { return m_reset; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *hintLabel() const { return m_hint; }

public Q_SLOTS:
    void accept() override;
    void addWorkspace();
    void removeWorkspace();
    void renameWorkspace();
    void replaceWorkspace();
    void resetWorkspaces();

private:
    // The list, its checks, the selection and AutoSave from the model.
    void showModel();
    void itemChanged(QListWidgetItem *item);
    void selectionChanged();
    void autoSaveClicked(bool on);
    bool showRefusal(const std::optional<corvane::UserMessage> &refusal);

    SettingsStore &m_settings;
    corvane::WorkspaceManagerModel m_model;
    std::optional<corvane::Workspace> m_toLoad;
    bool m_showing = false;
    QGroupBox *m_newBox = nullptr;
    QGroupBox *m_existingBox = nullptr;
    QPushButton *m_add = nullptr;
    QCheckBox *m_autoSave = nullptr;
    ListBox *m_list = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_rename = nullptr;
    QPushButton *m_replace = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
