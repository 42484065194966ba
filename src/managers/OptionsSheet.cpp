#include "managers/OptionsSheet.h"

#include "core/SettingsStore.h"
#include "managers/CurrentViewPage.h"
#include "managers/GeneralPage.h"
#include "managers/MessagesPage.h"
#include "managers/OptionsHost.h"
#include "managers/PathsPage.h"
#include "managers/SecurityPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

OptionsPage::OptionsPage(OptionsHost &host, QWidget *parent) : QWidget(parent), m_host(host) {}

void OptionsPage::open()
{
    if (m_opened)
        return;
    m_opened = true;
    initialize();
}

OptionsSheet::OptionsSheet(OptionsHost &host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setWindowTitle(QStringLiteral("Options"));
    m_tabs = new QTabWidget(this);
    // Every page's tab in view, in any font: the sheet grows for them.
    m_tabs->setUsesScrollButtons(false);
    m_general = new GeneralPage(host);
    m_paths = new PathsPage(host);
    m_currentView = new CurrentViewPage(host);
    m_messages = new MessagesPage(host);
    m_security = new SecurityPage(host);
    m_pages = {m_general, m_paths, m_currentView, m_messages, m_security};
    m_tabs->addTab(m_general, QStringLiteral("General"));
    m_tabs->addTab(m_paths, QStringLiteral("Paths"));
    m_tabs->addTab(m_currentView, QStringLiteral("Current View"));
    m_tabs->addTab(m_messages, QStringLiteral("Messages"));
    m_tabs->addTab(m_security, QStringLiteral("Security"));
    m_tabs->setCurrentIndex(0);
    m_general->open();
    connect(m_tabs, &QTabWidget::currentChanged, this, &OptionsSheet::pageChosen);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OptionsSheet::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void OptionsSheet::pageChosen(int index)
{
    if (m_turningBack)
        return;
    // The page being left may keep the user on it (a field to correct).
    if (!m_pages.at(m_current)->leave()) {
        m_turningBack = true;
        m_tabs->setCurrentIndex(m_current);
        m_turningBack = false;
        return;
    }
    m_current = index;
    m_pages.at(index)->open();
}

void OptionsSheet::accept()
{
    if (!m_pages.at(m_current)->leave())
        return;
    {
        // What every page stores is written at once: one rewrite per file.
        SettingsStore::DeferredCommit saves(m_host.settings());
        for (OptionsPage *page : m_pages) {
            if (page->opened())
                page->ok();
        }
    }
    finish(true);
}

void OptionsSheet::reject()
{
    for (OptionsPage *page : m_pages) {
        if (page->opened())
            page->cancel();
    }
    finish(false);
}

void OptionsSheet::finish(bool applied)
{
    m_host.reloadToolbar();
    if (applied)
        QDialog::accept();
    else
        QDialog::reject();
}
