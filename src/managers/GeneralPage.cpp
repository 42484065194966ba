#include "managers/GeneralPage.h"

#include "core/SettingsStore.h"
#include "managers/OptionsHost.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

using corvane::GeneralItem;

namespace {
// The check list's usual size, and the air around its items.
constexpr int kListWidth = 330;
constexpr int kListHeight = 260;
constexpr int kListInset = 4;
} // namespace

GeneralPage::GeneralPage(OptionsHost &host, QWidget *parent)
    : OptionsPage(host, parent), m_initial(corvane::readGeneralPage(host.settings()))
{
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setSortingEnabled(false);
    m_list->setMinimumSize(kListWidth, kListHeight);

    auto *tabs = new QGroupBox(QStringLiteral("Window tabs"), this);
    m_bottom = new QCheckBox(QStringLiteral("Bottom"), tabs);
    m_buttons = new QCheckBox(QStringLiteral("Buttons"), tabs);
    m_stacked = new QCheckBox(QStringLiteral("Stacked"), tabs);
    auto *tabsLayout = new QHBoxLayout(tabs);
    tabsLayout->addWidget(m_bottom);
    tabsLayout->addWidget(m_buttons);
    tabsLayout->addWidget(m_stacked);
    tabsLayout->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(tabs);
}

void GeneralPage::initialize()
{
    const SettingsStore &s = m_host.settings();
    const corvane::GeneralPageContext context{m_host.activeView() != nullptr, s.spawning() != 0, s.cdSupport() != 0};
    for (int i = 0; i < corvane::kGeneralItemCount; ++i) {
        auto *item = new QListWidgetItem(QString::fromUtf8(corvane::kGeneralItemTexts[std::size_t(i)]), m_list);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
        if (corvane::generalItemEnabled(GeneralItem(i), context))
            flags |= Qt::ItemIsEnabled;
        item->setFlags(flags);
        item->setCheckState(m_initial.items[std::size_t(i)] ? Qt::Checked : Qt::Unchecked);
    }
    // As large as the items need in the font in use (a larger desktop font
    // would hide some behind a scroll bar), never below the usual size.
    int rowsHeight = 0;
    for (int i = 0; i < m_list->count(); ++i)
        rowsHeight += m_list->sizeHintForRow(i);
    const int frame = 2 * m_list->frameWidth();
    m_list->setMinimumSize(std::max(kListWidth, m_list->sizeHintForColumn(0) + frame + 2 * kListInset),
                           std::max(kListHeight, rowsHeight + frame + kListInset));
    m_bottom->setChecked(m_initial.tabsBottom);
    m_buttons->setChecked(m_initial.tabsButtons);
    m_stacked->setChecked(m_initial.tabsStacked);
}

corvane::GeneralPageValues GeneralPage::values() const
{
    corvane::GeneralPageValues v;
    for (int i = 0; i < corvane::kGeneralItemCount; ++i)
        v.items[std::size_t(i)] = m_list->item(i)->checkState() == Qt::Checked;
    v.tabsBottom = m_bottom->isChecked();
    v.tabsButtons = m_buttons->isChecked();
    v.tabsStacked = m_stacked->isChecked();
    return v;
}

void GeneralPage::ok()
{
    const corvane::GeneralPageEffects effects =
        corvane::applyGeneralPage(m_host.settings(), m_host.log(), m_initial, values());
    using IeMenu = corvane::GeneralPageEffects::IeMenu;
    m_host.setShowTimer(effects.showTimer);
    m_host.setAlwaysOnTop(effects.alwaysOnTop);
    if (effects.clearAddressList)
        m_host.clearAddressHistoryList();
    if (effects.ieMenu != IeMenu::Unchanged)
        m_host.switchIeMenu(effects.ieMenu == IeMenu::Enabled);
    if (effects.tabStyleChanged)
        m_host.applyTabStyle();
    if (effects.buildFavorites)
        m_host.buildFavoritesMenu();
    if (effects.askDefaultBrowser)
        m_host.runDefaultBrowserCheck();
    if (effects.menuStyleMessage)
        showUserMessage(this, *effects.menuStyleMessage);
}
