#include "managers/SpawningManagerDialog.h"

#include "core/DialogAnchors.h"
#include "core/SettingsStore.h"
#include "core/StoredText.h"
#include "ui/ListBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvane::SpawningManagerModel;

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QStringList toQStringList(const std::vector<std::string> &items)
{
    QStringList list;
    list.reserve(qsizetype(items.size()));
    for (const std::string &item : items)
        list.append(QString::fromStdString(item));
    return list;
}

// The lists and switches as stored, read afresh for this run of the dialog.
SpawningManagerModel storedModel(const SettingsStore &settings)
{
    return SpawningManagerModel(corvane::decodeStoredTexts(settings.loadFilter()),
                                corvane::decodeStoredTexts(settings.loadSallyport()),
                                settings.spawningFilter() != 0, settings.spawningSallyport() != 0,
                                settings.spawning() != 0);
}

// The space the group box's frame keeps around what it holds.
constexpr int kInset = 10;

} // namespace

SpawningManagerDialog::SpawningManagerDialog(SettingsStore &settings, QWidget *parent)
    : ResizeDialog(parent), m_settings(settings), m_model(storedModel(settings))
{
    setWindowTitle(QStringLiteral("Window Spawning Manager"));

    // The group box first, so that it lies behind the controls it frames.
    m_settingsBox = new QGroupBox(QStringLiteral("Settings"), this);
    auto *categoryLabel = new QLabel(QStringLiteral("Category:"), this);
    m_category = new QComboBox(this);
    for (const SpawningManagerModel::Category c : SpawningManagerModel::kCategories)
        m_category->addItem(fromUtf8(SpawningManagerModel::texts(c).category));
    categoryLabel->setBuddy(m_category);
    m_description = new QLabel(this);
    m_editLabel = new QLabel(this);
    m_entry = new QLineEdit(this);
    m_editLabel->setBuddy(m_entry);
    m_add = new QPushButton(QStringLiteral("Add"), this);
    m_listLabel = new QLabel(this);
    m_list = new ListBox(corvane::kSpawningListExtentOffset, this);
    m_listLabel->setBuddy(m_list);
    m_remove = new QPushButton(QStringLiteral("Remove"), this);
    m_reset = new QPushButton(QStringLiteral("Reset"), this);
    m_switch = new QCheckBox(this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // Enter in the edit adds the entry.
    m_add->setDefault(true);
    for (QPushButton *b : {m_remove, m_reset, m_ok, m_cancel})
        b->setAutoDefault(false);

    // Rows: the category; inside the group box the description, the edit,
    // the list with its buttons and the switch; then OK and Cancel.
    auto *grid = new QGridLayout;
    auto *categoryRow = new QHBoxLayout;
    categoryRow->addWidget(categoryLabel);
    categoryRow->addWidget(m_category);
    categoryRow->addStretch();
    grid->addLayout(categoryRow, 0, 0, 1, 4);
    grid->addWidget(m_settingsBox, 1, 0, 10, 4);
    grid->setRowMinimumHeight(1, fontMetrics().height() + kInset);
    grid->setColumnMinimumWidth(0, kInset);
    grid->setColumnMinimumWidth(3, kInset);
    grid->addWidget(m_description, 2, 1, 1, 2);
    grid->addWidget(m_editLabel, 3, 1);
    grid->addWidget(m_entry, 4, 1);
    grid->addWidget(m_add, 4, 2);
    grid->addWidget(m_listLabel, 5, 1);
    grid->addWidget(m_list, 6, 1, 3, 1);
    grid->addWidget(m_remove, 6, 2);
    grid->addWidget(m_reset, 7, 2);
    grid->setRowStretch(8, 1);
    grid->addWidget(m_switch, 9, 1, 1, 2);
    grid->setRowMinimumHeight(10, kInset / 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 11, 0, 1, 4);
    // The longer of the two descriptions decides the width.
    QString widest;
    for (const SpawningManagerModel::Category c : SpawningManagerModel::kCategories) {
        const QString text = fromUtf8(SpawningManagerModel::texts(c).checkBox);
        const QString description = fromUtf8(SpawningManagerModel::texts(c).description);
        for (const QString &t : {text, description})
            if (fontMetrics().horizontalAdvance(t) > fontMetrics().horizontalAdvance(widest))
                widest = t;
    }
    showModel();
    setStartLayout(grid, QSize(fontMetrics().horizontalAdvance(widest) + 8 * kInset,
                               fontMetrics().height() * 22));

    using corvane::kAnchorBottomLeft;
    using corvane::kAnchorBottomRight;
    using corvane::kAnchorTopLeft;
    using corvane::kAnchorTopRight;
    addAnchor(m_settingsBox, kAnchorTopLeft, kAnchorBottomRight);
    addAnchor(m_list, kAnchorTopLeft, kAnchorBottomRight);
    addAnchor(m_description, kAnchorTopLeft, kAnchorTopRight);
    addAnchor(m_entry, kAnchorTopLeft, kAnchorTopRight);
    addAnchor(m_add, kAnchorTopRight);
    addAnchor(m_remove, kAnchorTopRight);
    addAnchor(m_reset, kAnchorTopRight);
    addAnchor(m_switch, kAnchorBottomLeft);
    addAnchor(m_ok, kAnchorBottomRight);
    addAnchor(m_cancel, kAnchorBottomRight);
    enableSaveRestore(settings, QStringLiteral("Spawning"));

    connect(m_category, &QComboBox::currentIndexChanged, this, &SpawningManagerDialog::chooseCategory);
    connect(m_switch, &QCheckBox::clicked, this, &SpawningManagerDialog::switchClicked);
    connect(m_add, &QPushButton::clicked, this, &SpawningManagerDialog::addEntry);
    connect(m_remove, &QPushButton::clicked, this, &SpawningManagerDialog::removeEntry);
    connect(m_reset, &QPushButton::clicked, this, &SpawningManagerDialog::resetList);
    connect(m_ok, &QPushButton::clicked, this, &SpawningManagerDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &SpawningManagerDialog::reject);
}

void SpawningManagerDialog::showModel()
{
    const SpawningManagerModel::Texts &texts = m_model.currentTexts();
    {
        const QSignalBlocker quiet(m_category);
        m_category->setCurrentIndex(m_model.category() == SpawningManagerModel::Category::Filter ? 0 : 1);
    }
    m_description->setText(fromUtf8(texts.description));
    m_editLabel->setText(fromUtf8(texts.editLabel));
    m_listLabel->setText(fromUtf8(texts.listLabel));
    m_switch->setText(fromUtf8(texts.checkBox));
    m_list->setItems(toQStringList(m_model.items()));
    m_switch->setChecked(m_model.checked());
    m_switch->setEnabled(m_model.checkBoxEnabled());
    enableListControls();
}

void SpawningManagerDialog::enableListControls()
{
    const bool on = m_model.listEnabled();
    for (QWidget *w : {static_cast<QWidget *>(m_entry), static_cast<QWidget *>(m_add),
                       static_cast<QWidget *>(m_list), static_cast<QWidget *>(m_remove),
                       static_cast<QWidget *>(m_reset)})
        w->setEnabled(on);
}

void SpawningManagerDialog::chooseCategory(int index)
{
    m_model.selectCategory(SpawningManagerModel::kCategories[index == 1 ? 1 : 0]);
    showModel();
}

void SpawningManagerDialog::switchClicked(bool on)
{
    m_model.setChecked(on);
    enableListControls();
}

void SpawningManagerDialog::addEntry()
{
    if (!m_model.add(m_entry->text().toStdString()))
        return;
    m_entry->clear();
    m_list->setItems(toQStringList(m_model.items()));
}

void SpawningManagerDialog::removeEntry()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    m_model.remove(m_list->row(selected.first()));
    m_list->setItems(toQStringList(m_model.items()));
}

void SpawningManagerDialog::resetList()
{
    m_model.reset();
    m_list->setItems({});
}

void SpawningManagerDialog::accept()
{
    const SpawningManagerModel::Result result = m_model.ok();
    m_settings.setSpawningFilter(result.filterOn ? 1 : 0);
    m_settings.storeFilter(corvane::encodeStoredTexts(result.filter));
    m_settings.setSpawningSallyport(result.sallyportOn ? 1 : 0);
    m_settings.storeSallyport(corvane::encodeStoredTexts(result.sallyport));
    ResizeDialog::accept();
}
