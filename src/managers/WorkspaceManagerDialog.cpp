#include "managers/WorkspaceManagerDialog.h"

#include "core/DialogAnchors.h"
#include "core/SettingsStore.h"
#include "managers/AddWorkspaceDialog.h"
#include "ui/ListBox.h"
#include "ui/MessageBox.h"
#include "ui/StoredQString.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using corvane::WorkspaceManagerModel;

namespace {

// The space a group box's frame keeps around what it holds.
constexpr int kInset = 10;

} // namespace

WorkspaceManagerDialog::WorkspaceManagerDialog(SettingsStore &settings, const corvane::Workspace &capture,
                                               QWidget *parent)
    : ResizeDialog(parent),
      m_settings(settings),
      m_model(settings.loadWorkspaces(), capture, settings.autoSave() != 0)
{
    setWindowTitle(QStringLiteral("Workspace Manager"));

    // The group boxes first, so that they lie behind the controls they frame.
    m_newBox = new QGroupBox(QStringLiteral("New workspace"), this);
    m_existingBox = new QGroupBox(QStringLiteral("Existing workspaces"), this);
    m_add = new QPushButton(QStringLiteral("Add..."), this);
    m_autoSave = new QCheckBox(QStringLiteral("Automatically save workspace on exit"), this);
    m_list = new ListBox(corvane::kWorkspacesListExtentOffset, this);
    m_hint = new QLabel(QStringLiteral("Enable a workspace to load on startup or select it now for loading."), this);
    m_remove = new QPushButton(QStringLiteral("Remove"), this);
    m_rename = new QPushButton(QStringLiteral("Rename"), this);
    m_replace = new QPushButton(QStringLiteral("Replace"), this);
    m_reset = new QPushButton(QStringLiteral("Reset"), this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_ok->setDefault(true);
    for (QPushButton *b : {m_add, m_remove, m_rename, m_replace, m_reset, m_cancel})
        b->setAutoDefault(false);

    // The new workspace's row, the list with its buttons at the bottom
    // right, the hint under the list, then OK and Cancel.
    auto *grid = new QGridLayout;
    const int title = fontMetrics().height() + kInset;
    grid->addWidget(m_newBox, 0, 0, 3, 5);
    grid->setRowMinimumHeight(0, title);
    grid->setColumnMinimumWidth(0, kInset);
    grid->setColumnMinimumWidth(4, kInset);
    auto *newRow = new QHBoxLayout;
    newRow->addWidget(m_add);
    newRow->addSpacing(3 * kInset);
    newRow->addStretch();
    newRow->addWidget(m_autoSave);
    grid->addLayout(newRow, 1, 1, 1, 3);
    grid->setRowMinimumHeight(2, kInset);
    grid->addWidget(m_existingBox, 3, 0, 9, 5);
    grid->setRowMinimumHeight(3, title);
    grid->addWidget(m_list, 4, 1, 6, 1);
    grid->setRowStretch(4, 1);
    grid->addWidget(m_remove, 6, 3);
    grid->addWidget(m_rename, 7, 3);
    grid->addWidget(m_replace, 8, 3);
    grid->addWidget(m_reset, 9, 3);
    grid->setColumnMinimumWidth(2, kInset / 2);
    grid->addWidget(m_hint, 10, 1, 1, 3);
    grid->setRowMinimumHeight(11, kInset);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 12, 0, 1, 5);
    showModel();
    setStartLayout(grid, QSize(0, fontMetrics().height() * 24));

    using corvane::kAnchorBottomLeft;
    using corvane::kAnchorBottomRight;
    using corvane::kAnchorTopLeft;
    using corvane::kAnchorTopRight;
    for (QPushButton *b : {m_ok, m_cancel, m_remove, m_rename, m_replace, m_reset})
        addAnchor(b, kAnchorBottomRight);
    addAnchor(m_autoSave, kAnchorTopRight);
    addAnchor(m_newBox, kAnchorTopLeft, kAnchorTopRight);
    addAnchor(m_existingBox, kAnchorTopLeft, kAnchorBottomRight);
    addAnchor(m_list, kAnchorTopLeft, kAnchorBottomRight);
    addAnchor(m_hint, kAnchorBottomLeft);
    enableSaveRestore(settings, QStringLiteral("Workspaces"));

    connect(m_list, &QListWidget::itemChanged, this, &WorkspaceManagerDialog::itemChanged);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &WorkspaceManagerDialog::selectionChanged);
    connect(m_autoSave, &QCheckBox::clicked, this, &WorkspaceManagerDialog::autoSaveClicked);
    connect(m_add, &QPushButton::clicked, this, &WorkspaceManagerDialog::addWorkspace);
    connect(m_remove, &QPushButton::clicked, this, &WorkspaceManagerDialog::removeWorkspace);
    connect(m_rename, &QPushButton::clicked, this, &WorkspaceManagerDialog::renameWorkspace);
    connect(m_replace, &QPushButton::clicked, this, &WorkspaceManagerDialog::replaceWorkspace);
    connect(m_reset, &QPushButton::clicked, this, &WorkspaceManagerDialog::resetWorkspaces);
    connect(m_ok, &QPushButton::clicked, this, &WorkspaceManagerDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &WorkspaceManagerDialog::reject);
}

