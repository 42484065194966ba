#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Add Workspace", and "Rename Workspace" when it renames one: the name for
// the Workspace Manager, taken as typed (the manager's rules judge it).
class AddWorkspaceDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Add, Rename };

    // oldName: the name being renamed (the edit starts with it).
    explicit AddWorkspaceDialog(Mode mode, const QString &oldName = QString(), QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    QString name() const;

    QLineEdit *nameEdit() const { return m_name; }
    QPushButton *okButton() const { return m_ok; }

private:
    Mode m_mode;
    QLineEdit *m_name = nullptr;
    QPushButton *m_ok = nullptr;
};
