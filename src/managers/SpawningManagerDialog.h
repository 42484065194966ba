#pragma once

#include "core/SpawningManagerModel.h"
#include "ui/ResizeDialog.h"

class ListBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsStore;

// The Window Spawning Manager: the popup filter's word list and the
// sallyport, one shown at a time, each with the switch that puts it in play.
// The rules are SpawningManagerModel's; the dialog shows them. Nothing is
// stored before OK. Resizable; its size is kept under "Spawning".
class SpawningManagerDialog : public ResizeDialog
{
    Q_OBJECT
public:
    explicit SpawningManagerDialog(SettingsStore &settings, QWidget *parent = nullptr);

    const corvane::SpawningManagerModel &model() const { return m_model; }

    QComboBox *categoryBox() const { return m_category; }
    QLabel *descriptionLabel() const { return m_description; }
    QLabel *editLabel() const { return m_editLabel; }
    QLineEdit *entryEdit() const { return m_entry; }
    QPushButton *addButton() const { return m_add; }
    QLabel *listLabel() const { return m_listLabel; }
    ListBox *listBox() const { return m_list; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *resetButton() const { return m_reset; }
    QCheckBox *switchBox() const { return m_switch; }
    QGroupBox *settingsBox() const { return m_settingsBox; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

public Q_SLOTS:
    void accept() override;
    void addEntry();
    void removeEntry();
    void resetList();

private:
    void chooseCategory(int index);
    void switchClicked(bool on);
    // The texts, the list and what is enabled, from the model.
    void showModel();
    void enableListControls();

    SettingsStore &m_settings;
    corvane::SpawningManagerModel m_model;
    QComboBox *m_category = nullptr;
    QGroupBox *m_settingsBox = nullptr;
    QLabel *m_description = nullptr;
    QLabel *m_editLabel = nullptr;
    QLineEdit *m_entry = nullptr;
    QPushButton *m_add = nullptr;
    QLabel *m_listLabel = nullptr;
    ListBox *m_list = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_reset = nullptr;
    QCheckBox *m_switch = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