void WorkspaceManagerDialog::showModel()
{
    m_showing = true;
    const std::vector<WorkspaceManagerModel::Item> &items = m_model.items();
    QStringList names;
    names.reserve(qsizetype(items.size()));
    for (const WorkspaceManagerModel::Item &item : items)
        names << corvane::fromStoredText(item.name);
    if (m_list->items() != names)
        m_list->setItems(names);
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem *row = m_list->item(i);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(items[std::size_t(i)].checked ? Qt::Checked : Qt::Unchecked);
    }
    if (m_model.selection() < 0)
        m_list->clearSelection();
    else
        m_list->setCurrentRow(m_model.selection());
    m_autoSave->setChecked(m_model.autoSave());
    m_showing = false;
}

void WorkspaceManagerDialog::itemChanged(QListWidgetItem *item)
{
    if (m_showing)
        return;
    // A click on a check box: not a choice of the workspace to load.
    m_model.setChecked(m_list->row(item), item->checkState() == Qt::Checked);
    showModel();
}

void WorkspaceManagerDialog::selectionChanged()
{
    if (m_showing)
        return;
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    m_model.select(selected.isEmpty() ? -1 : m_list->row(selected.first()));
    showModel();
}

void WorkspaceManagerDialog::autoSaveClicked(bool on)
{
    m_model.setAutoSave(on);
    showModel();
}

bool WorkspaceManagerDialog::showRefusal(const std::optional<corvane::UserMessage> &refusal)
{
    if (!refusal)
        return false;
    showUserMessage(this, *refusal);
    return true;
}

void WorkspaceManagerDialog::addWorkspace()
{
    AddWorkspaceDialog dialog(AddWorkspaceDialog::Mode::Add, QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    showRefusal(m_model.add(corvane::toStoredText(dialog.name())));
    showModel();
}

void WorkspaceManagerDialog::removeWorkspace()
{
    m_model.remove();
    showModel();
}

void WorkspaceManagerDialog::replaceWorkspace()
{
    m_model.replace();
    showModel();
}

void WorkspaceManagerDialog::resetWorkspaces()
{
    m_model.reset();
    showModel();
}

void WorkspaceManagerDialog::renameWorkspace()
{
    if (showRefusal(m_model.renameRefusal()))
        return;
    AddWorkspaceDialog dialog(AddWorkspaceDialog::Mode::Rename,
                              corvane::fromStoredText(m_model.selectedName()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    showRefusal(m_model.rename(corvane::toStoredText(dialog.name())));
    showModel();
}

void WorkspaceManagerDialog::accept()
{
    const WorkspaceManagerModel::Result result = m_model.ok();
    m_settings.storeWorkspaces(result.workspaces);
    m_settings.setAutoSave(result.autoSave ? 1 : 0);
    m_toLoad = result.toLoad;
    ResizeDialog::accept();
}
